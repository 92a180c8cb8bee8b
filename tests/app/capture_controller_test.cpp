// Live capture in the main window: the Record and CC Register Injection menus, the command
// states, a capture on the virtual analyzer, and closing the window while it records.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "app/capture_controller.h"
#include "app/kv_app.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "app/settings/settings_store.h"
#include "capture/document.h"
#include "capture/record_naming.h"
#include "device/live/capture_status.h"
#include "window_harness.h"

namespace {

struct Harness : WindowHarness {
    QStringList notices;
    int dialogs = 0;

    Harness() {
        CreateFrame();
        frame->SetSaveQuestion([](const QString&) { return QMessageBox::Cancel; });
        Capture().SetNotice([this](const QString& text) { notices << text; });
        Capture().SetRecordFileSettingsDialog([this](RecordFileForm&) {
            ++dialogs;
            return true;
        });
    }
};

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
        QCOMPARE(h.dialogs, 1);
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
        QVERIFY(h.TickUntil([&] { return !h.Capture().State().flags.recording.load(); }));
        h.Capture().Tick();
        h.Capture().Tick();
        QCOMPARE(h.frame->StatusMessage(), QString::fromLatin1(kConnectedStatusText));
        QVERIFY(h.frame->SaveAction()->isEnabled());
        QVERIFY(h.Capture().ClearAction()->isEnabled());
        CKVDoc reopened;
        reopened.OpenRecordFile(h.RecordFile().toStdString());
        QCOMPARE(reopened.PacketCount(), h.document.PacketCount());
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
        h.frame->SetSaveQuestion([](const QString&) { return QMessageBox::No; });
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
