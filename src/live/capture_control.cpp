#include "live/capture_control.h"

#include <filesystem>
#include <system_error>

#include "live/capture_status.h"
#include "live/record_plan_names.h"

namespace {

// Whole blocks of the record file that the document has yet to decode. A decode during a capture
// reads for a bounded time, so a finished file may need more than one tick; a full document
// decodes no further, and a file that cannot be sized has nothing more to give.
bool MoreToDecode(const CKVDoc& document) {
    if (document.PacketsFull() || document.VbusFull() || document.DecodeStoppedForMemory()) {
        return false;
    }
    std::error_code error;
    const uintmax_t length = std::filesystem::file_size(document.RecordFilePath(), error);
    return !error &&
           static_cast<int64_t>(length / kBlockSize * kBlockSize) > document.DecodedOffset();
}

}  // namespace

void CaptureHost::RecordFileWriteFailed(int errorNumber) {
    ShowMessage(RecordFileWriteErrorText(errorNumber));
}

CaptureControl::CaptureControl(CKVDoc& document, SettingsStore& settings, CaptureState& state,
                               CaptureDevice& device, CaptureHost& host)
    : document_(document),
      settings_(settings),
      state_(state),
      device_(device),
      host_(host),
      form_(RecordFileForm::FromSettings(settings)),
      clock_([] { return std::time(nullptr); }) {}

bool CaptureControl::Capturing() const {
    const CaptureFlags& flags = state_.flags;
    return flags.connected.load() && flags.threadAlive.load() && !flags.closeRequest.load() &&
           flags.phase.Recording() && !flags.phase.StopRequested();
}

bool CaptureControl::CanRun() const {
    // While a stop is still being finished Run would do nothing, so it stays disabled too.
    return state_.flags.connected.load() && !Capturing() && !Recording();
}

bool CaptureControl::CanStop() const {
    return Capturing();
}

bool CaptureControl::CanClear() const {
    return document_.SampleCount() > 0;
}

std::string CaptureControl::RecordFolder() const {
    return externalFolder_.empty() ? settings_.recordFileFolder : externalFolder_;
}

bool CaptureControl::EmptyDocument(bool askToSave) {
    if (askToSave && document_.Modified() && !host_.MaybeSaveModified()) {
        return false;
    }
    document_.DeleteContents();
    document_.SetModified(false);
    host_.DocumentEmptied();
    state_.countRolloverDone.store(false);
    return true;
}

void CaptureControl::Run(bool askForSettings) {
    CaptureFlags& flags = state_.flags;
    if (!flags.threadAlive.load() || flags.phase.Recording()) {
        return;
    }
    if (!EmptyDocument(true)) {
        return;
    }
    if (!askForSettings || !externalName_.empty() || settings_.recordDoNotAskAgain) {
        form_.startTime = clock_();
    } else if (!host_.EditRecordFileSettings(form_)) {
        return;
    }
    state_.plan = RecordPlan{RecordFolder(),
                             form_.BaseName(),
                             externalName_,
                             settings_.recordMultiCaptureFile,
                             settings_.recordMaxFileSizeMB,
                             device_.Identity()};
    shownFileIndex_ = 1;
    state_.newFileRequest.store(false);
    state_.countRolloverDone.store(false);
    // A new capture never replaces an earlier record file: a taken name is numbered.
    if (!AvoidExistingRecordFiles(state_.plan) || !OpenRecordFile(state_, 1)) {
        host_.ShowMessage(kRecordFileCreateErrorText);
        host_.EditRecordFileSettings(form_);
        return;
    }
    document_.AttachRecordFile(state_.plan.folder, RecordFileNameFor(1));
    host_.RecordFileAttached(document_.RecordFilePath());
    flags.restartRequest.store(false);
    flags.hasUndecodedData.store(false);
    state_.writeError.store(0);
    document_.SetRecording(true);
    flags.phase.StartRecording();
}

void CaptureControl::Stop() {
    CaptureFlags& flags = state_.flags;
    if (flags.threadAlive.load()) {
        flags.restartRequest.store(false);
        flags.phase.RequestStop();  // nothing when the capture has stopped meanwhile
    }
}

void CaptureControl::Clear() {
    CaptureFlags& flags = state_.flags;
    if (!flags.phase.Recording() || !flags.threadAlive.load()) {
        EmptyDocument(true);
        return;
    }
    flags.restartRequest.store(true);
    flags.phase.RequestStop();
}

void CaptureControl::AutomationStart() {
    if (!externalName_.empty()) {
        Run();
    }
}

void CaptureControl::AutomationStop() {
    externalName_.clear();
    externalFolder_.clear();
    Stop();
}

void CaptureControl::ApplyLimits() {
    document_.SetLimits(settings_.recordMaxPDPacketCount, settings_.recordMaxVbusInfoCount,
                        settings_.recordPDPacketAutoRemove, settings_.recordVbusInfoAutoRemove);
}

void CaptureControl::AttachChangedFile() {
    int index = state_.fileIndex.load();
    if (index == shownFileIndex_) {
        return;
    }
    shownFileIndex_ = index;
    EmptyDocument(false);
    document_.AttachRecordFile(state_.plan.folder, RecordFileNameFor(index));
    host_.RecordFileAttached(document_.RecordFilePath());
}

void CaptureControl::DecodeCurrentFile() {
    ApplyLimits();
    AttachChangedFile();
    document_.DecodeMore();
}

void CaptureControl::Tick() {
    CaptureFlags& flags = state_.flags;
    bool wasConnected = flags.connected.load();
    bool connected = device_.Poll();
    flags.connected.store(connected);
    if (connected != wasConnected) {
        host_.RefreshAllViews();
    }

    if (!firstTickDone_) {
        firstTickDone_ = true;
        if (device_.IsVirtual()) {
            // Neither a prompt nor a reason to stop offering the driver.
        } else if (connected) {
            settings_.launchDriverInstaller = false;
        } else if (settings_.launchDriverInstaller) {
            DriverPrompt answer = host_.OfferDriverInstall();
            if (answer.install) {
                host_.InstallDriver();
            }
            if (answer.doNotAskAgain) {
                settings_.launchDriverInstaller = false;
            }
        }
    }

    if (flags.stoppedAck.exchange(false)) {
        host_.RefreshAllViews();
    }

    if (flags.phase.Recording()) {
        DecodeCurrentFile();
        if (settings_.graphAutoScroll && document_.CaptureStartTime() >= 0) {
            host_.FollowCapture(document_.LastSampleTime() - document_.CaptureStartTime() -
                                document_.TimeOrigin());
        }
        host_.RefreshAllViews();
        ShowCapturingStatus();
    } else if (flags.hasUndecodedData.load()) {
        if (flags.restartRequest.load()) {
            flags.restartRequest.store(false);
            flags.hasUndecodedData.store(false);
            document_.SetRecording(false);
            Run();
        } else {
            // The document stays in recording mode until the finished file is decoded.
            flags.hasUndecodedData.store(false);
            DecodeCurrentFile();
            if (MoreToDecode(document_)) {
                flags.hasUndecodedData.store(true);
            } else {
                document_.SetRecording(false);
            }
            host_.RefreshGraphPanes();
            host_.RefreshAllViews();
        }
    } else {
        document_.SetRecording(false);
        statusText_ = connected ? kConnectedStatusText : kDisconnectedStatusText;
        host_.SetStatusText(statusText_);
    }

    ReportWriteError();
    CheckLimits();
    host_.RefreshReadouts();
}

void CaptureControl::ShowCapturingStatus() {
    CaptureProgress progress;
    int64_t first = state_.live.firstSampleTime.load();
    progress.elapsedUs = first < 0 ? 0 : state_.live.lastSampleTime.load() - first;
    progress.bytesWritten = state_.bytesWritten.load();
    progress.maxFileSizeMb = state_.plan.maxFileSizeMb;
    progress.packets = static_cast<int64_t>(document_.PacketCount());
    progress.maxPackets = settings_.recordMaxPDPacketCount;
    progress.samples = static_cast<int64_t>(document_.SampleCount());
    progress.maxSamples = settings_.recordMaxVbusInfoCount;
    statusText_ = CapturingStatusText(progress);
    host_.SetStatusText(statusText_);
}

void CaptureControl::ReportWriteError() {
    if (state_.flags.phase.Recording()) {
        return;
    }
    if (int error = state_.writeError.exchange(0); error != 0) {
        host_.RecordFileWriteFailed(error);
    }
}

// A limit stops the capture before its message is shown, so that the capture does not go on
// growing while a message box waits for the user.
void CaptureControl::CheckLimits() {
    const CaptureFlags& flags = state_.flags;
    if (!flags.phase.Recording() || flags.phase.StopRequested()) {
        return;
    }
    if (!flags.connected.load()) {
        Stop();
        return;
    }
    if (settings_.recordCaptureFullStop) {
        if (document_.VbusFull()) {
            Stop();
            host_.ShowMessage(kVbusCountFullText);
            return;
        }
        if (document_.PacketsFull()) {
            Stop();
            host_.ShowMessage(kPacketCountFullText);
            return;
        }
    }
    if (!state_.countRolloverDone.load() && (document_.VbusFull() || document_.PacketsFull())) {
        state_.newFileRequest.store(true);
    }
}
