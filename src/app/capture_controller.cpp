#include "app/capture_controller.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <chrono>
#include <thread>

#include "app/capture_filename_dlg.h"
#include "app/commands/document_commands.h"
#include "app/config_dlg.h"
#include "app/launch_driver_installer_dlg.h"
#include "app/udev_rule.h"
#include "capture/document.h"
#include "prompts/prompts.h"
#include "settings/settings_store.h"

namespace {

constexpr int kTickMs = 1000;
// How long a close waits for the reader thread to finish the record file, and how often it looks.
constexpr int kFinishWaitMs = 10000;
constexpr int kFinishPollMs = 10;
constexpr const char* kDefaultScenario = "mixed";

// Stands in while no analyzer is attached: never connects, never delivers a byte.
class NoAnalyzer : public CaptureDevice, public StreamSource {
  public:
    bool Poll() override { return false; }
    RecorderIdentity Identity() const override { return {}; }
    long ReadStream(uint8_t*, size_t, int) override { return -1; }
};

NoAnalyzer& Absent() {
    static NoAnalyzer absent;
    return absent;
}

// The CC Register Injection items of one line, in menu order.
constexpr std::array<CcTermination, kCcTerminationCount> kMenuTerminations = {
    CcTermination::kNone,  CcTermination::kRpDefault, CcTermination::kRp1A5,
    CcTermination::kRp3A0, CcTermination::kRd,        CcTermination::kRa};

CalibrationRatios RatiosOf(const SettingsStore& settings) {
    return {settings.calVbusVolRatio,  settings.calCC1VolRatio,  settings.calCC2VolRatio,
            settings.calVbusCurrRatio, settings.calCC1CurrRatio, settings.calCC2CurrRatio};
}

QIcon Icon(const char* name) {
    return QIcon(QStringLiteral(":/zoduz/icons/%1.svg").arg(QLatin1String(name)));
}

}  // namespace

CCaptureController::CCaptureController(QWidget& window, CKVDoc& document, SettingsStore& settings,
                                       CDocumentCommands& commands, Prompts& prompts)
    : QObject(&window),
      window_(window),
      document_(document),
      settings_(settings),
      commands_(commands),
      prompts_(prompts) {
    // Texts and keys of the commands come from the window's command table.
    runAction_ = new QAction(Icon("run"), QString(), this);
    connect(runAction_, &QAction::triggered, this, [this] {
        control_->Run();
        UpdateActions();
    });
    stopAction_ = new QAction(Icon("stop"), QString(), this);
    connect(stopAction_, &QAction::triggered, this, [this] {
        control_->Stop();
        UpdateActions();
    });
    clearAction_ = new QAction(Icon("clear"), QString(), this);
    connect(clearAction_, &QAction::triggered, this, [this] {
        control_->Clear();
        UpdateActions();
    });
    recordSettingsAction_ = new QAction(this);
    connect(recordSettingsAction_, &QAction::triggered, this,
            &CCaptureController::ShowRecordSettings);
    recordFileSettingsAction_ = new QAction(this);
    connect(recordFileSettingsAction_, &QAction::triggered, this,
            [this] { EditRecordFileSettings(control_->Form()); });
    connectVirtualAction_ = new QAction(QStringLiteral("Connect &Virtual Analyzer"), this);
    connectVirtualAction_->setCheckable(true);
    connect(connectVirtualAction_, &QAction::triggered, this, [this](bool on) {
        if (on) {
            ConnectVirtualAnalyzer(QString::fromLatin1(kDefaultScenario));
        } else {
            ConnectUsbAnalyzer();
        }
    });
    installDriverAction_ = new QAction(this);
    connect(installDriverAction_, &QAction::triggered, this, [this] { InstallDriver(); });
    for (CcLine line : {CcLine::kCc1, CcLine::kCc2}) {
        for (CcTermination value : kMenuTerminations) {
            QString text = QStringLiteral("CC%1 %2")
                               .arg(line == CcLine::kCc1 ? 1 : 2)
                               .arg(QString::fromLatin1(CcTerminationText(value).data(),
                                                        CcTerminationText(value).size()));
            auto* action = new QAction(text, this);
            action->setCheckable(true);
            connect(action, &QAction::triggered, this,
                    [this, line, value] { ChooseTermination(line, value); });
            ccActions_.push_back(action);
        }
    }
    connect(&timer_, &QTimer::timeout, this, &CCaptureController::Tick);
    ConnectUsbAnalyzer();
}

CCaptureController::~CCaptureController() {
    timer_.stop();
    StopReader();
}

void CCaptureController::StopReader() {
    // The reader thread finishes an active record file before it ends.
    reader_.reset();
}

void CCaptureController::SetAnalyzer(std::unique_ptr<AnalyzerConnection> analyzer) {
    timer_.stop();
    StopReader();
    RecordFileForm form = control_ ? control_->Form() : RecordFileForm::FromSettings(settings_);
    analyzer_ = std::move(analyzer);
    CaptureDevice& device = analyzer_ ? static_cast<CaptureDevice&>(*analyzer_) : Absent();
    StreamSource& source = analyzer_ ? static_cast<StreamSource&>(*analyzer_) : Absent();
    if (analyzer_) {
        analyzer_->SetSamplingInterval(settings_.recordVbusSamplingIntervalMS);
    }
    state_.flags.connected.store(false);
    const bool firstTickDone = control_ && control_->FirstTickDone();
    control_ = std::make_unique<CaptureControl>(document_, settings_, state_, device, *this);
    control_->Form() = form;
    if (firstTickDone) {
        control_->MarkFirstTickDone();
    }
    // VBUS presence changes come from the reader thread; they are passed on from this one.
    reader_ = std::make_unique<ReaderThread>(
        state_, source, RatiosOf(settings_), [this](const VbusPresenceChange& change) {
            QMetaObject::invokeMethod(
                this, [this, change] { emit vbusPresenceChanged(change); }, Qt::QueuedConnection);
        });
    reader_->Start();
    timer_.start(kTickMs);
    UpdateActions();
}

void CCaptureController::ConnectVirtualAnalyzer(const QString& scenario) {
    std::unique_ptr<AnalyzerConnection> analyzer =
        AnalyzerConnection::Virtual(scenario.toStdString());
    if (!analyzer) {
        ShowMessage("Unknown virtual analyzer scenario \"" + scenario.toStdString() + "\".");
        return;
    }
    SetAnalyzer(std::move(analyzer));
    Tick();
}

void CCaptureController::ConnectUsbAnalyzer() {
    std::vector<UsbDeviceId> ids =
        ParseUsbIdList(settings_.deviceUsbIds).value_or(DefaultAnalyzerIds());
    SetAnalyzer(AnalyzerConnection::Usb(ids));
}

void CCaptureController::AddMenus(QMenuBar& menuBar) {
    QMenu* record = menuBar.addMenu(QStringLiteral("&Record"));
    record->addAction(runAction_);
    record->addAction(stopAction_);
    record->addAction(clearAction_);
    record->addSeparator();
    record->addAction(recordSettingsAction_);
    record->addAction(recordFileSettingsAction_);
    record->addSeparator();
    QMenu* injection = record->addMenu(QStringLiteral("CC Register Injection"));
    for (size_t i = 0; i < ccActions_.size(); ++i) {
        if (i == kMenuTerminations.size()) {
            injection->addSeparator();
        }
        injection->addAction(ccActions_[i]);
    }
    record->addSeparator();
    record->addAction(connectVirtualAction_);
}

void CCaptureController::Tick() {
    // A message box shown by the tick runs a nested event loop in which the timer fires again.
    if (inTick_) {
        return;
    }
    inTick_ = true;
    control_->Tick();
    if (runWhenConnected_ && state_.flags.connected.load()) {
        runWhenConnected_ = false;
        control_->Run(false);
    }
    inTick_ = false;
    actionsPending_ = false;
    UpdateActions();
}

bool CCaptureController::FinishRecording() {
    control_->Stop();
    for (int waited = 0; state_.flags.phase.Recording() && waited < kFinishWaitMs;
         waited += kFinishPollMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kFinishPollMs));
    }
    if (state_.flags.phase.Recording()) {
        return false;
    }
    Tick();  // decodes what the reader wrote last
    return !document_.Recording();
}

void CCaptureController::UpdateActions() {
    if (inTick_) {
        actionsPending_ = true;
        return;
    }
    runAction_->setEnabled(control_->CanRun());
    stopAction_->setEnabled(control_->CanStop());
    clearAction_->setEnabled(control_->CanClear());
    const bool recording = control_->Recording();
    recordSettingsAction_->setEnabled(!recording);
    recordFileSettingsAction_->setEnabled(!recording);
    connectVirtualAction_->setEnabled(!recording);
    connectVirtualAction_->setChecked(HasVirtualAnalyzer());
    installDriverAction_->setEnabled(!state_.flags.connected.load());
    for (size_t i = 0; i < ccActions_.size(); ++i) {
        CcLine line = i < kMenuTerminations.size() ? CcLine::kCc1 : CcLine::kCc2;
        CcTermination value = kMenuTerminations[i % kMenuTerminations.size()];
        ccActions_[i]->setChecked(analyzer_ && analyzer_->Link().Termination(line) == value);
    }
    emit actionsUpdated();
}

void CCaptureController::ChooseTermination(CcLine line, CcTermination value) {
    if (analyzer_ && state_.flags.connected.load()) {
        analyzer_->Link().SetCcTermination(line, value);
    }
    UpdateActions();
}

void CCaptureController::ShowRecordSettings() {
    CConfigDlg dialog(settings_, prompts_, &window_);
    if (prompts_.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    if (dialog.IntervalMs() != 0 && analyzer_) {
        analyzer_->SetSamplingInterval(dialog.IntervalMs());
        analyzer_->Link().SetSamplingInterval(dialog.IntervalMs());
    }
    document_.SetLimits(settings_.recordMaxPDPacketCount, settings_.recordMaxVbusInfoCount,
                        settings_.recordPDPacketAutoRemove, settings_.recordVbusInfoAutoRemove);
}

bool CCaptureController::MaybeSaveModified() {
    return commands_.MaybeSaveModified();
}

bool CCaptureController::EditRecordFileSettings(RecordFileForm& form) {
    CCaptureFilenameDlg dialog(form, settings_, prompts_, &window_);
    return prompts_.RunDialog(dialog) == QDialog::Accepted;
}

void CCaptureController::ShowMessage(const std::string& text) {
    Warn(QString::fromStdString(text));
}

void CCaptureController::Warn(const QString& text) {
    prompts_.ShowWarning(&window_, QStringLiteral("Zoduz App"), text);
}

void CCaptureController::DocumentEmptied() {
    emit documentEmptied();
}

void CCaptureController::RecordFileAttached(const std::string& path) {
    emit recordFileAttached(QString::fromStdString(path));
}

void CCaptureController::RefreshAllViews() {
    UpdateActions();
    emit viewsRefreshed();
}

void CCaptureController::FollowCapture(int64_t graphTime) {
    emit followCapture(graphTime);
}

void CCaptureController::SetStatusText(const std::string& text) {
    emit captureStatus(QString::fromStdString(text));
}

void CCaptureController::RefreshReadouts() {
    emit readoutsChanged();
}

DriverPrompt CCaptureController::OfferDriverInstall() {
    // Nothing to offer once the udev rule is in place.
    if (!InstalledUdevRule(driverEnvironment_.ruleFolders).empty()) {
        return {};
    }
    CLaunchDriverInstallerDlg dialog(&window_);
    const bool install = prompts_.RunDialog(dialog) == QDialog::Accepted;
    return {install, dialog.DoNotAskAgain()};
}

void CCaptureController::InstallDriver() {
    Warn(::InstallDriver(driverEnvironment_));
}

AnalyzerIdentity CCaptureController::AboutIdentity() const {
    AnalyzerIdentity identity;
    // An analyzer with firmware too old to connect is still named, so that the box can say why.
    if (analyzer_ && (state_.flags.connected.load() || analyzer_->Link().InvalidFirmware())) {
        const DeviceLink& link = analyzer_->Link();
        identity.firmwareText = QString::fromStdString(link.FirmwareText());
        identity.invalidFirmware = link.InvalidFirmware();
        identity.serialText = QString::fromStdString(link.SerialText());
    }
    return identity;
}

void CCaptureController::EnterFirmwareUpdate() {
    if (analyzer_ && state_.flags.connected.load()) {
        analyzer_->Link().EnterFirmwareUpdate();
    }
}
