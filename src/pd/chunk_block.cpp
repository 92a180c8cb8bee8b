#include "pd/chunk_block.h"

#include <algorithm>

void ChunkBlock::Append(std::span<const uint8_t> bytes, size_t length) {
    const size_t published = published_.load(std::memory_order_relaxed);
    const size_t count = std::min(length, bytes_.size() - published);
    std::copy_n(bytes.begin(), std::min(count, bytes.size()),
                bytes_.begin() + static_cast<ptrdiff_t>(published));
    published_.store(published + count, std::memory_order_release);
}
