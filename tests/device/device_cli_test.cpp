// zoduz-cli devices and command against the virtual analyzer: the listing, the packets sent,
// what the analyzer reports afterwards, and the statuses of refusals and bad arguments.
#include <gtest/gtest.h>

#include "device/cli_run.h"

namespace {

class DeviceCli : public testing::Test {
  protected:
    CliRun Run(const std::string& arguments) { return RunCli(arguments, dir_); }

    TempDir dir_;
};

TEST_F(DeviceCli, DevicesListsTheVirtualAnalyzerWithItsIdentity) {
    CliRun run = Run("devices --virtual");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 2u);
    EXPECT_EQ(run.out[0], "#path\tid\tfirmware\tversion\tstate\tserial");
    EXPECT_EQ(run.out[1], "virtual\t1209:000d\t1.23\t0x0123\tvalid\t53494D000000000000000001");
}

TEST_F(DeviceCli, DevicesShowsRefusedFirmware) {
    CliRun old = Run("devices --virtual --firmware 0.92 --serial 0123456789ABCDEF01234567");
    ASSERT_EQ(old.status, 0);
    ASSERT_EQ(old.out.size(), 2u);
    EXPECT_EQ(Split(old.out[1]), (std::vector<std::string>{"virtual", "1209:000d", "0.92", "0x0092",
                                                           "refused", "0123456789ABCDEF01234567"}));
    CliRun borderline = Run("devices --virtual --firmware 1.01");
    EXPECT_EQ(Split(borderline.out[1])[4], "valid");
    EXPECT_EQ(Split(Run("devices --virtual --firmware 1.00").out[1])[4], "refused");
    // Three characters keep the version at 0.
    EXPECT_EQ(Split(Run("devices --virtual --firmware 1.2").out[1])[3], "0x0000");
}

TEST_F(DeviceCli, WithoutVirtualOnlyTheBusIsListed) {
    CliRun run = Run("devices --ids 1209:000e");
    // A machine without USB prints why on stderr and exits 1; otherwise nothing matches.
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(run.out.size(), 1u);
    EXPECT_EQ(run.status == 0, run.err.empty()) << run.err;
}

TEST_F(DeviceCli, CommandSendsTheTerminationAndTheVoltageFollows) {
    CliRun run = Run("command --virtual cc1 rp-3a");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 3u);
    EXPECT_EQ(run.out[0], "analyzer\tvirtual\t1209:000d\t1.23\t53494D000000000000000001");
    EXPECT_EQ(run.out[1], "sent\tSetCcTermination\tcc1 rp-3a\t43 43 56 4B 01 00 00 00 00 05");
    std::vector<std::string> reading = Split(run.out[2]);
    ASSERT_EQ(reading.size(), 4u);
    EXPECT_EQ(reading[0], "reading");
    int cc1 = std::stoi(reading[1].substr(4));
    EXPECT_GE(cc1, 1310);  // vRd-3.0
    EXPECT_LE(cc1, 2040);
    EXPECT_EQ(reading[3], "interval=1ms");

    CliRun rd = Run("command --virtual cc2 rd");
    EXPECT_EQ(rd.out[1], "sent\tSetCcTermination\tcc2 rd\t43 43 56 4B 01 00 00 00 01 02");
    int cc2 = std::stoi(Split(rd.out[2])[2].substr(4));
    EXPECT_GE(cc2, 250);  // vRd-USB
    EXPECT_LE(cc2, 610);
}

TEST_F(DeviceCli, CommandSamplingIntervalAndFirmwareUpdate) {
    CliRun one = Run("command --virtual sampling-interval 1");
    EXPECT_EQ(one.out[1], "sent\tSetSamplingInterval\t1\t43 43 56 4B 06 00 00 00 00 00 00 00 03");
    CliRun ten = Run("command --virtual sampling-interval 10");
    ASSERT_EQ(ten.status, 0) << ten.err;
    EXPECT_EQ(ten.out[1], "sent\tSetSamplingInterval\t10\t43 43 56 4B 06 00 00 00 09 00 00 00 03");
    EXPECT_EQ(Split(ten.out[2])[3], "interval=10ms");

    CliRun update = Run("command --virtual firmware-update");
    ASSERT_EQ(update.status, 0) << update.err;
    EXPECT_EQ(update.out[1], "sent\tEnterFirmwareUpdate\t-\t43 43 56 4B 07 00 00 00");
    EXPECT_EQ(update.out[2], "reading\tgone");
}

TEST_F(DeviceCli, CommandRefusesOldFirmwareAndBadArguments) {
    CliRun old = Run("command --virtual --firmware 0.92 cc2 rd");
    EXPECT_EQ(old.status, 1);
    EXPECT_TRUE(old.out.empty());
    EXPECT_EQ(old.err,
              "zoduz-cli command: the analyzer at virtual has firmware 0.92, older than "
              "1.01\n");
    for (const char* bad :
         {"command --virtual", "command --virtual cc3 none", "command --virtual cc1 rp-3.0a",
          "command --virtual cc1", "command --virtual sampling-interval -1",
          "command --virtual sampling-interval x", "command --virtual --ids",
          "command --virtual --ids 1209 cc1 none", "devices extra", "devices --bogus",
          "command --virtual firmware-update now"}) {
        CliRun run = Run(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_EQ(run.err.rfind("usage: zoduz-cli ", 0), 0u) << bad;
    }
}

}  // namespace
