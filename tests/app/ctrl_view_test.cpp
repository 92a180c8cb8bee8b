// The control strip in the main window, the current direction dialog and its command, the About
// box's update button and the driver installer prompt and command.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "app/about_dlg.h"
#include "app/capture_controller.h"
#include "app/ctrl/ctrl_layout.h"
#include "app/ctrl_view.h"
#include "app/current_dir_dlg.h"
#include "app/launch_driver_installer_dlg.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/document.h"
#include "device/virtual_link.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "list/simulated_capture.h"
#include "settings/settings_store.h"
#include "window_harness.h"

// The direction pictures and button images come from the application's resources.
static void InitResources() {
    Q_INIT_RESOURCE(zoduz);
}

namespace {

struct Harness {
    QTemporaryDir folder;
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    QTemporaryDir driverRoot;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;

    // Save questions are answered No.
    Harness() {
        settings.recordFileFolder = folder.path().toStdString();
        settings.columns[kColumnVbusCurrent].shown = 1;
        Create();
    }
    void Create() {
        prompts.saveChoice = SaveChoice::kDiscard;
        frame = std::make_unique<CMainFrame>(document, settings, recent, prompts);
        Capture().SetDriverInstallEnvironment(ScratchDriverEnvironment(driverRoot));
    }
    CCaptureController& Capture() { return *frame->Capture(); }
    CKVCtrlView& View() { return *frame->CtrlView(); }
    QString Text(int id) { return View().ValueLabel(id)->text(); }
};

// Runs `act` on the next dialogs run, which are of type T; act closes them.
template <typename T, typename Act>
void WhenRun(ScriptedPrompts& prompts, Act act) {
    prompts.dialogAnswer = [act](QDialog& dialog) {
        auto* typed = qobject_cast<T*>(&dialog);
        QVERIFY(typed != nullptr);
        act(*typed);
    };
}

constexpr std::array<int, 9> kValueIds = {1002, 1004, 1009, 1005, 1006, 1007, 1008, 1011, 1012};

}  // namespace

class CtrlViewTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        InitResources();
        capture_ = SimulateCapture(dir_, "epr");
    }
    void init() { h_ = std::make_unique<Harness>(); }
    void cleanup() { h_.reset(); }

    void stripIsRowZeroWithAQuarterOfTheWindowAtMost100();
    void storedHeightComesBackAndIsStoredAtClose();
    void withoutAnalyzerValuesAreEmptyAndOnlyClearMayBeEnabled();
    void liveCaptureShowsFormattedReadingsAndThePeak();
    void controlsFollowTheLayoutRules();
    void clearButtonEmptiesTheDocument();
    void directionDialogOpensOnTheStoredSetting();
    void cancelAfterAPictureClickChangesNothing();
    void okFlipsTheCurrentColumnsAndReattachesTheGraph();
    void aboutBoxDisablesTheUpdateButtonForOldFirmware();
    void driverPromptAnswersAreKept();
    void installDriverIsEnabledOnlyWithoutAnalyzer();

  private:
    QTemporaryDir dir_;
    QString capture_;
    std::unique_ptr<Harness> h_;
};

void CtrlViewTest::stripIsRowZeroWithAQuarterOfTheWindowAtMost100() {
    h_->frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(h_->frame.get()));
    auto* client = qobject_cast<QSplitter*>(h_->frame->centralWidget());
    QVERIFY(client != nullptr);
    QCOMPARE(client->widget(0), static_cast<QWidget*>(h_->frame->CtrlView()));
    QCOMPARE(client->widget(1), static_cast<QWidget*>(h_->frame->MainSplitter()));
    // The default window is 700 high: a quarter is 175, so 100.
    QCOMPARE(client->sizes().value(0), 100);

    h_->frame.reset();
    h_->settings.ctrlViewHeight = 0;
    h_->settings.layout.windowHeight = 360;
    h_->Create();
    h_->frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(h_->frame.get()));
    client = qobject_cast<QSplitter*>(h_->frame->centralWidget());
    QCOMPARE(client->sizes().value(0), 90);
}

void CtrlViewTest::storedHeightComesBackAndIsStoredAtClose() {
    h_->frame.reset();
    h_->settings.ctrlViewHeight = 120;
    h_->Create();
    h_->frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(h_->frame.get()));
    QCOMPARE(h_->View().height(), 120);
    auto* client = qobject_cast<QSplitter*>(h_->frame->centralWidget());
    client->setSizes({90, 400});
    h_->frame.reset();
    QCOMPARE(h_->settings.ctrlViewHeight, 90);
}

void CtrlViewTest::withoutAnalyzerValuesAreEmptyAndOnlyClearMayBeEnabled() {
    h_->Capture().Tick();
    for (int id : kValueIds) {
        QCOMPARE(h_->Text(id), QString());
    }
    QVERIFY(h_->View().Picture()->isHidden());
    QCOMPARE(h_->Text(1120), QStringLiteral("CC Status"));
    QVERIFY(!h_->View().RunButton()->isEnabled());
    QVERIFY(!h_->View().PauseButton()->isEnabled());
    QVERIFY(!h_->View().ClearButton()->isEnabled());
    QVERIFY(h_->frame->OpenDocument(capture_));
    QVERIFY(h_->View().ClearButton()->isEnabled());
    h_->Capture().Tick();
    QCOMPARE(h_->Text(1160), QString::fromStdString(PeakPowerText(h_->document.Stats())));
    QVERIFY(h_->Text(1160).startsWith(QStringLiteral("Peak VBUS Power\n  ")));
}

void CtrlViewTest::liveCaptureShowsFormattedReadingsAndThePeak() {
    h_->frame->show();
    h_->Capture().RunWhenConnected();
    h_->Capture().ConnectVirtualAnalyzer(QStringLiteral("epr"));
    for (int i = 0; i < 100 && h_->document.Stats().maxVbusPower == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        h_->Capture().Tick();
    }
    QVERIFY(h_->document.Stats().maxVbusPower != 0);
    QVERIFY(!h_->View().RunButton()->isEnabled());
    QVERIFY(h_->View().PauseButton()->isEnabled());

    const ControlReadouts& shown = h_->View().Shown();
    QCOMPARE(h_->Text(1002), QString::fromStdString(shown.vbusVoltage));
    QCOMPARE(h_->Text(1004), QString::fromStdString(shown.vbusCurrent));
    QCOMPARE(h_->Text(1009), QString::fromStdString(shown.vbusPower));
    QCOMPARE(h_->Text(1006), QString::fromStdString(shown.cc1Current));
    QCOMPARE(h_->Text(1011), QString::fromStdString(shown.vconnVoltage));
    QCOMPARE(h_->Text(1120), QString::fromStdString(shown.ccStatus));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d\\d \\[V\\]$"))
                .match(h_->Text(1002))
                .hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\.\\d\\d\\d \\[A\\]$"))
                .match(h_->Text(1004))
                .hasMatch());
    QCOMPARE(h_->View().Picture()->isVisible(), shown.picture != DirectionPicture::Hidden);
    QCOMPARE(h_->Text(1160), QString::fromStdString(PeakPowerText(h_->document.Stats())));

    // The analyzer goes away: the values go, the CC status stays.
    const QString status = h_->Text(1120);
    h_->Capture().SetAnalyzer(nullptr);
    h_->Capture().Tick();
    for (int id : kValueIds) {
        QCOMPARE(h_->Text(id), QString());
    }
    QVERIFY(h_->View().Picture()->isHidden());
    QCOMPARE(h_->Text(1120), status);
}

void CtrlViewTest::controlsFollowTheLayoutRules() {
    h_->frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(h_->frame.get()));
    CKVCtrlView& view = h_->View();
    const CtrlLayout layout = ComputeCtrlLayout(view.height(), view.width());
    const auto rect = [](const CtrlRect& r) { return QRect(r.left, r.top, r.width, r.height); };
    QCOMPARE(view.RunButton()->geometry(), rect(layout.run));
    QCOMPARE(view.PauseButton()->geometry(), rect(layout.pause));
    QCOMPARE(view.ClearButton()->geometry(), rect(layout.clear));
    QCOMPARE(view.ValueLabel(1160)->geometry(), rect(layout.peak));
    QCOMPARE(view.ValueLabel(1008)->geometry(), rect(layout.columns[2][2]));
    QCOMPARE(view.ValueLabel(1002)->font().pixelSize(), layout.valueFontHeight);
    QCOMPARE(view.ValueLabel(1120)->font().pixelSize(), layout.statusFontHeight);
    QCOMPARE(view.ValueLabel(1160)->font().pixelSize(), layout.peakFontHeight);
    QCOMPARE(view.ValueLabel(1002)->font().family(), QStringLiteral("Arial"));
    QCOMPARE(view.ValueLabel(1002)->alignment() & Qt::AlignRight, Qt::AlignRight);
    QCOMPARE(view.RunButton()->iconSize(), QSize(48, 48));
    QVERIFY(!view.RunButton()->icon().isNull());
    QVERIFY(!QIcon(DirectionPicturePath(DirectionPicture::Negative)).pixmap(50, 20).isNull());
}

void CtrlViewTest::clearButtonEmptiesTheDocument() {
    QVERIFY(h_->frame->OpenDocument(capture_));
    QVERIFY(h_->document.SampleCount() > 0);
    h_->View().ClearButton()->click();
    QCOMPARE(h_->document.SampleCount(), size_t{0});
    QVERIFY(!h_->View().ClearButton()->isEnabled());
}

void CtrlViewTest::directionDialogOpensOnTheStoredSetting() {
    h_->settings.vbusCurrDirReverse = true;
    bool seen = false;
    WhenRun<CVbusCurrentDirCfg>(h_->prompts, [&seen](CVbusCurrentDirCfg& dialog) {
        seen = true;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("VBUS Current Direction Setting"));
        QVERIFY(dialog.ReceptacleToPlug()->isChecked());
        QVERIFY(!dialog.PlugToReceptacle()->isChecked());
        dialog.reject();
    });
    h_->frame->ShowCurrentDirectionSettings();
    QVERIFY(seen);
    QVERIFY(h_->settings.vbusCurrDirReverse);
}

void CtrlViewTest::cancelAfterAPictureClickChangesNothing() {
    h_->settings.vbusCurrDirCfgDoNotAskAgain = true;
    int reattached = 0;
    h_->frame->SetGraphReattach([&reattached] { ++reattached; });
    WhenRun<CVbusCurrentDirCfg>(h_->prompts, [](CVbusCurrentDirCfg& dialog) {
        QVERIFY(dialog.PlugToReceptacle()->isChecked());
        dialog.ReceptacleToPlugPicture()->click();
        QVERIFY(dialog.ReceptacleToPlug()->isChecked());
        QVERIFY(dialog.DoNotAskAgain());
        dialog.reject();
    });
    h_->frame->ShowCurrentDirectionSettings();
    QVERIFY(!h_->settings.vbusCurrDirReverse);
    QVERIFY(h_->settings.vbusCurrDirCfgDoNotAskAgain);
    QCOMPARE(reattached, 0);
}

void CtrlViewTest::okFlipsTheCurrentColumnsAndReattachesTheGraph() {
    QVERIFY(h_->frame->OpenDocument(capture_));
    CPacketListModel* model = h_->frame->LogView()->PacketModel();
    const int column = model->ListColumnOf(kColumnVbusCurrent);
    QVERIFY(column >= 0);
    QStringList before;
    for (int row = 0; row < model->RowCount(); ++row) {
        before << model->CellText(row, column);
    }
    int reattached = 0;
    h_->frame->SetGraphReattach([&reattached] { ++reattached; });
    WhenRun<CVbusCurrentDirCfg>(h_->prompts, [](CVbusCurrentDirCfg& dialog) {
        dialog.PlugToReceptaclePicture()->click();
        dialog.ReceptacleToPlug()->click();
        dialog.accept();
    });
    h_->frame->ShowCurrentDirectionSettings();
    QVERIFY(h_->settings.vbusCurrDirReverse);
    QCOMPARE(reattached, 1);
    QVERIFY(h_->frame->LogView()->Context().reverseCurrent);
    int flipped = 0;
    for (int row = 0; row < model->RowCount(); ++row) {
        const QString after = model->CellText(row, column);
        const double was = before.value(row).toDouble();
        QCOMPARE(after.toDouble(), -was);
        flipped += was != 0.0 ? 1 : 0;
    }
    QVERIFY(flipped > 0);
}

void CtrlViewTest::aboutBoxDisablesTheUpdateButtonForOldFirmware() {
    QVERIFY(!FirmwareUpdateAllowed(QStringLiteral("FW Ver : 0.92 (Invalid FW Version)")));
    QVERIFY(!FirmwareUpdateAllowed(QStringLiteral("FW Ver : 0.91")));
    QVERIFY(FirmwareUpdateAllowed(QStringLiteral("FW Ver : 1.05")));
    QVERIFY(FirmwareUpdateAllowed(QStringLiteral("Not Connected")));
    ScriptedPrompts& prompts = h_->prompts;
    CAboutDlg old(AnalyzerIdentity{QStringLiteral("0.92"), true, QStringLiteral("ZD1")}, prompts);
    QCOMPARE(old.FirmwareUpdateButton()->text(), QStringLiteral("Enter FW Update Mode"));
    QVERIFY(!old.FirmwareUpdateButton()->isEnabled());
    CAboutDlg current(AnalyzerIdentity{QStringLiteral("1.05"), false, QStringLiteral("ZD1")},
                      prompts);
    QSignalSpy requested(&current, &CAboutDlg::firmwareUpdateRequested);
    // The update mode takes the analyzer off the bus: it is asked for first, and Cancel
    // leaves everything as it was.
    current.show();
    current.FirmwareUpdateButton()->click();
    QCOMPARE(prompts.asked.size(), size_t{1});
    QVERIFY(prompts.asked[0].kind == ScriptedPrompts::Kind::kConfirm);
    QCOMPARE(prompts.asked[0].parent, &current);
    QCOMPARE(prompts.asked[0].title, QStringLiteral("About Zoduz"));
    QVERIFY(prompts.asked[0].text.endsWith(QStringLiteral("Enter FW Update Mode?")));
    QCOMPARE(requested.count(), 0);
    QVERIFY(current.isVisible());
    prompts.confirmation = true;
    current.FirmwareUpdateButton()->click();
    QCOMPARE(requested.count(), 1);
    QVERIFY(!current.isVisible());
    // Without an analyzer the box says so and the window sends nothing.
    const AnalyzerIdentity none = h_->Capture().AboutIdentity();
    QCOMPARE(FirmwareLine(none), QStringLiteral("Not Connected"));
    h_->Capture().EnterFirmwareUpdate();

    // An attached analyzer whose firmware is too old never connects, yet the box names it.
    VirtualAnalyzer analyzer(UnpacedAnalyzer("0.92"));
    VirtualTransport transport(analyzer);
    h_->Capture().SetAnalyzer(std::make_unique<AnalyzerConnection>(transport));
    h_->Capture().Tick();
    QVERIFY(!h_->Capture().State().flags.connected.load());
    const AnalyzerIdentity stale = h_->Capture().AboutIdentity();
    QCOMPARE(FirmwareLine(stale), QStringLiteral("FW Ver : 0.92 (Invalid FW Version)"));
    CAboutDlg box(stale, prompts);
    QVERIFY(!box.FirmwareUpdateButton()->isEnabled());
    h_->Capture().SetAnalyzer(nullptr);
}

void CtrlViewTest::driverPromptAnswersAreKept() {
    CLaunchDriverInstallerDlg prompt;
    QCOMPARE(prompt.windowTitle(), QStringLiteral("Zoduz Driver Install"));
    QVERIFY(prompt.findChild<QLabel*>()->text() ==
            QStringLiteral("  Would you like to install Zoduz Driver?"));
    QStringList buttons;
    for (QPushButton* button : prompt.findChildren<QPushButton*>()) {
        buttons << button->text();
    }
    QVERIFY(buttons.contains(QStringLiteral("Install Driver")));

    // First tick without an analyzer: asked once over the window; Install Driver with "Do
    // Not Ask Again" installs through pkexec, tells the outcome and switches the prompt off.
    QStringList installs;
    DriverInstallEnvironment environment = ScratchDriverEnvironment(h_->driverRoot);
    environment.findProgram = [](const QString& name) { return QStringLiteral("/bin/") + name; };
    environment.run = [&installs](const QString& program, const QStringList& arguments) {
        installs << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return 0;
    };
    h_->Capture().SetDriverInstallEnvironment(environment);
    WhenRun<CLaunchDriverInstallerDlg>(h_->prompts, [](CLaunchDriverInstallerDlg& dialog) {
        dialog.DoNotAskAgainBox()->click();
        dialog.accept();
    });
    h_->Capture().Tick();
    h_->Capture().Tick();
    QCOMPARE(h_->prompts.DialogRuns("CLaunchDriverInstallerDlg"), 1);
    QCOMPARE(h_->prompts.asked[0].parent, h_->frame.get());
    QCOMPARE(installs.size(), 1);
    QVERIFY(installs[0].startsWith(QStringLiteral("/bin/pkexec ")));
    const QStringList told = h_->prompts.Texts(ScriptedPrompts::Kind::kWarning);
    QCOMPARE(told.size(), 1);
    QVERIFY(told[0].startsWith(QStringLiteral("The Zoduz udev rule was installed as ")));
    QVERIFY(!h_->settings.launchDriverInstaller);
}

void CtrlViewTest::installDriverIsEnabledOnlyWithoutAnalyzer() {
    QAction* install = h_->Capture().InstallDriverAction();
    QCOMPARE(install->text(), QStringLiteral("Install Zoduz Driver"));
    h_->Capture().Tick();
    QVERIFY(install->isEnabled());
    const bool offered = h_->settings.launchDriverInstaller;
    h_->Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
    QVERIFY(!install->isEnabled());
    // A virtual analyzer says nothing about the USB driver: the prompt setting stays.
    QCOMPARE(h_->settings.launchDriverInstaller, offered);
}

QTEST_MAIN(CtrlViewTest)
#include "ctrl_view_test.moc"
