#include <gtest/gtest.h>

#include "capture/scale_current.h"
#include "capture/timestamp_extender.h"

TEST(ScaleCurrent, DeadBandAndTruncationTowardZero) {
    for (int raw = -2; raw <= 2; ++raw) {
        EXPECT_EQ(ScaleCurrent(static_cast<int16_t>(raw)), 0) << raw;
    }
    EXPECT_EQ(ScaleCurrent(3), 2);
    EXPECT_EQ(ScaleCurrent(-3), -2);
    EXPECT_EQ(ScaleCurrent(100), 93);
    EXPECT_EQ(ScaleCurrent(-100), -93);
    EXPECT_EQ(ScaleCurrent(32767), 30757);
}

TEST(TimestampExtender, WrapAdvancesInsteadOfGoingBack) {
    TimestampExtender extender;
    EXPECT_EQ(extender.Extend(0xFFFFFFF0u), 0xFFFFFFF0ll);
    EXPECT_EQ(extender.Extend(0x00000010u), 0x100000010ll);
    EXPECT_EQ(extender.Extend(0x00000010u), 0x100000010ll);  // equal value: no wrap
    extender.Reset();
    EXPECT_EQ(extender.Extend(5), 5);
}
