// zoduz-cli monitor on the virtual analyzer: the header, one line a second with the control
// view's texts, and its argument errors.
#include <gtest/gtest.h>

#include <regex>

#include "cli_run.h"

namespace {

constexpr size_t kFields = 14;

}  // namespace

TEST(MonitorCli, PrintsTheReadoutsOnceASecond) {
    TempDir dir;
    CliRun run = RunCli("monitor --virtual epr --seconds 3", dir);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_GE(run.out.size(), 4u);
    EXPECT_LE(run.out.size(), 5u);
    EXPECT_EQ(run.out[0],
              "second\tvbus_voltage\tvbus_current\tvbus_power\tdirection\tcc1_voltage\t"
              "cc1_current\tcc2_voltage\tcc2_current\tvconn_voltage\tvconn_power\tcc_status\t"
              "peak_power\tpeak_power_rvs");
    const std::regex volts(R"(\d+\.\d\d \[V\])");
    const std::regex amps(R"(-?\d\.\d\d\d \[A\])");
    const std::regex watts(R"(-?\d+\.\d\d \[W\])");
    for (size_t i = 1; i < run.out.size(); ++i) {
        const std::vector<std::string> fields = Split(run.out[i]);
        ASSERT_EQ(fields.size(), kFields) << run.out[i];
        EXPECT_EQ(fields[0], std::to_string(i - 1));
        EXPECT_TRUE(std::regex_match(fields[1], volts)) << fields[1];
        EXPECT_TRUE(std::regex_match(fields[2], amps)) << fields[2];
        EXPECT_TRUE(std::regex_match(fields[3], watts)) << fields[3];
        EXPECT_TRUE(std::regex_match(fields[5], volts)) << fields[5];
        EXPECT_TRUE(std::regex_match(fields[6], amps)) << fields[6];
        EXPECT_TRUE(std::regex_match(fields[9], volts)) << fields[9];
        EXPECT_TRUE(std::regex_match(fields[10], watts)) << fields[10];
    }
    // By the last line VBUS is up: a direction, a CC status and a peak.
    const std::vector<std::string> last = Split(run.out.back());
    EXPECT_NE(last[4], "-");
    EXPECT_NE(last[11], "-");
    EXPECT_TRUE(std::regex_match(
        last[12], std::regex(R"(\d+\.\d\d \[W\] \(\d+\.\d\d \[V\] \d\.\d\d\d \[A\]\))")))
        << last[12];
}

TEST(MonitorCli, BadArgumentsAreUsageErrors) {
    TempDir dir;
    CliRun unknown = RunCli("monitor --virtual no-such-scenario --seconds 1", dir);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "zoduz-cli monitor: unknown scenario 'no-such-scenario'\n");
    CliRun seconds = RunCli("monitor --virtual --seconds -1", dir);
    EXPECT_EQ(seconds.status, 2);
    EXPECT_NE(seconds.err.find("--seconds takes a number of seconds of 0 or more"),
              std::string::npos);
    CliRun option = RunCli("monitor --bogus", dir);
    EXPECT_EQ(option.status, 2);
    EXPECT_NE(option.err.find("usage: zoduz-cli monitor"), std::string::npos);
}
