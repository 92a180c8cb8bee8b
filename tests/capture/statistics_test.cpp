// Running sample extremes and the packet occurrence counters the find and filter dialog reads.
#include <gtest/gtest.h>

#include "capture/packet_statistics.h"
#include "capture/sample_stats.h"

namespace {

CVbusInfo Sample(uint16_t vbusMv, int16_t vbusMa, int16_t cc1Mv = 0, int16_t cc1Ma = 0,
                 int16_t cc2Mv = 0, int16_t cc2Ma = 0) {
    CVbusInfo sample;
    sample.vbusVoltage = vbusMv;
    sample.vbusCurrent = vbusMa;
    sample.cc1Voltage = cc1Mv;
    sample.cc1Current = cc1Ma;
    sample.cc2Voltage = cc2Mv;
    sample.cc2Current = cc2Ma;
    return sample;
}

CCCPacket Packet(int32_t kind, bool crcOk, uint16_t header, int32_t ccLine = 0) {
    CCCPacket packet;
    packet.orderedSetKind = kind;
    packet.crcOk = crcOk;
    packet.messageBytes.Assign({static_cast<uint8_t>(header), static_cast<uint8_t>(header >> 8)});
    packet.bytesAssembled = true;  // a decoded message; resets and failed decodes read as 0
    packet.ccLine = ccLine;
    packet.preambleFound = true;
    packet.eopFound = true;
    packet.averageUnitInterval = 3.3f;
    return packet;
}

}  // namespace

TEST(SampleStats, ExtremesReplacedOnlyWhenStrictlyBeyond) {
    SampleStats stats;
    UpdateSampleStats(stats, Sample(5000, 2000, 0, 0, 20000, 3000));
    UpdateSampleStats(stats, Sample(10000, 1000, 999, -1));  // equal VBUS power; -0.999 mW is 0
    UpdateSampleStats(stats, Sample(9000, -1500));
    UpdateSampleStats(stats, Sample(4500, -3000));  // equal negative VBUS power
    UpdateSampleStats(stats, Sample(65535, 0));     // VBUS voltage compared unsigned
    EXPECT_EQ(stats.maxVoltage, 65535);
    EXPECT_EQ(stats.maxCurrent, 3000);
    EXPECT_EQ(stats.minCurrent, -3000);
    EXPECT_EQ(stats.maxPower, 60000);  // CC2: 20 V at 3 A
    EXPECT_EQ(stats.minPower, -13500);
    EXPECT_EQ(stats.maxVbusPower, 10000);
    EXPECT_EQ(stats.maxVbusPowerVoltage, 5000);
    EXPECT_EQ(stats.maxVbusPowerCurrent, 2000);
    EXPECT_EQ(stats.minVbusPower, -13500);
    EXPECT_EQ(stats.minVbusPowerVoltage, 9000);
    EXPECT_EQ(stats.minVbusPowerCurrent, -1500);

    // Extremes start at 0: positive samples leave the minima at 0.
    SampleStats positive;
    UpdateSampleStats(positive, Sample(5000, 500, 1700, 10, 300, 10));
    EXPECT_EQ(positive.minCurrent, 0);
    EXPECT_EQ(positive.minPower, 0);
    EXPECT_EQ(positive.minVbusPower, 0);
    EXPECT_EQ(positive.minVbusPowerVoltage, 0);
}

TEST(PacketStatistics, CountersByKindCrcRolesAndMessageClass) {
    PacketStatistics stats;
    // SOP Source_Capabilities from a Source/DFP, revision 3.0 header.
    CountPacket(stats, Packet(kOsSop, true, 0x11A1));
    // SOP Accept from a Sink/UFP on CC2 with a bad CRC, no preamble, no EOP, no measured UI.
    CCCPacket bad = Packet(kOsSop, false, 0x0083, 1);
    bad.preambleFound = false;
    bad.eopFound = false;
    bad.averageUnitInterval = 0.0f;
    CountPacket(stats, bad);
    // SOP' extended message type 2 with the cable plug bit: no power or data role counted; any
    // line other than 0 counts as CC2.
    CCCPacket cable = Packet(kOsSopPrime, true, 0x81A2, 5);
    cable.averageUnitInterval = 3.71f;
    CountPacket(stats, cable);
    // Hard Reset with crcOk false is no CRC failure; unrecognised and undecoded kinds are other.
    CCCPacket reset = Packet(kOsHardReset, false, 0);
    reset.averageUnitInterval = 3.02f;
    CountPacket(stats, reset);
    CountPacket(stats, Packet(kOsNotDecoded, false, 0x11A1));
    CountPacket(stats, Packet(kOsUnrecognised, true, 0x11A1));
    CountPacket(stats, Packet(kOsSopPrimeDebug, false, 0x0083));

    EXPECT_EQ(stats.total, 7u);
    EXPECT_EQ(stats.cc1, 5u);
    EXPECT_EQ(stats.cc2, 2u);
    EXPECT_EQ(stats.noPreamble, 1u);
    EXPECT_EQ(stats.noEop, 1u);
    EXPECT_EQ(stats.uiOutOfRange, 3u);
    EXPECT_EQ(stats.crcFailed, 2u);
    EXPECT_EQ(stats.kind[kOsSop], 2u);
    EXPECT_EQ(stats.kind[kOsSopPrime], 1u);
    EXPECT_EQ(stats.kind[kOsHardReset], 1u);
    EXPECT_EQ(stats.kind[kOsSopPrimeDebug], 1u);
    EXPECT_EQ(stats.otherKind, 2u);
    EXPECT_EQ(stats.source, 1u);
    EXPECT_EQ(stats.sink, 1u);
    EXPECT_EQ(stats.dfp, 1u);
    EXPECT_EQ(stats.ufp, 1u);
    // Only packets with a good CRC count by class and type.
    EXPECT_EQ(stats.data[1], 1u);
    EXPECT_EQ(stats.extended[2], 1u);
    for (uint32_t count : stats.control) {
        EXPECT_EQ(count, 0u);
    }
    uint32_t classified = 0;
    for (size_t t = 0; t < kMessageTypeSlots; ++t) {
        classified += stats.control[t] + stats.data[t] + stats.extended[t];
    }
    EXPECT_EQ(classified, 2u);
}
