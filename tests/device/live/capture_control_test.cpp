// Capture control against a fake analyzer and application, with the reader loop stepped by
// hand between the one-second ticks.
#include <gtest/gtest.h>

#include <filesystem>

#include "device/live/capture_status.h"
#include "device/live/reader_core.h"
#include "fake_analyzer.h"
#include "record_files.h"

namespace {

class CaptureControlTest : public testing::Test {
  protected:
    CaptureControlTest() {
        settings_.recordFileFolder = dir_.Path().string();
        state_.flags.threadAlive.store(true);
    }
    void Stream(const std::vector<uint8_t>& bytes, size_t chunkSize = 16384) {
        source_ = std::make_unique<ScriptedStream>(bytes, chunkSize);
        core_ = std::make_unique<ReaderCore>(state_, *source_, CalibrationRatios{});
        control_ = std::make_unique<CaptureControl>(doc_, settings_, state_, device_, host_);
        control_->SetClock([] { return std::time_t{1696515753}; });
    }
    // About one second of the analyzer at 1 ms sampling: a few reads.
    void Read(int steps) {
        for (int i = 0; i < steps; ++i) {
            core_->Step();
        }
    }
    std::string Path(const std::string& name) const { return dir_.File(name); }

    TempDir dir_;
    SettingsStore settings_;
    CaptureState state_;
    CKVDoc doc_;
    FakeDevice device_;
    RecordingHost host_;
    std::unique_ptr<ScriptedStream> source_;
    std::unique_ptr<ReaderCore> core_;
    std::unique_ptr<CaptureControl> control_;
};

}  // namespace

TEST_F(CaptureControlTest, IdleTicksShowTheConnectionStateAndRefreshOnChange) {
    Stream({});
    device_.connected = false;
    control_->Tick();
    EXPECT_EQ(host_.status, "Disconnected.  (Connect Zoduz Device to USB port.)");
    EXPECT_EQ(host_.readouts, 1);
    int refreshes = host_.refreshes;
    device_.connected = true;
    control_->Tick();
    EXPECT_EQ(host_.status, "Connected.  (Push \"Run\" button to start capturing.)");
    EXPECT_EQ(host_.refreshes, refreshes + 1);
    control_->Tick();
    EXPECT_EQ(host_.refreshes, refreshes + 1);
}

TEST_F(CaptureControlTest, TheFirstTickOffersTheDriverOnlyWithoutAnAnalyzer) {
    Stream({});
    device_.connected = true;
    control_->Tick();
    EXPECT_FALSE(settings_.launchDriverInstaller);
    EXPECT_EQ(host_.driverPrompts, 0);

    settings_.launchDriverInstaller = true;
    Stream({});
    device_.connected = false;
    host_.driverAnswer = {true, true};
    control_->Tick();
    control_->Tick();
    EXPECT_EQ(host_.driverPrompts, 1);
    EXPECT_EQ(host_.installs, 1);
    EXPECT_FALSE(settings_.launchDriverInstaller);
}

TEST_F(CaptureControlTest, CommandEnabling) {
    Stream(SimulatedStream("spr", 1.0));
    device_.connected = false;
    control_->Tick();
    WriteFile(Path("old.zaz"), std::vector<uint8_t>(64, 0));
    doc_.OpenRecordFile(Path("old.zaz"));
    EXPECT_FALSE(control_->CanRun());  // even with a record file loaded
    EXPECT_FALSE(control_->CanStop());
    EXPECT_FALSE(control_->CanClear());  // empty document

    device_.connected = true;
    control_->Tick();
    EXPECT_TRUE(control_->CanRun());
    control_->Run();
    EXPECT_TRUE(control_->Capturing());
    EXPECT_FALSE(control_->CanRun());
    EXPECT_TRUE(control_->CanStop());
    Read(3);
    control_->Tick();
    EXPECT_TRUE(control_->CanClear());

    control_->Stop();
    EXPECT_FALSE(control_->CanStop());  // a pending stop disables Stop
    EXPECT_FALSE(control_->CanRun());   // until the reader has finished the file
    control_->Stop();
    EXPECT_TRUE(state_.flags.stopRequest.load());
    Read(1);
    EXPECT_TRUE(control_->CanRun());
}

TEST_F(CaptureControlTest, RunAsksForTheRecordFileSettingsUnlessToldNotTo) {
    Stream(SimulatedStream("spr", 1.0));
    control_->Tick();
    host_.dialogAnswer = false;
    control_->Run();
    EXPECT_EQ(host_.dialogs, 1);
    EXPECT_FALSE(state_.flags.recording.load());
    EXPECT_FALSE(std::filesystem::exists(Path("PDCapture.zaz")));

    host_.dialogAnswer = true;
    control_->Run();
    EXPECT_EQ(host_.dialogs, 2);
    EXPECT_TRUE(state_.flags.recording.load());
    EXPECT_EQ(doc_.RecordFilePath(), Path("PDCapture.zaz"));
    EXPECT_TRUE(doc_.Recording());
}

TEST_F(CaptureControlTest, DoNotAskAgainComposesTheNameWithTheStartTime) {
    settings_.recordDoNotAskAgain = true;
    settings_.recordAppendTimestamp = true;
    settings_.recordMultiCaptureFile = true;
    Stream({});
    control_->Form() = RecordFileForm::FromSettings(settings_);
    control_->Tick();
    control_->Run();
    EXPECT_EQ(host_.dialogs, 0);
    std::tm local{};
    std::time_t start = 1696515753;
    localtime_r(&start, &local);
    char expected[64];
    std::strftime(expected, sizeof expected, "PDCapture_%Y%m%d-%H%M%S_0001.zaz", &local);
    EXPECT_TRUE(std::filesystem::exists(Path(expected))) << expected;
}

TEST_F(CaptureControlTest, ACancelledSaveQuestionKeepsTheDocument) {
    Stream({});
    WriteFile(Path("old.zaz"), std::vector<uint8_t>(64, 0));
    doc_.OpenRecordFile(Path("old.zaz"));
    doc_.SetModified(true);
    host_.saveAnswer = false;
    control_->Tick();
    control_->Run();
    EXPECT_EQ(host_.saveQuestions, 1);
    EXPECT_EQ(host_.dialogs, 0);
    EXPECT_FALSE(state_.flags.recording.load());
    EXPECT_EQ(doc_.RecordFilePath(), Path("old.zaz"));
}

TEST_F(CaptureControlTest, AnUncreatableRecordFileIsReportedAndTheSettingsReopen) {
    settings_.recordFileFolder = Path("missing/folder");
    Stream({});
    control_->Tick();
    control_->Run();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], kRecordFileCreateErrorText);
    EXPECT_EQ(host_.dialogs, 2);
    EXPECT_FALSE(state_.flags.recording.load());
}

TEST_F(CaptureControlTest, ACaptureDecodesEverySecondAndTheStopDecodesTheRest) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    Stream(stream);
    control_->Tick();
    control_->Run();
    Read(10);
    control_->Tick();
    EXPECT_EQ(host_.status.rfind("Capturing... ", 0), 0u) << host_.status;
    EXPECT_NE(host_.status.find("    [File Size=163KB (0%) ]"), std::string::npos) << host_.status;
    size_t packets = doc_.PacketCount();
    EXPECT_GT(doc_.SampleCount(), 0u);
    char part[64];
    std::snprintf(part, sizeof part, "    [PD Packets=%zu (", packets);
    EXPECT_NE(host_.status.find(part), std::string::npos) << host_.status;
    ASSERT_FALSE(host_.followed.empty());
    EXPECT_EQ(host_.followed.back(), doc_.LastSampleTime() - doc_.CaptureStartTime());

    while (!source_->Drained()) {
        Read(10);
        control_->Tick();
    }
    control_->Stop();
    Read(1);
    control_->Tick();  // decodes the rest of the finished file
    EXPECT_FALSE(doc_.Recording());
    EXPECT_EQ(doc_.PacketCount(), PacketsOf(Path("PDCapture.zaz")).size());
    control_->Tick();
    EXPECT_EQ(host_.status, kConnectedStatusText);
}

TEST_F(CaptureControlTest, AnAnalyzerThatVanishesStopsTheCaptureWithAFinishedFile) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    Stream(stream);
    control_->Tick();
    control_->Run();
    Read(20);
    control_->Tick();
    device_.connected = false;
    control_->Tick();  // the poll fails: stop
    EXPECT_TRUE(state_.flags.stopRequest.load());
    EXPECT_EQ(core_->Step(), ReaderStep::kIdle);
    control_->Tick();  // decodes the rest of the file
    control_->Tick();
    EXPECT_EQ(host_.status, kDisconnectedStatusText);
    std::vector<uint8_t> file = ReadFile(Path("PDCapture.zaz"));
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
    EXPECT_EQ(StreamOf(file), std::vector<uint8_t>(stream.begin(), stream.begin() + 20 * 16384));
    EXPECT_EQ(doc_.PacketCount(), PacketsOf(Path("PDCapture.zaz")).size());
    EXPECT_GT(doc_.PacketCount(), 0u);
}

TEST_F(CaptureControlTest, ClearWhileRecordingRestartsWithAnEmptyDocument) {
    settings_.recordDoNotAskAgain = true;
    settings_.recordMultiCaptureFile = true;
    Stream(SimulatedStream("mixed", 6.0));
    control_->Tick();
    control_->Run();
    Read(10);
    control_->Tick();
    ASSERT_GT(doc_.SampleCount(), 0u);
    control_->Clear();
    Read(1);
    control_->Tick();  // the stop is done: a new capture starts
    EXPECT_TRUE(state_.flags.recording.load());
    EXPECT_EQ(doc_.SampleCount(), 0u);
    EXPECT_FALSE(state_.flags.restartRequest.load());
    Read(5);
    control_->Tick();
    EXPECT_GT(doc_.SampleCount(), 0u);
}

TEST_F(CaptureControlTest, ClearBeforeAnyByteStopsWithoutANewCapture) {
    settings_.recordDoNotAskAgain = true;
    Stream({});
    control_->Tick();
    control_->Run();
    control_->Clear();
    Read(1);
    control_->Tick();
    control_->Tick();
    EXPECT_FALSE(state_.flags.recording.load());
    EXPECT_EQ(host_.status, kConnectedStatusText);
}

TEST_F(CaptureControlTest, AfterARolloverTheDocumentShowsOnlyTheNewFile) {
    settings_.recordDoNotAskAgain = true;
    settings_.recordMultiCaptureFile = true;
    settings_.recordMaxFileSizeMB = 1;
    Stream(SimulatedStream("long", 100.0));
    control_->Tick();
    control_->Run();
    Read(40);
    control_->Tick();
    size_t firstFileSamples = doc_.SampleCount();
    Read(40);  // past 1 000 000 bytes: file 2
    ASSERT_EQ(state_.fileIndex.load(), 2);
    control_->Tick();
    EXPECT_EQ(control_->ShownFileIndex(), 2);
    EXPECT_EQ(doc_.RecordFilePath(), Path("PDCapture_0002.zaz"));
    EXPECT_LT(doc_.SampleCount(), firstFileSamples);
    EXPECT_NE(host_.status.find("[File Size="), std::string::npos);
}

TEST_F(CaptureControlTest, APassedLimitWithFullStopShowsItsMessageAndStops) {
    settings_.recordDoNotAskAgain = true;
    settings_.recordCaptureFullStop = true;
    settings_.recordMaxPDPacketCount = 100;
    Stream(SimulatedStream("catalog", 30.0, 10));
    control_->Tick();
    control_->Run();
    for (int i = 0; i < 100 && host_.messages.empty() && !source_->Drained(); ++i) {
        Read(2);
        control_->Tick();
    }
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], "PD messege count full.");
    EXPECT_TRUE(state_.flags.stopRequest.load());
}

TEST_F(CaptureControlTest, APassedLimitWithoutFullStopRequestsOneNewFile) {
    settings_.recordDoNotAskAgain = true;
    settings_.recordMultiCaptureFile = true;
    settings_.recordMaxVbusInfoCount = 1000;
    Stream(SimulatedStream("spr", 3.0));
    control_->Tick();
    control_->Run();
    for (int i = 0; i < 20 && !state_.newFileRequest.load(); ++i) {
        Read(1);
        control_->Tick();
    }
    ASSERT_TRUE(state_.newFileRequest.load());
    Read(1);
    EXPECT_EQ(state_.fileIndex.load(), 2);
    EXPECT_TRUE(state_.countRolloverDone.load());
    control_->Tick();  // attaches file 2 and empties the document
    EXPECT_FALSE(state_.countRolloverDone.load());
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(CaptureControlTest, AutomationRunsOnlyWithAnExternalNameAndStopForgetsIt) {
    Stream(SimulatedStream("spr", 1.0));
    control_->Tick();
    control_->AutomationStart();
    EXPECT_FALSE(state_.flags.recording.load());

    std::filesystem::create_directories(Path("ext"));
    control_->SetExternalName("remote.zaz");
    control_->SetExternalFolder(Path("ext"));
    control_->AutomationStart();
    EXPECT_EQ(host_.dialogs, 0);
    EXPECT_TRUE(state_.flags.recording.load());
    EXPECT_TRUE(std::filesystem::exists(Path("ext/remote.zaz")));
    control_->AutomationStop();
    EXPECT_TRUE(control_->ExternalName().empty());
    EXPECT_TRUE(state_.flags.stopRequest.load());
}

TEST_F(CaptureControlTest, AFailedWriteIsReportedOnceTheCaptureHasStopped) {
    settings_.recordDoNotAskAgain = true;
    Stream(SimulatedStream("spr", 1.0));
    control_->Tick();
    control_->Run();
    state_.writeError.store(ENOSPC);
    state_.flags.stopRequest.store(true);
    Read(1);
    control_->Tick();
    control_->Tick();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], RecordFileWriteErrorText(ENOSPC));
}
