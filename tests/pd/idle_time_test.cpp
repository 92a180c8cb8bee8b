// Bus idle time before each packet, and the column context of a document.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "columns/column_text.h"
#include "columns/idle_time.h"

namespace {

// A packet at relTime lasting totalTicks x clockDivider / 48 microseconds.
PacketPtr PacketAt(int64_t relTime, int32_t totalTicks, int32_t clockDivider) {
    auto packet = std::make_shared<CCCPacket>();
    packet->relTime = relTime;
    packet->totalTicks = totalTicks;
    packet->clockDivider = clockDivider;
    return packet;
}

TEST(IdleTime, RunsFromTheEndOfThePreviousPacket) {
    // 4800 ticks at divider 10 last 1000 us; 100 ticks at divider 1 last 2 us (truncated).
    const std::vector<PacketPtr> packets = {PacketAt(5000, 4800, 10), PacketAt(7000, 100, 1),
                                            PacketAt(7001, 4800, 10)};
    // The first from the origin, then from each end: 7000 - 6000, 7001 - 7002.
    EXPECT_EQ(IdleTimes(packets, 0), (std::vector<int64_t>{5000, 1000, -1}));
}

TEST(IdleTime, TheOriginMovesOnlyTheFirstPacket) {
    const std::vector<PacketPtr> packets = {PacketAt(5000, 4800, 10), PacketAt(7000, 4800, 10)};
    // Origin on the second packet: the first starts 2000 us before it.
    EXPECT_EQ(IdleTimes(packets, 7000), (std::vector<int64_t>{-2000, 1000}));
}

TEST(IdleTime, TrackerCountsEveryPacketItIsShown) {
    // A view that hides the middle packet still passes it to the tracker: the third packet's
    // idle time runs from the hidden packet's end.
    IdleTimeTracker tracker(0);
    EXPECT_EQ(tracker.Next(*PacketAt(0, 4800, 10)), 0);
    EXPECT_EQ(tracker.Next(*PacketAt(3000, 4800, 10)), 2000);
    EXPECT_EQ(tracker.Next(*PacketAt(4500, 4800, 10)), 500);
}

TEST(IdleTime, MissingPacketsNeitherCountNorAdvance) {
    const std::vector<PacketPtr> packets = {PacketAt(100, 0, 0), nullptr, PacketAt(300, 0, 0)};
    EXPECT_EQ(IdleTimes(packets, 0), (std::vector<int64_t>{100, 0, 200}));
}

TEST(ColumnContext, TextsReadTheContextNotThePacketsDocument) {
    const PacketPtr packet = PacketAt(1500, 0, 0);
    ColumnContext context{.timeOrigin = 1000};
    EXPECT_EQ(ColumnText({packet.get(), 0, 0}, kColumnTimestamp, context), "  0s   0ms 500us");
    EXPECT_EQ(ColumnText({packet.get(), 0, -1500}, kColumnIdleTime, context), "- 0s   1ms 500us");
    EXPECT_EQ(ColumnSortKey({packet.get(), 0, -1500}, kColumnIdleTime, context), -1500);
    // Without a lookup a packet without snapshot has no VBUS values.
    EXPECT_EQ(ColumnText({packet.get(), 0, 0}, kColumnVbusVoltage, context), "");
    int asked = 0;
    context.samples = [&](int64_t relTime) -> std::optional<PacketVbusValues> {
        ++asked;
        EXPECT_EQ(relTime, 1500);  // on the packets' scale, whatever the origin
        return PacketVbusValues{.vbusVoltage = 20000, .vbusCurrent = 1500};
    };
    EXPECT_EQ(ColumnText({packet.get(), 0, 0}, kColumnVbusVoltage, context), "20.00");
    context.reverseCurrent = true;
    EXPECT_EQ(ColumnText({packet.get(), 0, 0}, kColumnVbusCurrent, context), "-1.500");
    EXPECT_EQ(ColumnText({packet.get(), 0, 0}, kColumnVbusWattage, context), "-30.000");
    // Sort keys never negate.
    EXPECT_EQ(ColumnSortKey({packet.get(), 0, 0}, kColumnVbusCurrent, context), 1500);
    EXPECT_EQ(asked, 4);
    EXPECT_FALSE(packet->vbusValid);
}

}  // namespace
