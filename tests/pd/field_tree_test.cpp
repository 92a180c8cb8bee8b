#include "pd/field_tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/field_test_util.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

using fields::WordBytes;

struct NodeLine {
    uint32_t code;
    int32_t depth;
    std::string text;
    bool operator==(const NodeLine&) const = default;
};

std::vector<NodeLine> Lines(const PacketTree& tree) {
    std::vector<NodeLine> lines;
    for (const PacketTreeNode& node : tree.nodes) {
        lines.push_back({node.code, node.depth, node.text});
    }
    return lines;
}

void PrintTo(const NodeLine& line, std::ostream* out) {
    *out << std::hex << line.code << std::dec << " " << line.depth << " " << line.text;
}

TEST(PacketTree, DataMessageListsHeaderAndDataObjects) {
    auto caps = hand::Data(kDataSourceCapabilities, true, true, {0x0001912C, 0x0002D12C});
    const PacketTree tree = BuildPacketTree(*caps, 7);
    EXPECT_EQ(Lines(tree), (std::vector<NodeLine>{
                               {0x01000000, 0, "Packet #7"},
                               {0x02000000, 1, "Message Header=21A1h"},
                               {0x04000000, 1, "Data Object [1] = 0001912Ch"},
                               {0x04010000, 1, "Data Object [2] = 0002D12Ch"},
                           }));
    EXPECT_EQ(tree.selectedCode, 0x02000000u);
}

TEST(PacketTree, ControlMessageHasOnlyItsHeader) {
    auto goodCrc = hand::Control(kCtrlGoodCrc, true, true);
    EXPECT_EQ(Lines(BuildPacketTree(*goodCrc, 0)),
              (std::vector<NodeLine>{{0x01000000, 0, "Packet #0"},
                                     {0x02000000, 1, "Message Header=01A1h"}}));
}

TEST(PacketTree, PacketWithoutMessageHasOnlyThePacketNode) {
    for (const int32_t kind : {int32_t{kOsHardReset}, int32_t{kOsCableReset},
                               int32_t{kOsSopPrimeDebug}, int32_t{kOsNotDecoded}}) {
        auto packet = hand::Raw(kind, kind == kOsSopPrimeDebug ? std::vector<uint8_t>{0x41, 0x10}
                                                               : std::vector<uint8_t>{});
        const PacketTree tree = BuildPacketTree(*packet, 12);
        EXPECT_EQ(Lines(tree), (std::vector<NodeLine>{{0x01000000, 0, "Packet #12"}}));
        EXPECT_EQ(tree.selectedCode, 0x01000000u);
    }
}

TEST(PacketTree, ExtendedMessageShowsDataLinesAndTheReassembledBlock) {
    // A 40-byte EPR_Source_Capabilities in two chunks.
    std::vector<uint8_t> block;
    for (uint32_t i = 1; i <= 10; ++i) {
        const auto word = WordBytes({0x00019000 + i});
        block.insert(block.end(), word.begin(), word.end());
    }
    ChunkAssembler assembler;
    auto first = hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40},
                                std::vector<uint8_t>(block.begin(), block.begin() + 26));
    AssembleChunks(assembler, *first);
    auto second =
        hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40, .chunk = 1},
                       std::vector<uint8_t>(block.begin() + 26, block.end()));
    AssembleChunks(assembler, *second);

    const PacketTree tree = BuildPacketTree(*first, 3);
    std::vector<NodeLine> expected = {
        {0x01000000, 0, "Packet #3"},
        {0x02000000, 1, "Message Header=F1B1h"},
        {0x08000000, 1, "Extended Message Header=8028h"},
        {0x10000000, 1, "Extended Data (26bytes)"},
        {0x10000000, 2, "+000h : 01900100029001000390010004900100h"},
        {0x10000010, 2, "+010h : 05900100069001000790h"},
        {0x20000000, 0, "Total Extended Data Block (40bytes)"},
    };
    for (uint32_t i = 0; i < 10; ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "Data Object [%u] = %08Xh", i + 1, 0x00019001 + i);
        expected.push_back({0x24000000 + i * 0x10000, 1, text});
    }
    EXPECT_EQ(Lines(tree), expected);
    EXPECT_EQ(tree.selectedCode, 0x02000000u);
    EXPECT_TRUE(tree.nodes[3].expanded);
    EXPECT_TRUE(tree.nodes[6].expanded);

    // The second chunk carries 14 data bytes of its own and shares the block.
    const PacketTree secondTree = BuildPacketTree(*second, 0);
    EXPECT_EQ(secondTree.nodes[3].text, "Extended Data (14bytes)");
    EXPECT_EQ(secondTree.nodes[5].text, "Total Extended Data Block (40bytes)");
}

TEST(PacketTree, OtherExtendedBlocksAreShownAsLines) {
    ChunkAssembler assembler;
    std::vector<uint8_t> data(24, 0xAB);
    auto scedb = hand::Extended(
        kOsSop, {.type = kExtSourceCapabilitiesExtended, .dataSize = 24, .chunked = false}, data);
    AssembleChunks(assembler, *scedb);
    const PacketTree tree = BuildPacketTree(*scedb, 0);
    ASSERT_EQ(tree.nodes.size(), 9u);
    EXPECT_EQ(tree.nodes[6].text, "Total Extended Data Block (24bytes)");
    EXPECT_EQ(tree.nodes[7].code, 0x20000000u);
    EXPECT_EQ(tree.nodes[7].text, "+000h : ABABABABABABABABABABABABABABABABh");
    EXPECT_EQ(tree.nodes[8].code, 0x20000010u);
    EXPECT_EQ(tree.nodes[8].text, "+010h : ABABABABABABABABh");
}

TEST(PacketTree, ExtendedDataIsLimitedToTheBytesCarried) {
    // Data Size 40 but only 6 data bytes in this (unreassembled) chunk.
    auto chunk = hand::Extended(kOsSop, {.type = kExtEprSourceCapabilities, .dataSize = 40},
                                {1, 2, 3, 4, 5, 6});
    const PacketTree tree = BuildPacketTree(*chunk, 0);
    EXPECT_EQ(tree.nodes[3].text, "Extended Data (6bytes)");
    EXPECT_EQ(tree.nodes[4].text, "+000h : 010203040506h");
    // Data Size 0: no data node.
    auto empty = hand::Extended(kOsSop, {.type = kExtStatus, .dataSize = 0}, {});
    EXPECT_EQ(BuildPacketTree(*empty, 0).nodes.size(), 3u);
}

TEST(NodeBitRange, RangesOfEveryNodeKind) {
    auto caps = hand::Data(kDataSourceCapabilities, true, true, {1, 2, 3});
    auto range = [&](uint32_t code) {
        const auto r = NodeBitRange(*caps, code);
        EXPECT_TRUE(r.has_value());
        return std::tuple(r->start, r->length, r->reassembled);
    };
    EXPECT_EQ(range(0), std::tuple(0, 112, false));
    EXPECT_EQ(range(0x01000000), std::tuple(0, 112, false));
    EXPECT_EQ(range(0x02000000), std::tuple(0, 16, false));
    EXPECT_EQ(range(0x04020000), std::tuple(80, 32, false));
    EXPECT_EQ(range(0x04030000), std::tuple(112, 0, false));  // beyond the message
    EXPECT_FALSE(NodeBitRange(*caps, 0x40000000).has_value());

    ChunkAssembler assembler;
    auto status = hand::Extended(kOsSop, {.type = kExtStatus, .dataSize = 7, .chunked = false},
                                 {1, 2, 3, 4, 5, 6, 7});
    AssembleChunks(assembler, *status);
    const auto ext = NodeBitRange(*status, 0x08000000);
    EXPECT_EQ(std::tuple(ext->start, ext->length), std::tuple(16, 16));
    const auto data = NodeBitRange(*status, 0x10000000);
    EXPECT_EQ(std::tuple(data->start, data->length), std::tuple(32, 56));
    const auto line = NodeBitRange(*status, 0x10000000);
    EXPECT_EQ(line->length, data->length);
    const auto block = NodeBitRange(*status, 0x20000000);
    EXPECT_EQ(std::tuple(block->start, block->length, block->reassembled), std::tuple(0, 56, true));
    const auto word = NodeBitRange(*status, 0x24010000);
    EXPECT_EQ(std::tuple(word->start, word->length, word->reassembled), std::tuple(32, 24, true));
}

}  // namespace
