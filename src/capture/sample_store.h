// Compact storage of a capture's samples: 28 bytes each, in fixed-size chunks so that growing
// never copies the whole array and trimming the front frees memory chunk by chunk. Chunks are
// shared with snapshots, which keep them alive and readable while the store trims or grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "capture/energy_segment.h"
#include "capture/sample_chunk.h"
#include "capture/sample_snapshot.h"
#include "capture/sample_stats.h"
#include "capture/stored_sample.h"

class SampleStore {
  public:
    static constexpr size_t kChunkSamples = SampleChunk::kSamples;

    size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }

    void Append(const StoredSample& sample) { Append({&sample, 1}); }
    // Appends the samples in order; block summaries and energy checkpoints are written as
    // each block fills, as if the samples had come one by one.
    void Append(std::span<const StoredSample> samples);
    // The same for samples as read from a record file, packed as they are stored.
    void Append(std::span<const CVbusInfo> samples);
    // i < Size().
    const StoredSample& At(size_t i) const {
        size_t slot = i + frontSkip_;
        return chunks_[slot / kChunkSamples]->samples[slot % kChunkSamples];
    }

    // Drops the oldest n samples (all when n >= Size()). The stats keep them.
    void EraseFront(size_t n);
    void Clear();

    // Extremes of every sample appended since the store was made or cleared.
    SampleStats Stats() const;

    // The samples as they are now. Appending later writes only slots beyond the snapshot's.
    SampleSnapshot Snapshot() const;

    // Bytes held for samples, chunk bookkeeping and summaries included.
    size_t MemoryBytes() const;

  private:
    template <typename Sample>
    void AppendRun(std::span<const Sample> samples);
    // Takes the count samples just written after the last one, all in one block of the last
    // chunk, into the energy sums, the block checkpoint and the summaries.
    void TakeWithinBlock(size_t count);
    // The samples of the last chunk's block that is not complete yet, trimmed ones included.
    std::span<const StoredSample> OpenBlock() const;

    std::vector<std::shared_ptr<SampleChunk>> chunks_;
    size_t frontSkip_ = 0;  // unused slots at the start of the first chunk
    size_t size_ = 0;
    // Energy of every segment since the first stored sample, and the newest sample's point.
    EnergySums energy_;
    EnergyPoint lastPoint_;
    // Extremes of the completed blocks, taken from their summaries, and of any samples that
    // were trimmed before their block completed.
    SampleStats completedStats_;
};
