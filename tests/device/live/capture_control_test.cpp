// Capture control against a fake analyzer and application, with the reader loop stepped by
// hand between the one-second ticks.
#include <gtest/gtest.h>

#include <filesystem>

#include "fake_analyzer.h"
#include "live/capture_status.h"
#include "live/reader_core.h"
#include "record_files.h"

namespace {

class CaptureControlTest : public testing::Test, public CaptureRig {
  protected:
    CaptureControlTest() { state.flags.threadAlive.store(true); }
    void Stream(const std::vector<uint8_t>& bytes, size_t chunkSize = 16384) {
        source_ = std::make_unique<ScriptedStream>(bytes, chunkSize);
        core_ = std::make_unique<ReaderCore>(state, *source_, CalibrationRatios{});
        control_ = std::make_unique<CaptureControl>(doc, settings, state, device, host);
        control_->SetClock([] { return std::time_t{1696515753}; });
    }
    // About one second of the analyzer at 1 ms sampling: a few reads.
    void Read(int steps) {
        for (int i = 0; i < steps; ++i) {
            core_->Step();
        }
    }
    std::string Path(const std::string& name) const { return dir.File(name); }

    std::unique_ptr<ScriptedStream> source_;
    std::unique_ptr<ReaderCore> core_;
    std::unique_ptr<CaptureControl> control_;
};

}  // namespace

TEST_F(CaptureControlTest, IdleTicksShowTheConnectionStateAndRefreshOnChange) {
    Stream({});
    device.connected = false;
    control_->Tick();
    EXPECT_EQ(host.status, "Disconnected.  (Connect Zoduz Device to USB port.)");
    EXPECT_EQ(host.readouts, 1);
    int refreshes = host.refreshes;
    device.connected = true;
    control_->Tick();
    EXPECT_EQ(host.status, "Connected.  (Push \"Run\" button to start capturing.)");
    EXPECT_EQ(host.refreshes, refreshes + 1);
    control_->Tick();
    EXPECT_EQ(host.refreshes, refreshes + 1);
}

TEST_F(CaptureControlTest, TheFirstTickOffersTheDriverOnlyWithoutAnAnalyzer) {
    Stream({});
    device.connected = true;
    control_->Tick();
    EXPECT_FALSE(settings.launchDriverInstaller);
    EXPECT_EQ(host.driverPrompts, 0);

    settings.launchDriverInstaller = true;
    Stream({});
    device.connected = false;
    host.driverAnswer = {true, true};
    control_->Tick();
    control_->Tick();
    EXPECT_EQ(host.driverPrompts, 1);
    EXPECT_EQ(host.installs, 1);
    EXPECT_FALSE(settings.launchDriverInstaller);
}

TEST_F(CaptureControlTest, AVirtualAnalyzerSaysNothingAboutTheDriver) {
    for (bool connected : {true, false}) {
        settings.launchDriverInstaller = true;
        Stream({});
        device.simulated = true;
        device.connected = connected;
        control_->Tick();
        EXPECT_TRUE(settings.launchDriverInstaller);
        EXPECT_EQ(host.driverPrompts, 0);
    }
}

TEST_F(CaptureControlTest, CommandEnabling) {
    Stream(SimulatedStream("spr", 1.0));
    device.connected = false;
    control_->Tick();
    WriteFile(Path("old.zaz"), std::vector<uint8_t>(64, 0));
    doc.OpenRecordFile(Path("old.zaz"));
    EXPECT_FALSE(control_->CanRun());  // even with a record file loaded
    EXPECT_FALSE(control_->CanStop());
    EXPECT_FALSE(control_->CanClear());  // empty document

    device.connected = true;
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
    EXPECT_TRUE(state.flags.phase.StopRequested());
    Read(1);
    EXPECT_TRUE(control_->CanRun());
}

TEST_F(CaptureControlTest, RunAsksForTheRecordFileSettingsUnlessToldNotTo) {
    Stream(SimulatedStream("spr", 1.0));
    control_->Tick();
    host.dialogAnswer = false;
    control_->Run();
    EXPECT_EQ(host.dialogs, 1);
    EXPECT_FALSE(state.flags.phase.Recording());
    EXPECT_FALSE(std::filesystem::exists(Path("PDCapture.zaz")));

    host.dialogAnswer = true;
    control_->Run();
    EXPECT_EQ(host.dialogs, 2);
    EXPECT_TRUE(state.flags.phase.Recording());
    EXPECT_EQ(doc.RecordFilePath(), Path("PDCapture.zaz"));
    EXPECT_TRUE(doc.Recording());
}

TEST_F(CaptureControlTest, DoNotAskAgainComposesTheNameWithTheStartTime) {
    settings.recordDoNotAskAgain = true;
    settings.recordAppendTimestamp = true;
    settings.recordMultiCaptureFile = true;
    Stream({});
    control_->Form() = RecordFileForm::FromSettings(settings);
    control_->Tick();
    control_->Run();
    EXPECT_EQ(host.dialogs, 0);
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
    doc.OpenRecordFile(Path("old.zaz"));
    doc.SetModified(true);
    host.saveAnswer = false;
    control_->Tick();
    control_->Run();
    EXPECT_EQ(host.saveQuestions, 1);
    EXPECT_EQ(host.dialogs, 0);
    EXPECT_FALSE(state.flags.phase.Recording());
    EXPECT_EQ(doc.RecordFilePath(), Path("old.zaz"));
}

TEST_F(CaptureControlTest, AnUncreatableRecordFileIsReportedAndTheSettingsReopen) {
    settings.recordFileFolder = Path("missing/folder");
    Stream({});
    control_->Tick();
    control_->Run();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], kRecordFileCreateErrorText);
    EXPECT_EQ(host.dialogs, 2);
    EXPECT_FALSE(state.flags.phase.Recording());
}

TEST_F(CaptureControlTest, ACaptureDecodesEverySecondAndTheStopDecodesTheRest) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    Stream(stream);
    control_->Tick();
    control_->Run();
    Read(10);
    control_->Tick();
    EXPECT_EQ(host.status.rfind("Capturing... ", 0), 0u) << host.status;
    EXPECT_NE(host.status.find("    [File Size=163KB (0%) ]"), std::string::npos) << host.status;
    size_t packets = doc.PacketCount();
    EXPECT_GT(doc.SampleCount(), 0u);
    char part[64];
    std::snprintf(part, sizeof part, "    [PD Packets=%zu (", packets);
    EXPECT_NE(host.status.find(part), std::string::npos) << host.status;
    ASSERT_FALSE(host.followed.empty());
    EXPECT_EQ(host.followed.back(), doc.LastSampleTime() - doc.CaptureStartTime());

    while (!source_->Drained()) {
        Read(10);
        control_->Tick();
    }
    control_->Stop();
    Read(1);
    control_->Tick();  // decodes the rest of the finished file
    EXPECT_FALSE(doc.Recording());
    EXPECT_EQ(doc.PacketCount(), PacketsOf(Path("PDCapture.zaz")).size());
    control_->Tick();
    EXPECT_EQ(host.status, kConnectedStatusText);
}

TEST_F(CaptureControlTest, AnAnalyzerThatVanishesStopsTheCaptureWithAFinishedFile) {
    const std::vector<uint8_t> stream = SimulatedStream("mixed", 6.0);
    Stream(stream);
    control_->Tick();
    control_->Run();
    Read(20);
    control_->Tick();
    device.connected = false;
    control_->Tick();  // the poll fails: stop
    EXPECT_TRUE(state.flags.phase.StopRequested());
    EXPECT_EQ(core_->Step(), ReaderStep::kIdle);
    control_->Tick();  // decodes the rest of the file
    control_->Tick();
    EXPECT_EQ(host.status, kDisconnectedStatusText);
    std::vector<uint8_t> file = ReadFile(Path("PDCapture.zaz"));
    EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64));
    EXPECT_EQ(StreamOf(file), std::vector<uint8_t>(stream.begin(), stream.begin() + 20 * 16384));
    EXPECT_EQ(doc.PacketCount(), PacketsOf(Path("PDCapture.zaz")).size());
    EXPECT_GT(doc.PacketCount(), 0u);
}

TEST_F(CaptureControlTest, ClearWhileRecordingRestartsWithAnEmptyDocument) {
    settings.recordDoNotAskAgain = true;
    settings.recordMultiCaptureFile = true;
    Stream(SimulatedStream("mixed", 6.0));
    control_->Tick();
    control_->Run();
    Read(10);
    control_->Tick();
    ASSERT_GT(doc.SampleCount(), 0u);
    control_->Clear();
    Read(1);
    control_->Tick();  // the stop is done: a new capture starts
    EXPECT_TRUE(state.flags.phase.Recording());
    EXPECT_EQ(doc.SampleCount(), 0u);
    EXPECT_FALSE(state.flags.restartRequest.load());
    Read(5);
    control_->Tick();
    EXPECT_GT(doc.SampleCount(), 0u);
}

TEST_F(CaptureControlTest, ClearBeforeAnyByteStopsWithoutANewCapture) {
    settings.recordDoNotAskAgain = true;
    Stream({});
    control_->Tick();
    control_->Run();
    control_->Clear();
    Read(1);
    control_->Tick();
    control_->Tick();
    EXPECT_FALSE(state.flags.phase.Recording());
    EXPECT_EQ(host.status, kConnectedStatusText);
}

TEST_F(CaptureControlTest, AfterARolloverTheDocumentShowsOnlyTheNewFile) {
    settings.recordDoNotAskAgain = true;
    settings.recordMultiCaptureFile = true;
    settings.recordMaxFileSizeMB = 1;
    Stream(SimulatedStream("long", 100.0));
    control_->Tick();
    control_->Run();
    Read(40);
    control_->Tick();
    size_t firstFileSamples = doc.SampleCount();
    Read(40);  // past 1 000 000 bytes: file 2
    ASSERT_EQ(state.fileIndex.load(), 2);
    control_->Tick();
    EXPECT_EQ(control_->ShownFileIndex(), 2);
    EXPECT_EQ(doc.RecordFilePath(), Path("PDCapture_0002.zaz"));
    EXPECT_LT(doc.SampleCount(), firstFileSamples);
    EXPECT_NE(host.status.find("[File Size="), std::string::npos);
}

TEST_F(CaptureControlTest, APassedLimitWithFullStopShowsItsMessageAndStops) {
    settings.recordDoNotAskAgain = true;
    settings.recordCaptureFullStop = true;
    settings.recordMaxPDPacketCount = 100;
    Stream(SimulatedStream("catalog", 30.0, 10));
    control_->Tick();
    control_->Run();
    for (int i = 0; i < 100 && host.messages.empty() && !source_->Drained(); ++i) {
        Read(2);
        control_->Tick();
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "PD messege count full.");
    EXPECT_TRUE(state.flags.phase.StopRequested());
}

TEST_F(CaptureControlTest, APassedLimitWithoutFullStopRequestsOneNewFile) {
    settings.recordDoNotAskAgain = true;
    settings.recordMultiCaptureFile = true;
    settings.recordMaxVbusInfoCount = 1000;
    Stream(SimulatedStream("spr", 3.0));
    control_->Tick();
    control_->Run();
    for (int i = 0; i < 20 && !state.newFileRequest.load(); ++i) {
        Read(1);
        control_->Tick();
    }
    ASSERT_TRUE(state.newFileRequest.load());
    Read(1);
    EXPECT_EQ(state.fileIndex.load(), 2);
    EXPECT_TRUE(state.countRolloverDone.load());
    control_->Tick();  // attaches file 2 and empties the document
    EXPECT_FALSE(state.countRolloverDone.load());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(CaptureControlTest, AutomationRunsOnlyWithAnExternalNameAndStopForgetsIt) {
    Stream(SimulatedStream("spr", 1.0));
    control_->Tick();
    control_->AutomationStart();
    EXPECT_FALSE(state.flags.phase.Recording());

    std::filesystem::create_directories(Path("ext"));
    control_->SetExternalName("remote.zaz");
    control_->SetExternalFolder(Path("ext"));
    control_->AutomationStart();
    EXPECT_EQ(host.dialogs, 0);
    EXPECT_TRUE(state.flags.phase.Recording());
    EXPECT_TRUE(std::filesystem::exists(Path("ext/remote.zaz")));
    control_->AutomationStop();
    EXPECT_TRUE(control_->ExternalName().empty());
    EXPECT_TRUE(state.flags.phase.StopRequested());
}

TEST_F(CaptureControlTest, AFailedWriteIsReportedOnceTheCaptureHasStopped) {
    settings.recordDoNotAskAgain = true;
    Stream(SimulatedStream("spr", 1.0));
    control_->Tick();
    control_->Run();
    state.writeError.store(ENOSPC);
    state.flags.phase.RequestStop();
    Read(1);
    control_->Tick();
    control_->Tick();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], RecordFileWriteErrorText(ENOSPC));
}

TEST_F(CaptureControlTest, ANewCaptureNumbersItsFileInsteadOfReplacingAnEarlierOne) {
    // The default Record File Settings: "PDCapture" without a timestamp, not asked again.
    settings.recordDoNotAskAgain = true;
    Stream(SimulatedStream("mixed", 6.0));
    control_->Form() = RecordFileForm::FromSettings(settings);
    control_->Tick();
    const auto record = [this] {
        control_->Run();
        Read(8);
        control_->Tick();
        control_->Stop();
        Read(1);
        control_->Tick();  // decodes the rest of the finished file
        return doc.RecordFilePath();
    };
    EXPECT_EQ(record(), Path("PDCapture.zaz"));
    const std::vector<uint8_t> first = ReadFile(Path("PDCapture.zaz"));
    EXPECT_EQ(record(), Path("PDCapture (1).zaz"));
    EXPECT_EQ(ReadFile(Path("PDCapture.zaz")), first);
    // The automation interface cannot ask either: a repeated remote name is numbered too.
    control_->SetExternalName("remote.zaz");
    EXPECT_EQ(record(), Path("remote.zaz"));
    control_->SetExternalName("remote.zaz");
    EXPECT_EQ(record(), Path("remote (1).zaz"));
    for (const char* name :
         {"PDCapture.zaz", "PDCapture (1).zaz", "remote.zaz", "remote (1).zaz"}) {
        const std::vector<uint8_t> file = ReadFile(Path(name));
        EXPECT_EQ(FinishedByteCount(file), static_cast<int64_t>(file.size() - 64)) << name;
        EXPECT_FALSE(PacketsOf(Path(name)).empty()) << name;
    }
}
