// zoduz-cli measure: the "O to X" line with energy and average as the graph shows it, the
// positive and negative energy, the sample count, packet ends and the error statuses.
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "columns/column_text.h"
#include "graph_test_data.h"

namespace {

class MeasureCli : public testing::Test {
  protected:
    void SetUp() override {
        // 5 V and 1 A, one sample every millisecond for 3.6 s, then 1 A against VBUS.
        std::vector<int> currents(3601, 1000);
        currents.insert(currents.end(), 1000, -1000);
        path_ = dir_.File("load.zaz");
        WriteCurrents(path_, currents);
    }
    std::string File() const { return "'" + path_ + "'"; }

    TempDir dir_;
    std::string path_;
};

}  // namespace

TEST_F(MeasureCli, EnergyBetweenTwoTimes) {
    CliResult r = RunCli("measure " + File() + " --from 0 --to 3600000");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 4u);
    // 5 W for 3.6 s: 18,000 mJ, 5 mWh.
    EXPECT_EQ(r.lines[0], "O to X : " + FormatTime(3'600'000) + " (5.00[mWh] Ave=5.00[W])");
    EXPECT_EQ(r.lines[1], "positive[mJ]\t18000.000");
    EXPECT_EQ(r.lines[2], "negative[mJ]\t0.000");
    EXPECT_EQ(r.lines[3], "samples\t3601");
}

TEST_F(MeasureCli, ReverseCurrentSignsAndBackwardMarkers) {
    // From 3.6 s to 4.6 s the current flows the other way: 5000 mJ, half a segment of it at
    // the crossing from +1 A to -1 A counted positive.
    CliResult r = RunCli("measure " + File() + " --from 4600000 --to 3600000 --reverse-current");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(r.lines[1], "positive[mJ]\t1.250");
    EXPECT_EQ(r.lines[2], "negative[mJ]\t4996.250");
    // E = 1.25 - 4996.25 mJ, shown negated; the average divides by X - O = -1 s, then negated.
    EXPECT_EQ(r.lines[0], "O to X : " + FormatTime(-1'000'000) + " (1.39[mWh] Ave=-4.99[W])");
    EXPECT_EQ(r.lines[3], "samples\t1001");
}

TEST_F(MeasureCli, EqualTimesAndTimesBeforeTheData) {
    CliResult same = RunCli("measure " + File() + " --from 1000 --to 1000");
    ASSERT_EQ(same.status, 0);
    EXPECT_EQ(same.lines[0], "O to X : " + FormatTime(0) + " (0.00[mWh] Ave=0.00[W])");
    EXPECT_EQ(same.lines[3], "samples\t1");
    // No sample at or before the earlier time: shown as zero energy.
    CliResult before = RunCli("measure " + File() + " --from -5 --to 2000");
    ASSERT_EQ(before.status, 0);
    EXPECT_EQ(before.lines[1], "positive[mJ]\t0.000");
    EXPECT_EQ(before.lines[3], "samples\t3");
}

TEST_F(MeasureCli, ErrorsAndUsage) {
    EXPECT_EQ(RunCli("measure").status, 2);
    EXPECT_EQ(RunCli("measure " + File() + " --from 0").status, 2);
    EXPECT_EQ(RunCli("measure " + File() + " --from x --to 5").status, 2);
    EXPECT_EQ(RunCli("measure " + File() + " --from 0 --from 1 --to 5").status, 2);
    EXPECT_EQ(RunCli("measure " + File() + " --from 0 --to 5 --bogus").status, 2);
    EXPECT_EQ(RunCli("measure " + File() + " --from-packet -1 --to 5").status, 2);
    // The file has no packets.
    EXPECT_EQ(RunCli("measure " + File() + " --from-packet 0 --to 5").status, 1);
    EXPECT_EQ(RunCli("measure '" + dir_.File("missing.zaz") + "' --from 0 --to 5").status, 1);
}
