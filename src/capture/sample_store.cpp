#include "capture/sample_store.h"

#include "pd/electrical_readings.h"

StoredSample PackSample(const CVbusInfo& sample) {
    StoredSample stored{};
    auto time = static_cast<uint64_t>(sample.time);
    stored.timeLow = static_cast<uint32_t>(time);
    stored.timeHigh = static_cast<int32_t>(static_cast<uint32_t>(time >> 32));
    CopyElectricalReadings(sample, stored);
    uint64_t blockIndex = sample.blockOffset / kBlockSize;
    stored.blockIndexLow = static_cast<uint32_t>(blockIndex);
    stored.blockIndexHigh = static_cast<uint16_t>(blockIndex >> 32);
    return stored;
}

CVbusInfo UnpackSample(const StoredSample& stored, CKVDoc* doc) {
    CVbusInfo sample;
    sample.time = stored.Time();
    CopyElectricalReadings(stored, sample);
    sample.doc = doc;
    uint64_t blockIndex =
        (static_cast<uint64_t>(stored.blockIndexHigh) << 32) | stored.blockIndexLow;
    sample.blockOffset = blockIndex * kBlockSize;
    return sample;
}

void SampleStore::Append(const StoredSample& sample) {
    size_t slot = frontSkip_ + size_;
    if (slot / kChunkSamples >= chunks_.size()) {
        // Default-initialised: the slots are written before they are read.
        chunks_.push_back(std::unique_ptr<Chunk>(new Chunk));
    }
    chunks_[slot / kChunkSamples]->samples[slot % kChunkSamples] = sample;
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
}

size_t SampleStore::MemoryBytes() const {
    return chunks_.size() * sizeof(Chunk) + chunks_.capacity() * sizeof(chunks_[0]);
}
