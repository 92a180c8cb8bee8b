// A fixed-size run of stored samples with the summaries that let readers answer range queries
// without visiting every sample. Once a slot, a block summary or an energy checkpoint has been
// written it never changes, so a reader holding the chunk may read everything up to the count
// it was given while the store keeps appending behind it.
#pragma once

#include <cstddef>

#include "capture/energy_segment.h"
#include "capture/sample_summary.h"
#include "capture/stored_sample.h"

struct SampleChunk {
    static constexpr size_t kSamples = 8192;
    static constexpr size_t kBlockSamples = 128;
    static constexpr size_t kBlocks = kSamples / kBlockSamples;

    StoredSample samples[kSamples];
    // Heap-ordered summary tree over the blocks: node 1 covers the chunk, node kBlocks + b
    // covers block b. Nodes are written once, when their last sample arrives.
    SampleSummary tree[2 * kBlocks];
    // The store's running energy sums at the first sample of each block.
    EnergySums blockEnergy[kBlocks];

    // Writes the summary of block b (all its samples present) and of every node it completes.
    void CompleteBlock(size_t b);
};

// Visits slots [from, to) of a chunk (from < to, all present): samples of partial blocks one by
// one, whole blocks by the fewest tree nodes. Visitor has AddSample(const StoredSample&) and
// AddSummary(const SampleSummary&).
template <typename Visitor>
void VisitChunkRange(const SampleChunk& chunk, size_t from, size_t to, Visitor& visitor) {
    constexpr size_t kBlock = SampleChunk::kBlockSamples;
    size_t firstBlock = (from + kBlock - 1) / kBlock;
    size_t endBlock = to / kBlock;
    if (firstBlock >= endBlock) {
        for (size_t i = from; i < to; ++i) {
            visitor.AddSample(chunk.samples[i]);
        }
        return;
    }
    for (size_t i = from; i < firstBlock * kBlock; ++i) {
        visitor.AddSample(chunk.samples[i]);
    }
    for (size_t lo = firstBlock + SampleChunk::kBlocks, hi = endBlock + SampleChunk::kBlocks;
         lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1) {
            visitor.AddSummary(chunk.tree[lo++]);
        }
        if (hi & 1) {
            visitor.AddSummary(chunk.tree[--hi]);
        }
    }
    for (size_t i = endBlock * kBlock; i < to; ++i) {
        visitor.AddSample(chunk.samples[i]);
    }
}
