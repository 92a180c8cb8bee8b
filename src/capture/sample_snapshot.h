// An immutable view of the sample store at one moment: the chunks it held (kept alive by the
// snapshot while the store trims or grows) and a summary tree over them, so that a worker thread
// or a paint can read samples, find the extremes of any index range in O(log n) and take energy
// sums without holding the document lock.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "capture/energy_segment.h"
#include "capture/plot_value.h"
#include "capture/sample_chunk.h"
#include "capture/sample_summary.h"

class SampleSnapshot {
  public:
    SampleSnapshot() = default;

    size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // i < Size().
    const StoredSample& At(size_t i) const {
        size_t slot = i + frontSkip_;
        return chunks_[slot / SampleChunk::kSamples]->samples[slot % SampleChunk::kSamples];
    }
    int64_t Time(size_t i) const { return At(i).Time(); }
    // The samples from i that lie next to each other in memory: up to the end of i's chunk or
    // of the snapshot (i < Size()). A caller walking every sample takes them a run at a time.
    std::span<const StoredSample> RunFrom(size_t i) const {
        const size_t slot = i + frontSkip_;
        const size_t offset = slot % SampleChunk::kSamples;
        const size_t length = std::min(SampleChunk::kSamples - offset, size_ - i);
        return {chunks_[slot / SampleChunk::kSamples]->samples + offset, length};
    }

    // Minimum and maximum of one value over samples first..last (first <= last < Size()).
    ValueExtremes Extremes(size_t first, size_t last, PlotValue value) const;
    // Asks the processor to start loading what a range query beginning or ending at sample i
    // reads (the sample, its block's summary and the summaries above it), so that a caller
    // that can predict its next query overlaps those loads with its current work. i < Size().
    void Prefetch(size_t i) const;
    // The first index in first..last whose VBUS voltage and VBUS current are these.
    std::optional<size_t> FindVbusReading(size_t first, size_t last, int32_t voltage,
                                          int32_t current) const;

    // The store's running energy sums at sample i (i < Size()): EnergyAt(j) - EnergyAt(i) is
    // the energy of the segments between samples i and j, exactly as if summed one by one.
    EnergySums EnergyAt(size_t i) const;

  private:
    friend class SampleStore;
    static constexpr size_t kBlock = SampleChunk::kBlockSamples;

    using ChunkPtr = std::shared_ptr<const SampleChunk>;
    struct ExtremesCollector;

    SampleSnapshot(std::vector<ChunkPtr> chunks, size_t frontSkip, size_t size);
    // Slots [from, to) of chunk c that belong to the snapshot, clipped to samples [first, last].
    size_t ChunkBegin(size_t c) const;
    size_t ChunkEnd(size_t c) const;
    // Extremes of the whole blocks [firstBlock, endBlock) (block numbers counted in slots).
    void AddWholeBlocks(size_t firstBlock, size_t endBlock, ExtremesCollector& collector) const;
    // Extremes of slots [from, to) inside one block, read only when that block's summary might
    // widen what the collector holds.
    void AddPartialBlock(size_t from, size_t to, ExtremesCollector& collector) const;

    std::vector<ChunkPtr> chunks_;
    size_t frontSkip_ = 0;
    size_t size_ = 0;
    // Summary of each chunk's part of the snapshot, as a bottom-up segment tree: leaf c at
    // chunks_.size() + c.
    std::vector<SampleSummary> chunkTree_;
};
