#include "capture/sample_store.h"

void SampleStore::Append(const StoredSample& sample) {
    size_t slot = frontSkip_ + size_;
    if (slot / kChunkSamples >= chunks_.size()) {
        // Default-initialised: the slots are written before they are read.
        chunks_.push_back(std::shared_ptr<SampleChunk>(new SampleChunk));
    }
    SampleChunk& chunk = *chunks_[slot / kChunkSamples];
    size_t inChunk = slot % kChunkSamples;
    chunk.samples[inChunk] = sample;

    EnergyPoint point = EnergyPointOf(sample);
    if (size_ > 0) {
        AccumulateSegment(energy_, lastPoint_, point);
    }
    lastPoint_ = point;
    if (inChunk % SampleChunk::kBlockSamples == 0) {
        chunk.blockEnergy[inChunk / SampleChunk::kBlockSamples] = energy_;
    }
    if (inChunk % SampleChunk::kBlockSamples == SampleChunk::kBlockSamples - 1) {
        chunk.CompleteBlock(inChunk / SampleChunk::kBlockSamples);
    }
    ++size_;
}

void SampleStore::EraseFront(size_t n) {
    if (n >= size_) {
        Clear();
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
