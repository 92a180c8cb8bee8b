// Live capture in the main window: the Record and CC Register Injection menus, the command
// states, a capture on the virtual analyzer, and closing the window while it records.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "app/capture_controller.h"
#include "app/ctrl_view.h"
#include "app/kv_app.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/document.h"
#include "capture/record_naming.h"
#include "device/usb/libusb_transport.h"
#include "list/log_view.h"
#include "live/capture_status.h"
#include "settings/settings_store.h"
#include "window_harness.h"

namespace {

// Save questions are cancelled.
struct Harness : WindowHarness {
    Harness() { CreateFrame(); }
};

constexpr const char* kDriverDialog = "CLaunchDriverInstallerDlg";

QMenu* MenuNamed(QWidget& parent, const QString& title) {
    for (QMenu* menu : parent.findChildren<QMenu*>()) {
        if (menu->title() == title) {
            return menu;
        }
    }
    return nullptr;
}

QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            QString text = action->text();
            // A text without its own shortcut part shows the keys.
            if (!action->shortcut().isEmpty() && !text.contains(QLatin1Char('\t'))) {
                text += QLatin1Char('\t') + action->shortcut().toString();
            }
            texts << text;
        }
    }
    return texts;
}

}  // namespace

class CaptureControllerTest : public QObject {
    Q_OBJECT

  private slots:
    void commandLineChoosesTheVirtualAnalyzer() {
        QString error;
        auto line = ParseAppCommandLine({"zoduz", "--virtual", "spr", "--run"}, error);
        QVERIFY(line.has_value());
        QCOMPARE(line->virtualScenario, QStringLiteral("spr"));
        QVERIFY(line->run);
        QVERIFY(line->recordFile.isEmpty());
        // A following argument that names no scenario is the record file.
        line = ParseAppCommandLine({"zoduz", "--virtual", "old.zaz"}, error);
        QVERIFY(line.has_value());
        QCOMPARE(line->virtualScenario, QStringLiteral("mixed"));
        QCOMPARE(line->recordFile, QStringLiteral("old.zaz"));
        QVERIFY(!line->run);
        line = ParseAppCommandLine({"zoduz", "old.zaz"}, error);
        QVERIFY(line->virtualScenario.isEmpty());
        QVERIFY(line->helpText.isEmpty());
    }

    void commandLineTakesTheScreenshotSizeWaitAndHelp() {
        QString error;
        auto line = ParseAppCommandLine({"zoduz", "--screenshot", "a.png", "--virtual", "spr",
                                         "--run", "--wait", "60", "--size", "1600x1000"},
                                        error);
        QVERIFY2(line.has_value(), qPrintable(error));
        QCOMPARE(line->windowSize, std::optional<QSize>(QSize(1600, 1000)));
        QCOMPARE(line->captureWaitMs, 60000);
        line = ParseAppCommandLine({"zoduz", "--screenshot", "a.png"}, error);
        QCOMPARE(line->windowSize, std::optional<QSize>());
        QCOMPARE(line->captureWaitMs, 3500);
        for (const QStringList& wrong :
             {QStringList{"zoduz", "--screenshot", "a.png", "--size", "100x100"},
              QStringList{"zoduz", "--screenshot", "a.png", "--size", "1600"},
              QStringList{"zoduz", "--screenshot", "a.png", "--size", "99999x700"},
              QStringList{"zoduz", "--screenshot", "a.png", "--wait", "0"},
              QStringList{"zoduz", "--screenshot", "a.png", "--wait", "nan"},
              QStringList{"zoduz", "--size", "1600x1000"}}) {
            error.clear();
            QVERIFY2(!ParseAppCommandLine(wrong, error).has_value(), qPrintable(wrong.join(' ')));
            QVERIFY(!error.isEmpty());
        }
        // --help wins over everything else and needs nothing else.
        line = ParseAppCommandLine({"zoduz", "--help"}, error);
        QVERIFY(line.has_value());
        QVERIFY(line->helpText.startsWith(QStringLiteral("Usage: ")));
        QVERIFY(line->helpText.contains(QStringLiteral("--graph-range <FROM TO>")));
    }

    void recordMenuAndInjectionItems() {
        Harness h;
        QMenu* record = MenuNamed(*h.frame, QStringLiteral("&Record"));
        QVERIFY(record != nullptr);
        QCOMPARE(Texts(*record),
                 QStringList({"&Run\tCtrl+R", "&Stop\tCtrl+P", "&Clear\tCtrl+D", "Record Settings",
                              "Record File Settings", "CC Register Injection",
                              "Connect &Virtual Analyzer"}));
        QMenu* injection = MenuNamed(*h.frame, QStringLiteral("CC Register Injection"));
        QVERIFY(injection != nullptr);
        QCOMPARE(Texts(*injection),
                 QStringList({"CC1 None", "CC1 Rp (Default USB Power)", "CC1 Rp (1.5A @ 5V)",
                              "CC1 Rp (3.0A @ 5V)", "CC1 Rd", "CC1 Ra", "CC2 None",
                              "CC2 Rp (Default USB Power)", "CC2 Rp (1.5A @ 5V)",
                              "CC2 Rp (3.0A @ 5V)", "CC2 Rd", "CC2 Ra"}));
    }

    // The prompt of the first tick after start-up never comes back when the analyzer is
    // switched, and the virtual analyzer leaves the driver setting alone.
    void theDriverPromptComesOnlyWithTheFirstTickAfterStartUp() {
        for (bool virtualFirst : {false, true}) {
            Harness h;
            h.settings.launchDriverInstaller = true;
            if (virtualFirst) {
                h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));  // --virtual
                QCOMPARE(h.prompts.DialogRuns(kDriverDialog), 0);
                QVERIFY(h.settings.launchDriverInstaller);
                h.Capture().ConnectUsbAnalyzer();
                h.Capture().Tick();
                QCOMPARE(h.prompts.DialogRuns(kDriverDialog), 0);
                continue;
            }
            h.Capture().Tick();  // no analyzer on the bus
            QCOMPARE(h.prompts.DialogRuns(kDriverDialog), 1);
            h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
            h.Capture().ConnectUsbAnalyzer();
            h.Capture().Tick();
            QCOMPARE(h.prompts.DialogRuns(kDriverDialog), 1);
            QVERIFY(h.settings.launchDriverInstaller);
        }
    }

    // Once the udev rule is in place the first tick offers nothing.
    void anInstalledRuleIsNotOffered() {
        Harness h;
        h.settings.launchDriverInstaller = true;
        QVERIFY(QDir().mkpath(h.driverRoot.filePath(QStringLiteral("rules.d"))));
        QFile rule(
            h.driverRoot.filePath(QStringLiteral("rules.d/%1").arg(QLatin1String(kUdevRuleName))));
        QVERIFY(rule.open(QIODevice::WriteOnly));
        rule.close();
        h.Capture().Tick();
        QCOMPARE(h.prompts.DialogRuns(kDriverDialog), 0);
        QVERIFY(h.settings.launchDriverInstaller);
    }

    // The controller's messages and dialogs reach the window's prompts: a warning titled
    // "Zoduz App", Record Settings and Record File Settings over the window, and the save
    // question of a Run that would replace a modified document.
    void messagesQuestionsAndDialogsReachThePrompts() {
        Harness h;
        using Kind = ScriptedPrompts::Kind;
        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("nowhere"));
        QCOMPARE(h.prompts.asked.size(), size_t{1});
        QVERIFY(h.prompts.asked[0].kind == Kind::kWarning);
        QCOMPARE(h.prompts.asked[0].parent, h.frame.get());
        QCOMPARE(h.prompts.asked[0].title, QStringLiteral("Zoduz App"));
        QCOMPARE(h.prompts.asked[0].text,
                 QStringLiteral("Unknown virtual analyzer scenario \"nowhere\"."));

        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        h.Capture().RecordSettingsAction()->trigger();
        h.Capture().RecordFileSettingsAction()->trigger();
        QCOMPARE(h.prompts.Texts(Kind::kDialog),
                 (QStringList{"CConfigDlg", "CCaptureFilenameDlg"}));
        QCOMPARE(h.prompts.asked[1].parent, h.frame.get());
        QCOMPARE(h.prompts.asked[2].parent, h.frame.get());

        h.document.SetModified(true);
        h.Capture().RunAction()->trigger();  // the question is cancelled
        QCOMPARE(h.prompts.Texts(Kind::kSaveChanges),
                 QStringList{QStringLiteral("Save changes to Untitled?")});
        QVERIFY(!h.Capture().Control().Capturing());
        QCOMPARE(h.prompts.DialogRuns("CCaptureFilenameDlg"), 1);
        h.prompts.saveChoice = SaveChoice::kDiscard;
        h.Capture().RunAction()->trigger();
        QVERIFY(h.Capture().Control().Capturing());
        QCOMPARE(h.prompts.DialogRuns("CCaptureFilenameDlg"), 2);
        h.Capture().StopAction()->trigger();
        QVERIFY(h.TickUntil([&] { return !h.Capture().State().flags.phase.Recording(); }));
    }

    void withoutAnAnalyzerRunIsDisabled() {
        Harness h;
        h.Capture().Tick();
        QCOMPARE(h.frame->StatusMessage(), QString::fromLatin1(kDisconnectedStatusText));
        QVERIFY(!h.Capture().RunAction()->isEnabled());
        QVERIFY(!h.Capture().StopAction()->isEnabled());
        QVERIFY(!h.Capture().ClearAction()->isEnabled());
        // Choosing an injection while disconnected changes neither analyzer nor check marks.
        h.Capture().CcActions()[10]->trigger();  // CC2 Rd
        QVERIFY(!h.Capture().CcActions()[10]->isChecked());
    }

    void injectionFollowsWhatTheAnalyzerAccepted() {
        Harness h;
        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        QCOMPARE(h.frame->StatusMessage(), QString::fromLatin1(kConnectedStatusText));
        QVERIFY(h.Capture().CcActions()[0]->isChecked());  // CC1 None after connect
        QVERIFY(h.Capture().CcActions()[6]->isChecked());  // CC2 None
        h.Capture().CcActions()[10]->trigger();            // CC2 Rd
        QVERIFY(h.Capture().CcActions()[10]->isChecked());
        QVERIFY(!h.Capture().CcActions()[6]->isChecked());
        QVERIFY(h.Capture().CcActions()[0]->isChecked());
    }

    void aCaptureRecordsDecodesAndStops() {
        Harness h;
        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        QVERIFY(h.Capture().RunAction()->isEnabled());
        h.Capture().RunAction()->trigger();
        QCOMPARE(h.prompts.DialogRuns("CCaptureFilenameDlg"), 1);
        QVERIFY(h.Capture().StopAction()->isEnabled());
        QVERIFY(!h.Capture().RunAction()->isEnabled());
        QVERIFY(!h.Capture().RecordSettingsAction()->isEnabled());
        QVERIFY(!h.Capture().RecordFileSettingsAction()->isEnabled());
        QVERIFY(!h.frame->SaveAction()->isEnabled());
        QVERIFY(h.TickUntil([&] { return h.document.PacketCount() >= 5; }));
        QVERIFY(h.frame->StatusMessage().startsWith(QStringLiteral("Capturing... ")));
        QVERIFY(h.frame->windowTitle().startsWith(QStringLiteral("PDCapture.zaz")));

        h.Capture().StopAction()->trigger();
        QVERIFY(!h.Capture().StopAction()->isEnabled());
        QVERIFY(h.TickUntil([&] { return !h.Capture().State().flags.phase.Recording(); }));
        h.Capture().Tick();
        h.Capture().Tick();
        QCOMPARE(h.frame->StatusMessage(), QString::fromLatin1(kConnectedStatusText));
        QVERIFY(h.frame->SaveAction()->isEnabled());
        QVERIFY(h.Capture().ClearAction()->isEnabled());
        CKVDoc reopened;
        reopened.OpenRecordFile(h.RecordFile().toStdString());
        QCOMPARE(reopened.PacketCount(), h.document.PacketCount());
    }

    void theListFollowsALiveCaptureToItsNewestRow() {
        Harness h;
        h.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.frame.get()));
        QVERIFY(h.frame->LogView()->AutoScroll());
        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        h.Capture().RunAction()->trigger();
        CKVLogView& list = *h.frame->LogView();
        const auto lastInView = [&list] {
            QCoreApplication::processEvents();
            const QRect rect = list.visualRect(list.model()->index(list.RowCount() - 1, 0));
            return rect.isValid() && rect.top() < list.viewport()->height() && rect.bottom() >= 0;
        };
        // More rows than the list shows: the newest one stays in view.
        QVERIFY(h.TickUntil([&] {
            const int rowHeight = list.visualRect(list.model()->index(0, 0)).height();
            return rowHeight > 0 && list.RowCount() * rowHeight > 2 * list.viewport()->height();
        }));
        QVERIFY(lastInView());
        h.Capture().StopAction()->trigger();
    }

    // The window learns of the capture by the controller's signals: a tick that decodes new
    // packets updates the commands once, and the control strip only shows what they say.
    void aTickUpdatesTheCommandsOnce() {
        Harness h;
        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        h.Capture().RunAction()->trigger();
        QVERIFY(h.TickUntil([&] { return h.document.PacketCount() >= 2; }));
        QSignalSpy updates(&h.Capture(), &CCaptureController::actionsUpdated);
        QSignalSpy status(&h.Capture(), &CCaptureController::captureStatus);
        const size_t packets = h.document.PacketCount();
        QVERIFY(h.TickUntil([&] { return h.document.PacketCount() > packets; }));
        const int ticks = status.count();  // every tick of a recording capture shows its status
        QVERIFY(ticks >= 1);
        QCOMPARE(updates.count(), ticks);
        h.frame->CtrlView()->UpdateButtons();
        QCOMPARE(updates.count(), ticks);
        QCOMPARE(h.frame->CtrlView()->PauseButton()->isEnabled(),
                 h.Capture().StopAction()->isEnabled());
        QCOMPARE(h.frame->StatusMessage(), status.last().at(0).toString());
        h.Capture().StopAction()->trigger();
        QVERIFY(h.TickUntil([&] { return !h.Capture().State().flags.phase.Recording(); }));
    }

    void closingWhileRecording() {
        Harness h;
        h.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        h.Capture().RunAction()->trigger();
        QVERIFY(h.TickUntil([&] { return h.document.SampleCount() > 0; }));
        // A modified document and a cancelled save question: the window and capture stay.
        h.document.SetModified(true);
        QVERIFY(!h.frame->close());
        QVERIFY(h.Capture().Control().Capturing());
        // Confirmed: the window goes and its reader thread finishes the record file.
        h.prompts.saveChoice = SaveChoice::kDiscard;
        QVERIFY(h.frame->close());
        h.frame.reset();
        QFile file(h.RecordFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        QVERIFY(bytes.size() > 64);
        QCOMPARE(static_cast<uint8_t>(bytes[2]), uint8_t{0x01});  // InfoFormatTag
        qint64 count = 0;
        for (int i = 7; i >= 0; --i) {
            count = count * 256 + static_cast<uint8_t>(bytes[26 + i]);
        }
        QCOMPARE(count, bytes.size() - 64);
    }
};

QTEST_MAIN(CaptureControllerTest)
#include "capture_controller_test.moc"
