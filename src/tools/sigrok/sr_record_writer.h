// The record file of an imported session, written block by block as the transitions come: the
// leading InfoBlock, the edge blocks, and zero readings on a 10 ms grid where they are needed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "capture/cc_edge_writer.h"
#include "capture/record_block.h"

// The record file's analyzer clock at session time 0.
inline constexpr uint64_t kSrClockStartUs = 1000000;

class SrRecordWriter {
  public:
    // Writes to an open file, starting with a placeholder InfoBlock.
    explicit SrRecordWriter(std::FILE* file);

    // Writes the edge blocks the edge writer has completed, each after the readings at or
    // before it, and empties `blocks`.
    void TakeEdgeBlocks(std::vector<TimedBlock>& blocks);
    // Writes the readings up to the session end and the finished InfoBlock. False when any
    // write failed (errno tells why).
    bool Finish(uint64_t sessionUs);

    uint64_t EdgeBlocks() const { return edgeBlocks_; }
    uint64_t SampleBlocks() const { return sampleBlocks_; }

  private:
    void Put(const RecordBlock& block);
    // Readings on the grid points up to `last`: those within one grid step of an edge block,
    // one a second, and `last` itself when `includeLast`.
    void ReadingsThrough(uint64_t last, bool includeLast);
    void AddReading(uint64_t index);
    void FlushReadings();

    std::FILE* file_;
    bool ok_ = true;
    int error_ = 0;  // errno of the first failed write
    uint64_t bytes_ = 0;
    uint64_t edgeBlocks_ = 0;
    uint64_t sampleBlocks_ = 0;
    uint64_t nextIndex_ = 0;   // the first grid point not yet decided
    uint64_t denseUntil_ = 0;  // grid points up to here get a reading
    uint64_t pending_[kMaxSamplesPerBlock] = {};
    int pendingCount_ = 0;
};
