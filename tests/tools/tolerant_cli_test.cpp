// zoduz-cli with --tolerant and on sigrok sessions: strict output by default, the recovered
// packets' JSON field and tree line with it, import-sr and export-sr output lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture/temp_files.h"
#include "device/sim/simulator.h"

namespace {

struct CliResult {
    int status = -1;
    std::string out;
};

CliResult RunCli(const std::string& arguments) {
    const std::string command = std::string(ZODUZ_CLI_PATH) + " " + arguments + " 2>&1";
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) {
        result.out.append(buffer, got);
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class TolerantCli : public testing::Test {
  protected:
    void SetUp() override {
        SimulationOptions options;
        options.scenario = "spr";
        options.distortion.preambleBits = 37;
        std::string error;
        result_ = SimulateToFile(options, path_, error);
        ASSERT_TRUE(result_) << error;
    }
    TempDir dir_;
    std::string path_ = dir_.File("short.zaz");
    std::optional<SimulationResult> result_;
};

TEST_F(TolerantCli, StrictByDefaultRecoveredWithTolerant) {
    const size_t messages = result_->messages.size();
    const CliResult strict = RunCli("decode " + path_ + " --format json");
    ASSERT_EQ(strict.status, 0) << strict.out;
    EXPECT_EQ(Count(strict.out, "\"crcOk\":true"), 0u);
    EXPECT_EQ(Count(strict.out, "\"recovered\""), 0u);

    const CliResult tolerant = RunCli("decode --tolerant " + path_ + " --format json");
    ASSERT_EQ(tolerant.status, 0) << tolerant.out;
    EXPECT_EQ(Count(tolerant.out, "\"crcOk\":true"), messages);
    EXPECT_EQ(Count(tolerant.out, "\"preambleLength\":37"), messages);
    EXPECT_EQ(Count(tolerant.out, ",\"recovered\":true,\"columns\""), messages);

    const CliResult tree = RunCli("tree " + path_ + " 0 --tolerant");
    ASSERT_EQ(tree.status, 0) << tree.out;
    EXPECT_NE(tree.out.find("40000000\t1\tRecovered by the tolerant decoder (preamble 37 bits, "
                            "unit interval 3."),
              std::string::npos)
        << tree.out;
    EXPECT_EQ(RunCli("tree " + path_ + " 0").out.find("Recovered"), std::string::npos);
    // Only decoding commands take the option.
    EXPECT_EQ(RunCli("samples " + path_ + " --tolerant").status, 2);
}

TEST_F(TolerantCli, SessionsConvertBothWaysAndOpenWhereRecordFilesDo) {
    const std::string session = dir_.File("short.sr");
    const CliResult exported = RunCli("export-sr " + path_ + " -o " + session);
    ASSERT_EQ(exported.status, 0) << exported.out;
    EXPECT_EQ(exported.out.find("sample rate\t2400000\n"), 0u) << exported.out;
    EXPECT_NE(exported.out.find("packets\t" + std::to_string(result_->messages.size()) + "\n"),
              std::string::npos);

    const CliResult imported = RunCli("import-sr " + session + " -o " + dir_.File("back.zaz"));
    ASSERT_EQ(imported.status, 0) << imported.out;
    EXPECT_NE(imported.out.find("divider\t20\texact\n"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("cc1 channel\t1\ncc2 channel\t2\n"), std::string::npos);

    const CliResult direct = RunCli("decode " + session + " --tolerant --format json");
    ASSERT_EQ(direct.status, 0) << direct.out;
    EXPECT_EQ(Count(direct.out, "\"recovered\":true"), result_->messages.size());

    EXPECT_EQ(RunCli("import-sr " + session).status, 2);
    const CliResult missing = RunCli("import-sr " + dir_.File("none.sr") + " -o x.zaz");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("zoduz-cli import-sr: cannot read '", 0), 0u) << missing.out;
}

}  // namespace
