// Running sample extremes and the packet occurrence counters the find and filter dialog reads.
#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "capture/packet_statistics.h"
#include "capture/sample_stats.h"
#include "capture/stored_sample.h"

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

TEST(SampleStats, ARunGivesWhatOneCallPerSampleGives) {
    // Equal VBUS powers at several samples: the first of them names the voltage and current.
    std::vector<CVbusInfo> samples = {Sample(5000, 2000, 100, 10, 20000, -3000),
                                      Sample(10000, 1000),
                                      Sample(20000, 500),
                                      Sample(4000, -2500),
                                      Sample(10000, -1000, -300, 5),
                                      Sample(5000, -2000),
                                      Sample(65535, 32767),
                                      Sample(65535, -32768, 999, -1),
                                      Sample(65535, 32767, 0, 0, 5, 7)};
    for (size_t split = 0; split <= samples.size(); ++split) {
        SampleStats single;
        for (const CVbusInfo& sample : samples) {
            UpdateSampleStats(single, sample);
        }
        std::vector<StoredSample> packed;
        for (const CVbusInfo& sample : samples) {
            packed.push_back(PackSample(sample));
        }
        SampleStats runs;
        UpdateSampleStats(runs, std::span<const StoredSample>(packed.data(), split));
        UpdateSampleStats(
            runs, std::span<const StoredSample>(packed.data() + split, packed.size() - split));
        SCOPED_TRACE(split);
        EXPECT_EQ(runs.maxVoltage, single.maxVoltage);
        EXPECT_EQ(runs.maxCurrent, single.maxCurrent);
        EXPECT_EQ(runs.minCurrent, single.minCurrent);
        EXPECT_EQ(runs.maxPower, single.maxPower);
        EXPECT_EQ(runs.minPower, single.minPower);
        EXPECT_EQ(runs.maxVbusPower, single.maxVbusPower);
        EXPECT_EQ(runs.maxVbusPowerVoltage, single.maxVbusPowerVoltage);
        EXPECT_EQ(runs.maxVbusPowerCurrent, single.maxVbusPowerCurrent);
        EXPECT_EQ(runs.minVbusPower, single.minVbusPower);
        EXPECT_EQ(runs.minVbusPowerVoltage, single.minVbusPowerVoltage);
        EXPECT_EQ(runs.minVbusPowerCurrent, single.minVbusPowerCurrent);
    }
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
