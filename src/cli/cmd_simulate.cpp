// zoduz-cli simulate: writes a record file of a synthesized scenario, optionally with the
// script of every message it put on the wire.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/number_arg.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli simulate SCENARIO -o FILE [--seconds N] [--seed N] [--interval-ms N]\n"
    "                          [--divider N] [--unit-interval US] [--jitter US] [--raw]\n"
    "                          [--skew US] [--preamble-bits N] [--damage-kcode N]\n"
    "                          [--script FILE]\n"
    "       zoduz-cli simulate --list\n";

struct SimulateArgs {
    SimulationOptions options;
    std::string output;
    std::string script;
};

// Fills `parsed` from the arguments; false on any usage error.
bool ParseArgs(const CliArgs& args, SimulateArgs& parsed) {
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

// True when both paths name one file by their names, so that the script would overwrite the
// record file. Checked before anything is written.
bool SameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code errorA;
    std::error_code errorB;
    const fs::path canonicalA = fs::weakly_canonical(fs::absolute(a, errorA), errorA);
    const fs::path canonicalB = fs::weakly_canonical(fs::absolute(b, errorB), errorB);
    return a == b || (!errorA && !errorB && canonicalA == canonicalB);
}

// True when the script path leads to the record file just written: a hard link to it, or a
// symbolic link (dangling until the record file existed) pointing at it. Names cannot tell
// these apart; the file identity (device and inode) can.
bool SameFileIdentity(const std::string& script, const std::string& output) {
    std::error_code error;
    return std::filesystem::equivalent(script, output, error) && !error;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

bool WriteScript(const std::string& path, const SimulationResult& result) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file,
                 "#index\tstart_us\trel_us\tcc_line\tordered_set\tfault\tlabel\tbytes\tcrc\n");
    for (size_t i = 0; i < result.messages.size(); ++i) {
        const BuiltMessage& m = result.messages[i];
        std::fprintf(file, "%zu\t%" PRId64 "\t%" PRId64 "\t%d\t%d\t%s\t%s\t%s\t%08X\n", i,
                     m.startTimeUs, m.startTimeUs - result.captureStartTimeUs, m.ccLine + 1,
                     m.orderedSet, PhyFaultName(m.fault), m.label.c_str(), Hex(m.bytes).c_str(),
                     m.crc);
    }
    bool ok = std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int RunSimulate(const CliArgs& args) {
    if (args.size() == 1 && args[0] == "--list") {
        for (const ScenarioInfo& info : Scenarios()) {
            std::printf("%s\t%s\n", info.name, info.summary);
        }
        return 0;
    }
    SimulateArgs parsed;
    if (!ParseArgs(args, parsed)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (std::optional<std::string> problem = CheckSimulationOptions(parsed.options)) {
        std::fprintf(stderr, "zoduz-cli simulate: %s\n", problem->c_str());
        return 2;
    }
    if (!parsed.script.empty() && SameFile(parsed.script, parsed.output)) {
        std::fprintf(stderr, "zoduz-cli simulate: the script and the record file must differ\n");
        return 2;
    }
    std::string error;
    std::optional<SimulationResult> result = SimulateToFile(parsed.options, parsed.output, error);
    if (!result) {
        std::fprintf(stderr, "zoduz-cli simulate: %s\n", error.c_str());
        return 1;
    }
    if (!parsed.script.empty() && SameFileIdentity(parsed.script, parsed.output)) {
        std::fprintf(stderr, "zoduz-cli simulate: the script and the record file must differ\n");
        return 2;
    }
    if (!parsed.script.empty() && !WriteScript(parsed.script, *result)) {
        std::fprintf(stderr, "zoduz-cli simulate: cannot write '%s'\n", parsed.script.c_str());
        return 1;
    }
    uint64_t faulty = 0;
    for (const BuiltMessage& message : result->messages) {
        faulty += DecodesCleanly(message) ? 0 : 1;
    }
    std::printf("scenario\t%s\n", parsed.options.scenario.c_str());
    std::printf("seed\t%" PRIu64 "\n", parsed.options.seed);
    std::printf("messages\t%zu\n", result->messages.size());
    std::printf("faulty_messages\t%" PRIu64 "\n", faulty);
    std::printf("samples\t%" PRIu64 "\n", result->samples);
    std::printf("sample_blocks\t%" PRIu64 "\n", result->sampleBlocks);
    std::printf("cc_edge_blocks\t%" PRIu64 "\n", result->edgeBlocks);
    std::printf("duration_us\t%" PRId64 "\n", result->endTimeUs - result->captureStartTimeUs);
    std::printf("size\t%" PRIu64 "\n", result->streamBytes + (parsed.options.recordFile ? 64 : 0));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
