// zoduz-cli find and decode --filter on synthesized record files: every line agrees with the
// criteria tests on the decoded document, and bad criteria give their errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/temp_files.h"
#include "cli_runner.h"
#include "columns/document_context.h"
#include "columns/idle_time.h"
#include "device/sim/simulator.h"
#include "list/core/packet_match.h"
#include "pd/packet_column.h"

namespace {

class FindCli : public testing::Test {
  protected:
    void SetUp() override {
        SimulationOptions options;
        options.scenario = "noisy";
        path_ = dir_.File("noisy.zaz");
        std::string error;
        ASSERT_TRUE(SimulateToFile(options, path_, error)) << error;
        ASSERT_TRUE(doc_.OpenRecordFile(path_));
        context_ = DocumentColumnContext(doc_, false);
        idleTimes_ = IdleTimes(doc_.Packets(), context_.timeOrigin);
    }

    // The lines `find` should print for the criteria, walking forward from the first row.
    std::vector<std::string> ExpectedFind(const FindCriteria& criteria) const {
        std::vector<std::string> lines;
        const std::vector<PacketPtr>& packets = doc_.Packets();
        for (size_t i = 0; i < packets.size(); ++i) {
            const PacketRow row{packets[i].get(), static_cast<int32_t>(i), idleTimes_[i]};
            const int column = MatchFind(criteria, row, context_);
            if (column != -1) {
                lines.push_back(std::to_string(i) + "\t" + std::to_string(column) + "\t" +
                                ColumnShortTitle(column));
            }
        }
        return lines;
    }

    std::string File() const { return "'" + path_ + "'"; }

    TempDir dir_;
    std::string path_;
    CKVDoc doc_;
    ColumnContext context_;
    std::vector<int64_t> idleTimes_;
};

TEST_F(FindCli, DefaultsFindNothing) {
    const CliResult result = RunCli("find " + File());
    EXPECT_EQ(result.status, 3);
    EXPECT_TRUE(result.lines.empty());
}

TEST_F(FindCli, ErrorBoxesMatchOnTheirReasonColumns) {
    FindCriteria criteria = FindDefaults();
    criteria.on[kCritInvalidPacket] = true;
    criteria.on[kCritCrcError] = true;
    const std::vector<std::string> expected = ExpectedFind(criteria);
    const CliResult result =
        RunCli("find " + File() + " --set 'Invalid Packet=on' --set 'CRC Error=on'");
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(result.lines, expected);
    bool preamble = false;
    bool crc = false;
    for (const std::string& line : result.lines) {
        preamble = preamble || line.ends_with("\t33\tPreamble Len");
        crc = crc || line.ends_with("\t26\tCRC");
    }
    EXPECT_TRUE(preamble);
    EXPECT_TRUE(crc);
}

TEST_F(FindCli, CriteriaApplyInOrderAndBackwardWalksFromTheEnd) {
    FindCriteria criteria = FindDefaults();
    SetAllMessageTypes(criteria, true);
    criteria.on[kCritSource] = false;
    std::vector<std::string> expected = ExpectedFind(criteria);
    ASSERT_GE(expected.size(), 3u);
    EXPECT_EQ(RunCli("find " + File() + " --check-all-types --set Source=off").lines, expected);
    EXPECT_EQ(RunCli("find " + File() + " --set Source=off --clear-all --check-all").lines,
              ExpectedFind(FilterStartValues()));

    const CliResult backward = RunCli("find " + File() +
                                      " --check-all-types --set Source=off "
                                      "--backward");
    EXPECT_EQ(backward.lines, std::vector<std::string>(expected.rbegin(), expected.rend()));
    // --from starts next to the row, as Find Next does from the selection.
    const std::string first = expected[0].substr(0, expected[0].find('\t'));
    const CliResult next =
        RunCli("find " + File() + " --check-all-types --set Source=off --from " + first);
    EXPECT_EQ(next.lines, std::vector<std::string>(expected.begin() + 1, expected.end()));
}

TEST_F(FindCli, TextIgnoresAsciiCase) {
    const CliResult result = RunCli("find " + File() + " --text accept");
    ASSERT_EQ(result.status, 0);
    ASSERT_FALSE(result.lines.empty());
    for (const std::string& line : result.lines) {
        EXPECT_TRUE(line.ends_with("\t11\tType") || line.ends_with("\t21\tDescription")) << line;
    }
}

TEST_F(FindCli, DecodeFilterPrintsThePassingPackets) {
    const CliResult all = RunCli("decode " + File());
    const CliResult errors = RunCli("decode --filter --set 'No Errors=off' " + File());
    ASSERT_EQ(errors.status, 0);
    ASSERT_EQ(all.lines.size(), doc_.PacketCount() + 1);
    FindCriteria criteria = FilterStartValues();
    criteria.on[kCritNoErrors] = false;
    std::vector<std::string> expected = {all.lines[0]};  // the title row
    for (size_t i = 0; i < doc_.PacketCount(); ++i) {
        if (PassesFilter(criteria, *doc_.PacketAt(i))) {
            expected.push_back(all.lines[i + 1]);
        }
    }
    EXPECT_GT(expected.size(), 1u);
    EXPECT_LT(expected.size(), all.lines.size());
    EXPECT_EQ(errors.lines, expected);
    // The filter's start values show everything.
    EXPECT_EQ(RunCli("decode --filter " + File()).lines, all.lines);
}

TEST_F(FindCli, DecodeFilterTextAndIdleTimesAcrossHiddenPackets) {
    const CliResult shown = RunCli("decode --filter --text PS_RDY " + File());
    ASSERT_EQ(shown.status, 0);
    ASSERT_GE(shown.lines.size(), 2u);
    for (size_t i = 1; i < shown.lines.size(); ++i) {
        const std::string number = shown.lines[i].substr(0, shown.lines[i].find('\t'));
        const size_t index = std::stoul(number);
        // Same row as the unfiltered decode: idle times are measured across hidden packets.
        EXPECT_EQ(shown.lines[i], RunCli("decode " + File()).lines[index + 1]);
        EXPECT_NE(shown.lines[i].find("PS_RDY"), std::string::npos);
        if (i == 2) {
            break;
        }
    }
}

TEST(FindCliArgs, BadCriteriaAreUsageErrors) {
    EXPECT_EQ(RunCli("find x.zaz --set Nonsense=on").status, 2);
    EXPECT_EQ(RunCli("find x.zaz --set CC1=maybe").status, 2);
    EXPECT_EQ(RunCli("find x.zaz --set CC1").status, 2);
    EXPECT_EQ(RunCli("find x.zaz --text").status, 2);
    EXPECT_EQ(RunCli("find x.zaz --from -1").status, 2);
    EXPECT_EQ(RunCli("decode x.zaz --set CC1=on").status, 2);  // criteria need --filter
    EXPECT_EQ(RunCli("find /nonexistent/x.zaz").status, 1);
}

TEST_F(FindCli, FromBeyondTheRowsIsAnError) {
    EXPECT_EQ(RunCli("find " + File() + " --from " + std::to_string(doc_.PacketCount())).status, 1);
}

}  // namespace
