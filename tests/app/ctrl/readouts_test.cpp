// The control view's read-out texts, direction picture, CC status, VCONN and peak power.
#include <gtest/gtest.h>

#include "app/ctrl/readouts.h"
#include "live/capture_state.h"

namespace {

LiveReading Reading(int32_t vbus, int32_t current, int32_t cc1, int32_t cc2, int32_t cc1Current = 0,
                    int32_t cc2Current = 0) {
    LiveReading reading;
    reading.vbusVoltage = vbus;
    reading.vbusCurrent = current;
    reading.cc1Voltage = cc1;
    reading.cc2Voltage = cc2;
    reading.cc1Current = cc1Current;
    reading.cc2Current = cc2Current;
    return reading;
}

}  // namespace

TEST(Readouts, ValueFormats) {
    ControlReadouts out = ComputeReadouts(Reading(20123, 3250, 1650, 5010, 12, -7));
    EXPECT_EQ(out.vbusVoltage, "20.12 [V]");
    EXPECT_EQ(out.vbusCurrent, "3.250 [A]");
    EXPECT_EQ(out.vbusPower, "65.40 [W]");
    EXPECT_EQ(out.cc1Voltage, "1.65 [V]");
    EXPECT_EQ(out.cc1Current, "0.012 [A]");
    EXPECT_EQ(out.cc2Voltage, "5.01 [V]");
    EXPECT_EQ(out.cc2Current, "-0.007 [A]");
    EXPECT_EQ(out.picture, DirectionPicture::Positive);
}

TEST(Readouts, TenMillivoltsOrLessCountAsZero) {
    EXPECT_EQ(FloorVoltage(10), 0);
    EXPECT_EQ(FloorVoltage(-40), 0);
    EXPECT_EQ(FloorVoltage(11), 11);
    ControlReadouts out = ComputeReadouts(Reading(10, 0, 9, 11));
    EXPECT_EQ(out.vbusVoltage, "0.00 [V]");
    EXPECT_EQ(out.cc1Voltage, "0.00 [V]");
    EXPECT_EQ(out.cc2Voltage, "0.01 [V]");
}

TEST(Readouts, UsbAdvertisementWithTheOtherWireNearZeroHasNoVconn) {
    ControlReadouts out = ComputeReadouts(Reading(5000, 500, 600, 5));
    EXPECT_EQ(out.ccStatus, "vRd-USB (CC1)");
    EXPECT_EQ(out.vconnLine, 0);
    EXPECT_EQ(out.vconnVoltage, "0.00 [V]");
    EXPECT_EQ(out.vconnPower, "0.00 [W]");
}

TEST(Readouts, VoltageOnTheWireWithoutStatusIsVconn) {
    ControlReadouts out = ComputeReadouts(Reading(5000, 500, 400, 4900, 0, 120));
    EXPECT_EQ(out.ccStatus, "vRd-USB (CC1)");
    EXPECT_EQ(out.vconnLine, 2);
    EXPECT_EQ(out.vconnVoltage, "4.90 [V]");
    EXPECT_EQ(out.vconnPower, "0.59 [W]");  // 0.120 A x 4.9 V

    ControlReadouts swapped = ComputeReadouts(Reading(5000, 500, 5000, 1650, 300, 0));
    EXPECT_EQ(swapped.ccStatus, "vRd-3.0 (CC2)");
    EXPECT_EQ(swapped.vconnLine, 1);
    EXPECT_EQ(swapped.vconnVoltage, "5.00 [V]");
    EXPECT_EQ(swapped.vconnPower, "1.50 [W]");
}

TEST(Readouts, BothOrNeitherWireAdvertisingMeansNoVconn) {
    ControlReadouts both = ComputeReadouts(Reading(5000, 500, 400, 900));
    EXPECT_EQ(both.ccStatus, "vRd-USB (CC1)vRd-1.5 (CC2)");
    EXPECT_EQ(both.vconnLine, 0);
    ControlReadouts neither = ComputeReadouts(Reading(5000, 500, 3000, 4000));
    EXPECT_EQ(neither.ccStatus, "");
    EXPECT_EQ(neither.vconnLine, 0);
}

TEST(Readouts, ConnectStatusBetweenRanges) {
    EXPECT_EQ(ComputeReadouts(Reading(5000, 0, 650, 0)).ccStatus, "vRd-Connect (CC1)");
    EXPECT_EQ(ComputeReadouts(Reading(5000, 0, 0, 2180)).ccStatus, "vRd-Connect (CC2)");
    EXPECT_EQ(ComputeReadouts(Reading(5000, 0, 0, 2181)).ccStatus, "");
}

TEST(Readouts, NegativeCurrentShowsMagnitudeAndFlipsCcCurrents) {
    ControlReadouts out = ComputeReadouts(Reading(20000, -1500, 1650, 4900, 25, -130));
    EXPECT_EQ(out.vbusCurrent, "1.500 [A]");
    EXPECT_EQ(out.vbusPower, "30.00 [W]");
    EXPECT_EQ(out.picture, DirectionPicture::Negative);
    EXPECT_EQ(out.cc1Current, "-0.025 [A]");
    EXPECT_EQ(out.cc2Current, "0.130 [A]");
    // VCONN power uses the shown (flipped) current.
    EXPECT_EQ(out.vconnLine, 2);
    EXPECT_EQ(out.vconnPower, "0.64 [W]");
}

TEST(Readouts, NoCurrentPictureNeedsVbusAbove3Volts) {
    EXPECT_EQ(ComputeReadouts(Reading(3000, 0, 400, 0)).picture, DirectionPicture::Hidden);
    EXPECT_EQ(ComputeReadouts(Reading(3001, 0, 400, 0)).picture, DirectionPicture::NoCurrent);
    EXPECT_EQ(ComputeReadouts(Reading(0, 1, 0, 0)).picture, DirectionPicture::Positive);
    EXPECT_EQ(ComputeReadouts(Reading(0, -1, 0, 0)).picture, DirectionPicture::Negative);
}

TEST(Readouts, ReadsTheCalibratedLiveValues) {
    LiveValues live;
    live.vbusVoltageRaw = 1;
    live.vbusVoltage = 5050;
    live.vbusCurrent = 2;
    live.vbusCurrentCal = -990;
    live.cc1Voltage = 410;
    live.cc2Voltage = 12;
    live.cc1CurrentCal = 3;
    live.cc2CurrentCal = 4;
    LiveReading reading = ReadLiveValues(live);
    EXPECT_EQ(reading.vbusVoltage, 5050);
    EXPECT_EQ(reading.vbusCurrent, -990);
    EXPECT_EQ(reading.cc1Voltage, 410);
    EXPECT_EQ(reading.cc2Voltage, 12);
    EXPECT_EQ(reading.cc1Current, 3);
    EXPECT_EQ(reading.cc2Current, 4);
}

TEST(PeakPower, PositiveAndNegativeExtremesGiveBothLines) {
    SampleStats stats;
    stats.maxVbusPower = 60000;
    stats.maxVbusPowerVoltage = 20000;
    stats.maxVbusPowerCurrent = 3000;
    stats.minVbusPower = -7500;
    stats.minVbusPowerVoltage = 5000;
    stats.minVbusPowerCurrent = -1500;
    EXPECT_EQ(PeakPowerText(stats),
              "Peak VBUS Power\n  60.00 [W] (20.00 [V] 3.000 [A])\n"
              "Peak VBUS Power (Dir=Rvs)\n  -7.50 [W] (5.00 [V] -1.500 [A])\n");
}

TEST(PeakPower, OnlyNonZeroExtremesAreShown) {
    SampleStats stats;
    EXPECT_EQ(PeakPowerText(stats), "");
    stats.minVbusPower = -2500;
    stats.minVbusPowerVoltage = 5000;
    stats.minVbusPowerCurrent = -500;
    EXPECT_EQ(PeakPowerText(stats),
              "Peak VBUS Power (Dir=Rvs)\n  -2.50 [W] (5.00 [V] -0.500 [A])\n");
}

TEST(Readouts, LinkDownEmptiesValuesAndKeepsTheCcStatus) {
    ControlReadouts last = ComputeReadouts(Reading(5000, 500, 400, 4900));
    ControlReadouts down = LinkDownReadouts(last);
    EXPECT_EQ(down.ccStatus, "vRd-USB (CC1)");
    EXPECT_EQ(down.picture, DirectionPicture::Hidden);
    for (const std::string* text :
         {&down.vbusVoltage, &down.vbusCurrent, &down.vbusPower, &down.cc1Voltage, &down.cc1Current,
          &down.cc2Voltage, &down.cc2Current, &down.vconnVoltage, &down.vconnPower}) {
        EXPECT_EQ(*text, "");
    }
    EXPECT_EQ(down.vconnLine, 0);
}
