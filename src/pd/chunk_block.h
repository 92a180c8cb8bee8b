// The data block of an extended message, reassembled from its chunks and shared by the chunk
// packets. The first chunk's packet is stored before the later chunks arrive, and readers on
// other threads may read it meanwhile, so the block is published in steps: the bytes below the
// published length never change again, and readers see only those.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class ChunkBlock {
  public:
    // A block of `size` bytes (the message's Data Size), none published.
    explicit ChunkBlock(size_t size) : bytes_(size, uint8_t{0}) {}

    // The bytes published so far.
    std::span<const uint8_t> Bytes() const {
        return {bytes_.data(), published_.load(std::memory_order_acquire)};
    }
    size_t Size() const { return bytes_.size(); }

    // For the one writer: publishes the next `length` bytes (never beyond the block), taken from
    // `bytes` as far as it reaches; the others stay zero.
    void Append(std::span<const uint8_t> bytes, size_t length);
    // The message ends here: what was not received reads as zero.
    void PublishAll() { published_.store(bytes_.size(), std::memory_order_release); }

  private:
    std::vector<uint8_t> bytes_;
    std::atomic<size_t> published_{0};
};

using ChunkBuffer = std::shared_ptr<ChunkBlock>;
