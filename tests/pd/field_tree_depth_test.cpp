// Depths of the tree nodes: the reassembled data block is a top-level node, so its lines and
// words are one level below it, while the lines of a message's own extended data hang below the
// "Extended Data" node under the packet.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/field_tree.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

using Depths = std::vector<std::pair<uint32_t, int32_t>>;

// Codes and depths of the nodes from the first node with code `from` on.
Depths DepthsFrom(const PacketTree& tree, uint32_t from) {
    Depths depths;
    bool started = false;
    for (const PacketTreeNode& node : tree.nodes) {
        started = started || node.code == from;
        if (started) {
            depths.emplace_back(node.code, node.depth);
        }
    }
    return depths;
}

TEST(PacketTreeDepth, LinesOfTheReassembledBlockAreChildrenOfTheBlockNode) {
    ChunkAssembler assembler;
    const std::vector<uint8_t> data = hand::Counting(24, 0x40);
    auto scedb = hand::Extended(
        kOsSop, {.type = kExtSourceCapabilitiesExtended, .dataSize = 24, .chunked = false}, data);
    AssembleChunks(assembler, *scedb);
    ASSERT_TRUE(scedb->chunkBuffer);
    const PacketTree tree = BuildPacketTree(*scedb, 0);
    // The message's own data lines sit below "Extended Data" (depth 1) ...
    EXPECT_EQ(DepthsFrom(tree, 0x10000000),
              (Depths{{0x10000000, 1},
                      {0x10000000, 2},
                      {0x10000010, 2},
                      // ... the block's lines below the top-level block node.
                      {0x20000000, 0},
                      {0x20000000, 1},
                      {0x20000010, 1}}));
}

TEST(PacketTreeDepth, WordsOfAnEprCapabilitiesBlockAreChildrenOfTheBlockNode) {
    ChunkAssembler assembler;
    auto caps =
        hand::Extended(kOsSop, {.type = kExtEprSinkCapabilities, .dataSize = 8, .chunked = false},
                       {0x2C, 0x91, 0x01, 0x00, 0x2C, 0xD1, 0x02, 0x00});
    AssembleChunks(assembler, *caps);
    ASSERT_TRUE(caps->chunkBuffer);
    EXPECT_EQ(DepthsFrom(BuildPacketTree(*caps, 0), 0x20000000),
              (Depths{{0x20000000, 0}, {0x24000000, 1}, {0x24010000, 1}}));
}

}  // namespace
