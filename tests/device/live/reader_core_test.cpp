// The reader loop stepped by hand: recording, stops, close requests, rollovers, failures.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "capture/record_naming.h"
#include "fake_analyzer.h"
#include "live/reader_core.h"
#include "record_files.h"

namespace {

class ReaderCoreTest : public testing::Test {
  protected:
    void Begin(const std::vector<uint8_t>& stream, int maxFileSizeMb = 100, bool multiFile = false,
               size_t chunkSize = 16384) {
        source_ = std::make_unique<ScriptedStream>(stream, chunkSize);
        core_ = std::make_unique<ReaderCore>(state_, *source_, CalibrationRatios{});
        state_.flags.threadAlive.store(true);
        state_.flags.connected.store(true);
        state_.plan = RecordPlan{dir_.Path().string(), "PDCapture",  "", multiFile,
                                 maxFileSizeMb,        kTestIdentity};
        ASSERT_TRUE(OpenRecordFile(state_, 1));
        state_.flags.phase.StartRecording();
    }
    // Steps until the source is drained.
    void Drain() {
        for (int i = 0; i < 100000 && !source_->Drained(); ++i) {
            core_->Step();
        }
    }
    std::string File(const std::string& name) const { return dir_.File(name); }

    TempDir dir_;
    CaptureState state_;
    std::unique_ptr<ScriptedStream> source_;
    std::unique_ptr<ReaderCore> core_;
};

}  // namespace

TEST_F(ReaderCoreTest, AFileBeingWrittenStartsWithThePlaceholderInfoBlock) {
    Begin(SimulatedStream("spr", 1.0));
    core_->Step();
    std::vector<uint8_t> file = ReadFile(File("PDCapture.zaz"));
    ASSERT_GE(file.size(), 64u + 16384u);
    EXPECT_EQ(file[0], 0xF0);
    EXPECT_EQ(file[1], 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 2, file.begin() + 64),
              std::vector<uint8_t>(62, 0));
    EXPECT_EQ(state_.bytesWritten.load(), 16384u);
}

TEST_F(ReaderCoreTest, StopFinishesTheFileWithTheStreamUnchangedAndTheFinalInfoBlock) {
    const std::vector<uint8_t> stream = SimulatedStream("spr", 1.0);
    Begin(stream, 100, false, 1000);  // reads that are not whole blocks
    Drain();
    state_.flags.phase.RequestStop();
    core_->Step();
    EXPECT_FALSE(state_.flags.phase.Recording());
    EXPECT_FALSE(state_.flags.phase.StopRequested());
    EXPECT_TRUE(state_.flags.stoppedAck.load());
    EXPECT_TRUE(state_.flags.hasUndecodedData.load());
    EXPECT_FALSE(state_.file.IsOpen());

    std::vector<uint8_t> file = ReadFile(File("PDCapture.zaz"));
    EXPECT_EQ(StreamOf(file), stream);
    const std::vector<uint8_t> head = {0xF0, 0xFF, 0x01, 0x02, 0x07, 0x01,
                                       0x02, 0x02, 0x23, 0x01, 0x03, 0x0C};
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 12), head);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 12, file.begin() + 24),
              std::vector<uint8_t>(kTestIdentity.serial.begin(), kTestIdentity.serial.end()));
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(stream.size()));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 35, file.begin() + 64),
              std::vector<uint8_t>(29, 0));
}

TEST_F(ReaderCoreTest, AStopBeforeAnyByteLeavesNothingToDecode) {
    Begin({});
    state_.flags.phase.RequestStop();
    core_->Step();
    EXPECT_FALSE(state_.flags.hasUndecodedData.load());
    EXPECT_EQ(FinishedByteCount(ReadFile(File("PDCapture.zaz"))), 0);
}

TEST_F(ReaderCoreTest, NotConnectedIdlesWithoutReading) {
    Begin(SimulatedStream("spr", 0.5));
    state_.flags.connected.store(false);
    EXPECT_EQ(core_->Step(), ReaderStep::kIdle);
    EXPECT_EQ(source_->Position(), 0u);
    // Failed reads are retried at once.
    state_.flags.connected.store(true);
    source_->failing.store(true);
    EXPECT_EQ(core_->Step(), ReaderStep::kRead);
    EXPECT_EQ(state_.bytesWritten.load(), 0u);
}

TEST_F(ReaderCoreTest, CloseWhileRecordingStopsFirstThenExits) {
    const std::vector<uint8_t> stream = SimulatedStream("spr", 0.5);
    Begin(stream);
    Drain();
    state_.flags.closeRequest.store(true);
    EXPECT_EQ(core_->Step(), ReaderStep::kRead);  // the stop, then one more read
    EXPECT_FALSE(state_.flags.phase.Recording());
    EXPECT_EQ(core_->Step(), ReaderStep::kExit);
    core_->Exit();
    EXPECT_FALSE(state_.flags.threadAlive.load());
    EXPECT_FALSE(state_.flags.closeRequest.load());
    EXPECT_TRUE(state_.flags.stoppedAck.load());
    EXPECT_EQ(FinishedByteCount(ReadFile(File("PDCapture.zaz"))),
              static_cast<int64_t>(stream.size()));
}

TEST_F(ReaderCoreTest, ReadsWithoutRecordingOnlyUpdateTheLiveValues) {
    Begin(SimulatedStream("spr", 0.5));
    state_.flags.phase.Stopped();
    Drain();
    EXPECT_EQ(state_.bytesWritten.load(), 0u);
    EXPECT_GT(state_.live.lastSampleTime.load(), 0);
    EXPECT_GT(state_.live.vbusVoltageRaw.load(), 4000);
}

TEST_F(ReaderCoreTest, RollsOverPastOneMegabyteAndTheJoinedFilesDecodeLikeOneFile) {
    const std::vector<uint8_t> stream = SimulatedStream("long", 150.0);
    ASSERT_GT(stream.size(), 3000000u);
    Begin(stream, 1, true);
    Drain();
    state_.flags.phase.RequestStop();
    core_->Step();

    std::vector<uint8_t> joined;
    int files = 0;
    for (int index = 1; std::filesystem::exists(File(RecordFileName("PDCapture", index, true)));
         ++index) {
        std::vector<uint8_t> file = ReadFile(File(RecordFileName("PDCapture", index, true)));
        ++files;
        ASSERT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64)) << index;
        const bool last = index == state_.fileIndex.load();
        if (!last) {
            // Full on the first write past 1 000 000 bytes, not before.
            EXPECT_GT(file.size(), 1000000u);
            EXPECT_LE(file.size() - 16384, 1000000u);
        }
        if (joined.empty()) {
            joined.insert(joined.end(), file.begin(), file.begin() + 64);
        }
        std::vector<uint8_t> part = StreamOf(file);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(files, state_.fileIndex.load());
    EXPECT_GE(files, 3);
    EXPECT_EQ(StreamOf(joined), stream);

    WriteFile(File("joined.bin"), joined);
    std::vector<uint8_t> whole(64, 0);
    whole[0] = 0xF0;
    whole[1] = 0xFF;
    whole.insert(whole.end(), stream.begin(), stream.end());
    WriteFile(File("whole.bin"), whole);
    auto packets = PacketsOf(File("joined.bin"));
    EXPECT_GT(packets.size(), 50u);
    EXPECT_EQ(packets, PacketsOf(File("whole.bin")));
}

TEST_F(ReaderCoreTest, WithoutMultiFileAFullFileStopsTheCapture) {
    Begin(SimulatedStream("long", 150.0), 1, false);
    Drain();
    core_->Step();
    EXPECT_FALSE(state_.flags.phase.Recording());
    EXPECT_EQ(state_.fileIndex.load(), 1);
    EXPECT_FALSE(std::filesystem::exists(File("PDCapture_0002.zaz")));
    std::vector<uint8_t> file = ReadFile(File("PDCapture.zaz"));
    EXPECT_GT(file.size(), 1000000u);
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
}

TEST_F(ReaderCoreTest, AtIndex9999TheNextFullFileStopsInsteadOfOpening10000) {
    Begin(SimulatedStream("spr", 1.0), 100, true);
    state_.fileIndex.store(9999);
    state_.newFileRequest.store(true);
    core_->Step();
    core_->Step();
    EXPECT_FALSE(state_.flags.phase.Recording());
    EXPECT_FALSE(std::filesystem::exists(File("PDCapture_10000.zaz")));
}

TEST_F(ReaderCoreTest, ANewFileRequestMovesOnOnceAndMarksTheRolloverDone) {
    Begin(SimulatedStream("spr", 1.0), 100, true);
    core_->Step();
    state_.newFileRequest.store(true);
    core_->Step();
    EXPECT_EQ(state_.fileIndex.load(), 2);
    EXPECT_FALSE(state_.newFileRequest.load());
    EXPECT_TRUE(state_.countRolloverDone.load());
    EXPECT_TRUE(state_.flags.phase.Recording());
    EXPECT_EQ(state_.bytesWritten.load(), 0u);  // counted afresh in the new file
    EXPECT_EQ(FinishedByteCount(ReadFile(File("PDCapture_0001.zaz"))), 2 * 16384);
    core_->Step();
    EXPECT_EQ(state_.fileIndex.load(), 2);
}

TEST_F(ReaderCoreTest, AFailedRolloverStopsAndKeepsTheFinishedFiles) {
    Begin(SimulatedStream("spr", 1.0), 100, true);
    core_->Step();
    // The folder goes away: the open file can still be written, the next cannot be created.
    std::filesystem::rename(dir_.Path(), dir_.Path().string() + "-moved");
    state_.newFileRequest.store(true);
    core_->Step();
    core_->Step();
    std::filesystem::rename(dir_.Path().string() + "-moved", dir_.Path());
    EXPECT_FALSE(state_.flags.phase.Recording());
    EXPECT_EQ(state_.fileIndex.load(), 1);  // never published a file that does not exist
    EXPECT_EQ(FinishedByteCount(ReadFile(File("PDCapture_0001.zaz"))), 2 * 16384);
}

TEST_F(ReaderCoreTest, RolloverWithAnExternalNameNeverOverwritesTheFinishedFile) {
    Begin(SimulatedStream("long", 60.0), 1, true);
    state_.file.Close();
    state_.plan.externalName = "bench.zaz";
    ASSERT_TRUE(OpenRecordFile(state_, 1));
    Drain();
    state_.flags.phase.RequestStop();
    core_->Step();
    std::vector<uint8_t> first = ReadFile(File("bench.zaz"));
    std::vector<uint8_t> second = ReadFile(File("bench_0002.zaz"));
    EXPECT_GT(first.size(), 1000000u);
    EXPECT_EQ(FinishedByteCount(first), static_cast<int64_t>(first.size() - 64));
    EXPECT_EQ(FinishedByteCount(second), static_cast<int64_t>(second.size() - 64));
}

// A file size limit (as on a full disk) in a child process: the capture stops, what was written
// stays, the leading InfoBlock is still finished with the count of bytes that reached the file.
TEST_F(ReaderCoreTest, AFailingWriteStopsTheCaptureAndKeepsEverythingWritten) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    constexpr rlim_t kLimit = 200000;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{kLimit, kLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        Begin(stream, 100, false, 1000);
        Drain();
        core_->Step();
        bool ok = !state_.flags.phase.Recording() && state_.writeError.load() == EFBIG;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::vector<uint8_t> file = ReadFile(File("PDCapture.zaz"));
    EXPECT_EQ(file.size(), kLimit);
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(kLimit - 64));
    std::vector<uint8_t> part = StreamOf(file);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), stream.begin()));
}

// The user-interface thread decides to stop while the reader thread is stopping on its own (a
// full file): the late request must not outlive that stop, or it finishes the next capture's
// record file as soon as the user-interface thread has opened it.
TEST_F(ReaderCoreTest, AStopAskedForAfterTheReaderStoppedItselfDoesNotReachTheNextCapture) {
    Begin(SimulatedStream("long", 60.0), 1, false);
    Drain();
    core_->Step();
    ASSERT_FALSE(state_.flags.phase.Recording());  // stopped by the full file
    EXPECT_FALSE(state_.flags.phase.RequestStop());
    EXPECT_FALSE(state_.flags.phase.StopRequested());

    state_.plan.baseName = "Next";
    ASSERT_TRUE(OpenRecordFile(state_, 1));
    core_->Step();  // the reader runs before the user-interface thread starts recording
    EXPECT_TRUE(state_.file.IsOpen());
    state_.flags.phase.StartRecording();
    core_->Step();
    EXPECT_TRUE(state_.flags.phase.Recording());
    EXPECT_TRUE(state_.file.IsOpen());
}
