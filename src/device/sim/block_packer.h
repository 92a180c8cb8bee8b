// Packs a scenario into the analyzer's block stream: CC edge blocks with 8-bit timer captures,
// wrap markers, burst and sequence numbers and block timestamps, SampleBlocks at the sampling
// interval, and for record files the leading InfoBlock.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "capture/record_block.h"
#include "device/sim/sim_script.h"

struct PackOptions {
    int clockDivider = 20;            // edge timer at 48 MHz / divider
    int intervalMs = 1;               // sampling interval, 1-1000 ms
    uint64_t clockStartUs = 5000000;  // device clock at scenario time 0
    uint64_t noiseSeed = 1;
    bool recordFile = true;  // leading InfoBlock before the stream
};

// Identity the stand-in reports in the finished InfoBlock.
inline constexpr uint16_t kSimFirmwareVersion = 0x0123;

// A block with the device time used to interleave it with the others.
struct TimedBlock {
    uint64_t timeUs = 0;
    RecordBlock block;
};

// Writes the transitions of one CC line burst by burst into CcEdgeBlocks.
class EdgeBlockWriter {
  public:
    EdgeBlockWriter(int clockDivider, std::vector<TimedBlock>& out);

    // Opens a burst on `ccLine` whose first transition comes at tick `firstTick`: a new burst
    // number, sequence 0, and a reference capture just before the transition.
    void StartBurst(int ccLine, uint64_t firstTick);
    // Records a transition at `tick`, preceded by the wrap markers the gap needs. A tick that
    // the 8-bit captures cannot express after a wrap marker moves on by one; returns the tick
    // used.
    uint64_t Transition(uint64_t tick);
    // Idles until the open packet ends (ten microseconds without a transition), fills the block
    // with wrap markers and closes the burst.
    void EndBurst();

    bool InBurst() const { return inBurst_; }
    int Line() const { return line_; }
    uint64_t LastTick() const { return tick_; }

  private:
    void Emit(uint8_t byte, uint64_t tick);
    void EmitMarker();
    int MarkerAdvance() const;
    void FlushBlock();

    int divider_;
    std::vector<TimedBlock>& out_;
    bool inBurst_ = false;
    int line_ = 0;
    int burst_ = -1;
    int sequence_ = -1;
    std::array<uint8_t, kEdgeBytesPerBlock> bytes_{};
    int count_ = 0;
    uint64_t blockTimeUs_ = 0;
    uint64_t lastByteTick_ = 0;
    uint64_t tick_ = 0;  // timer position of the latest capture
    int previousByte_ = 0;
    int previousValue_ = 0;
    int repeatCount_ = 0;
    uint64_t ticksSinceEdge_ = 0;
};

// Edge blocks of every message of the script in time order. Fills each message's startTimeUs,
// edgeTicks and clockDivider from the ticks actually written.
std::vector<TimedBlock> PackEdges(ScenarioScript& script, const PackOptions& options);

// Sink of the packed stream: memory, or a file written in large chunks.
class StreamOutput {
  public:
    StreamOutput() = default;
    explicit StreamOutput(FILE* file) : file_(file) {}

    void Append(const uint8_t* data, size_t size);
    void Append(const RecordBlock& block) { Append(block.bytes.data(), block.bytes.size()); }
    // Replaces the first block (the leading InfoBlock) and flushes everything.
    bool Finish(const RecordBlock* leadingBlock);

    // Room for `bytes` more in memory, so a large stream is not copied while it grows.
    void Reserve(uint64_t bytes);

    uint64_t Written() const { return written_; }
    bool Ok() const { return ok_; }
    std::vector<uint8_t>& Memory() { return buffer_; }

  private:
    void Drain();

    FILE* file_ = nullptr;
    std::vector<uint8_t> buffer_;
    uint64_t written_ = 0;
    bool ok_ = true;
};

struct PackCounts {
    uint64_t samples = 0;
    uint64_t sampleBlocks = 0;
    uint64_t edgeBlocks = 0;
    int64_t firstSampleUs = 0;  // device time of the first sample
};

// Writes the whole stream: samples every interval from scenario time 0 to `endNs`, edge blocks
// interleaved by time, and (record files) the finished leading InfoBlock.
PackCounts WriteStream(ScenarioScript& script, const PackOptions& options, int64_t endNs,
                       StreamOutput& output);

// Raw current reading the analyzer reports for `milliamps` (the inverse of ScaleCurrent).
int16_t RawCurrent(int milliamps);
// Writes one 16-byte sample of a SampleBlock: the timestamp, then VBUS, CC1 and CC2 voltage
// and raw current.
void WriteSample(uint8_t* sample, uint32_t timeUs, const ElectricalReading& reading);
