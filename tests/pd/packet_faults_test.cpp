// Why a packet is invalid, from packets encoded bit by bit and decoded as captured: the faults
// found, their words, the tree node that shows them and the list's invalid class.
#include "pd/packet_faults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "list/core/packet_class.h"
#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/field_tree.h"

namespace {

CCCPacket Decoded(const bmc::Bits& bits, uint8_t full = 8, uint8_t half = 4) {
    CCCPacket packet = bmc::Packet(bmc::Intervals(bits, full, half));
    DecodePacket(packet, 0);
    return packet;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08Xh", value);
    return text;
}

// The list's class agrees with the faults, and the tree shows their words under the packet.
void ExpectShown(const CCCPacket& packet, const std::string& text) {
    EXPECT_EQ(PacketFaultText(packet), text);
    EXPECT_EQ(IsInvalidPacket(packet), !text.empty());
    const PacketTree tree = BuildPacketTree(packet, 0);
    const auto node = std::find_if(tree.nodes.begin(), tree.nodes.end(),
                                   [](const PacketTreeNode& n) { return n.code == kNodeFault; });
    if (text.empty()) {
        EXPECT_EQ(node, tree.nodes.end());
    } else {
        ASSERT_NE(node, tree.nodes.end());
        EXPECT_EQ(node - tree.nodes.begin(), 1);  // right under the packet
        EXPECT_EQ(node->depth, 1);
        EXPECT_EQ(node->text, text);
        EXPECT_FALSE(NodeBitRange(packet, kNodeFault).has_value());
    }
}

}  // namespace

TEST(PacketFaults, AGoodMessageAndAGoodResetHaveNone) {
    ExpectShown(Decoded(bmc::MessageBits(bmc::kSop, bmc::SourceCapsBytes())), "");
    ExpectShown(Decoded(bmc::ResetBits(bmc::kHardReset)), "");
    // A packet without edges (never captured) is not judged.
    EXPECT_FALSE(FindPacketFaults(CCCPacket{}).Any());
}

TEST(PacketFaults, AWrongCrcNamesTheExpectedAndTheReceivedValue) {
    const std::vector<uint8_t> bytes = bmc::GoodCrcBytes();
    std::vector<uint8_t> framed = bmc::WithCrc(bytes);
    framed.back() ^= 0x01;
    const uint32_t expected = bmc::ReferenceCrc(bytes);
    const uint32_t received = expected ^ 0x01000000u;
    const CCCPacket packet = Decoded(bmc::FramedBits(bmc::kSop, framed));
    EXPECT_TRUE(FindPacketFaults(packet).crcMismatch);
    ExpectShown(packet, "CRC error: expected " + Hex(expected) + ", received " + Hex(received));
}

TEST(PacketFaults, MissingPartsAndBadSymbolsAreNamed) {
    // The EOP cut off.
    bmc::Bits noEop = bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes());
    noEop.resize(noEop.size() - 5);
    ExpectShown(Decoded(noEop), "Invalid packet: no EOP");

    // An unused 5-bit code as the fifth symbol, right after the ordered set.
    bmc::Bits bad = bmc::Preamble();
    bmc::AppendOrderedSet(bad, bmc::kSop);
    bmc::AppendLine(bad, 0b00000);
    for (uint8_t byte : bmc::WithCrc(bmc::GoodCrcBytes())) {
        bmc::AppendByte(bad, byte);
    }
    bmc::AppendLine(bad, bmc::kEop);
    ExpectShown(Decoded(bad), "Invalid packet: undecodable symbol 4");

    // Edges without the alternating preamble.
    ExpectShown(Decoded(bmc::Bits(120, 0)), "Invalid packet: no preamble");
}

TEST(PacketFaults, AUnitIntervalOutOfRangeIsNamedWithItsValue) {
    // Half again as long as the nominal interval: well above 3.7 us.
    const CCCPacket slow = Decoded(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()), 12, 6);
    ASSERT_TRUE(slow.preambleFound);
    char expected[96];
    std::snprintf(expected, sizeof expected, "Invalid packet: unit interval %.3f us out of range",
                  static_cast<double>(slow.averageUnitInterval));
    ExpectShown(slow, expected);
    // A reset is judged by its unit interval only: it has no EOP and no CRC to miss.
    CCCPacket slowReset = Decoded(bmc::ResetBits(bmc::kHardReset));
    ASSERT_EQ(slowReset.orderedSetKind, kOsHardReset);
    slowReset.averageUnitInterval = 3.9f;
    const PacketFaults faults = FindPacketFaults(slowReset);
    EXPECT_TRUE(faults.unitInterval);
    EXPECT_FALSE(faults.noEop || faults.crcMismatch || faults.undecodable);
    EXPECT_EQ(PacketFaultText(slowReset), "Invalid packet: unit interval 3.900 us out of range");
}
