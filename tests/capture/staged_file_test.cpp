// Staged outputs and scratch paths: a file replaces its destination only when committed, never
// replaces a folder, writes a device directly, follows a symbolic link to its target, and
// scratch paths vanish on SIGINT and SIGTERM as well as at the end of their owner.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/staged_file.h"
#include "temp_files.h"

namespace {

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<uint8_t> kNew = {'n', 'e', 'w', '!'};

size_t EntryCount(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

TEST(StagedFile, ReplacesTheDestinationOnlyWhenCommitted) {
    TempDir dir;
    WriteFile(dir.File("out"), kOld);
    ::chmod(dir.File("out").c_str(), 0640);
    {
        StagedFile staged(dir.File("out"));
        ASSERT_TRUE(staged.IsOpen());
        EXPECT_NE(staged.Path(), dir.File("out"));
        WriteFile(staged.Path(), kNew);
        EXPECT_EQ(ReadFile(dir.File("out")), kOld);
    }
    EXPECT_EQ(ReadFile(dir.File("out")), kOld);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);

    StagedFile staged(dir.File("out"));
    WriteFile(staged.Path(), kNew);
    EXPECT_TRUE(staged.Commit());
    EXPECT_EQ(ReadFile(dir.File("out")), kNew);
    struct stat info {};
    ASSERT_EQ(::stat(dir.File("out").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(StagedFile, FollowsSymbolicLinksAndRefusesWhatIsNoRegularFile) {
    TempDir dir;
    WriteFile(dir.File("target"), kOld);
    std::filesystem::create_symlink(dir.File("target"), dir.File("link"));
    StagedFile staged(dir.File("link"));
    WriteFile(staged.Path(), kNew);
    ASSERT_TRUE(staged.Commit());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link")));
    EXPECT_EQ(ReadFile(dir.File("target")), kNew);

    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(StagedFile(dir.File("folder")).IsOpen());
    // A device holds nothing to lose: it is written directly.
    const StagedFile device("/dev/null");
    ASSERT_TRUE(device.IsOpen());
    EXPECT_EQ(device.Path(), "/dev/null");
    EXPECT_FALSE(StagedFile(dir.File("missing/out")).IsOpen());
    EXPECT_TRUE(SameFile(dir.File("link"), dir.File("target")));
    EXPECT_FALSE(SameFile(dir.File("link"), dir.File("missing")));
}

// A child registers a folder with a file and a nested staged folder, then gets the signal.
void ExpectRemovedOn(int signal) {
    TempDir dir;
    const pid_t child = fork();
    if (child == 0) {
        RemoveScratchFilesOnSignals();
        const std::string folder = MakePrivateFolder(dir.Path().string(), "scratch-");
        ScratchPath scratch(folder);
        WriteFile(folder + "/record.zaz", kNew);
        StagedFile staged(folder + "/inner.zaz");
        WriteFile(staged.Path(), kNew);
        std::raise(signal);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(EntryCount(dir.Path()), 0u) << signal;
}

TEST(ScratchFiles, SigintAndSigtermRemoveRegisteredPaths) {
    ExpectRemovedOn(SIGINT);
    ExpectRemovedOn(SIGTERM);
}

extern "C" void DoNothing(int /*signal*/) {}

// A handler the process has (a Python interpreter's SIGINT) and an ignored signal stay.
TEST(ScratchFiles, HandledAndIgnoredSignalsKeepTheirAction) {
    struct sigaction handled {};
    handled.sa_handler = DoNothing;
    struct sigaction before {};
    ASSERT_EQ(sigaction(SIGINT, &handled, &before), 0);
    void (*const hangup)(int) = std::signal(SIGHUP, SIG_IGN);
    RemoveScratchFilesOnSignals();
    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, DoNothing);
    sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    sigaction(SIGINT, &before, nullptr);
    std::signal(SIGHUP, hangup);
    std::signal(SIGTERM, SIG_DFL);
}

}  // namespace
