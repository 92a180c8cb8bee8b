// The reader thread against capture control on another thread, as in the application: nothing
// lost or reordered, clean stops and closes, and a process killed mid-capture.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "capture/record_naming.h"
#include "fake_analyzer.h"
#include "live/analyzer_connection.h"
#include "live/capture_status.h"
#include "live/reader_thread.h"
#include "record_files.h"

namespace {

using namespace std::chrono_literals;

// Waits up to ten seconds for condition, ticking capture control every 10 ms meanwhile.
template <typename Condition>
bool TickUntil(CaptureControl& control, Condition condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition()) {
            return true;
        }
        control.Tick();
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

class ReaderThreadTest : public testing::Test, public CaptureRig {
  protected:
    ReaderThreadTest() { settings.recordDoNotAskAgain = true; }
    void Start(std::vector<uint8_t> stream, size_t chunkSize = 16384) {
        source_ = std::make_unique<ScriptedStream>(std::move(stream), chunkSize);
        control_ = std::make_unique<CaptureControl>(doc, settings, state, device, host);
        reader_ = std::make_unique<ReaderThread>(state, *source_, CalibrationRatios{});
        // Run comes before the first tick connects the analyzer, so that no byte is read
        // before the capture records.
        reader_->Start();
    }

    std::unique_ptr<ScriptedStream> source_;
    std::unique_ptr<CaptureControl> control_;
    std::unique_ptr<ReaderThread> reader_;
};

}  // namespace

TEST_F(ReaderThreadTest, RecordsEveryByteInOrderAndTheDocumentFollows) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    Start(stream, 4000);
    control_->Run();
    ASSERT_TRUE(state.flags.phase.Recording());
    ASSERT_TRUE(TickUntil(*control_, [&] { return source_->Drained(); }));
    control_->Tick();
    EXPECT_GT(doc.PacketCount(), 0u);
    control_->Stop();
    ASSERT_TRUE(TickUntil(*control_, [&] { return !state.flags.phase.Recording(); }));
    control_->Tick();  // decodes the rest
    std::vector<uint8_t> file = ReadFile(dir.File("PDCapture.zaz"));
    EXPECT_EQ(StreamOf(file), stream);
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(stream.size()));
    EXPECT_EQ(doc.PacketCount(), PacketsOf(dir.File("PDCapture.zaz")).size());
    EXPECT_GT(state.live.lastSampleTime.load(), 0);
}

TEST_F(ReaderThreadTest, RolloversOnTheReaderThreadKeepTheDocumentOnTheCurrentFile) {
    settings.recordMultiCaptureFile = true;
    settings.recordMaxFileSizeMB = 1;
    const std::vector<uint8_t> stream = SimulatedStream("long", 150.0);
    Start(stream);
    control_->Run();
    ASSERT_TRUE(TickUntil(*control_, [&] { return source_->Drained(); }));
    control_->Stop();
    ASSERT_TRUE(TickUntil(*control_, [&] { return !state.flags.phase.Recording(); }));
    control_->Tick();
    int last = state.fileIndex.load();
    EXPECT_GE(last, 3);
    EXPECT_EQ(control_->ShownFileIndex(), last);
    EXPECT_EQ(doc.RecordFilePath(), dir.File(RecordFileName("PDCapture", last, true)));
    std::vector<uint8_t> joined;
    for (int i = 1; i <= last; ++i) {
        std::vector<uint8_t> part =
            StreamOf(ReadFile(dir.File(RecordFileName("PDCapture", i, true))));
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, stream);
}

TEST_F(ReaderThreadTest, ClosingWhileRecordingLeavesACompleteFile) {
    Start(SimulatedStream("mixed", 6.0), 1000);
    control_->Run();
    ASSERT_TRUE(TickUntil(*control_, [&] { return state.bytesWritten.load() > 100000; }));
    reader_->RequestClose();
    reader_->Join();
    EXPECT_FALSE(state.flags.threadAlive.load());
    EXPECT_FALSE(state.flags.phase.Recording());
    std::vector<uint8_t> file = ReadFile(dir.File("PDCapture.zaz"));
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
    EXPECT_GT(file.size(), 100000u);
}

TEST_F(ReaderThreadTest, AnIdleThreadEndsWithoutWaitingOutItsSecond) {
    device.connected = false;
    Start({});
    reader_.reset();  // the close request wakes the idle wait
    EXPECT_FALSE(state.flags.threadAlive.load());
    EXPECT_FALSE(state.flags.closeRequest.load());
    EXPECT_TRUE(state.flags.stoppedAck.load());
}

TEST_F(ReaderThreadTest, AProcessKilledMidCaptureLeavesAFileThatDecodes) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    const std::string path = dir.File("PDCapture.zaz");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Half the stream arrives, then the analyzer goes quiet, so the kill always lands in
        // the middle of the capture however fast the machine is.
        Start(stream, 640);
        source_->holdAt.store(stream.size() / 2);
        control_->Run();
        for (;;) {
            control_->Tick();
            std::this_thread::sleep_for(1ms);
        }
    }
    for (int i = 0; i < 2000; ++i) {
        std::error_code error;
        if (std::filesystem::file_size(path, error) > 200000 && !error) {
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    std::vector<uint8_t> file = ReadFile(path);
    ASSERT_GT(file.size(), 200000u);
    EXPECT_LT(file.size(), stream.size() + 64);
    EXPECT_EQ(FinishedByteCount(file), -1);  // still the placeholder
    std::vector<uint8_t> part = StreamOf(file);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), stream.begin()));
    CKVDoc reopened;
    ASSERT_TRUE(reopened.OpenRecordFile(path));
    EXPECT_EQ(reopened.DecodedOffset(), static_cast<int64_t>(file.size() / 64 * 64));
    EXPECT_GT(reopened.SampleCount(), 0u);
    EXPECT_GT(reopened.PacketCount(), 0u);
}

// The virtual analyzer leaves (as for a firmware update) in the middle of a capture: the next
// tick stops it, and the file is finished and decodes to everything received.
TEST(VirtualAnalyzerCapture, AnAnalyzerThatVanishesStopsTheCaptureWithACompleteFile) {
    CaptureRig rig;
    TempDir& dir = rig.dir;
    SettingsStore& settings = rig.settings;
    settings.recordDoNotAskAgain = true;
    std::unique_ptr<AnalyzerConnection> analyzer = AnalyzerConnection::Virtual("mixed", false);
    ASSERT_TRUE(analyzer);
    CaptureState& state = rig.state;
    CKVDoc& doc = rig.doc;
    RecordingHost& host = rig.host;
    CaptureControl control(doc, settings, state, *analyzer, host);
    ReaderThread reader(state, *analyzer, CalibrationRatios{});
    reader.Start();
    control.Tick();
    ASSERT_TRUE(state.flags.connected.load());
    control.Run();
    ASSERT_TRUE(TickUntil(control, [&] { return state.bytesWritten.load() > 300000; }));
    ASSERT_TRUE(analyzer->Link().EnterFirmwareUpdate());
    ASSERT_TRUE(TickUntil(control, [&] {
        return !state.flags.phase.Recording() && !state.flags.hasUndecodedData.load();
    }));
    control.Tick();
    EXPECT_EQ(host.status, kDisconnectedStatusText);
    std::vector<uint8_t> file = ReadFile(dir.File("PDCapture.zaz"));
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
    EXPECT_EQ(doc.PacketCount(), PacketsOf(dir.File("PDCapture.zaz")).size());
    EXPECT_GT(doc.PacketCount(), 0u);
}
