// Live readings of the reader thread: calibration, scaling and the VBUS presence changes.
#include <gtest/gtest.h>

#include <vector>

#include "capture/byte_order.h"
#include "capture/record_block.h"
#include "device/live/live_readings.h"

namespace {

struct RawSample {
    uint32_t time = 0;
    uint16_t vbus = 0;
    int16_t vbusCurrent = 0;
    uint16_t cc1 = 0;
    int16_t cc1Current = 0;
    uint16_t cc2 = 0;
    int16_t cc2Current = 0;
};

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

RecordBlock SampleBlock(const std::vector<RawSample>& samples) {
    RecordBlock block;
    Put16(block.bytes.data(), static_cast<uint16_t>(0x2000 | samples.size()));
    for (size_t i = 0; i < samples.size(); ++i) {
        uint8_t* p = block.bytes.data() + 2 + 16 * i;
        const RawSample& s = samples[i];
        Put16(p, static_cast<uint16_t>(s.time));
        Put16(p + 2, static_cast<uint16_t>(s.time >> 16));
        Put16(p + 4, s.vbus);
        Put16(p + 6, static_cast<uint16_t>(s.vbusCurrent));
        Put16(p + 8, s.cc1);
        Put16(p + 10, static_cast<uint16_t>(s.cc1Current));
        Put16(p + 12, s.cc2);
        Put16(p + 14, static_cast<uint16_t>(s.cc2Current));
    }
    return block;
}

std::vector<uint8_t> Chunk(const std::vector<RecordBlock>& blocks) {
    std::vector<uint8_t> bytes;
    for (const RecordBlock& b : blocks) {
        bytes.insert(bytes.end(), b.bytes.begin(), b.bytes.end());
    }
    return bytes;
}

}  // namespace

TEST(Calibration, RatioOfOneKeepsTheReadingOthersTruncateTowardZero) {
    EXPECT_EQ(Calibrate(1000000, 5000), 5000);
    EXPECT_EQ(Calibrate(1010000, 5000), 5050);
    EXPECT_EQ(Calibrate(1010000, -93), -93);  // -93.93 truncates toward zero
    EXPECT_EQ(Calibrate(990000, -1500), -1485);
    EXPECT_EQ(Calibrate(2000000, 30757), 61514);
}

TEST(LiveReadings, StoresRawScaledAndCalibratedValuesOfTheNewestSample) {
    LiveValues live;
    CalibrationRatios ratios;
    ratios.vbusVoltage = 1010000;
    ratios.cc2Current = 500000;
    LiveReadings readings(live, ratios, {});
    std::vector<uint8_t> chunk =
        Chunk({SampleBlock({{100, 4000, 10, 300, 0, 0, 0}, {200, 5000, -100, 400, 3, 1700, 100}})});
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(live.vbusVoltageRaw.load(), 5000);
    EXPECT_EQ(live.vbusVoltage.load(), 5050);
    EXPECT_EQ(live.vbusCurrent.load(), -93);  // a negative current stays negative
    EXPECT_EQ(live.vbusCurrentCal.load(), -93);
    EXPECT_EQ(live.cc1VoltageRaw.load(), 400);
    EXPECT_EQ(live.cc1Current.load(), 2);
    EXPECT_EQ(live.cc2Voltage.load(), 1700);
    EXPECT_EQ(live.cc2Current.load(), 93);
    EXPECT_EQ(live.cc2CurrentCal.load(), 46);
    EXPECT_EQ(live.firstSampleTime.load(), 100);
    EXPECT_EQ(live.lastSampleTime.load(), 200);
}

TEST(LiveReadings, IgnoresEdgeBlocksInfoBlocksAndATrailingPartialBlock) {
    LiveValues live;
    LiveReadings readings(live, {}, {});
    RecordBlock edge;
    Put16(edge.bytes.data(), 0x4123);
    RecordBlock info;
    Put16(info.bytes.data(), 0xFFF0);
    std::vector<uint8_t> chunk = Chunk({edge, info, SampleBlock({{7, 1234, 0, 0, 0, 0, 0}})});
    RecordBlock late = SampleBlock({{8, 9999, 0, 0, 0, 0, 0}});
    chunk.insert(chunk.end(), late.bytes.begin(), late.bytes.begin() + 40);
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(live.vbusVoltageRaw.load(), 1234);
    EXPECT_EQ(live.lastSampleTime.load(), 7);
}

TEST(LiveReadings, TimestampsWidenAcrossTheWrapAndRestartWithEachFile) {
    LiveValues live;
    LiveReadings readings(live, {}, {});
    std::vector<uint8_t> chunk =
        Chunk({SampleBlock({{0xFFFFFFF0u, 0, 0, 0, 0, 0, 0}, {0x00000010u, 0, 0, 0, 0, 0, 0}})});
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(live.lastSampleTime.load() - live.firstSampleTime.load(), 32);

    readings.RestartTiming();
    EXPECT_EQ(live.firstSampleTime.load(), -1);
    chunk = Chunk({SampleBlock({{500, 0, 0, 0, 0, 0, 0}})});
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(live.firstSampleTime.load(), 500);
}

TEST(LiveReadings, ReportsVbusPresenceOnlyWhenItChangesAt1000Millivolts) {
    LiveValues live;
    CalibrationRatios ratios;
    ratios.vbusVoltage = 1010000;
    std::vector<VbusPresenceChange> changes;
    LiveReadings readings(live, ratios, [&](const VbusPresenceChange& c) { changes.push_back(c); });
    std::vector<uint8_t> chunk = Chunk({
        SampleBlock(
            {{1, 999, 0, 0, 0, 0, 0}, {2, 1000, 0, 400, 0, 1700, 0}, {3, 20000, 0, 0, 0, 0, 0}}),
        SampleBlock({{4, 999, 0, 10, 0, 20, 0}, {5, 0, 0, 0, 0, 0, 0}}),
    });
    readings.Extract(chunk.data(), chunk.size());
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].present);
    EXPECT_EQ(changes[0].vbusVoltage, 1010);
    EXPECT_EQ(changes[0].cc1Voltage, 400);
    EXPECT_EQ(changes[0].cc2Voltage, 1700);
    EXPECT_FALSE(changes[1].present);
    EXPECT_EQ(changes[1].vbusVoltage, 1008);
    EXPECT_EQ(changes[1].cc1Voltage, 10);
}

TEST(LiveReadings, VbusAlreadyPresentAtConnectIsReportedOnceWithTheFirstSample) {
    LiveValues live;
    int reports = 0;
    LiveReadings readings(live, {}, [&](const VbusPresenceChange&) { ++reports; });
    std::vector<uint8_t> chunk = Chunk({SampleBlock(
        {{1, 5000, 0, 0, 0, 0, 0}, {2, 5000, 0, 0, 0, 0, 0}, {3, 5100, 0, 0, 0, 0, 0}})});
    readings.Extract(chunk.data(), chunk.size());
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(reports, 1);
}
