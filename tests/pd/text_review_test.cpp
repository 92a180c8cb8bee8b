// Column texts whose digits depend on how they are computed: the VBUS and CC values in single
// precision, unsigned voltages, the wattage without an integer milliwatt step, the packet length
// beyond 32 bits and the time format at the ends of the 64-bit range.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "columns/column_text.h"
#include "hand_packets.h"
#include "pd/message_header.h"

namespace {

// Texts and keys of a packet without a document: time origin 0, no sample lookup.
std::string Text(const PacketPtr& packet, int column, bool reverse) {
    return ColumnText({packet.get(), 0, 0}, column, {.reverseCurrent = reverse});
}

int64_t Key(const PacketPtr& packet, int column) {
    return ColumnSortKey({packet.get(), 0, 0}, column, {});
}

PacketPtr WithVbus(uint16_t vbusMv, int16_t vbusMa, int16_t cc1Mv, int16_t cc2Mv) {
    PacketPtr packet = hand::Data(kDataSourceCapabilities, true, true, {0x0401912C});
    packet->vbusValid = true;
    packet->vbusVoltage = vbusMv;
    packet->vbusCurrent = vbusMa;
    packet->cc1Voltage = cc1Mv;
    packet->cc2Voltage = cc2Mv;
    return packet;
}

TEST(VbusColumnDigits, VoltagesRoundInSinglePrecision) {
    // 5.005f is slightly above 5.005 (a double is slightly below): the last digit rounds up.
    PacketPtr packet = WithVbus(5005, 0, 2005, 3335);
    EXPECT_EQ(Text(packet, kColumnVbusVoltage, false), "5.01");
    EXPECT_EQ(Text(packet, kColumnCc1Voltage, false), "2.01");
    EXPECT_EQ(Text(packet, kColumnCc2Voltage, false), "3.34");
}

TEST(VbusColumnDigits, CcVoltagesAreShownUnsigned) {
    PacketPtr packet = WithVbus(0, 0, -1, -32768);
    EXPECT_EQ(Text(packet, kColumnCc1Voltage, false), "65.54");
    EXPECT_EQ(Text(packet, kColumnCc2Voltage, false), "32.77");
    // The sort keys of the CC columns stay signed.
    EXPECT_EQ(Key(packet, kColumnCc1Voltage), -1);
    EXPECT_EQ(Key(packet, kColumnCc2Voltage), -32768);
}

TEST(VbusColumnDigits, WattageIsOneFloatingPointProductWithoutMilliwattTruncation) {
    // 0.999 mW: an integer milliwatt step would show 0.000.
    EXPECT_EQ(Text(WithVbus(999, 1, 0, 0), kColumnVbusWattage, false), "0.001");
    // 35.861 mW rounds to 0.036 W, not 0.035.
    EXPECT_EQ(Text(WithVbus(5123, 7, 0, 0), kColumnVbusWattage, false), "0.036");
    EXPECT_EQ(Text(WithVbus(5123, 7, 0, 0), kColumnVbusWattage, true), "-0.036");
    // The largest magnitudes a snapshot can hold.
    EXPECT_EQ(Text(WithVbus(65535, -32768, 0, 0), kColumnVbusWattage, false), "-2147.451");
    EXPECT_EQ(Key(WithVbus(65535, -32768, 0, 0), kColumnVbusWattage), int64_t{-32768} * 65535);
}

TEST(PacketLengthColumn, LongBurstsDoNotWrapAt32Bits) {
    PacketPtr packet = hand::Data(kDataSourceCapabilities, true, true, {0x0401912C});
    packet->totalTicks = 200000000;
    packet->clockDivider = 20;  // the product exceeds the 32-bit range
    EXPECT_EQ(Text(packet, kColumnPacketLength, false), "83333333");
    EXPECT_EQ(Key(packet, kColumnPacketLength), 83333333);
}

TEST(FormatTimeDigits, EndsOfTheRangeSplitAsWithUnboundedNanoseconds) {
    // Hours keep their low 16 bits: 2562047788 h becomes 48940 h.
    EXPECT_EQ(FormatTime(std::numeric_limits<int64_t>::min()), "-48940h  0min 54s 775ms 808us");
    EXPECT_EQ(FormatTime(std::numeric_limits<int64_t>::max()), " 48940h  0min 54s 775ms 807us");
    // 65537 h keeps 1 h.
    EXPECT_EQ(FormatTime(int64_t{65537} * 3600 * 1000000 + 61000001), " 1h  1min  1s 000ms 001us");
}

}  // namespace
