// zoduz-cli capture on the virtual analyzer: timed and signalled stops, a file size limit as
// on a full disk, the count limits with the window's rules, the record files it prints, and the
// exit statuses of bad arguments.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "record_files.h"

namespace {

struct CliRun {
    int status = -1;  // exit status, or -1 when ended by a signal
    std::string out;
    std::string err;
};

std::string TextOf(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct RunOptions {
    rlim_t fileSizeLimit = 0;  // bytes; 0 for none
    int signal = 0;            // sent after signalAfterMs
    int signalAfterMs = 0;
};

// Lines of the text that begin with prefix.
int LinesStartingWith(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return count;
}

class CaptureCli : public testing::Test {
  protected:
    CliRun Capture(std::vector<std::string> args, RunOptions options = {}) {
        args.insert(args.begin(), {ZODUZ_CLI_PATH, "capture"});
        const std::string out = dir_.File("stdout.txt");
        const std::string err = dir_.File("stderr.txt");
        pid_t child = fork();
        if (child == 0) {
            int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(outFd, 1);
            dup2(errFd, 2);
            if (chdir(dir_.Path().c_str()) != 0) {
                _exit(126);
            }
            if (options.fileSizeLimit != 0) {
                rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            std::vector<char*> argv;
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        if (options.signal != 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(options.signalAfterMs));
            kill(child, options.signal);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TextOf(out), TextOf(err)};
    }

    TempDir dir_;
};

}  // namespace

TEST_F(CaptureCli, RecordsForTheGivenSecondsAndPrintsTheFile) {
    CliRun run = Capture({"--virtual", "spr", "--seconds", "2.5", "--interval", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<uint8_t> file = ReadFile(dir_.File("PDCapture.zaz"));
    EXPECT_EQ(run.out, "./PDCapture.zaz\t" + std::to_string(file.size()) + "\n");
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
    // One progress line a second, the status bar's text.
    std::istringstream lines(run.err);
    int progressLines = 0;
    for (std::string line; std::getline(lines, line);) {
        progressLines += line.rfind("Capturing... ", 0) == 0 ? 1 : 0;
    }
    EXPECT_GE(progressLines, 2) << run.err;
    EXPECT_NE(run.err.find("    [File Size="), std::string::npos);
    EXPECT_NE(run.err.find("     [VBUS Samples="), std::string::npos);
    CKVDoc doc;
    doc.OpenRecordFile(dir_.File("PDCapture.zaz"));
    EXPECT_GT(doc.PacketCount(), 5u);
    EXPECT_GT(doc.SampleCount(), 1500u);  // 1 ms sampling
}

TEST_F(CaptureCli, InterruptAndTerminateStopCleanly) {
    for (int signal : {SIGINT, SIGTERM}) {
        // One name a signal: a second capture under a taken name would be numbered.
        const std::string name = "sig" + std::to_string(signal) + ".zaz";
        CliRun run = Capture({"--virtual", "mixed", "-o", name}, {0, signal, 1500});
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<uint8_t> file = ReadFile(dir_.File(name));
        EXPECT_GT(file.size(), 64u);
        EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
    }
}

TEST_F(CaptureCli, ATakenOutputNameIsNumberedNotReplaced) {
    CliRun first = Capture({"--virtual", "spr", "-o", "run.zaz", "--seconds", "1"});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::vector<uint8_t> kept = ReadFile(dir_.File("run.zaz"));
    CliRun second = Capture({"--virtual", "spr", "-o", "run.zaz", "--seconds", "1"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out.substr(0, second.out.find('\t')), "./run (1).zaz");
    EXPECT_EQ(ReadFile(dir_.File("run.zaz")), kept);
    const std::vector<uint8_t> numbered = ReadFile(dir_.File("run (1).zaz"));
    EXPECT_EQ(FinishedByteCount(numbered), static_cast<int64_t>(numbered.size() - 64));
}

TEST_F(CaptureCli, RollsOverUnderItsCaptionWithMultiFile) {
    CliRun run = Capture({"--virtual", "long", "--unpaced", "--seconds", "0.5", "--max-size", "1",
                          "--multi-file", "--folder", ".", "--caption", "Roll"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    int files = 0;
    for (std::string line; std::getline(lines, line); ++files) {
        std::string path = line.substr(0, line.find('\t'));
        char expected[32];
        std::snprintf(expected, sizeof expected, "./Roll_%04d.zaz", files + 1);
        EXPECT_EQ(path, expected);
        std::vector<uint8_t> file = ReadFile(dir_.File(path));
        EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64)) << path;
        std::filesystem::remove(dir_.File(path));
    }
    EXPECT_GE(files, 2);
}

TEST_F(CaptureCli, AFullDiskStopsWithAMessageAndKeepsTheData) {
    constexpr rlim_t kLimit = 20000;
    CliRun run = Capture({"--virtual", "mixed", "--interval", "1", "-o", "full.zaz"}, {kLimit});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("zoduz-cli capture: Writing the record file failed: File too large. "
                           "The capture was stopped; the data recorded so far is kept."),
              std::string::npos)
        << run.err;
    std::vector<uint8_t> file = ReadFile(dir_.File("full.zaz"));
    EXPECT_EQ(file.size(), kLimit);
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(kLimit - 64));
    CKVDoc doc;
    doc.OpenRecordFile(dir_.File("full.zaz"));
    EXPECT_EQ(doc.DecodedOffset(), static_cast<int64_t>(kLimit / 64 * 64));
    EXPECT_GT(doc.SampleCount(), 0u);
}

TEST_F(CaptureCli, AnUncreatableFileAndBadArgumentsFail) {
    CliRun run = Capture({"--virtual", "spr", "-o", "missing/x.zaz", "--seconds", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Creating a record file error."), std::string::npos) << run.err;

    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{"--virtual", "nonsense"},
                                               {"--virtual", "--max-size", "0"},
                                               {"--virtual", "--interval", "1001"},
                                               {"--virtual", "--seconds", "-1"},
                                               {"--virtual", "--seconds", "nan"},
                                               {"--virtual", "--seconds", "inf"},
                                               {"--virtual", "--seconds", "31536001"},
                                               {"--virtual", "--max-packets", "99"},
                                               {"--virtual", "--max-packets", "100001"},
                                               {"--virtual", "--max-samples", "x"},
                                               {"--virtual", "--auto-remove", "all"},
                                               {"--virtual", "-o", "a.zaz", "--folder", "."},
                                               {"--unpaced"},
                                               {"--virtual", "--frobnicate"},
                                               {"--virtual", "--seconds"}}) {
        run = Capture(bad);
        EXPECT_EQ(run.status, 2) << bad.back();
        EXPECT_EQ(run.err.rfind("zoduz-cli capture: ", 0), 0u) << run.err;
    }
}

// The window's default limits and rules (99 999 packets, no full stop, no auto-remove, no
// multi-file), the file size limit raised so that the packet limit alone can end the capture:
// the unpaced virtual analyzer with a sample a second fills the document (at about 65 MB of
// file), the capture stops and says why, and the file holds what was recorded until the stop,
// finished.
TEST_F(CaptureCli, StopsAtThePacketLimitWithDefaultSettingsAndSaysWhy) {
    CliRun run = Capture({"--virtual", "mixed", "--unpaced", "--interval", "1000", "--max-size",
                          "9999", "-o", "l.zaz", "--seconds", "300"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LinesStartingWith(run.err,
                                "zoduz-cli capture: the PD packet limit (99999) was "
                                "reached: the capture stops"),
              1)
        << run.err;
    std::vector<uint8_t> file = ReadFile(dir_.File("l.zaz"));
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
}

// The file size limit stops a capture too, and says so.
TEST_F(CaptureCli, StopsAtTheFileSizeLimitAndSaysWhy) {
    CliRun run = Capture({"--virtual", "long", "--unpaced", "--interval", "1", "--max-size", "1",
                          "-o", "s.zaz", "--seconds", "60"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LinesStartingWith(run.err,
                                "zoduz-cli capture: the record file reached its size "
                                "limit (1 MB): the capture stops"),
              1)
        << run.err;
    EXPECT_GT(ReadFile(dir_.File("s.zaz")).size(), 1000000u);
}

// The other rules on a small limit: a full stop with the window's message, a new record file
// with multi-file, and trimming with auto-remove, each told once.
TEST_F(CaptureCli, FullStopMultiFileAndAutoRemoveAtTheLimit) {
    CliRun run = Capture({"--virtual", "mixed", "--unpaced", "--max-packets", "100", "--full-stop",
                          "--max-size", "9999", "-o", "stop.zaz", "--seconds", "60"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LinesStartingWith(run.err, "zoduz-cli capture: PD messege count full."), 1)
        << run.err;
    EXPECT_EQ(LinesStartingWith(run.err,
                                "zoduz-cli capture: the PD packet limit (100) was "
                                "reached: the capture stops"),
              1)
        << run.err;

    run = Capture({"--virtual", "mixed", "--unpaced", "--max-packets", "100", "--multi-file",
                   "--max-size", "9999", "--caption", "Multi", "--seconds", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GE(LinesStartingWith(run.err,
                                "zoduz-cli capture: the PD packet limit (100) was "
                                "reached: the capture continues in a new record file"),
              1)
        << run.err;
    EXPECT_GE(LinesStartingWith(run.out, "./Multi_0002.zaz\t"), 1) << run.out;

    run = Capture({"--virtual", "mixed", "--unpaced", "--max-samples", "100", "--auto-remove",
                   "both", "--max-size", "9999", "-o", "trim.zaz", "--seconds", "2.5"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LinesStartingWith(run.err,
                                "zoduz-cli capture: the VBUS sample limit (100) was "
                                "reached: the oldest samples are removed as new ones "
                                "arrive"),
              1)
        << run.err;
    EXPECT_EQ(run.out.find("trim.zaz\t"), 2u) << run.out;  // one file: trimming never fills it
}

// A file growing faster than it decodes: the status line still comes once a second and the
// capture ends soon after its time (the bound leaves room for a loaded machine). Auto-remove
// keeps the unpaced stream from reaching the sample limit, which would stop it early.
TEST_F(CaptureCli, UnpacedCaptureKeepsItsRhythmAndItsTime) {
    const auto start = std::chrono::steady_clock::now();
    CliRun run = Capture({"--virtual", "long", "--unpaced", "--interval", "1", "--auto-remove",
                          "both", "--max-size", "9999", "-o", "fast.zaz", "--seconds", "3"});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GE(LinesStartingWith(run.err, "Capturing... "), 2) << run.err;
    EXPECT_GE(seconds, 3.0);
    EXPECT_LT(seconds, 4.5);
}
