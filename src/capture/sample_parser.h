// Turns SampleBlocks into CVbusInfo samples.
#pragma once

#include <cstdint>

#include "capture/record_block.h"
#include "capture/timestamp_extender.h"

class SampleParser {
  public:
    // Parses the samples of one block at file offset `offset` into `out`, which has room for
    // kMaxSamplesPerBlock, and returns how many there are. Blocks without the sample bit yield
    // nothing; InfoBlocks carry a count of 0.
    int ParseBlock(const uint8_t* block, uint64_t offset, CVbusInfo* out);

    // Widened timestamp of the first sample since the last reset, -1 until there is one.
    int64_t CaptureStartTime() const { return captureStartTime_; }
    // Widened timestamp of the latest sample, 0 until there is one.
    int64_t LastSampleTime() const { return lastSampleTime_; }

    void Reset();

  private:
    TimestampExtender extender_;
    int64_t captureStartTime_ = -1;
    int64_t lastSampleTime_ = 0;
};
