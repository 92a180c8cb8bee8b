#include <gtest/gtest.h>

#include <vector>

#include "list/core/packet_rows.h"
#include "list/core/packet_sort.h"
#include "pd/packet_column.h"

namespace {

// Packets with the given preamble lengths.
std::vector<CCCPacket> WithPreambles(const std::vector<int>& lengths) {
    std::vector<CCCPacket> packets;
    for (size_t i = 0; i < lengths.size(); ++i) {
        CCCPacket packet = GoodPacket();
        packet.preambleLength = lengths[i];
        packets.push_back(packet);
    }
    return packets;
}

// One row per packet, numbered 0..n-1; idle times as given, else 0.
std::vector<PacketRow> Rows(std::vector<CCCPacket>& packets,
                            const std::vector<int64_t>& idleTimes = {}) {
    std::vector<PacketRow> rows;
    for (size_t i = 0; i < packets.size(); ++i) {
        rows.push_back(
            {&packets[i], static_cast<int32_t>(i), i < idleTimes.size() ? idleTimes[i] : 0});
    }
    return rows;
}

}  // namespace

TEST(SortedRowOrder, NumericColumnsCompareTheirKeys) {
    std::vector<CCCPacket> packets = WithPreambles({0, 0, 0});
    packets[0].ccLine = 1;
    packets[1].ccLine = 0;
    packets[2].ccLine = 1;
    const std::vector<PacketRow> rows = Rows(packets);
    EXPECT_EQ(SortedRowOrder(rows, kColumnChannel, false, {}), (std::vector<int>{1, 0, 2}));
    // Descending swaps the operands; equal keys still keep their order.
    EXPECT_EQ(SortedRowOrder(rows, kColumnChannel, true, {}), (std::vector<int>{0, 2, 1}));
}

TEST(SortedRowOrder, TextColumnsCompareTheirTexts) {
    // The preamble length is sorted by its text: "10" before "9".
    std::vector<CCCPacket> packets = WithPreambles({9, 10, 100, 9});
    const std::vector<PacketRow> rows = Rows(packets);
    EXPECT_EQ(SortedRowOrder(rows, kColumnPreambleLength, false, {}),
              (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(SortedRowOrder(rows, kColumnPreambleLength, true, {}),
              (std::vector<int>{0, 3, 2, 1}));
}

TEST(SortedRowOrder, IdleTimeIsTheRowsOwn) {
    std::vector<CCCPacket> packets = WithPreambles({0, 0, 0});
    const std::vector<PacketRow> rows = Rows(packets, {300, -5, 20});
    EXPECT_EQ(SortedRowOrder(rows, kColumnIdleTime, false, {}), (std::vector<int>{1, 2, 0}));
}

TEST(SortedRowOrder, CurrentsSortUnreversed) {
    // Sort keys never negate the current, whatever the context shows: -2000 mA before 1000 mA.
    std::vector<CCCPacket> packets = WithPreambles({0, 0});
    packets[0].vbusValid = packets[1].vbusValid = true;
    packets[0].cc1Current = 1000;
    packets[1].cc1Current = -2000;
    const std::vector<PacketRow> rows = Rows(packets);
    const ColumnContext reversed{.reverseCurrent = true};
    EXPECT_EQ(SortedRowOrder(rows, kColumnCc1Current, false, reversed), (std::vector<int>{1, 0}));
}

TEST(SortedRowOrder, NoRowsGiveNoOrder) {
    EXPECT_TRUE(SortedRowOrder({}, kColumnPacketNumber, false, {}).empty());
}
