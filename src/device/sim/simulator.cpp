#include "device/sim/simulator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture/staged_file.h"
#include "device/sim/block_packer.h"
#include "device/sim/scenarios.h"

namespace {

// Samples keep running a little after the last packet.
constexpr int64_t kTailNs = 200'000'000;

PackOptions PackOptionsFor(const SimulationOptions& options) {
    PackOptions pack;
    pack.clockDivider = options.clockDivider;
    pack.intervalMs = options.intervalMs;
    pack.clockStartUs = options.clockStartUs;
    pack.noiseSeed = options.seed * 0x9E3779B97F4A7C15ull + 7;
    pack.recordFile = options.recordFile;
    return pack;
}

SimulationResult Run(const SimulationOptions& options, ScenarioScript& script,
                     StreamOutput& output) {
    double seconds =
        options.seconds > 0.0 ? options.seconds : FindScenario(options.scenario)->defaultSeconds;
    int64_t endNs = std::max(script.endNs + kTailNs, static_cast<int64_t>(seconds * 1e9));
    PackCounts counts = WriteStream(script, PackOptionsFor(options), endNs, output);
    SimulationResult result;
    result.captureStartTimeUs = counts.firstSampleUs;
    result.samples = counts.samples;
    result.sampleBlocks = counts.sampleBlocks;
    result.edgeBlocks = counts.edgeBlocks;
    int64_t intervalUs = int64_t{options.intervalMs} * 1000;
    result.endTimeUs =
        counts.firstSampleUs +
        static_cast<int64_t>(counts.samples > 0 ? counts.samples - 1 : 0) * intervalUs;
    result.streamBytes = output.Written() - (options.recordFile ? 64 : 0);
    result.messages = std::move(script.messages);
    return result;
}

}  // namespace

std::optional<std::string> CheckSimulationOptions(const SimulationOptions& options) {
    if (FindScenario(options.scenario) == nullptr) {
        return "unknown scenario '" + options.scenario + "' (see --list)";
    }
    if (options.clockStartUs >= (uint64_t{1} << 32)) {
        // The parsers widen 32-bit timestamps from 0, so the script would be off by 2^32.
        return std::string("the analyzer clock must start below 2^32 us");
    }
    if (options.intervalMs < 1 || options.intervalMs > 1000) {
        return std::string("the sampling interval must be 1-1000 ms");
    }
    if (options.clockDivider < kMinClockDivider || options.clockDivider > kMaxClockDivider) {
        return std::string("the clock divider must be 1-256");
    }
    if (!(options.unitIntervalUs >= kMinUnitIntervalUs &&
          options.unitIntervalUs <= kMaxUnitIntervalUs)) {
        return std::string("the unit interval must be 3.03-3.7 us");
    }
    if (!(options.seconds >= 0.0 && options.seconds <= kMaxSimulationSeconds)) {
        return std::string("the duration must be 0-36000 s");
    }
    if (!(options.jitterUs >= 0.0 && options.jitterUs <= kMaxJitterUs)) {
        return std::string("the jitter must be 0-0.2 us");
    }
    const PhyDistortion& distortion = options.distortion;
    if (!(distortion.levelSkewUs >= -kMaxLevelSkewUs &&
          distortion.levelSkewUs <= kMaxLevelSkewUs)) {
        return std::string("the level skew must be -1-1 us");
    }
    if (distortion.preambleBits < 1 || distortion.preambleBits > kPreambleBits) {
        return std::string("the preamble must be 1-64 bits");
    }
    if (distortion.damagedKCode < 0 || distortion.damagedKCode > 4) {
        return std::string("the damaged K-code must be 0-4");
    }
    return std::nullopt;
}

std::optional<ScenarioScript> BuildScenarioScript(const SimulationOptions& options) {
    if (CheckSimulationOptions(options)) {
        return std::nullopt;
    }
    const ScenarioInfo* info = FindScenario(options.scenario);
    ScenarioScript script;
    SimRandom random(options.seed);
    ConversationSettings settings;
    settings.unitIntervalUs = options.unitIntervalUs;
    settings.jitterUs = options.jitterUs;
    settings.clockDivider = options.clockDivider;
    settings.distortion = options.distortion;
    Conversation talk(script, random, settings);
    talk.WaitMs(100.0);  // the capture starts with a quiet line
    info->build(talk, random, options.seconds > 0.0 ? options.seconds : info->defaultSeconds);
    return script;
}

std::optional<SimulationResult> Simulate(const SimulationOptions& options) {
    std::optional<ScenarioScript> script = BuildScenarioScript(options);
    if (!script) {
        return std::nullopt;
    }
    StreamOutput output;
    SimulationResult result = Run(options, *script, output);
    result.stream = std::move(output.Memory());
    return result;
}

std::optional<SimulationResult> SimulateToFile(const SimulationOptions& options,
                                               const std::string& path, std::string& error) {
    if (std::optional<std::string> problem = CheckSimulationOptions(options)) {
        error = *problem;
        return std::nullopt;
    }
    std::optional<ScenarioScript> script = BuildScenarioScript(options);
    // Written under a private name: a failed run leaves an existing file as it was.
    StagedFile staged(path);
    FILE* file = staged.OpenStream("wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    StreamOutput output(file);
    SimulationResult result = Run(options, *script, output);
    errno = 0;
    bool ok = output.Ok() && std::fflush(file) == 0;
    ok = std::fclose(file) == 0 && ok && staged.Commit();
    if (!ok) {
        // The first failure tells the cause; later calls may have changed errno.
        const int cause = output.Error() != 0 ? output.Error() : errno;
        error =
            "cannot write " + path + (cause != 0 ? ": " + std::string(std::strerror(cause)) : "");
        return std::nullopt;
    }
    return result;
}
