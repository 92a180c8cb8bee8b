// Capture control: Run, Stop and Clear as flag handshakes with the reader thread, and the
// one-second capture tick that polls the analyzer, keeps the document attached to the current
// record file and decoding it, watches the limits and writes the status text. Runs on the
// user-interface thread (or the main thread of a headless capture); knows no widget.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "capture/document.h"
#include "live/capture_state.h"
#include "settings/record_file_form.h"
#include "settings/settings_store.h"

// The analyzer as capture control sees it.
class CaptureDevice {
  public:
    virtual ~CaptureDevice() = default;
    // One poll: opens a newly attached analyzer, notices an unplugged one. True while an
    // analyzer with usable firmware is connected.
    virtual bool Poll() = 0;
    // Firmware version and serial number for the finished record files.
    virtual RecorderIdentity Identity() const = 0;
    // A simulated analyzer: being connected to it says nothing about the USB driver.
    virtual bool IsVirtual() const { return false; }
};

// What the driver installer prompt answered.
struct DriverPrompt {
    bool install = false;
    bool doNotAskAgain = false;
};

// The application around capture control: questions, messages and view refreshes. The
// defaults suit a headless capture.
class CaptureHost {
  public:
    virtual ~CaptureHost() = default;
    // The save question for a modified document; false when the user cancels.
    virtual bool MaybeSaveModified() { return true; }
    // Record File Settings on form; true on OK (the form's values are then stored).
    virtual bool EditRecordFileSettings(RecordFileForm& /*form*/) { return false; }
    virtual void ShowMessage(const std::string& /*text*/) {}
    // A write to the record file failed and stopped the capture; shown once it has stopped.
    virtual void RecordFileWriteFailed(int errorNumber);
    // The document was emptied: title it "Untitled", refresh the graph panes.
    virtual void DocumentEmptied() {}
    // The document now decodes the capture's record file at path (saved with Save later).
    virtual void RecordFileAttached(const std::string& /*path*/) {}
    virtual void RefreshAllViews() {}
    virtual void RefreshGraphPanes() {}
    // Auto scroll: the graph time of the newest sample.
    virtual void FollowCapture(int64_t /*graphTime*/) {}
    virtual void SetStatusText(const std::string& /*text*/) {}
    virtual void RefreshReadouts() {}
    // The first tick found no analyzer and the installer is to be offered.
    virtual DriverPrompt OfferDriverInstall() { return {}; }
    virtual void InstallDriver() {}
};

class CaptureControl {
  public:
    using Clock = std::function<std::time_t()>;

    CaptureControl(CKVDoc& document, SettingsStore& settings, CaptureState& state,
                   CaptureDevice& device, CaptureHost& host);

    // --- Commands -------------------------------------------------------------------------
    // askForSettings false starts with the Record File Settings values as they are, as "Do not
    // ask again" does.
    void Run(bool askForSettings = true);
    void Stop();
    void Clear();
    bool CanRun() const;
    bool CanStop() const;
    bool CanClear() const;
    // connected, the reader thread alive, no close request, recording, no stop pending.
    bool Capturing() const;
    // The reader thread records (a stop may be pending): New, Open, Save and the record
    // dialogs wait until it has finished.
    bool Recording() const { return state_.flags.phase.Recording(); }

    // --- The one-second tick --------------------------------------------------------------
    void Tick();
    // The driver installer prompt belongs to the first tick after start-up: a control made for
    // another analyzer later is told that it came.
    bool FirstTickDone() const { return firstTickDone_; }
    void MarkFirstTickDone() { firstTickDone_ = true; }

    // --- Automation -----------------------------------------------------------------------
    // An external record file name and folder replace the composed name and the record folder.
    void SetExternalName(const std::string& name) { externalName_ = name; }
    void SetExternalFolder(const std::string& folder) { externalFolder_ = folder; }
    const std::string& ExternalName() const { return externalName_; }
    // "start": Run when an external name is set.
    void AutomationStart();
    // "stop": forget the external name and folder, then Stop.
    void AutomationStop();

    // --- State ----------------------------------------------------------------------------
    // The Record File Settings values, kept between uses of the dialog.
    RecordFileForm& Form() { return form_; }
    const std::string& StatusText() const { return statusText_; }
    // Folder and name of record file `index` of the current capture.
    std::string RecordFolder() const;
    std::string RecordFileNameFor(int index) const { return PlannedFileName(state_.plan, index); }
    int ShownFileIndex() const { return shownFileIndex_; }
    void SetClock(Clock clock) { clock_ = std::move(clock); }

  private:
    bool EmptyDocument(bool askToSave);
    bool StartRecording();
    void ApplyLimits();
    void AttachChangedFile();
    void DecodeCurrentFile();
    void ShowCapturingStatus();
    void CheckLimits();
    void ReportWriteError();

    CKVDoc& document_;
    SettingsStore& settings_;
    CaptureState& state_;
    CaptureDevice& device_;
    CaptureHost& host_;
    RecordFileForm form_;
    std::string externalName_;
    std::string externalFolder_;
    int shownFileIndex_ = 1;
    bool firstTickDone_ = false;
    std::string statusText_;
    Clock clock_;
};
