#include "capture/sample_store.h"

#include <algorithm>

namespace {

void Store(const StoredSample& sample, StoredSample& slot) {
    slot = sample;
}
void Store(const CVbusInfo& sample, StoredSample& slot) {
    PackSampleInto(sample, slot);
}

}  // namespace

void SampleStore::Append(std::span<const StoredSample> samples) {
    AppendRun(samples);
}

void SampleStore::Append(std::span<const CVbusInfo> samples) {
    AppendRun(samples);
}

// Samples are written straight into their slots, then taken into the energy and the summaries
// block by block.
template <typename Sample>
void SampleStore::AppendRun(std::span<const Sample> samples) {
    while (!samples.empty()) {
        size_t slot = frontSkip_ + size_;
        if (slot / kChunkSamples >= chunks_.size()) {
            // Default-initialised: the slots are written before they are read.
            chunks_.push_back(std::shared_ptr<SampleChunk>(new SampleChunk));
        }
        size_t blockRoom = SampleChunk::kBlockSamples - slot % SampleChunk::kBlockSamples;
        size_t count = std::min(blockRoom, samples.size());
        StoredSample* slots = &chunks_[slot / kChunkSamples]->samples[slot % kChunkSamples];
        for (size_t i = 0; i < count; ++i) {
            Store(samples[i], slots[i]);
        }
        TakeWithinBlock(count);
        samples = samples.subspan(count);
    }
}

void SampleStore::TakeWithinBlock(size_t count) {
    size_t slot = frontSkip_ + size_;
    SampleChunk& chunk = *chunks_[slot / kChunkSamples];
    size_t inChunk = slot % kChunkSamples;
    const StoredSample* samples = &chunk.samples[inChunk];

    size_t i = 0;
    if (size_ == 0) {
        lastPoint_ = EnergyPointOf(samples[0]);
        i = 1;
    }
    if (inChunk % SampleChunk::kBlockSamples == 0) {
        // The checkpoint holds the sums up to the block's first sample, its segment included.
        if (i == 0) {
            EnergyPoint point = EnergyPointOf(samples[0]);
            AccumulateSegment(energy_, lastPoint_, point);
            lastPoint_ = point;
            i = 1;
        }
        chunk.blockEnergy[inChunk / SampleChunk::kBlockSamples] = energy_;
    }
    for (; i < count; ++i) {
        EnergyPoint point = EnergyPointOf(samples[i]);
        AccumulateSegment(energy_, lastPoint_, point);
        lastPoint_ = point;
    }
    size_ += count;
    size_t end = inChunk + count;
    if (end % SampleChunk::kBlockSamples == 0) {
        const size_t block = end / SampleChunk::kBlockSamples - 1;
        chunk.CompleteBlock(block);
        UpdateSampleStats(
            completedStats_, chunk.tree[SampleChunk::kBlocks + block],
            {&chunk.samples[block * SampleChunk::kBlockSamples], SampleChunk::kBlockSamples});
    }
}

void SampleStore::EraseFront(size_t n) {
    if (n >= size_) {
        const SampleStats stats = Stats();
        Clear();
        completedStats_ = stats;
        return;
    }
    frontSkip_ += n;
    size_ -= n;
    size_t freeChunks = frontSkip_ / kChunkSamples;
    chunks_.erase(chunks_.begin(), chunks_.begin() + static_cast<ptrdiff_t>(freeChunks));
    frontSkip_ %= kChunkSamples;
}

void SampleStore::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    frontSkip_ = 0;
    size_ = 0;
    energy_ = {};
    lastPoint_ = {};
    completedStats_ = {};
}

SampleStats SampleStore::Stats() const {
    SampleStats stats = completedStats_;
    UpdateSampleStats(stats, OpenBlock());
    return stats;
}

std::span<const StoredSample> SampleStore::OpenBlock() const {
    const size_t end = frontSkip_ + size_;
    const size_t begin = end / SampleChunk::kBlockSamples * SampleChunk::kBlockSamples;
    if (size_ == 0 || begin == end) {
        return {};
    }
    // The block lies in the last chunk, which holds at least one sample and so was not freed.
    const SampleChunk& chunk = *chunks_[begin / kChunkSamples];
    return {&chunk.samples[begin % kChunkSamples], end - begin};
}

SampleSnapshot SampleStore::Snapshot() const {
    return SampleSnapshot({chunks_.begin(), chunks_.end()}, frontSkip_, size_);
}

size_t SampleStore::MemoryBytes() const {
    // Each chunk's shared ownership adds a small control block beside it.
    constexpr size_t kControlBlock = 24;
    return chunks_.size() * (sizeof(SampleChunk) + kControlBlock) +
           chunks_.capacity() * sizeof(chunks_[0]);
}
