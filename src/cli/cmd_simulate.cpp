// zoduz-cli simulate: writes a record file of a synthesized scenario, optionally with the
// script of every message it put on the wire.
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/number_arg.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"
#include "query/simulation_file.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli simulate SCENARIO -o FILE [--seconds N] [--seed N] [--interval-ms N]\n"
    "                          [--divider N] [--unit-interval US] [--jitter US] [--raw]\n"
    "                          [--skew US] [--preamble-bits N] [--damage-kcode N]\n"
    "                          [--script FILE]\n"
    "       zoduz-cli simulate --list\n";

// Fills `parsed` from the arguments; false on any usage error.
bool ParseArgs(const CliArgs& args, SimulationRequest& parsed) {
    bool haveScenario = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        auto takeDouble = [&](double& out) {
            std::optional<double> number = hasValue ? ParseNumber<double>(value) : std::nullopt;
            out = number.value_or(-1.0);
            ++i;
            return number.has_value();
        };
        auto takeInt = [&](int& out) {
            std::optional<int> number = hasValue ? ParseNumber<int>(value) : std::nullopt;
            out = number.value_or(-1);
            ++i;
            return number.has_value();
        };
        bool ok = true;
        if (arg == "-o" || arg == "--output") {
            ok = hasValue;
            parsed.output = value;
            ++i;
        } else if (arg == "--script") {
            ok = hasValue;
            parsed.script = value;
            ++i;
        } else if (arg == "--seed") {
            std::optional<uint64_t> seed = hasValue ? ParseNumber<uint64_t>(value) : std::nullopt;
            ok = seed.has_value();
            parsed.options.seed = seed.value_or(0);
            ++i;
        } else if (arg == "--seconds") {
            ok = takeDouble(parsed.options.seconds);
        } else if (arg == "--interval-ms") {
            ok = takeInt(parsed.options.intervalMs);
        } else if (arg == "--divider") {
            ok = takeInt(parsed.options.clockDivider);
        } else if (arg == "--unit-interval") {
            ok = takeDouble(parsed.options.unitIntervalUs);
        } else if (arg == "--jitter") {
            ok = takeDouble(parsed.options.jitterUs);
        } else if (arg == "--skew") {
            ok = takeDouble(parsed.options.distortion.levelSkewUs);
        } else if (arg == "--preamble-bits") {
            ok = takeInt(parsed.options.distortion.preambleBits);
        } else if (arg == "--damage-kcode") {
            ok = takeInt(parsed.options.distortion.damagedKCode);
        } else if (arg == "--raw") {
            parsed.options.recordFile = false;
        } else if (!haveScenario && !arg.empty() && arg[0] != '-') {
            parsed.options.scenario = arg;
            haveScenario = true;
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return haveScenario && !parsed.output.empty();
}

}  // namespace

int RunSimulate(const CliArgs& args) {
    if (args.size() == 1 && args[0] == "--list") {
        for (const ScenarioInfo& info : Scenarios()) {
            std::printf("%s\t%s\n", info.name, info.summary);
        }
        return 0;
    }
    SimulationRequest request;
    if (!ParseArgs(args, request)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (CliParseOnly()) {
        return CheckSimulationOptions(request.options) ? 2 : 0;
    }
    const SimulationOutcome outcome = SimulateRecordFile(request);
    if (!outcome.message.empty()) {
        std::fprintf(stderr, "zoduz-cli simulate: %s\n", outcome.message.c_str());
    }
    if (outcome.kind != SimulationOutcome::kOk) {
        return outcome.kind == SimulationOutcome::kBadRequest ? 2 : 1;
    }
    const SimulationSummary& summary = outcome.summary;
    std::printf("scenario\t%s\n", summary.scenario.c_str());
    std::printf("seed\t%" PRIu64 "\n", summary.seed);
    std::printf("messages\t%" PRIu64 "\n", summary.messages);
    std::printf("faulty_messages\t%" PRIu64 "\n", summary.faultyMessages);
    std::printf("samples\t%" PRIu64 "\n", summary.samples);
    std::printf("sample_blocks\t%" PRIu64 "\n", summary.sampleBlocks);
    std::printf("cc_edge_blocks\t%" PRIu64 "\n", summary.ccEdgeBlocks);
    std::printf("duration_us\t%" PRId64 "\n", summary.durationUs);
    std::printf("size\t%" PRIu64 "\n", summary.size);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
