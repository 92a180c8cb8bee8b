// zoduz-cli simulate: the scenario list, the summary lines, the script file, the record file it
// writes, and the exit statuses of bad arguments and unwritable files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture/temp_files.h"
#include "device/cli_run.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"

namespace {

class SimulateCli : public testing::Test {
  protected:
    CliRun Simulate(const std::string& arguments) { return RunCli("simulate " + arguments, dir_); }

    TempDir dir_;
};

}  // namespace

TEST_F(SimulateCli, ListNamesEveryScenarioWithItsSummary) {
    CliRun run = Simulate("--list");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.out.size(), Scenarios().size());
    for (size_t i = 0; i < run.out.size(); ++i) {
        EXPECT_EQ(run.out[i], std::string(Scenarios()[i].name) + "\t" + Scenarios()[i].summary);
    }
}

TEST_F(SimulateCli, WritesTheSameFileAsTheLibraryAndSummarisesIt) {
    const std::string path = dir_.File("spr.zaz");
    CliRun run = Simulate("spr -o " + path + " --seed 4 --interval-ms 10 --seconds 5");
    ASSERT_EQ(run.status, 0) << run.err;
    SimulationOptions options;
    options.scenario = "spr";
    options.seed = 4;
    options.intervalMs = 10;
    options.seconds = 5.0;
    std::optional<SimulationResult> expected = ::Simulate(options);
    ASSERT_TRUE(expected);
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, expected->stream);

    const std::vector<std::string> summary = {
        "scenario\tspr",
        "seed\t4",
        "messages\t" + std::to_string(expected->messages.size()),
        "faulty_messages\t0",
        "samples\t501",
        "sample_blocks\t167",
        "cc_edge_blocks\t" + std::to_string(expected->edgeBlocks),
        "duration_us\t5000000",
        "size\t" + std::to_string(bytes.size()),
    };
    EXPECT_EQ(run.out, summary);
}

TEST_F(SimulateCli, ScriptHasOneLinePerPacket) {
    const std::string path = dir_.File("noisy.zaz");
    const std::string script = dir_.File("noisy.tsv");
    CliRun run = Simulate("noisy -o " + path + " --script " + script + " --interval-ms 100 --raw");
    ASSERT_EQ(run.status, 0) << run.err;
    SimulationOptions options;
    options.scenario = "noisy";
    options.intervalMs = 100;
    options.recordFile = false;
    std::optional<SimulationResult> expected = ::Simulate(options);
    ASSERT_TRUE(expected);
    EXPECT_EQ(std::filesystem::file_size(path), expected->stream.size());

    std::vector<std::string> lines = LinesOf(script);
    ASSERT_EQ(lines.size(), expected->messages.size() + 1);
    EXPECT_EQ(lines[0], "#index\tstart_us\trel_us\tcc_line\tordered_set\tfault\tlabel\tbytes\tcrc");
    int faulty = 0;
    for (size_t i = 0; i < expected->messages.size(); ++i) {
        const BuiltMessage& m = expected->messages[i];
        std::vector<std::string> fields = Split(lines[i + 1]);
        ASSERT_EQ(fields.size(), 9u) << lines[i + 1];
        EXPECT_EQ(fields[0], std::to_string(i));
        EXPECT_EQ(fields[1], std::to_string(m.startTimeUs));
        EXPECT_EQ(fields[2], std::to_string(m.startTimeUs - expected->captureStartTimeUs));
        EXPECT_EQ(fields[3], std::to_string(m.ccLine + 1));
        EXPECT_EQ(fields[4], std::to_string(m.orderedSet));
        EXPECT_EQ(fields[5], PhyFaultName(m.fault));
        EXPECT_EQ(fields[6], m.label);
        EXPECT_EQ(fields[7].size(), 2 * m.bytes.size());
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", m.crc);
        EXPECT_EQ(fields[8], crc);
        faulty += DecodesCleanly(m) ? 0 : 1;
    }
    EXPECT_EQ(run.out.at(3), "faulty_messages\t" + std::to_string(faulty));
    EXPECT_EQ(faulty, 10);  // five unreadable faults on each line
}

TEST_F(SimulateCli, UsageErrorsExitWithStatusTwo) {
    const std::string path = dir_.File("x.zaz");
    const std::string o = " -o " + path;
    const std::vector<std::string> bad = {
        "",
        "spr",
        o,
        "nope" + o,
        "spr" + o + " --seed",
        "spr" + o + " --seed -1",
        "spr" + o + " --interval-ms 0",
        "spr" + o + " --interval-ms 1001",
        "spr" + o + " --divider 0",
        "spr" + o + " --divider 257",
        "spr" + o + " --skew 1.5",
        "spr" + o + " --preamble-bits 0",
        "spr" + o + " --preamble-bits 65",
        "spr" + o + " --damage-kcode 5",
        "spr" + o + " --seconds -3",
        "spr" + o + " --seconds x",
        "spr" + o + " --bogus",
        "spr spr" + o,
        "--list extra",
    };
    for (const std::string& arguments : bad) {
        CliRun run = Simulate(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SimulateCli, ZeroSecondsIsTheScenarioLengthAndOutputIsAnAliasOfO) {
    const std::string path = dir_.File("a.zaz");
    CliRun byDefault = Simulate("spr -o " + path);
    CliRun zero = Simulate("spr --output " + path + " --seconds 0");
    ASSERT_EQ(byDefault.status, 0) << byDefault.err;
    ASSERT_EQ(zero.status, 0) << zero.err;
    EXPECT_EQ(zero.out, byDefault.out);
    EXPECT_EQ(zero.out.at(7), "duration_us\t3000000");
}

TEST_F(SimulateCli, ScriptMayNotReplaceTheRecordFile) {
    const std::string path = dir_.File("x.zaz");
    for (const std::string& script : {path, dir_.File("./x.zaz")}) {
        CliRun run = Simulate("spr -o " + path + " --script " + script);
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_EQ(run.err, "zoduz-cli simulate: the script and the record file must differ\n");
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

// Links name the record file under another name: a hard link to an existing record file, and a
// symbolic link that dangles until the record file is written. The record file is written and
// kept whole; the script is refused.
TEST_F(SimulateCli, ScriptLinkedToTheRecordFileIsRefused) {
    namespace fs = std::filesystem;
    const std::string path = dir_.File("x.zaz");
    const std::string reference = dir_.File("reference.zaz");
    ASSERT_EQ(Simulate("spr -o " + reference).status, 0);

    const std::string dangling = dir_.File("dangling");
    fs::remove(path);
    fs::create_symlink(path, dangling);
    ASSERT_FALSE(fs::exists(dangling));

    ASSERT_EQ(Simulate("spr -o " + dir_.File("hard-target.zaz")).status, 0);
    fs::create_hard_link(dir_.File("hard-target.zaz"), dir_.File("hard-link"));
    for (const auto& [output, script] :
         {std::pair{path, dangling},
          std::pair{dir_.File("hard-target.zaz"), dir_.File("hard-link")}}) {
        CliRun run = Simulate("spr -o " + output + " --script " + script);
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_EQ(run.err, "zoduz-cli simulate: the script and the record file must differ\n");
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(fs::file_size(output), fs::file_size(reference)) << script;
        std::ifstream written(output, std::ios::binary);
        std::ifstream expected(reference, std::ios::binary);
        EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(written), {},
                               std::istreambuf_iterator<char>(expected), {}))
            << script;
    }
}

TEST_F(SimulateCli, OutputThatCannotBeWrittenFailsTheCommand) {
    const std::string err = dir_.File("stderr.txt");
    for (const std::string& arguments : {std::string("--list"), "spr -o " + dir_.File("f.zaz")}) {
        const std::string command =
            std::string(ZODUZ_CLI_PATH) + " simulate " + arguments + " >/dev/full 2>" + err;
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << arguments;
        EXPECT_EQ(LinesOf(err),
                  std::vector<std::string>{"zoduz-cli simulate: cannot write the output"});
    }
}

TEST_F(SimulateCli, UnwritableFileIsAOneLineErrorWithStatusOne) {
    const std::string path = dir_.File("missing-folder/x.zaz");
    CliRun run = Simulate("spr -o " + path);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("zoduz-cli simulate: cannot write"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
}
