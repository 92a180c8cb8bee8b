// Incremental parsing of a record stream: whole 64-byte blocks through the sample, InfoBlock
// and CC edge parsers, with a partial trailing block held back until it is complete.
#pragma once

#include <cstdint>
#include <span>

#include "capture/cc_edge_parser.h"
#include "capture/record_sink.h"
#include "capture/sample_parser.h"

struct BlockCounts {
    uint64_t sample = 0;
    uint64_t ccEdge = 0;
    uint64_t info = 0;
};

class RecordStreamParser {
  public:
    // Takes the next bytes of the stream in any chunk size. Whole blocks are parsed; a partial
    // block waits for the bytes that complete it. Offsets count from the first byte fed.
    void Feed(std::span<const uint8_t> data, RecordSink& sink);

    // Parses `count` whole blocks that start at stream offset `offset`: first the InfoBlocks
    // and every block with the sample bit, then the CC edge blocks, so that the samples
    // around a packet are known when it completes.
    void ParseBlocks(const uint8_t* blocks, size_t count, uint64_t offset, RecordSink& sink);

    // Back to the initial state: open packets are dropped, offsets restart at 0.
    void Reset();

    uint64_t NextOffset() const { return nextOffset_; }
    size_t PendingBytes() const { return pendingSize_; }
    const BlockCounts& Counts() const { return counts_; }
    const SampleParser& Samples() const { return samples_; }
    const CcEdgeParser& Edges() const { return edges_; }

  private:
    // Samples are handed to the sink in batches of the blocks of up to this many.
    static constexpr size_t kBatchBlocks = 128;

    // Hands the batched samples to the sink.
    void FlushSamples(RecordSink& sink);

    SampleParser samples_;
    CVbusInfo batch_[kBatchBlocks * kMaxSamplesPerBlock];
    size_t batchSize_ = 0;
    CcEdgeParser edges_;
    BlockCounts counts_;
    uint64_t nextOffset_ = 0;
    uint8_t pending_[kBlockSize] = {};
    size_t pendingSize_ = 0;
};
