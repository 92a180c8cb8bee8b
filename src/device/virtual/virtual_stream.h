// The endless block stream of the virtual analyzer. The synthesizer's scenarios play one after
// another (each again with a new seed once all have played), one segment at a time, so only
// the current segment's script is held. Samples are made as the stream advances, at the
// sampling interval in force at that moment, with the CC lines showing what the analyzer
// injects.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/record_block.h"
#include "device/command_packet.h"
#include "device/sim/block_packer.h"
#include "device/sim/electrical_model.h"
#include "device/sim/sim_random.h"
#include "device/sim/sim_script.h"

// Scenarios with a capture length of their own (the long one) play this long at most.
inline constexpr double kMaxSegmentSeconds = 60.0;
inline constexpr int kMinSamplingIntervalMs = 1;
inline constexpr int kMaxSamplingIntervalMs = 1000;

struct VirtualStreamOptions {
    std::vector<std::string> scenarios = {"mixed"};  // played in turn, endlessly
    uint64_t seed = 1;
    int clockDivider = 20;
    int samplingIntervalMs = 1;       // until a command changes it
    uint64_t clockStartUs = 5000000;  // analyzer clock of the first sample
};

// CC line voltage while the analyzer injects `termination`: an Rp level puts the line at the
// middle of its vRd band (a sink's Rd on the far side), Rd reads as a sink sees a source's
// default-power Rp, Ra as the low level a cable's Ra pulls the line to. Without injection the
// scenario's own reading stays.
int InjectedCcMillivolts(CcTermination termination, int scenarioMillivolts);

class VirtualStream {
  public:
    explicit VirtualStream(VirtualStreamOptions options);

    // The next block and the analyzer time (us) at which it is complete.
    RecordBlock Next(uint64_t& dueUs);
    // Analyzer time at which the next block will be complete.
    uint64_t NextDueUs();

    void SetSamplingInterval(int intervalMs);
    int SamplingIntervalMs() const { return intervalMs_; }
    void SetTermination(CcLine line, CcTermination value);
    CcTermination Termination(CcLine line) const;

  private:
    void StartSegment();
    void BuildSampleBlock();
    void PutSample(uint8_t* sample, uint64_t deviceNs);

    VirtualStreamOptions options_;
    int intervalMs_;
    std::array<CcTermination, 2> terminations_{};
    SimRandom noise_;

    uint64_t segment_ = 0;  // segments played so far
    ScenarioScript script_;
    std::vector<TimedBlock> edges_;
    size_t nextEdge_ = 0;
    uint64_t segmentStartNs_ = 0;
    uint64_t segmentEndNs_ = 0;

    uint64_t nextSampleNs_;
    bool havePendingSamples_ = false;
    RecordBlock pendingSamples_;
    uint64_t pendingDueUs_ = 0;
};
