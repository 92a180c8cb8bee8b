// Remote control requests on a real main window (no bus): what each one does to the capture
// and the export, and what the window refuses.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "app/automation/automation_dispatcher.h"
#include "app/capture_controller.h"
#include "app/frame_automation.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "app/tool_commands.h"
#include "capture/document.h"
#include "scripted_prompts.h"
#include "settings/settings_store.h"
#include "tools/qt/export_dlg.h"

namespace {

struct Harness {
    QTemporaryDir settingsFolder;
    QTemporaryDir remoteFolder;
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CFrameAutomation> target;
    std::unique_ptr<AutomationDispatcher> dispatcher;

    // Save questions are answered No, Record File Settings OK.
    Harness() {
        settings.recordFileFolder = settingsFolder.path().toStdString();
        prompts.saveChoice = SaveChoice::kDiscard;
        prompts.dialogAnswer = ScriptedPrompts::Accepting("CCaptureFilenameDlg");
        frame = std::make_unique<CMainFrame>(document, settings, recent, prompts);
        target = std::make_unique<CFrameAutomation>(*frame);
        dispatcher = std::make_unique<AutomationDispatcher>(*target);
    }
    AutomationOutcome Send(AutomationRequestKind kind, const QString& text = {}) {
        return dispatcher->Dispatch({kind, text.toStdString()});
    }
    template <typename Condition>
    bool TickUntil(Condition condition) {
        for (int i = 0; i < 200 && !condition(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            frame->Capture()->Tick();
        }
        return condition();
    }
    bool Recording() { return frame->Capture()->Control().Recording(); }
};

}  // namespace

class FrameAutomationTest : public QObject {
    Q_OBJECT

  private slots:
    void startWithoutANameDoesNothing() {
        Harness h;
        h.frame->Capture()->ConnectVirtualAnalyzer(QStringLiteral("spr"));
        QCOMPARE(h.Send(AutomationRequestKind::kStart), AutomationOutcome::kNoRecordFileName);
        QVERIFY(!h.Recording());
        QCOMPARE(h.prompts.DialogRuns("CCaptureFilenameDlg"), 0);
        QVERIFY(QDir(h.settingsFolder.path()).entryList(QDir::Files).isEmpty());
    }

    void startWithoutAnAnalyzerIsRefused() {
        Harness h;
        h.Send(AutomationRequestKind::kSetRecordFileName, QStringLiteral("run1"));
        QCOMPARE(h.Send(AutomationRequestKind::kStart), AutomationOutcome::kNotStarted);
        QVERIFY(!h.Recording());
    }

    void nameAndFolderNameTheRecordFileAndStopFinishesIt() {
        Harness h;
        h.frame->Capture()->ConnectVirtualAnalyzer(QStringLiteral("spr"));
        QCOMPARE(h.Send(AutomationRequestKind::kSetRecordFileName, QStringLiteral("bench")),
                 AutomationOutcome::kDone);
        QCOMPARE(h.Send(AutomationRequestKind::kSetRecordFolder, h.remoteFolder.path()),
                 AutomationOutcome::kDone);
        QCOMPARE(h.Send(AutomationRequestKind::kStart), AutomationOutcome::kDone);
        QVERIFY(h.Recording());
        // No Record File Settings question for a remote start.
        QCOMPARE(h.prompts.DialogRuns("CCaptureFilenameDlg"), 0);
        // A second start while recording starts nothing.
        QCOMPARE(h.Send(AutomationRequestKind::kStart), AutomationOutcome::kNotStarted);
        QVERIFY(h.TickUntil([&] { return h.document.PacketCount() >= 3; }));
        // Export waits for the end of the capture.
        QCOMPARE(h.Send(AutomationRequestKind::kExport), AutomationOutcome::kExportUnavailable);

        QCOMPARE(h.Send(AutomationRequestKind::kStop), AutomationOutcome::kDone);
        QVERIFY(h.TickUntil([&] { return !h.document.Recording(); }));
        const QString record = QDir(h.remoteFolder.path()).filePath(QStringLiteral("bench.zaz"));
        CKVDoc reopened;
        reopened.OpenRecordFile(record.toStdString());
        QVERIFY(reopened.PacketCount() >= 3);
        QCOMPARE(reopened.PacketCount(), h.document.PacketCount());
        QVERIFY(QDir(h.settingsFolder.path()).entryList(QDir::Files).isEmpty());
        // Stop forgot the name: the next start is refused.
        QCOMPARE(h.Send(AutomationRequestKind::kStart), AutomationOutcome::kNoRecordFileName);

        QCOMPARE(h.Send(AutomationRequestKind::kExport), AutomationOutcome::kDone);
        CExportDlg* dialog = h.frame->Tools()->AutomaticExport();
        QVERIFY(dialog != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->Exporting(), 10000);
        QFile csv(QDir(h.remoteFolder.path()).filePath(QStringLiteral("bench_export.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readLine().startsWith("\"Timestamp[us]\""));
    }

    void aFolderThatCannotBeWrittenIsRefused() {
        Harness h;
        const QString missing = h.remoteFolder.filePath(QStringLiteral("no/such/folder"));
        QCOMPARE(h.Send(AutomationRequestKind::kSetRecordFolder, missing),
                 AutomationOutcome::kInvalidFolder);
        QVERIFY(h.frame->Capture()->Control().RecordFolder() != missing.toStdString());
    }

    void exportWithoutARecordFileIsRefused() {
        Harness h;
        QCOMPARE(h.Send(AutomationRequestKind::kExport), AutomationOutcome::kExportUnavailable);
        QVERIFY(h.frame->Tools()->AutomaticExport() == nullptr);
    }
};

QTEST_MAIN(FrameAutomationTest)
#include "frame_automation_test.moc"
