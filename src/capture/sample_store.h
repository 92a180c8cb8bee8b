// Compact storage of a capture's samples: 28 bytes each, in fixed-size chunks so that growing
// never copies the whole array and trimming the front frees memory chunk by chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "capture/record_block.h"

// One sample without its owning document; the block offset is kept as a 48-bit block index
// (offsets of sample blocks are multiples of 64).
// Trivial on purpose: chunks are allocated without being zero-filled first.
struct StoredSample {
    uint32_t timeLow;
    int32_t timeHigh;
    uint16_t vbusVoltage;
    int16_t cc1Voltage;
    int16_t cc2Voltage;
    int16_t vbusCurrent;
    int16_t cc1Current;
    int16_t cc2Current;
    uint32_t blockIndexLow;
    uint16_t blockIndexHigh;

    int64_t Time() const {
        return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(timeHigh)) << 32) |
                                    timeLow);
    }
};
static_assert(sizeof(StoredSample) == 28);
static_assert(std::is_trivially_default_constructible_v<StoredSample>);

StoredSample PackSample(const CVbusInfo& sample);
CVbusInfo UnpackSample(const StoredSample& stored, CKVDoc* doc);

class SampleStore {
  public:
    static constexpr size_t kChunkSamples = 8192;

    size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }

    void Append(const StoredSample& sample);
    // i < Size().
    const StoredSample& At(size_t i) const {
        size_t slot = i + frontSkip_;
        return chunks_[slot / kChunkSamples]->samples[slot % kChunkSamples];
    }

    // Drops the oldest n samples (all when n >= Size()).
    void EraseFront(size_t n);
    void Clear();

    // Bytes held for samples, chunk bookkeeping included.
    size_t MemoryBytes() const;

  private:
    struct Chunk {
        StoredSample samples[kChunkSamples];
    };
    std::vector<std::unique_ptr<Chunk>> chunks_;
    size_t frontSkip_ = 0;  // unused slots at the start of the first chunk
    size_t size_ = 0;
};
