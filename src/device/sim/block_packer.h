// Packs a scenario into the analyzer's block stream: CC edge blocks (capture/cc_edge_writer.h),
// SampleBlocks at the sampling interval, and for record files the leading InfoBlock.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "capture/cc_edge_writer.h"
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
    // The errno of the first failed write (0 while Ok()).
    int Error() const { return error_; }
    std::vector<uint8_t>& Memory() { return buffer_; }

  private:
    void Drain();
    void Fail();

    FILE* file_ = nullptr;
    std::vector<uint8_t> buffer_;
    uint64_t written_ = 0;
    bool ok_ = true;
    int error_ = 0;
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
