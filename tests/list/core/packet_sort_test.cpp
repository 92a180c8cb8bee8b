#include <gtest/gtest.h>

#include <vector>

#include "list/core/packet_rows.h"
#include "list/core/packet_sort.h"
#include "pd/packet_column.h"

namespace {

// Packets numbered 0..n-1 with the given preamble lengths.
std::vector<CCCPacket> WithPreambles(const std::vector<int>& lengths) {
    std::vector<CCCPacket> packets;
    for (size_t i = 0; i < lengths.size(); ++i) {
        CCCPacket packet = GoodPacket();
        packet.packetNumber = static_cast<int>(i);
        packet.preambleLength = lengths[i];
        packets.push_back(packet);
    }
    return packets;
}

std::vector<CCCPacket*> Pointers(std::vector<CCCPacket>& packets) {
    std::vector<CCCPacket*> rows;
    for (CCCPacket& packet : packets) {
        rows.push_back(&packet);
    }
    return rows;
}

}  // namespace

TEST(SortedRowOrder, NumericColumnsCompareTheirKeys) {
    std::vector<CCCPacket> packets = WithPreambles({0, 0, 0});
    packets[0].ccLine = 1;
    packets[1].ccLine = 0;
    packets[2].ccLine = 1;
    const std::vector<CCCPacket*> rows = Pointers(packets);
    EXPECT_EQ(SortedRowOrder(rows, kColumnChannel, false), (std::vector<int>{1, 0, 2}));
    // Descending swaps the operands; equal keys still keep their order.
    EXPECT_EQ(SortedRowOrder(rows, kColumnChannel, true), (std::vector<int>{0, 2, 1}));
}

TEST(SortedRowOrder, TextColumnsCompareTheirTexts) {
    // The preamble length is sorted by its text: "10" before "9".
    std::vector<CCCPacket> packets = WithPreambles({9, 10, 100, 9});
    const std::vector<CCCPacket*> rows = Pointers(packets);
    EXPECT_EQ(SortedRowOrder(rows, kColumnPreambleLength, false), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(SortedRowOrder(rows, kColumnPreambleLength, true), (std::vector<int>{0, 3, 2, 1}));
}

TEST(SortedRowOrder, NoRowsGiveNoOrder) {
    EXPECT_TRUE(SortedRowOrder({}, kColumnPacketNumber, false).empty());
}
