// The window side of live capture: the one-second QTimer that ticks capture control, the
// Record and CC Register Injection menus, the record dialogs, the reader thread and the
// analyzer the window is connected to. The frame owns one and follows it by its signals; the
// controller does not know the frame.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>
#include <vector>

#include "app/about_dlg.h"
#include "app/driver_install.h"
#include "live/analyzer_connection.h"
#include "live/capture_control.h"
#include "live/reader_thread.h"

class CDocumentCommands;
class CKVDoc;
class Prompts;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;
struct SettingsStore;

class CCaptureController : public QObject, public CaptureHost {
    Q_OBJECT

  public:
    // window parents the dialogs and message boxes, which run through prompts; commands ask
    // whether a modified document may be dropped. All of them outlive the controller.
    CCaptureController(QWidget& window, CKVDoc& document, SettingsStore& settings,
                       CDocumentCommands& commands, Prompts& prompts);
    // Stops the timer and ends the reader thread, which finishes an active record file.
    ~CCaptureController() override;

    // Replaces the analyzer (none: no analyzer at all). An active capture is finished first.
    void SetAnalyzer(std::unique_ptr<AnalyzerConnection> analyzer);
    void ConnectVirtualAnalyzer(const QString& scenario);
    // Real analyzers on the USB bus, with the ids of the "DeviceUsbIds" setting.
    void ConnectUsbAnalyzer();
    bool HasVirtualAnalyzer() const { return analyzer_ && analyzer_->IsVirtual(); }
    // Starts a capture as soon as the analyzer is connected, without asking for settings.
    void RunWhenConnected() { runWhenConnected_ = true; }

    void AddMenus(QMenuBar& menuBar);

    CaptureControl& Control() { return *control_; }
    CaptureState& State() { return state_; }
    // One tick now (the timer calls it every second).
    void Tick();
    // Stops a recording capture and waits until the reader thread has finished its record
    // file, whose rest is then decoded; false when the capture did not stop in time.
    bool FinishRecording();
    // Enables and checks the capture commands from the capture state and tells actionsUpdated;
    // during a tick once, at its end.
    void UpdateActions();
    bool InTick() const { return inTick_; }

    QAction* RunAction() const { return runAction_; }
    QAction* StopAction() const { return stopAction_; }
    QAction* ClearAction() const { return clearAction_; }
    QAction* RecordSettingsAction() const { return recordSettingsAction_; }
    QAction* RecordFileSettingsAction() const { return recordFileSettingsAction_; }
    const std::vector<QAction*>& CcActions() const { return ccActions_; }
    // "Install Zoduz Driver", enabled while no analyzer is connected.
    QAction* InstallDriverAction() const { return installDriverAction_; }

    // What the About box shows of the connected analyzer.
    AnalyzerIdentity AboutIdentity() const;
    // "Enter FW Update Mode": sent when an analyzer is connected.
    void EnterFirmwareUpdate();

    // Where Install Driver looks for the udev rule and how it installs it (the system's by
    // default); the first tick offers the installer only while no rule is found there.
    void SetDriverInstallEnvironment(DriverInstallEnvironment environment) {
        driverEnvironment_ = std::move(environment);
    }

    // --- CaptureHost ------------------------------------------------------------------------
    bool MaybeSaveModified() override;
    bool EditRecordFileSettings(RecordFileForm& form) override;
    void ShowMessage(const std::string& text) override;
    void DocumentEmptied() override;
    void RecordFileAttached(const std::string& path) override;
    void RefreshAllViews() override;
    void FollowCapture(int64_t graphTime) override;
    void SetStatusText(const std::string& text) override;
    void RefreshReadouts() override;
    DriverPrompt OfferDriverInstall() override;
    void InstallDriver() override;

  signals:
    // The capture commands were enabled and checked anew.
    void actionsUpdated();
    // A capture emptied the document: it is untitled until its record file is attached.
    void documentEmptied();
    // A capture made the document decode this record file.
    void recordFileAttached(const QString& path);
    // The capture's status bar text.
    void captureStatus(const QString& text);
    // Auto scroll of the graph: the graph time of the newest sample.
    void followCapture(qint64 graphTime);
    // The views are refreshed: after the tick's decoding and follow, or a change of state.
    void viewsRefreshed();
    // Once a tick: the live values may have changed.
    void readoutsChanged();
    // VBUS appeared or disappeared (noticed by the reader thread, emitted on this one).
    void vbusPresenceChanged(const VbusPresenceChange& change);

  private:
    void StartReader();
    void StopReader();
    void ShowRecordSettings();
    void ChooseTermination(CcLine line, CcTermination value);
    void Warn(const QString& text);

    QWidget& window_;
    CKVDoc& document_;
    SettingsStore& settings_;
    CDocumentCommands& commands_;
    Prompts& prompts_;
    DriverInstallEnvironment driverEnvironment_ = SystemDriverInstallEnvironment();
    CaptureState state_;
    std::unique_ptr<AnalyzerConnection> analyzer_;
    std::unique_ptr<CaptureDevice> noAnalyzer_;
    std::unique_ptr<CaptureControl> control_;
    std::unique_ptr<ReaderThread> reader_;
    QTimer timer_;
    bool inTick_ = false;
    bool actionsPending_ = false;  // UpdateActions came during the tick
    bool runWhenConnected_ = false;

    QAction* runAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QAction* clearAction_ = nullptr;
    QAction* recordSettingsAction_ = nullptr;
    QAction* recordFileSettingsAction_ = nullptr;
    QAction* connectVirtualAction_ = nullptr;
    QAction* installDriverAction_ = nullptr;
    std::vector<QAction*> ccActions_;
};
