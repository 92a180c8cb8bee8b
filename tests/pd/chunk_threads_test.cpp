// The first chunk of an extended message is read by other threads (an export, the checks) while
// the later chunks are still being reassembled into its block.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/extended_text.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

PacketPtr EprChunk(int chunk, const std::vector<uint8_t>& data) {
    return hand::Extended(
        kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .chunk = chunk}, data);
}

TEST(ChunkThreads, AReaderOfTheFirstChunkSeesOnlyWholeBytesWhileLaterChunksArrive) {
    constexpr int kMessages = 2000;
    std::vector<PacketPtr> firsts(kMessages);
    std::atomic<int> stored{0};
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!done) {
            const int count = stored.load(std::memory_order_acquire);
            if (count == 0) {
                continue;
            }
            const std::span<const uint8_t> block = ReassembledBytes(*firsts[count - 1]);
            // Either the first chunk alone or the whole message; every held byte is the one sent.
            if (block.size() != 26 && block.size() != 40) {
                ++wrong;
            }
            for (size_t i = 0; i < block.size(); ++i) {
                if (block[i] != static_cast<uint8_t>(i + 1)) {
                    ++wrong;
                }
            }
        }
    });
    ChunkAssembler assembler;
    for (int m = 0; m < kMessages; ++m) {
        PacketPtr first = EprChunk(0, hand::Counting(26, 1));
        AssembleChunks(assembler, *first);
        firsts[m] = first;
        stored.store(m + 1, std::memory_order_release);
        PacketPtr second = EprChunk(1, hand::Counting(14, 27));
        AssembleChunks(assembler, *second);
    }
    done = true;
    reader.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ReassembledBytes(*firsts.back()).size(), 40u);
}

}  // namespace
