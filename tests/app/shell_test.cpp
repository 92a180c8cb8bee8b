// The application shell: every command of the table routed and enabled by its rule, the
// "Standard" toolbar, the status bar fields, the title, opening a file (row 0, responsive and
// cancellable decoding, damaged files), the list header, and the start and close rules.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <thread>

#include "app/about_dlg.h"
#include "app/capture_controller.h"
#include "app/kv_app.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "app/shell/command_router.h"
#include "app/shell/command_table.h"
#include "app/shell/status_panes.h"
#include "app/shell/window_title.h"
#include "capture/document.h"
#include "graph/graph_model.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_find_dlg.h"
#include "list/packet_list_model.h"
#include "list/packet_search.h"
#include "list/simulated_capture.h"
#include "settings/settings_store.h"
#include "window_harness.h"

namespace {

// Save questions are cancelled until a test says otherwise; Run's Record File Settings are
// accepted as they are.
struct Shell : WindowHarness {
    Shell() {
        settings.launchDriverInstaller = false;
        CreateFrame();
    }
    QAction* Command(int id) { return frame->Router()->Action(id); }
    QStringList Questions() const { return prompts.Texts(ScriptedPrompts::Kind::kSaveChanges); }
    QStringList Errors() const { return prompts.Texts(ScriptedPrompts::Kind::kWarning); }
    QStringList FileNotices() const {
        return prompts.Texts(ScriptedPrompts::Kind::kModelessWarning);
    }
};

// What the last prompt asked: "open: CAPTION", "save: CAPTION" for the file choosers, the
// class name of a dialog run; "" when nothing was asked.
QString LastPrompt(const ScriptedPrompts& prompts) {
    if (prompts.asked.empty()) {
        return {};
    }
    const ScriptedPrompts::Asked& last = prompts.asked.back();
    switch (last.kind) {
        case ScriptedPrompts::Kind::kOpenFile:
            return QStringLiteral("open: ") + last.title;
        case ScriptedPrompts::Kind::kSaveFile:
            return QStringLiteral("save: ") + last.title;
        case ScriptedPrompts::Kind::kDialog:
            return last.title;
        default:
            return QStringLiteral("another prompt");
    }
}

bool InMenuBar(QMenuBar& bar, const QAction* wanted) {
    std::function<bool(const QMenu&)> search = [&](const QMenu& menu) {
        for (QAction* action : menu.actions()) {
            if (action == wanted || (action->menu() != nullptr && search(*action->menu()))) {
                return true;
            }
        }
        return false;
    };
    for (QAction* top : bar.actions()) {
        if (top->menu() != nullptr && search(*top->menu())) {
            return true;
        }
    }
    return false;
}

QStringList ToolBarLayout(const QToolBar& bar) {
    QStringList items;
    for (QAction* action : bar.actions()) {
        items << (action->isSeparator() ? QStringLiteral("|")
                                        : QString::number(CCommandRouter::CommandId(action)));
    }
    return items;
}

// A record file several megabytes long: the scenario's stream repeated (a plain concatenation
// of record files decodes as one capture).
QString LargeCapture(const QTemporaryDir& dir, const QString& part, int copies) {
    QFile source(part);
    if (!source.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = source.readAll();
    const QString path = dir.filePath(QStringLiteral("large.zaz"));
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly)) {
        return {};
    }
    for (int i = 0; i < copies; ++i) {
        target.write(bytes);
    }
    return path;
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        spr_ = SimulateCapture(dir_, "spr");
        mixed_ = SimulateCapture(dir_, "mixed");
        QVERIFY(!spr_.isEmpty());
        QVERIFY(!mixed_.isEmpty());
    }
    void init() { CKVLogView::ResetSortState(); }

    // --- Command table -------------------------------------------------------------------
    void everyCommandIsRoutedWithItsTextAndKeys_data() {
        QTest::addColumn<int>("id");
        for (const CommandInfo& info : MainCommands()) {
            QTest::newRow(info.menuText) << info.id;
        }
    }
    void everyCommandIsRoutedWithItsTextAndKeys() {
        QFETCH(int, id);
        Shell shell;
        const CommandInfo* info = FindCommand(id);
        QVERIFY(info != nullptr);
        QAction* action = shell.Command(id);
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), QString::fromLatin1(info->menuText));
        QCOMPARE(action->shortcut(), QKeySequence::fromString(QString::fromLatin1(info->keys)));
        QCOMPARE(CCommandRouter::CommandId(action), id);
        QVERIFY(InMenuBar(*shell.frame->menuBar(), action));
    }

    void everyCommandFollowsItsEnablingRule_data() {
        QTest::addColumn<int>("id");
        for (const CommandInfo& info : MainCommands()) {
            if (info.rule != CommandRule::kCaptureControl && info.rule != CommandRule::kGraphPane) {
                QTest::newRow(info.menuText) << info.id;
            }
        }
    }
    void everyCommandFollowsItsEnablingRule() {
        QFETCH(int, id);
        Shell shell;
        QAction* action = shell.Command(id);
        const CommandRule rule = FindCommand(id)->rule;
        const auto expect = [&](const CommandState& state) {
            return RuleEnables(rule, state).value();
        };
        CommandState state;  // a new window: no capture, no file, no analyzer
        QCOMPARE(action->isEnabled(), expect(state));
        QVERIFY(shell.frame->OpenDocument(spr_));
        state.hasRecordFile = true;
        QCOMPARE(action->isEnabled(), expect(state));
        shell.document.SetRecording(true);
        shell.frame->UpdateCommandStates();
        state.capturing = true;
        QCOMPARE(action->isEnabled(), expect(state));
        shell.document.SetRecording(false);
    }

    void enablingRulesAsWritten() {
        CommandState idle;
        CommandState withFile;
        withFile.hasRecordFile = true;
        CommandState capturing = withFile;
        capturing.capturing = true;
        CommandState decoding = withFile;
        decoding.decoding = true;
        CommandState connected;
        connected.connected = true;
        QCOMPARE(RuleEnables(CommandRule::kLikeSave, idle), std::optional<bool>(false));
        QCOMPARE(RuleEnables(CommandRule::kLikeSave, withFile), std::optional<bool>(true));
        QCOMPARE(RuleEnables(CommandRule::kLikeSave, capturing), std::optional<bool>(false));
        QCOMPARE(RuleEnables(CommandRule::kLikeSave, decoding), std::optional<bool>(false));
        QCOMPARE(RuleEnables(CommandRule::kNotCapturing, capturing), std::optional<bool>(false));
        QCOMPARE(RuleEnables(CommandRule::kNotCapturing, withFile), std::optional<bool>(true));
        QCOMPARE(RuleEnables(CommandRule::kNotConnected, connected), std::optional<bool>(false));
        QCOMPARE(RuleEnables(CommandRule::kNotConnected, idle), std::optional<bool>(true));
        QCOMPARE(RuleEnables(CommandRule::kCaptureControl, idle), std::nullopt);
        QCOMPARE(RuleEnables(CommandRule::kGraphPane, idle), std::nullopt);
    }

    // The graph's commands are the graph pane's actions, routed with the table's texts and
    // keys; the pane enables them (its own tests hold the rules).
    void graphCommandsAreThePanesActions() {
        Shell shell;
        QCOMPARE(shell.Command(kCommandShowGraph), shell.frame->ShowGraphAction());
        QCOMPARE(shell.Command(kCommandShowMeasuringPoints), shell.frame->MeasuringPointsAction());
        QCOMPARE(shell.Command(kCommandShowPdPackets), shell.frame->ShowPdPacketsAction());
        QCOMPARE(shell.Command(kCommandGraphAutoScroll), shell.frame->GraphAutoScrollAction());
        QCOMPARE(shell.Command(kCommandGraphFont), shell.frame->GraphFontAction());
        QCOMPARE(shell.Command(kCommandShowGraph)->text(), QStringLiteral("&Show Graph\tF7"));
        QCOMPARE(shell.Command(kCommandShowGraph)->shortcut(), QKeySequence(Qt::Key_F7));
    }

    void menuTextsPrintTheirShortcutsAndTheKeysDecide() {
        Shell shell;
        // Every menu item names the key that works (Ctrl+O opens files, it does not find).
        QCOMPARE(shell.Command(kCommandFind)->text(), QStringLiteral("&Find\tCtrl+F"));
        QCOMPARE(shell.Command(kCommandFindNext)->text(), QStringLiteral("Find &Next\tF3"));
        QCOMPARE(shell.Command(kCommandFindPrev)->text(), QStringLiteral("Find &Prev\tShift+F3"));
        for (QAction* menu : shell.frame->menuBar()->actions()) {
            for (QAction* action : menu->menu()->actions()) {
                const qsizetype tab = action->text().indexOf(QLatin1Char('\t'));
                if (tab >= 0) {
                    QCOMPARE(action->text().mid(tab + 1),
                             action->shortcut().toString(QKeySequence::PortableText));
                }
            }
        }
        QCOMPARE(shell.Command(kCommandFind)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        QCOMPARE(shell.Command(kCommandFindNext)->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(shell.Command(kCommandFindPrev)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
        QCOMPARE(shell.Command(kCommandOpen)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(shell.Command(kCommandRun)->text(), QStringLiteral("&Run\tCtrl+R"));
        QCOMPARE(shell.Command(kCommandStop)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(shell.Command(kCommandClear)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        for (int i = 0; i < kCcInjectionCommands; ++i) {
            QVERIFY(shell.Command(kCommandFirstCcInjection + i) != nullptr);
        }
    }

    void dialogCommandsRunTheirDialogsThroughThePrompts_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Open") << kCommandOpen << "open: Open";
        QTest::newRow("Save As") << kCommandSaveAs << "save: Save As";
        QTest::newRow("Export") << kCommandExport << "CExportDlg";
        QTest::newRow("Stitch") << kCommandStitch << "CStitchFileDlg";
        QTest::newRow("Record Settings") << kCommandRecordSettings << "CConfigDlg";
        QTest::newRow("Find") << kCommandFind << "CPacketFindDlg";
        QTest::newRow("Display Filter Settings") << kCommandFilterSettings << "CPacketFindDlg";
        QTest::newRow("Column Settings") << kCommandColumnSettings << "CLogViewCfgDlg";
        QTest::newRow("Font Settings") << kCommandListFont << "QFontDialog";
        QTest::newRow("About") << kCommandAbout << "CAboutDlg";
        QTest::newRow("Record File Settings")
            << kCommandRecordFileSettings << "CCaptureFilenameDlg";
        QTest::newRow("Current Direction") << kCommandCurrentDirection << "CVbusCurrentDirCfg";
        QTest::newRow("Graph Font") << kCommandGraphFont << "QFontDialog";
    }
    // Each command asks the window's prompts, over the window, and nothing else.
    void dialogCommandsRunTheirDialogsThroughThePrompts() {
        QFETCH(int, id);
        QFETCH(QString, dialog);
        Shell shell;
        QVERIFY(shell.frame->OpenDocument(spr_));
        shell.frame->show();
        shell.prompts.asked.clear();
        shell.Command(id)->trigger();
        QCOMPARE(shell.prompts.asked.size(), size_t{1});
        QCOMPARE(LastPrompt(shell.prompts), dialog);
        QCOMPARE(shell.prompts.asked[0].parent, shell.frame.get());
    }

    // Install Driver in an environment without the rule and without pkexec: nothing runs and
    // the window tells the outcome.
    void installDriverTellsItsOutcome() {
        Shell shell;
        int runs = 0;
        shell.Capture().SetDriverInstallEnvironment(
            ScratchDriverEnvironment(shell.driverRoot, &runs));
        shell.Command(kCommandInstallDriver)->trigger();
        QCOMPARE(runs, 0);
        QCOMPARE(shell.prompts.asked.size(), size_t{1});
        QVERIFY(shell.prompts.asked[0].kind == ScriptedPrompts::Kind::kWarning);
        QCOMPARE(shell.prompts.asked[0].title, QStringLiteral("Zoduz App"));
        QVERIFY(!shell.prompts.asked[0].text.isEmpty());
    }

    void fileAndViewCommandsActOnTheWindow() {
        Shell shell;
        shell.frame->show();
        QVERIFY(shell.frame->OpenDocument(spr_));
        shell.Command(kCommandNew)->trigger();
        QCOMPARE(shell.document.PacketCount(), size_t{0});
        QVERIFY(shell.document.RecordFilePath().empty());

        QVERIFY(shell.frame->OpenDocument(spr_));
        const QString copy = dir_.filePath(QStringLiteral("saved.zaz"));
        QVERIFY(shell.frame->SaveDocumentTo(copy));
        shell.frame->LogView()->SetContextRow(1);
        shell.frame->LogView()->SetMark(true);
        shell.Command(kCommandSave)->trigger();
        QVERIFY(!shell.document.Modified());

        QAction* statusBarToggle = shell.Command(kCommandStatusBar);
        statusBarToggle->trigger();
        QVERIFY(!shell.frame->statusBar()->isVisible());
        statusBarToggle->trigger();
        QVERIFY(shell.frame->statusBar()->isVisible());

        QMenu* bars = shell.Command(kCommandToolbars)->menu();
        QVERIFY(bars != nullptr);
        auto* toolBar = shell.frame->findChild<QToolBar*>(QStringLiteral("Standard"));
        QVERIFY(bars->actions().contains(toolBar->toggleViewAction()));
        toolBar->toggleViewAction()->trigger();
        QVERIFY(!toolBar->isVisible());

        const bool autoScroll = shell.frame->LogView()->AutoScroll();
        shell.Command(kCommandMessageAutoScroll)->trigger();
        QCOMPARE(shell.frame->LogView()->AutoScroll(), !autoScroll);

        shell.Command(kCommandExit)->trigger();
        QVERIFY(!shell.frame->isVisible());
    }

    void findCommandsMoveTheSelection() {
        Shell shell;
        QVERIFY(shell.frame->OpenDocument(mixed_));
        CPacketSearch& search = *shell.frame->PacketSearch();
        FindCriteria& criteria = search.FindDialogCriteria();
        criteria.text = "GoodCRC";
        criteria.textEnabled = true;
        search.ApplyFindCriteria();
        CKVLogView* list = shell.frame->LogView();
        list->SelectRow(0);
        shell.Command(kCommandFindNext)->trigger();
        const int next = list->SelectedRow();
        QVERIFY(next > 0);
        shell.Command(kCommandFindNext)->trigger();
        QVERIFY(list->SelectedRow() > next);
        shell.Command(kCommandFindPrev)->trigger();
        QCOMPARE(list->SelectedRow(), next);
        QAction* disable = shell.Command(kCommandDisableFilters);
        const bool checked = disable->isChecked();
        disable->trigger();
        QCOMPARE(disable->isChecked(), !checked);
    }

    void captureCommandsDriveTheVirtualAnalyzer() {
        Shell shell;
        shell.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        QVERIFY(shell.TickUntil([&] { return shell.Command(kCommandRun)->isEnabled(); }));
        QVERIFY(!shell.Command(kCommandInstallDriver)->isEnabled());
        shell.Command(kCommandFirstCcInjection + 1)->trigger();
        QVERIFY(shell.Command(kCommandFirstCcInjection + 1)->isChecked());
        shell.Command(kCommandRun)->trigger();
        QVERIFY(shell.TickUntil([&] { return shell.document.SampleCount() > 0; }));
        QVERIFY(shell.Command(kCommandStop)->isEnabled());
        QVERIFY(!shell.Command(kCommandNew)->isEnabled());
        QVERIFY(!shell.Command(kCommandRecordSettings)->isEnabled());
        shell.Command(kCommandStop)->trigger();
        QVERIFY(shell.TickUntil([&] { return !shell.document.Recording(); }));
        shell.Command(kCommandClear)->trigger();
        QCOMPARE(shell.document.SampleCount(), size_t{0});
    }

    void standardToolBarInItsOrderWithIcons() {
        Shell shell;
        auto* toolBar = shell.frame->findChild<QToolBar*>(QStringLiteral("Standard"));
        QVERIFY(toolBar != nullptr);
        QStringList expected;
        bool separator = false;
        for (int id : StandardToolBarLayout()) {
            if (id == 0) {
                separator = !expected.isEmpty();
            } else if (shell.Command(id) != nullptr) {
                if (separator) {
                    expected << QStringLiteral("|");
                    separator = false;
                }
                expected << QString::number(id);
            }
        }
        QCOMPARE(ToolBarLayout(*toolBar), expected);
        QCOMPARE(expected.mid(0, 9), (QStringList{"57600", "57601", "57604", "32858", "|", "32771",
                                                  "32772", "32800", "|"}));
        QCOMPARE(expected.last(), QStringLiteral("57664"));
        for (QAction* action : toolBar->actions()) {
            QVERIFY(action->isSeparator() || !action->icon().isNull());
        }
    }

    // --- Status bar ----------------------------------------------------------------------
    void statusBarHasTheMessagePaneAndPermanentFields() {
        Shell shell;
        CStatusPanes* panes = shell.frame->StatusPanes();
        QCOMPARE(panes->CapsIndicator()->text(), QStringLiteral("CAP"));
        QCOMPARE(panes->NumIndicator()->text(), QStringLiteral("NUM"));
        QCOMPARE(panes->ScrollIndicator()->text(), QStringLiteral("SCRL"));
        QCOMPARE(panes->SummaryField()->text(), QStringLiteral("Packets: 0"));

        QVERIFY(shell.frame->OpenDocument(mixed_));
        // No list progress is left behind once the rows are built.
        QCOMPARE(shell.frame->StatusMessage(), QStringLiteral("Ready"));
        const QString summary = panes->SummaryField()->text();
        QVERIFY(summary.startsWith(
            QStringLiteral("Packets: %1   Length: ").arg(shell.document.PacketCount())));
        QVERIFY(summary.endsWith(QStringLiteral(" s")));

        // A menu item hovered without a status tip leaves the message pane as it was.
        shell.frame->ShowStatus(QStringLiteral("Connected."));
        QStatusTipEvent hover{QString()};
        QCoreApplication::sendEvent(shell.frame.get(), &hover);
        QCOMPARE(shell.frame->StatusMessage(), QStringLiteral("Connected."));
    }

    void summaryCountsShownRowsWhenFiltered() {
        QCOMPARE(CaptureSummaryText({120, 120, 2500000}),
                 QStringLiteral("Packets: 120   Length: 2.500 s"));
        QCOMPARE(CaptureSummaryText({120, 12, 2500000}),
                 QStringLiteral("Packets: 12 shown of 120   Length: 2.500 s"));
        QCOMPARE(CaptureSummaryText({0, 0, -1}), QStringLiteral("Packets: 0"));
        // While a file decodes the list has not caught up: no shown count that blames the filter.
        QCOMPARE(CaptureSummaryText({120, 0, 2500000, true}),
                 QStringLiteral("Packets: 120 (decoding)   Length: 2.500 s"));

        Shell shell;
        QVERIFY(shell.frame->OpenDocument(mixed_));
        CPacketSearch& search = *shell.frame->PacketSearch();
        FindCriteria& filter = search.FilterDialogCriteria();
        filter.text = "GoodCRC";
        filter.textEnabled = true;
        shell.prompts.dialogAnswer = ScriptedPrompts::Accepting("CPacketFindDlg");
        shell.Command(kCommandFilterSettings)->trigger();
        shell.frame->StatusPanes()->Refresh();
        const int shown = shell.frame->LogView()->RowCount();
        QVERIFY(static_cast<size_t>(shown) < shell.document.PacketCount());
        QVERIFY(shell.frame->StatusPanes()->SummaryField()->text().startsWith(
            QStringLiteral("Packets: %1 shown of %2")
                .arg(shown)
                .arg(shell.document.PacketCount())));
    }

    void lockIndicatorsFollowTheKeyboardLeds() {
        QTemporaryDir leds;
        const auto led = [&](const char* name, const char* brightness) {
            QDir(leds.path()).mkpath(QString::fromLatin1(name));
            QFile file(leds.filePath(QString::fromLatin1(name) + QStringLiteral("/brightness")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(brightness);
        };
        led("input3::capslock", "1\n");
        led("input3::numlock", "0\n");
        led("input7::numlock", "0\n");
        led("input3::scrolllock", "0\n");
        led("phy0-led", "1\n");
        QCOMPARE(ReadLockKeyStates(leds.path().toStdString()), (LockKeyStates{true, false, false}));
        led("input7::numlock", "1\n");
        QCOMPARE(ReadLockKeyStates(leds.path().toStdString()), (LockKeyStates{true, true, false}));
        QCOMPARE(ReadLockKeyStates(leds.filePath(QStringLiteral("none")).toStdString()),
                 LockKeyStates{});

        QStatusBar bar;
        CStatusPanes panes(bar, {}, leds.path().toStdString());
        QVERIFY(panes.CapsIndicator()->isEnabled());
        QVERIFY(panes.NumIndicator()->isEnabled());
        QVERIFY(!panes.ScrollIndicator()->isEnabled());
        led("input3::scrolllock", "1\n");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_ScrollLock, Qt::NoModifier);
        QCoreApplication::sendEvent(&bar, &release);
        QVERIFY(panes.ScrollIndicator()->isEnabled());
    }

    // --- Title ---------------------------------------------------------------------------
    void titleCarriesTheModifiedMarkerAndNoSecondAppName() {
        QCOMPARE(FrameTitle(QStringLiteral("x.zaz"), false), QStringLiteral("x.zaz - Zoduz App"));
        QCOMPARE(FrameTitle(QStringLiteral("x.zaz"), true), QStringLiteral("x.zaz* - Zoduz App"));

        Shell shell;
        QVERIFY(shell.frame->OpenDocument(mixed_));
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("mixed.zaz - Zoduz App"));
        shell.frame->LogView()->SetContextRow(3);
        shell.frame->LogView()->SetMarkerA();
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("mixed.zaz* - Zoduz App"));
        QVERIFY(shell.frame->SaveDocumentTo(dir_.filePath(QStringLiteral("marked.zaz"))));
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("marked.zaz - Zoduz App"));
        shell.frame->LogView()->SetContextRow(5);
        shell.frame->LogView()->SetOriginCurrentPosition();
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("marked.zaz* - Zoduz App"));

        // The window system appends the application's display name to titles only when one
        // was set; none is, so the name does not appear twice.
        const QString name = QCoreApplication::applicationName();
        CKVApp::ApplyIdentity(*qApp);
        QCoreApplication::setApplicationName(QStringLiteral("probe"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
        QCoreApplication::setApplicationName(name);
    }

    // --- Opening a file ------------------------------------------------------------------
    void openingStartsAtTheTopWithRowZeroSelectedAndFocused() {
        Shell shell;
        shell.frame->show();
        QVERIFY(QTest::qWaitForWindowActive(shell.frame.get()));
        QVERIFY(shell.frame->OpenDocument(mixed_));
        CKVLogView* list = shell.frame->LogView();
        list->SelectRow(list->RowCount() - 1);
        list->EnsureRowVisible(list->RowCount() - 1);
        QVERIFY(list->verticalScrollBar()->value() > 0);

        QVERIFY(shell.frame->OpenDocument(spr_));
        QCOMPARE(list->verticalScrollBar()->value(), 0);
        QCOMPARE(list->SelectedRow(), 0);
        QVERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->SelectedRow(), 1);
    }

    void largeFileDecodesWhileTheWindowRespondsAndShowsProgress() {
        Shell shell;
        const QString large = LargeCapture(dir_, mixed_, 40);
        QVERIFY(QFileInfo(large).size() > 3 * 1048576);
        CKVDoc whole;
        QVERIFY(whole.OpenRecordFile(large.toStdString()));

        shell.frame->show();
        QStringList texts;
        connect(shell.frame->statusBar(), &QStatusBar::messageChanged,
                [&](const QString& text) { texts << text; });
        QVERIFY(shell.frame->OpenDocument(large));
        QVERIFY(shell.frame->Decoding());
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("large.zaz - Zoduz App"));
        QVERIFY(!shell.Command(kCommandSave)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!shell.frame->Decoding(), 60000);
        QCOMPARE(shell.document.PacketCount(), whole.PacketCount());
        QCOMPARE(shell.document.SampleCount(), whole.SampleCount());
        QCOMPARE(shell.frame->LogView()->SelectedRow(), 0);
        QVERIFY(texts.contains(QStringLiteral("Decoding... 0%")));
        QVERIFY(texts.filter(QRegularExpression(QStringLiteral("^Decoding\\.\\.\\. [1-9]\\d?%$")))
                    .size() >= 2);
        QVERIFY(shell.Command(kCommandSave)->isEnabled());
    }

    void escapeCancelsDecodingAndKeepsWhatDecoded() {
        Shell shell;
        const QString large = LargeCapture(dir_, mixed_, 40);
        CKVDoc whole;
        QVERIFY(whole.OpenRecordFile(large.toStdString()));
        shell.frame->show();
        QVERIFY(QTest::qWaitForWindowActive(shell.frame.get()));
        QVERIFY(shell.frame->OpenDocument(large));
        QVERIFY(shell.frame->Decoding());
        QTest::keyClick(shell.frame.get(), Qt::Key_Escape);
        QVERIFY(!shell.frame->Decoding());
        QVERIFY(shell.document.SampleCount() < whole.SampleCount());
        QVERIFY(shell.document.SampleCount() > 0);
        QCOMPARE(static_cast<size_t>(shell.frame->LogView()->RowCount()),
                 shell.document.PacketCount());
        QVERIFY(QRegularExpression(QStringLiteral("^Decoding cancelled at [1-9]\\d?%: the packets"))
                    .match(shell.frame->StatusMessage())
                    .hasMatch());
        QVERIFY(!shell.frame->findChild<QAction*>(QStringLiteral("cancelDecoding"))->isEnabled());
    }

    void damagedFilesAreToldAboutWhileWhatDecodedIsShown() {
        Shell shell;
        // A cut file: the capture minus the last 10 bytes.
        QFile source(mixed_);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray bytes = source.readAll();
        const QString cut = dir_.filePath(QStringLiteral("cut.zaz"));
        QFile cutFile(cut);
        QVERIFY(cutFile.open(QIODevice::WriteOnly));
        cutFile.write(bytes.left(bytes.size() - 10));
        cutFile.close();
        QVERIFY(shell.frame->OpenDocument(cut));
        QCOMPARE(shell.FileNotices().size(), 1);
        QVERIFY(shell.FileNotices()[0].startsWith(QStringLiteral(
            "The file ends in a partial block: its last 54 bytes are not decoded.")));
        QCOMPARE(shell.frame->StatusMessage(), shell.FileNotices()[0]);
        QCOMPARE(shell.prompts.asked.back().title, QStringLiteral("Zoduz App"));
        QCOMPARE(shell.prompts.asked.back().parent, shell.frame.get());
        QLabel* note = shell.frame->StatusPanes()->ProblemField();
        QVERIFY(!note->isHidden());
        QCOMPARE(note->text(), QStringLiteral("Damaged record file"));
        QVERIFY(shell.frame->LogView()->RowCount() > 0);

        // A text file renamed: nothing in it reads as a capture.
        const QString text = dir_.filePath(QStringLiteral("readme.zaz"));
        QFile textFile(text);
        QVERIFY(textFile.open(QIODevice::WriteOnly));
        for (int i = 0; i < 100; ++i) {
            textFile.write("Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do.\n");
        }
        textFile.close();
        QVERIFY(shell.frame->OpenDocument(text));
        QCOMPARE(shell.FileNotices().size(), 2);
        QVERIFY(shell.FileNotices()[1].startsWith(QStringLiteral("No valid record block found")));
        QCOMPARE(note->text(), QStringLiteral("Not a record file"));
        // What its bytes would decode to is invented: no rows, no samples, no graph extent.
        QCOMPARE(shell.frame->LogView()->RowCount(), 0);
        QCOMPARE(shell.document.PacketCount(), size_t{0});
        QCOMPARE(shell.document.SampleCount(), size_t{0});
        QCOMPARE(shell.frame->GraphView()->Model().state.dataStartTime, int64_t{0});
        QCOMPARE(shell.frame->GraphView()->Model().state.dataEndTime, kEmptyDataEndTime);

        // An empty file says that it is empty.
        const QString empty = dir_.filePath(QStringLiteral("empty.zaz"));
        QFile emptyFile(empty);
        QVERIFY(emptyFile.open(QIODevice::WriteOnly));
        emptyFile.close();
        QVERIFY(shell.frame->OpenDocument(empty));
        QCOMPARE(shell.FileNotices().size(), 3);
        QCOMPARE(shell.FileNotices()[2],
                 QStringLiteral("The file is empty: it holds no record block."));
        QCOMPARE(note->text(), QStringLiteral("Empty file"));

        // A sound file clears the note and says nothing.
        QVERIFY(shell.frame->OpenDocument(spr_));
        QCOMPARE(shell.FileNotices().size(), 3);
        QVERIFY(note->isHidden());
    }

    // --- List header ---------------------------------------------------------------------
    void headerShowsTheSortTruncatedCellsTipAndTheLastColumnStretches() {
        Shell shell;
        shell.frame->show();
        QVERIFY(shell.frame->OpenDocument(mixed_));
        CKVLogView* list = shell.frame->LogView();
        QHeaderView* header = list->header();
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), -1);
        list->SortByColumn(2);
        QCOMPARE(header->sortIndicatorSection(), 2);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        list->SortByColumn(2);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        list->RebuildList();  // rows in document order again
        QCOMPARE(header->sortIndicatorSection(), -1);

        QVERIFY(header->stretchLastSection());
        const int last = header->logicalIndex(header->count() - 1);
        QCOMPARE(header->sectionViewportPosition(last) + header->sectionSize(last),
                 list->viewport()->width());
        // The stretched width is the window's, not the column's: the record keeps its own.
        const int lastId = list->PacketModel()->ColumnIds()[static_cast<size_t>(last)];
        const int recorded = shell.settings.columns[lastId].width;
        QVERIFY(header->sectionSize(last) > recorded);
        list->SaveColumnLayout();
        QCOMPARE(shell.settings.columns[lastId].width, recorded);

        const int column = 1;
        const QString full = list->PacketModel()->CellText(0, column);
        QVERIFY(!full.isEmpty());
        header->resizeSection(column, 400);
        QCOMPARE(list->TruncatedCellText(0, column), QString());
        header->resizeSection(column, 20);
        QCOMPARE(list->TruncatedCellText(0, column), full);
    }

    // --- Start and close -----------------------------------------------------------------
    void commandLinePathOpensBeforeTheWindowShows() {
        Shell shell;
        size_t packetsAtShow = 0;
        bool shown = false;
        struct ShowWatch : QObject {
            std::function<void()> onShow;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Show) {
                    onShow();
                }
                return false;
            }
        } watch;
        watch.onShow = [&] {
            if (!shown) {
                shown = true;
                packetsAtShow = shell.document.PacketCount();
            }
        };
        shell.frame->installEventFilter(&watch);
        AppCommandLine commandLine;
        commandLine.recordFile = mixed_;
        CKVApp::StartWindow(*shell.frame, commandLine);
        QVERIFY(shown);
        QVERIFY(packetsAtShow > 0);
        CKVDoc whole;
        QVERIFY(whole.OpenRecordFile(mixed_.toStdString()));
        QCOMPARE(packetsAtShow, whole.PacketCount());
        QCOMPARE(shell.frame->windowTitle(), QStringLiteral("mixed.zaz - Zoduz App"));
    }

    void closingWhileRecordingAndCancellingKeepsTheCapture() {
        Shell shell;
        shell.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        shell.Command(kCommandRun)->trigger();
        QVERIFY(shell.TickUntil([&] { return shell.document.SampleCount() > 0; }));
        shell.document.SetModified(true);
        shell.prompts.saveChoice = SaveChoice::kCancel;
        QVERIFY(!shell.frame->close());
        QCOMPARE(shell.Questions(), QStringList{QStringLiteral("Save changes to PDCapture.zaz?")});
        QVERIFY(shell.Capture().Control().Capturing());
        QVERIFY(shell.TickUntil([&] { return shell.document.SampleCount() > 100; }));
    }

    void closingWhileRecordingAnUnmodifiedCaptureAsksFirst() {
        Shell shell;
        shell.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        shell.Command(kCommandRun)->trigger();
        QVERIFY(shell.TickUntil([&] { return shell.document.SampleCount() > 0; }));
        QVERIFY(!shell.document.Modified());
        QVERIFY(!shell.frame->close());
        const QStringList asked = shell.prompts.Texts(ScriptedPrompts::Kind::kConfirm);
        QCOMPARE(asked,
                 QStringList{QStringLiteral("A capture is recording. Closing the window stops it "
                                            "and finishes its record file PDCapture.zaz.\n\n"
                                            "Close the window?")});
        QVERIFY(shell.Questions().isEmpty());
        QVERIFY(shell.Capture().Control().Capturing());
        shell.prompts.confirmation = true;
        QVERIFY(shell.frame->close());
        shell.frame.reset();
        CKVDoc reopened;
        QVERIFY(reopened.OpenRecordFile(shell.RecordFile().toStdString()));
        QVERIFY(reopened.SampleCount() > 0);
        QVERIFY(!reopened.FileProblems().Any());
    }

    void closingWhileRecordingWithYesFinishesAndSavesTheRecordFile() {
        Shell shell;
        shell.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        shell.Command(kCommandRun)->trigger();
        QVERIFY(shell.TickUntil([&] { return shell.frame->LogView()->RowCount() > 2; }));
        shell.frame->LogView()->SetContextRow(1);
        shell.frame->LogView()->SetMarkerA();
        QVERIFY(shell.document.Modified());
        shell.prompts.saveChoice = SaveChoice::kSave;
        QVERIFY(shell.frame->close());
        QVERIFY(shell.Errors().isEmpty());
        const int64_t markedTime = shell.document.MarkerA()->relTime;
        shell.frame.reset();
        // The record file is finished (its leading block counts the stream bytes after it)
        // and carries the marker.
        QFile file(shell.RecordFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(static_cast<uint8_t>(bytes[2]), uint8_t{0x01});
        CKVDoc reopened;
        QVERIFY(reopened.OpenRecordFile(shell.RecordFile().toStdString()));
        QVERIFY(reopened.MarkerA() != nullptr);
        QCOMPARE(reopened.MarkerA()->relTime, markedTime);
        QVERIFY(!reopened.FileProblems().Any());
    }

    void automationStartWithoutANameDoesNothing() {
        Shell shell;
        shell.Capture().ConnectVirtualAnalyzer(QStringLiteral("spr"));
        QVERIFY(shell.TickUntil([&] { return shell.Command(kCommandRun)->isEnabled(); }));
        shell.Capture().Control().AutomationStart();
        shell.Capture().Tick();
        QVERIFY(!shell.Capture().Control().Capturing());
        QVERIFY(QDir(shell.folder.path()).entryList({QStringLiteral("*.zaz")}).isEmpty());
    }

    void aboutBoxWithFirmware092() {
        const AnalyzerIdentity attached{QStringLiteral("0.92"), true, QStringLiteral("ZD1")};
        ScriptedPrompts prompts;
        CAboutDlg dialog(attached, prompts);
        const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
        bool versionShown = false;
        for (const QLabel* label : labels) {
            versionShown |= label->text() == QStringLiteral("FW Ver : 0.92 (Invalid FW Version)");
        }
        QVERIFY(versionShown);
        QVERIFY(!dialog.FirmwareUpdateButton()->isEnabled());
    }

  private:
    QTemporaryDir dir_;
    QString spr_;
    QString mixed_;
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
