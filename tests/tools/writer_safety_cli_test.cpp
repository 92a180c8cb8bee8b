// Every writer of zoduz-cli (and the window's screenshot) against hostile and unlucky outputs:
// its own input under its own name, through a symbolic link and through a hard link; a file
// size limit (SIGXFSZ ignored, the write fails); a full disk; SIGINT and SIGTERM in the middle of
// the work. Each must leave its input and an existing output as they were and create nothing
// else.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/temp_files.h"
#include "tools/child_run.h"
#include "tools/sr_sessions.h"

namespace {

const std::vector<uint8_t> kPrecious = {'k', 'e', 'e', 'p', ' ', 'm', 'e'};

// A folder with a capture a.zaz, its session a.sr and two numbered parts R_0001/R_0002.zaz.
class WriterSafety : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RunProgram(Cli({"simulate", "spr", "-o", dir_.File("a.zaz"), "--seconds", "1"})),
                  0);
        ASSERT_EQ(RunProgram(Cli({"export-sr", dir_.File("a.zaz"), "-o", dir_.File("a.sr")})), 0);
        ASSERT_EQ(RunProgram(Cli({"simulate", "spr", "-o", dir_.File("R_0001.zaz")})), 0);
        ASSERT_EQ(RunProgram(Cli({"simulate", "spr", "-o", dir_.File("R_0002.zaz")})), 0);
    }
    std::string File(const std::string& name) const { return dir_.File(name); }
    const std::filesystem::path& Folder() const { return dir_.Path(); }

    TempDir dir_;
};

// A writer command with IN and OUT placeholders.
struct Writer {
    const char* input;
    std::vector<std::string> arguments;
};

std::vector<std::string> Fill(const std::vector<std::string>& pattern, const std::string& in,
                              const std::string& out) {
    std::vector<std::string> filled;
    for (const std::string& word : pattern) {
        filled.push_back(word == "IN" ? in : word == "OUT" ? out : word);
    }
    return filled;
}

TEST_F(WriterSafety, NoWriterReplacesItsInputByNameSymlinkOrHardLink) {
    const std::vector<Writer> writers = {
        {"a.zaz", Cli({"export", "IN", "--items", "samples", "-o", "OUT"})},
        {"a.zaz", Cli({"export", "IN", "--type", "zaz", "-o", "OUT"})},
        {"a.sr", Cli({"export", "IN", "--items", "samples", "-o", "OUT"})},
        {"a.sr", Cli({"import-sr", "IN", "-o", "OUT"})},
        {"a.zaz", Cli({"export-sr", "IN", "-o", "OUT"})},
        {"a.sr", Cli({"export-sr", "IN", "-o", "OUT"})},
        {"a.zaz", Cli({"export-pcapng", "IN", "-o", "OUT"})},
        {"a.sr", Cli({"export-pcapng", "IN", "-o", "OUT"})},
        {"R_0002.zaz", Cli({"stitch", File("R_0001.zaz"), "-o", "OUT"})},
#ifdef ZODUZ_APP_PATH
        {"a.zaz", {ZODUZ_APP_PATH, "--screenshot", "OUT", "IN"}},
#endif
    };
    for (const Writer& writer : writers) {
        const std::string input = File(writer.input);
        const std::vector<uint8_t> before = ReadFile(input);
        std::filesystem::create_symlink(input, File("symlink"));
        std::filesystem::create_hard_link(input, File("hardlink"));
        for (const std::string& output : {input, File("symlink"), File("hardlink")}) {
            EXPECT_EQ(RunProgram(Fill(writer.arguments, input, output)), 1)
                << writer.arguments[1] << " " << writer.input << " onto " << output;
            EXPECT_EQ(ReadFile(input), before) << writer.arguments[1] << " onto " << output;
        }
        std::filesystem::remove(File("symlink"));
        std::filesystem::remove(File("hardlink"));
    }
    EXPECT_EQ(Names(Folder()),
              (std::vector<std::string>{"R_0001.zaz", "R_0002.zaz", "a.sr", "a.zaz"}));
    // The script of a simulation is no more its record file than the other way round.
    EXPECT_EQ(RunProgram(Cli({"simulate", "spr", "-o", File("s.zaz"), "--script", File("s.zaz")})),
              2);
}

TEST_F(WriterSafety, AFileSizeLimitFailsTheWriterAndLeavesTheOldOutput) {
    const std::vector<std::vector<std::string>> writers = {
        Cli({"export", File("a.zaz"), "--items", "samples", "-o", "OUT"}),
        Cli({"export", File("a.zaz"), "--type", "zaz", "-o", "OUT"}),
        Cli({"import-sr", File("a.sr"), "-o", "OUT"}),
        Cli({"export-sr", File("a.zaz"), "-o", "OUT"}),
        Cli({"export-pcapng", File("a.zaz"), "-o", "OUT"}),
        Cli({"stitch", File("R_0001.zaz"), "-o", "OUT"}),
        Cli({"simulate", "spr", "-o", "OUT"}),
#ifdef ZODUZ_APP_PATH
        {ZODUZ_APP_PATH, "--screenshot", "OUT", File("a.zaz")},
#endif
    };
    const std::vector<std::string> before = Names(Folder());
    for (const std::vector<std::string>& pattern : writers) {
        // Each output needs more than 1 KiB; the existing file is smaller than that.
        WriteFile(File("out"), kPrecious);
        EXPECT_EQ(RunProgram(Fill(pattern, "", File("out")), {1024}), 1) << pattern[1];
        EXPECT_EQ(ReadFile(File("out")), kPrecious) << pattern[1];
        std::filesystem::remove(File("out"));
        EXPECT_EQ(RunProgram(Fill(pattern, "", File("out")), {1024}), 1) << pattern[1];
        EXPECT_EQ(Names(Folder()), before) << pattern[1];
    }
}

// A long capture with PD traffic every few seconds: about 7.2 * 10^9 samples of CC lines at
// 2.4 MHz, most of its 4 Mi-sample data files holding some transitions.
void WriteLongCapture(const std::string& path) {
    ASSERT_EQ(RunProgram(Cli(
                  {"simulate", "long", "-o", path, "--seconds", "3000", "--interval-ms", "1000"})),
              0);
}

TEST_F(WriterSafety, SigintAndSigtermRemoveWhatTheWriterStarted) {
    // Long enough to be interrupted: an hour's simulation (70 MB, most of a second), and the
    // conversions of the long capture (seconds each). (export and stitch take the signals as
    // their Abort and keep the partial file, as their dialogs do; export-pcapng's abort removes
    // its file.)
    WriteLongCapture(File("long.zaz"));
    ASSERT_EQ(RunProgram(Cli({"export-sr", File("long.zaz"), "-o", File("long.sr")})), 0);
    const std::vector<std::vector<std::string>> writers = {
        Cli({"simulate", "spr", "-o", File("out"), "--seconds", "3600"}),
        Cli({"import-sr", File("long.sr"), "-o", File("out")}),
        Cli({"export-sr", File("long.zaz"), "-o", File("out")}),
        Cli({"export-pcapng", File("long.zaz"), "-o", File("out")}),
    };
    const std::vector<std::string> before = Names(Folder());
    for (const std::vector<std::string>& writer : writers) {
        for (const int signal : {SIGINT, SIGTERM}) {
            WriteFile(File("out"), kPrecious);
            const int status = RunProgram(writer, {-1, signal, 300});
            // The old file, or (when the signal came after the rename) a whole new one.
            if (ReadFile(File("out")) != kPrecious) {
                const std::string whole = File(writer[1] == "export-sr" ? "o.sr" : "o.zaz");
                std::filesystem::rename(File("out"), whole);
                if (writer[1] != "export-pcapng") {
                    EXPECT_EQ(RunProgram(Cli({"info", whole})), 0) << writer[1] << " " << status;
                }
                std::filesystem::remove(whole);
            }
            std::filesystem::remove(File("out"));
            EXPECT_EQ(Names(Folder()), before) << writer[1] << " " << status;
        }
    }
}

// A full disk (a small tmpfs in a mount namespace of its own): every writer fails with status 1
// and names the cause ("the disk is full" or the system's "No space left on device"), an existing
// output stays as it was, and nothing else is left on the disk.
TEST_F(WriterSafety, AFullDiskFailsTheWriterAndLeavesTheOldOutput) {
    if (RunProgram({"/bin/sh", "-c", "command -v unshare"}) != 0) {
        GTEST_SKIP() << "no unshare";
    }
    ASSERT_EQ(RunProgram(Cli({"simulate", "mixed", "-o", File("big.zaz"), "--seconds", "40"})), 0);
    ASSERT_EQ(RunProgram(Cli({"export-sr", File("big.zaz"), "-o", File("big.sr")})), 0);
    const std::vector<std::vector<std::string>> writers = {
        Cli({"export", File("big.zaz"), "--items", "samples", "-o", "OUT"}),
        Cli({"export", File("big.zaz"), "--type", "zaz", "-o", "OUT"}),
        Cli({"export-pcapng", File("big.zaz"), "-o", "OUT"}),
        Cli({"import-sr", File("big.sr"), "-o", "OUT"}),
        Cli({"export-sr", File("big.zaz"), "-o", "OUT"}),
        Cli({"stitch", File("R_0001.zaz"), "-o", "OUT"}),
        Cli({"simulate", "spr", "-o", "OUT"}),
        Cli({"simulate", "mixed", "-o", File("s.zaz"), "--script", "OUT"}),
#ifdef ZODUZ_APP_PATH
        {ZODUZ_APP_PATH, "--screenshot", "OUT", File("big.zaz")},
#endif
    };
    // A disk of one page, which the existing output fills; without it one page is free, less
    // than any of the outputs needs.
    const std::string disk = File("disk");
    std::filesystem::create_directory(disk);
    const std::string script =
        "mount -t tmpfs -o size=4k zoduz-full \"$0\" || exit 77\n"
        "printf 'keep me' >\"$0/out\"\n"
        "\"$@\" >/dev/null 2>\"$0.err\"; first=$?\n"
        "[ \"$(cat \"$0/out\")\" = 'keep me' ] || exit 90\n"
        "rm \"$0/out\"\n"
        "\"$@\" >/dev/null 2>>\"$0.err\"; second=$?\n"
        "[ -z \"$(ls -A \"$0\")\" ] || exit 91\n"
        "[ $first = 1 ] && [ $second = 1 ] || exit 92\n";
    for (const std::vector<std::string>& pattern : writers) {
        std::vector<std::string> command = {
            "/usr/bin/unshare", "-m", "/bin/sh", "-c", script, disk};
        for (const std::string& word : Fill(pattern, "", disk + "/out")) {
            command.push_back(word);
        }
        const int status = RunProgram(command);
        if (status == 77) {
            GTEST_SKIP() << "no tmpfs in a mount namespace here";
        }
        const std::string errors = ReadText(disk + ".err");
        EXPECT_EQ(status, 0) << pattern[1] << ": " << errors;
        EXPECT_TRUE(errors.find("the disk is full") != std::string::npos ||
                    errors.find("No space left on device") != std::string::npos)
            << pattern[1] << ": " << errors;
    }
}

// The CC lines of a 150 s capture at 48 MHz span about 7.2 * 10^9 samples, but hold only the PD
// traffic of a few seconds: the export's work follows the transitions (it took 14 s of CPU when
// it deflated every sample).
TEST_F(WriterSafety, ExportSrOfASparseCaptureTakesLittleWork) {
    ASSERT_EQ(RunProgram(Cli({"simulate", "long", "-o", File("sparse.zaz"), "--seconds", "150",
                              "--divider", "1", "--interval-ms", "1000"})),
              0);
    EXPECT_EQ(RunProgram(Cli({"export-sr", File("sparse.zaz"), "-o", File("sparse.sr")}),
                         {.stderrPath = File("err.txt"), .cpuSeconds = 5}),
              0)
        << ReadText(File("err.txt"));
    EXPECT_LT(std::filesystem::file_size(File("sparse.sr")), 16u << 20);
}

// A session where a record file is expected: read through an import that goes with the command,
// the default export named after the session and put beside it.
TEST_F(WriterSafety, SessionInputsAreReadThroughTheirImport) {
    const std::string temporary = File("tmp");
    std::filesystem::create_directory(temporary);
    setenv("TMPDIR", temporary.c_str(), 1);
    EXPECT_EQ(RunProgram(Cli({"export", File("a.sr"), "--items", "samples"})), 0);
    EXPECT_TRUE(std::filesystem::exists(File("a_export.csv")));
    EXPECT_EQ(RunProgram(Cli({"export", File("a.sr"), "--type", "zaz"})), 0);
    EXPECT_TRUE(std::filesystem::exists(File("a_export.zaz")));
    EXPECT_EQ(RunProgram(Cli({"decode", File("a_export.zaz")})), 0);
    EXPECT_EQ(RunProgram(Cli({"samples", File("a.sr")}), {-1, 0, 0, -1, File("err.txt")}), 0);
    EXPECT_EQ(RunProgram(Cli({"export-sr", File("a.sr"), "-o", File("b.sr")})), 0);
    EXPECT_EQ(RunProgram(Cli({"info", File("b.sr")})), 0);
#ifdef ZODUZ_APP_PATH
    EXPECT_EQ(RunProgram({ZODUZ_APP_PATH, "--screenshot", File("a.png"), File("a.sr")}), 0);
#endif
    unsetenv("TMPDIR");
    // (Qt may leave its runtime folder there; no import may stay.)
    for (const std::string& name : Names(temporary)) {
        EXPECT_NE(name.rfind("zoduz-import-", 0), 0u) << name;
    }
}

// Values outside what an option takes are usage errors (status 2) before anything runs.
TEST(CliArguments, ValuesOutsideTheirRangeAreUsageErrors) {
    const std::vector<std::vector<std::string>> lines = {
        {"monitor", "--seconds", "nan"},
        {"monitor", "--seconds", "inf"},
        {"capture", "--virtual", "--seconds", "nan"},
        {"capture", "--virtual", "--seconds", "inf"},
        {"capture", "--virtual", "-o", ""},
        {"capture", "--virtual", "-o", "X"},
        {"capture", "--virtual", "--folder", ""},
        {"capture", "--virtual", "--caption", "../escaped"},
        {"capture", "--virtual", "--caption", std::string(300, 'c')},
        {"capture", "--virtual", "--caption", ""},
        {"import-sr", "a.sr", "-o", "b.zaz", "--cc1", ""},
        {"measure", "a.zaz", "--from", " 1", "--to", "2"},
        {"measure", "a.zaz", "--from", "+1", "--to", "2"},
        {"simulate", "spr", "-o", "a.zaz", "--seconds", "nan"},
    };
    for (const std::vector<std::string>& line : lines) {
        EXPECT_EQ(RunProgram(Cli(line)), 2) << line[0] << " " << line[line.size() - 1];
    }
}

TEST_F(WriterSafety, StitchTakesNoSuccessorFromAnotherFolder) {
    std::filesystem::create_directory(File("other"));
    std::filesystem::copy_file(File("R_0002.zaz"), File("other/R_0002.zaz"));
    EXPECT_EQ(RunProgram(Cli({"stitch", File("R_0001.zaz"), "--to", File("other/R_0002.zaz"), "-o",
                              File("s.zaz")})),
              1);
    EXPECT_FALSE(std::filesystem::exists(File("s.zaz")));
    EXPECT_EQ(RunProgram(Cli(
                  {"stitch", File("R_0001.zaz"), "--to", File("R_0002.zaz"), "-o", File("s.zaz")})),
              0);
}

}  // namespace
