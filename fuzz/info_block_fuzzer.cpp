// Arbitrary 64-byte InfoBlocks: every entry read must lie inside the block, and its texts must
// be producible.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "capture/info_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t block[kBlockSize] = {0xF0, 0xFF};
    std::memcpy(block + 2, data, std::min(size, kBlockSize - 2));
    ReadInfoBlock(block, [&](const InfoEntry& entry) {
        const uint8_t* end = entry.value.data() + entry.value.size();
        if (entry.position < 2 || end > block + kBlockSize) {
            std::abort();
        }
        (void)InfoTypeName(entry.type);
        (void)InfoValueText(entry);
        (void)InfoValueI64(entry);
    });
    return 0;
}
