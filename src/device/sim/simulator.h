// Runs a named scenario and packs it into an analyzer stream or record file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/sim/sim_script.h"

// Edge timer dividers the synthesizer accepts: every divider the block format can say. Ticks
// coarser than the default of 20 leave jittered BMC intervals too few ticks for a sure strict
// decode; such captures test the quantisation on purpose.
inline constexpr int kMinClockDivider = 1;
inline constexpr int kMaxClockDivider = 256;

// Longest capture: ten hours. The script of a scenario, edge times included, stays in memory
// until it is packed, and ten hours of the long scenario keep that near 150 MB.
inline constexpr double kMaxSimulationSeconds = 36000.0;
// Largest edge jitter: beyond it, timer quantisation plus jitter blur half and full unit
// intervals at the default divider, and clean messages would no longer decode.
inline constexpr double kMaxJitterUs = 0.2;
// Unit intervals a port may use. Short packets (resets) are decoded against the nominal 3.3 us,
// so other values would leave them unreadable; the unit-interval fault goes outside on purpose.
inline constexpr double kMinUnitIntervalUs = 3.03;
inline constexpr double kMaxUnitIntervalUs = 3.7;

struct SimulationOptions {
    std::string scenario = "spr";
    uint64_t seed = 1;
    double seconds = 0.0;  // capture length; 0 = the scenario's default
    int intervalMs = 1;    // sampling interval, 1-1000 ms
    int clockDivider = 20;
    double unitIntervalUs = kNominalUnitIntervalUs;
    double jitterUs = 0.05;
    PhyDistortion distortion;         // applied to every packet
    bool recordFile = true;           // leading InfoBlock (a .zaz file) or the bare stream
    uint64_t clockStartUs = 5000000;  // analyzer clock when the capture starts, below 2^32
};

struct SimulationResult {
    std::vector<uint8_t> stream;         // the bytes, when simulated into memory
    std::vector<BuiltMessage> messages;  // every packet put on the wire, in time order
    int64_t captureStartTimeUs = 0;      // device time of the first sample
    int64_t endTimeUs = 0;               // device time of the last sample
    uint64_t streamBytes = 0;            // bytes after the leading InfoBlock
    uint64_t samples = 0;
    uint64_t sampleBlocks = 0;
    uint64_t edgeBlocks = 0;
};

// Checks the options: a known scenario, an interval of 1-1000 ms, a divider of 1-256, a
// unit interval of 3.03-3.7 us, a clock start below 2^32 us, a duration of 0-36000 s, a jitter
// of 0-0.2 us, a level skew of at most 1 us either way, 1-64 preamble bits and a damaged K-code
// of 0-4. Returns the problem as a text.
std::optional<std::string> CheckSimulationOptions(const SimulationOptions& options);

// The scenario's messages and electrical model, not yet packed.
std::optional<ScenarioScript> BuildScenarioScript(const SimulationOptions& options);

// Simulates into memory; nothing for invalid options.
std::optional<SimulationResult> Simulate(const SimulationOptions& options);

// Simulates into `path` (written in large chunks); result.stream stays empty. On failure
// `error` tells why.
std::optional<SimulationResult> SimulateToFile(const SimulationOptions& options,
                                               const std::string& path, std::string& error);
