// zoduz-cli check and contracts: exit statuses, --fail-on, formats and usage errors, on the
// reference corpus.
#include <gtest/gtest.h>

#include "cli_runner.h"

namespace {

const std::string kResets = std::string(ZODUZ_REFERENCE_DIR) + "/hand_resets.zaz";
const std::string kClean = std::string(ZODUZ_REFERENCE_DIR) + "/hand_data_texts.zaz";

TEST(CheckCli, ExitStatusFollowsFailOn) {
    CliResult errors = RunCli("check " + kResets);
    EXPECT_EQ(errors.status, 4);
    ASSERT_EQ(errors.lines.size(), 2u);
    EXPECT_EQ(errors.lines[0].rfind("20000\terror\tP-MSGID-RESET\t0\t", 0), 0u);
    EXPECT_EQ(RunCli("check " + kResets + " --fail-on never").status, 0);
    EXPECT_EQ(RunCli("check " + kResets + " --fail-on warning").status, 4);
    CliResult clean = RunCli("check " + kClean);
    EXPECT_EQ(clean.status, 0);
    EXPECT_TRUE(clean.lines.empty());
}

TEST(CheckCli, JsonLines) {
    CliResult json = RunCli("check " + kResets + " --format json --profile 3.0");
    ASSERT_EQ(json.lines.size(), 2u);
    EXPECT_EQ(json.lines[1],
              "{\"rule\":\"T-HARDRESET\",\"severity\":\"error\",\"packets\":[1],\"time\":22280,"
              "\"measured\":null,\"limit\":{\"value\":35,\"unit\":\"ms\"},\"text\":\"After Hard "
              "Reset #1, VBUS did not start falling (tPSHardReset 25 ms to 35 ms)\"}");
}

TEST(CheckCli, UsageAndFileErrors) {
    for (const char* args : {"check", "check A B", "check A --format xml", "check A --fail-on x",
                             "check A --profile 2.0", "contracts A --fail-on error", "contracts"}) {
        EXPECT_EQ(RunCli(args).status, 2) << args;
    }
    EXPECT_EQ(RunCli("check /nonexistent.zaz").status, 1);
    EXPECT_EQ(RunCli("contracts /nonexistent.zaz").status, 1);
    EXPECT_EQ(RunCli("check " + kResets + " --tolerant").status, 4);
}

TEST(CheckCli, ContractsOfTheSprCorpus) {
    CliResult tsv = RunCli("contracts " + std::string(ZODUZ_REFERENCE_DIR) + "/spr.zaz");
    EXPECT_EQ(tsv.status, 0);
    ASSERT_FALSE(tsv.lines.empty());
    EXPECT_NE(tsv.lines[0].find("\tFixed\t4\t20000\t"), std::string::npos) << tsv.lines[0];
    CliResult json =
        RunCli("contracts " + std::string(ZODUZ_REFERENCE_DIR) + "/spr.zaz --format json");
    ASSERT_EQ(json.lines.size(), tsv.lines.size());
    EXPECT_NE(json.lines[0].find("\"type\":\"Fixed\",\"position\":4,\"voltage\":20000"),
              std::string::npos);
}

}  // namespace
