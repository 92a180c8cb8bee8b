// Live readings of the reader thread: calibration, scaling and the VBUS presence changes.
#include <gtest/gtest.h>

#include <vector>

#include "capture/record_block.h"
#include "live/live_readings.h"
#include "stream_builder.h"

namespace {

// The bytes of one SampleBlock per list of samples.
std::vector<uint8_t> Chunk(std::initializer_list<std::vector<RawSample>> blocks) {
    StreamBuilder builder(false);
    for (const std::vector<RawSample>& samples : blocks) {
        builder.AddSampleBlock(static_cast<uint16_t>(0x2000 | samples.size()), samples);
    }
    return builder.Bytes();
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
        Chunk({{{100, 4000, 10, 300, 0, 0, 0}, {200, 5000, -100, 400, 3, 1700, 100}}});
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
    StreamBuilder builder(false);
    builder.AddEdgeBlock(1, 0x12, 3, 0, 0, std::vector<uint8_t>(56, 0x20));
    builder.Add(PlaceholderInfoBlock());
    builder.AddSampleBlock(0x2001, {{7, 1234, 0, 0, 0, 0, 0}});
    builder.AddSampleBlock(0x2001, {{8, 9999, 0, 0, 0, 0, 0}});
    std::vector<uint8_t> chunk = builder.Bytes();
    readings.Extract(chunk.data(), chunk.size() - 24);  // the last block only in part
    EXPECT_EQ(live.vbusVoltageRaw.load(), 1234);
    EXPECT_EQ(live.lastSampleTime.load(), 7);
}

TEST(LiveReadings, TimestampsWidenAcrossTheWrapAndRestartWithEachFile) {
    LiveValues live;
    LiveReadings readings(live, {}, {});
    std::vector<uint8_t> chunk =
        Chunk({{{0xFFFFFFF0u, 0, 0, 0, 0, 0, 0}, {0x00000010u, 0, 0, 0, 0, 0, 0}}});
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(live.lastSampleTime.load() - live.firstSampleTime.load(), 32);

    readings.RestartTiming();
    EXPECT_EQ(live.firstSampleTime.load(), -1);
    chunk = Chunk({{{500, 0, 0, 0, 0, 0, 0}}});
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
        {{1, 999, 0, 0, 0, 0, 0}, {2, 1000, 0, 400, 0, 1700, 0}, {3, 20000, 0, 0, 0, 0, 0}},
        {{4, 999, 0, 10, 0, 20, 0}, {5, 0, 0, 0, 0, 0, 0}},
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
    std::vector<uint8_t> chunk =
        Chunk({{{1, 5000, 0, 0, 0, 0, 0}, {2, 5000, 0, 0, 0, 0, 0}, {3, 5100, 0, 0, 0, 0, 0}}});
    readings.Extract(chunk.data(), chunk.size());
    readings.Extract(chunk.data(), chunk.size());
    EXPECT_EQ(reports, 1);
}
