#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDialog>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "app/about_dlg.h"
#include "app/capture_controller.h"
#include "app/copy_text.h"
#include "app/ctrl_view.h"
#include "app/current_dir_dlg.h"
#include "app/doc_events.h"
#include "app/recent_files.h"
#include "app/shell/command_router.h"
#include "app/shell/decode_session.h"
#include "app/shell/first_run_layout.h"
#include "app/shell/standard_toolbar.h"
#include "app/shell/status_panes.h"
#include "app/shell/window_title.h"
#include "app/tolerant_decoding.h"
#include "app/tool_commands.h"
#include "app/views/pd_packet_list_view.h"
#include "app/views/pd_packet_tree_view.h"
#include "capture/document.h"
#include "capture/record_file_check.h"
#include "capture/record_file_notice.h"
#include "check/check_walk.h"
#include "graph/view/dockable_graph.h"
#include "list/log_view.h"
#include "list/log_view_cfg_dlg.h"
#include "list/packet_search.h"
#include "settings/qt/log_font_qfont.h"
#include "settings/settings_store.h"
#include "tools/sigrok/sr_import.h"

namespace {

constexpr const char* kIdleText = "Ready";
constexpr const char* kFileFilter = "Zoduz Files (*.zaz)";
constexpr const char* kOpenFilter = "Zoduz Files (*.zaz);;sigrok Sessions (*.sr)";

// Client area limits of the splitter rows and columns.
constexpr int kListMinHeight = 100;
constexpr int kDetailMinHeight = 50;
constexpr int kFieldTableMinWidth = 100;
constexpr int kTreeCreatedWidth = 960;
// A stored control strip height beyond this (a damaged setting) is not restored.
constexpr int kCtrlViewMaxStoredHeight = 400;

// The stored window size, at least 200 x 200 and at most the screen's available area: a size
// stored on a larger screen, at another scale factor, or absurd would leave parts of the
// window off-screen and unpainted (and be stored again at exit).
QSize RestoredWindowSize(const LayoutRecord& layout, const QSize& available) {
    const int width = std::max(layout.windowWidth, 200);
    const int height = std::max(layout.windowHeight, 200);
    if (available.isEmpty()) {
        return {width, height};
    }
    return {std::min(width, available.width()), std::min(height, available.height())};
}

// The room a splitter shares among its children once laid out.
int SplitterExtent(const QSplitter& splitter) {
    qint64 extent = 0;
    for (const int size : splitter.sizes()) {
        extent += size;
    }
    return static_cast<int>(std::min<qint64>(extent, QWIDGETSIZE_MAX));
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString DisplayPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QIcon Icon(const char* name) {
    return QIcon(QStringLiteral(":/zoduz/icons/%1.svg").arg(QLatin1String(name)));
}

}  // namespace

CMainFrame::CMainFrame(CKVDoc& document, SettingsStore& settings, CRecentFileList& recentFiles,
                       Prompts& prompts, QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      settings_(settings),
      recentFiles_(recentFiles),
      prompts_(prompts),
      commands_(document, CommandHooks()) {
    decoding_ = new CDecodeSession(document_, this);
    connect(decoding_, &CDecodeSession::finished, this, &CMainFrame::OnDecodeFinished);
    router_ = new CCommandRouter(this);
    setObjectName(QStringLiteral("ZerivaRur"));
    setWindowIcon(Icon("zoduz"));
    setAcceptDrops(true);

    BuildClientArea();
    tools_ = new CToolCommands(*this, document_, settings_, *logView_, prompts_);
    BuildActions();
    capture_ = new CCaptureController(*this, document_, settings_, commands_, prompts_);
    // The list follows the newest row only while a capture records.
    logView_->SetRecordingQuery([this] { return capture_->Control().Capturing(); });
    BuildCtrlView();
    tolerant_ = new CTolerantDecoding(document_, settings_, statusBar(), this);
    BuildGraphPane();
    RegisterCommands();
    BuildMenus();
    BuildToolBar();
    panes_ = new CStatusPanes(*statusBar(), [this] { return Summary(); });
    statusBar()->showMessage(QString::fromLatin1(kIdleText));
    ConnectDocument();
    ConnectGraphPane();
    BuildChecksPanes();
    ConnectCapture();

    const LayoutRecord& layout = settings_.layout;
    const QSize available = screen()->availableGeometry().size();
    if (settings_.firstRunLayout) {
        const FirstRunWindowSize size =
            ChooseFirstRunWindowSize(available.width(), available.height());
        resize(size.width, size.height);
    } else {
        resize(RestoredWindowSize(layout, available));
    }
    if (layout.listFontStored != 0) {
        ApplyListFont(FontFromLogFont(layout.listFont));
    }
    if (settings_.firstRunLayout) {
        logView_->FitDefaultColumnWidths();
    }
    logView_->SetAutoScroll(settings_.pdMessageAutoScroll);
    autoScrollAction_->setChecked(settings_.pdMessageAutoScroll);
    logView_->RebuildList();
    RebuildRecentMenu();
    UpdateTitle();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // The window's own destruction hides the graph pane, which unchecks its toggle action; the
    // window is no longer a CMainFrame by then, so nothing of it may answer.
    showGraphAction_->disconnect(this);
}

DocumentCommandHooks CMainFrame::CommandHooks() {
    DocumentCommandHooks hooks;
    hooks.askSaveChanges = [this](const std::string& title) {
        switch (AskSaveChanges(DisplayPath(title))) {
            case SaveChoice::kSave:
                return SaveAnswer::kYes;
            case SaveChoice::kDiscard:
                return SaveAnswer::kNo;
            case SaveChoice::kCancel:
                break;
        }
        return SaveAnswer::kCancel;
    };
    hooks.chooseSavePath = [this](const std::string& current) -> std::optional<std::string> {
        const QString path =
            prompts_.ChooseSaveFile(this, {QStringLiteral("Save As"), DisplayPath(current),
                                           QString::fromLatin1(kFileFilter), QString()});
        if (path.isEmpty()) {
            return std::nullopt;
        }
        return NativePath(path);
    };
    hooks.showError = [this](const std::string& text) { ShowError(QString::fromStdString(text)); };
    hooks.setBusy = [](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    };
    const auto remember = [this](const std::string& path) {
        recentFiles_.Add(DisplayPath(path));
        RebuildRecentMenu();
    };
    hooks.opened = remember;
    hooks.saved = remember;
    hooks.refused = [this](const std::string& path) {
        // The list stops offering a path that cannot be read.
        recentFiles_.Remove(DisplayPath(path));
        RebuildRecentMenu();
    };
    // A logic-analyzer session is decoded from a record file imported into the temporary
    // folder; saving asks for a new name, so the session itself is never overwritten.
    hooks.decode = [this](const std::string& path) { return decoding_->Start(path); };
    // The import stays while the document may read it again (passes, Save As, export) and goes
    // when another file is opened or the window closes.
    hooks.importSession = [this](const std::string& path,
                                 std::string& error) -> std::optional<std::string> {
        if (!IsSigrokSessionPath(path)) {
            sessionImport_.reset();
            return std::nullopt;
        }
        std::unique_ptr<TemporaryImport> imported = ImportToTemporaryRecordFile(path, error);
        if (!imported) {
            return std::nullopt;
        }
        sessionImport_ = std::move(imported);
        return sessionImport_->RecordPath();
    };
    return hooks;
}

void CMainFrame::BuildClientArea() {
    logView_ = new CKVLogView(document_, settings_.columns, this);
    logView_->SetReverseCurrentSource([this] { return settings_.vbusCurrDirReverse; });
    logView_->setMinimumHeight(kListMinHeight);
    packetSearch_ = new CPacketSearch(document_, *logView_, this, prompts_);
    fieldTable_ = new CPDPacketListView(this);
    fieldTable_->setMinimumWidth(kFieldTableMinWidth);
    packetTree_ = new CPDPacketTreeView(this);

    detailSplitter_ = new QSplitter(Qt::Horizontal, this);
    detailSplitter_->setObjectName(QStringLiteral("detailSplitter"));
    detailSplitter_->addWidget(fieldTable_);
    detailSplitter_->addWidget(packetTree_);
    detailSplitter_->setChildrenCollapsible(false);
    detailSplitter_->setMinimumHeight(kDetailMinHeight);
    detailSplitter_->setSizes({kFieldTableMinWidth, kTreeCreatedWidth});
    detailSplitter_->setStretchFactor(1, 1);

    mainSplitter_ = new QSplitter(Qt::Vertical, this);
    mainSplitter_->setObjectName(QStringLiteral("mainSplitter"));
    mainSplitter_->addWidget(logView_);
    mainSplitter_->addWidget(detailSplitter_);
    mainSplitter_->setChildrenCollapsible(false);
    // The list is the main view: what the window gains or loses goes to it, the detail row
    // keeps its height (both are set exactly when the window first shows).
    mainSplitter_->setStretchFactor(0, 1);
    mainSplitter_->setStretchFactor(1, 0);
    // Placeholders: both rows get their real heights when the window first shows.
    mainSplitter_->setSizes({kListMinHeight, kDetailMinHeight});
    setCentralWidget(mainSplitter_);

    connect(logView_, &CKVLogView::selectedPacketChanged, packetTree_,
            &CPDPacketTreeView::ShowPacket);
    connect(packetTree_, &CPDPacketTreeView::nodeSelected, fieldTable_,
            &CPDPacketListView::ShowNode);
    // A finished list build leaves the pane to the idle text, not to "... 100%".
    connect(logView_, &CKVLogView::statusText, this, [this](const QString& text) {
        ShowStatus(text.endsWith(QStringLiteral(" 100%")) ? QString::fromLatin1(kIdleText) : text);
    });
    connect(logView_, &CKVLogView::markersChanged, this, &CMainFrame::UpdateTitle);
    connect(logView_, &CKVLogView::columnSettingsRequested, this, &CMainFrame::ShowColumnSettings);
    connect(logView_, &CKVLogView::markersChanged, this, [this] {
        UpdateTitle();
        UpdateCommandStates();
    });
}

// Row 0 of the client area, above the list and the details: the stored height, or a quarter of
// the window, at most 100 pixels.
void CMainFrame::BuildCtrlView() {
    ctrlView_ = new CKVCtrlView(document_, *capture_, settings_);
    const int stored = settings_.ctrlViewHeight;
    const int height = stored > 0 ? stored : std::min(settings_.layout.windowHeight / 4, 100);
    auto* client = new QSplitter(Qt::Vertical, this);
    client->setObjectName(QStringLiteral("clientSplitter"));
    client->addWidget(ctrlView_);
    client->addWidget(takeCentralWidget());
    client->setChildrenCollapsible(false);
    client->setStretchFactor(0, 0);
    client->setStretchFactor(1, 1);
    client->setSizes({std::clamp(height, 1, kCtrlViewMaxStoredHeight),
                      std::max(settings_.layout.windowHeight, kListMinHeight)});
    setCentralWidget(client);
}

// The texts and keys of the commands come from the command table when RegisterCommands
// registers them; only the actions outside the table get theirs here.
void CMainFrame::BuildActions() {
    newAction_ = new QAction(Icon("new"), QString(), this);
    connect(newAction_, &QAction::triggered, this, &CMainFrame::NewDocument);

    openAction_ = new QAction(Icon("open"), QString(), this);
    connect(openAction_, &QAction::triggered, this, [this] {
        if (!MaybeSaveModified()) {
            return;
        }
        const QString path = prompts_.ChooseOpenFile(
            this, {QStringLiteral("Open"), QFileInfo(DocumentPath()).absolutePath(),
                   QString::fromLatin1(kOpenFilter), QString()});
        if (!path.isEmpty()) {
            LoadPath(path);
        }
    });

    saveAction_ = new QAction(this);
    connect(saveAction_, &QAction::triggered, this, &CMainFrame::SaveDocument);

    saveAsAction_ = new QAction(Icon("save_as"), QString(), this);
    connect(saveAsAction_, &QAction::triggered, this, &CMainFrame::SaveDocumentAs);

    exitAction_ = new QAction(this);
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    autoScrollAction_ = new QAction(Icon("auto_scroll"), QString(), this);
    autoScrollAction_->setCheckable(true);
    connect(autoScrollAction_, &QAction::toggled, this,
            [this](bool on) { logView_->SetAutoScroll(on); });

    columnSettingsAction_ = new QAction(Icon("columns"), QString(), this);
    connect(columnSettingsAction_, &QAction::triggered, this, &CMainFrame::ShowColumnSettings);

    packetSearch_->FindAction()->setIcon(Icon("find"));
    packetSearch_->FilterSettingsAction()->setIcon(Icon("filter"));
    packetSearch_->DisableFilterAction()->setIcon(Icon("filter_off"));

    fontSettingsAction_ = new QAction(Icon("font"), QString(), this);
    connect(fontSettingsAction_, &QAction::triggered, this, [this] {
        QFontDialog dialog(logView_->font(), this);
        if (prompts_.RunDialog(dialog) == QDialog::Accepted) {
            ApplyListFont(dialog.selectedFont());
        }
    });

    aboutAction_ = new QAction(Icon("about"), QString(), this);
    connect(aboutAction_, &QAction::triggered, this, [this] {
        CAboutDlg dialog(capture_->AboutIdentity(), prompts_, this);
        connect(&dialog, &CAboutDlg::firmwareUpdateRequested, capture_,
                &CCaptureController::EnterFirmwareUpdate);
        prompts_.RunDialog(dialog);
    });

    directionAction_ = new QAction(this);
    connect(directionAction_, &QAction::triggered, this, &CMainFrame::ShowCurrentDirectionSettings);

    statusBarAction_ = new QAction(this);
    statusBarAction_->setCheckable(true);
    statusBarAction_->setChecked(true);
    connect(statusBarAction_, &QAction::toggled, statusBar(), &QWidget::setVisible);

    cancelDecodeAction_ = new QAction(QStringLiteral("&Cancel Decoding\tEsc"), this);
    cancelDecodeAction_->setObjectName(QStringLiteral("cancelDecoding"));
    cancelDecodeAction_->setShortcut(QKeySequence(Qt::Key_Escape));
    cancelDecodeAction_->setEnabled(false);
    connect(cancelDecodeAction_, &QAction::triggered, this, &CMainFrame::CancelDecoding);

    // Keyboard commands without a menu item: they act wherever the focus is in the window.
    nextPaneAction_ = new QAction(QStringLiteral("Next Pane"), this);
    nextPaneAction_->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPaneAction_, &QAction::triggered, this, [this] { ActivateNextPane(1); });
    previousPaneAction_ = new QAction(QStringLiteral("Previous Pane"), this);
    previousPaneAction_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPaneAction_, &QAction::triggered, this, [this] { ActivateNextPane(-1); });
    copyAction_ = new QAction(QStringLiteral("Copy"), this);
    copyAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    connect(copyAction_, &QAction::triggered, this, &CMainFrame::CopySelection);
    addActions({nextPaneAction_, previousPaneAction_, copyAction_, cancelDecodeAction_});

    for (int i = 0; i < CRecentFileList::kMaxEntries; ++i) {
        auto* action = new QAction(this);
        action->setVisible(false);
        connect(action, &QAction::triggered, this,
                [this, action] { OpenDocument(action->data().toString()); });
        recentActions_.push_back(action);
    }
}

void CMainFrame::RegisterCommands() {
    const std::pair<int, QAction*> commands[] = {
        {kCommandNew, newAction_},
        {kCommandOpen, openAction_},
        {kCommandSave, saveAction_},
        {kCommandSaveAs, saveAsAction_},
        {kCommandExport, tools_->ExportAction()},
        {kCommandStitch, tools_->StitchAction()},
        {kCommandExit, exitAction_},
        {kCommandStatusBar, statusBarAction_},
        {kCommandCurrentDirection, directionAction_},
        {kCommandRun, capture_->RunAction()},
        {kCommandStop, capture_->StopAction()},
        {kCommandClear, capture_->ClearAction()},
        {kCommandRecordSettings, capture_->RecordSettingsAction()},
        {kCommandRecordFileSettings, capture_->RecordFileSettingsAction()},
        {kCommandFind, packetSearch_->FindAction()},
        {kCommandFindPrev, packetSearch_->FindPrevAction()},
        {kCommandFindNext, packetSearch_->FindNextAction()},
        {kCommandMessageAutoScroll, autoScrollAction_},
        {kCommandFilterSettings, packetSearch_->FilterSettingsAction()},
        {kCommandDisableFilters, packetSearch_->DisableFilterAction()},
        {kCommandColumnSettings, columnSettingsAction_},
        {kCommandListFont, fontSettingsAction_},
        {kCommandShowGraph, showGraphAction_},
        {kCommandShowMeasuringPoints, measuringPointsAction_},
        {kCommandShowPdPackets, showPdPacketsAction_},
        {kCommandGraphAutoScroll, graphAutoScrollAction_},
        {kCommandGraphFont, graphFontAction_},
        {kCommandInstallDriver, capture_->InstallDriverAction()},
        {kCommandAbout, aboutAction_},
    };
    for (const auto& [id, action] : commands) {
        router_->Register(id, action);
    }
    const std::vector<QAction*>& injection = capture_->CcActions();
    for (int i = 0; i < static_cast<int>(injection.size()); ++i) {
        router_->Register(kCommandFirstCcInjection + i, injection[static_cast<size_t>(i)]);
    }
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(newAction_);
    file->addAction(openAction_);
    file->addAction(cancelDecodeAction_);
    file->addAction(saveAction_);
    file->addAction(saveAsAction_);
    file->addSeparator();
    file->addAction(tools_->ExportAction());
    file->addAction(tools_->StitchAction());
    file->addSeparator();
    for (QAction* action : recentActions_) {
        file->addAction(action);
    }
    recentSeparator_ = file->addSeparator();
    file->addAction(exitAction_);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    toolbarsMenu_ = view->addMenu(QStringLiteral("&Toolbars and Docking Windows"));
    router_->Register(kCommandToolbars, toolbarsMenu_->menuAction());
    view->addAction(statusBarAction_);
    view->addSeparator();
    view->addAction(directionAction_);

    QMenu* message = menuBar()->addMenu(QStringLiteral("PD &Message"));
    message->addAction(packetSearch_->FindAction());
    message->addAction(packetSearch_->FindPrevAction());
    message->addAction(packetSearch_->FindNextAction());
    message->addSeparator();
    message->addAction(autoScrollAction_);
    message->addAction(tolerant_->Action());
    message->addSeparator();
    message->addAction(packetSearch_->FilterSettingsAction());
    message->addAction(packetSearch_->DisableFilterAction());
    message->addSeparator();
    message->addAction(columnSettingsAction_);
    message->addAction(fontSettingsAction_);

    capture_->AddMenus(*menuBar());

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(capture_->InstallDriverAction());
    help->addAction(aboutAction_);
}

void CMainFrame::ShowCurrentDirectionSettings() {
    CVbusCurrentDirCfg dialog(this);
    dialog.SetReverse(settings_.vbusCurrDirReverse);
    dialog.SetDoNotAskAgain(settings_.vbusCurrDirCfgDoNotAskAgain);
    if (prompts_.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    settings_.vbusCurrDirReverse = dialog.Reverse();
    settings_.vbusCurrDirCfgDoNotAskAgain = dialog.DoNotAskAgain();
    ApplyCurrentDirection();
}

void CMainFrame::ApplyCurrentDirection() {
    logView_->RebuildList();
    if (graphReattach_) {
        graphReattach_();
    }
}

void CMainFrame::BuildToolBar() {
    QToolBar* toolBar = BuildStandardToolBar(*this, *router_);
    // "Toolbars and Docking Windows" lists the toolbar's own toggle.
    toolbarsMenu_->addAction(toolBar->toggleViewAction());
}

void CMainFrame::ConnectDocument() {
    events_ = new CDocEvents(document_, this);
    connect(events_, &CDocEvents::statusText, this, &CMainFrame::ShowStatus);
    connect(events_, &CDocEvents::contentsChanged, this, [this] {
        logView_->OnDocumentUpdate();
        tolerant_->Refresh();
        UpdateTitle();
        // The commands and the control strip follow; during a capture tick once, at its end.
        capture_->UpdateActions();
    });
    connect(events_, &CDocEvents::packetsChanged, this, [this](const PacketChange& change) {
        if (change.kind == PacketChange::Kind::kReset) {
            capture_->UpdateActions();
            // Every field of the status bar starts afresh with the capture.
            tolerant_->Refresh();
            panes_->Refresh();
        }
    });
    connect(events_, &CDocEvents::timeOriginChanged, this,
            [this] { logView_->OnTimeOriginChanged(); });
}

// The capture controller does not know the window: the window follows its signals.
void CMainFrame::ConnectCapture() {
    connect(capture_, &CCaptureController::actionsUpdated, this, &CMainFrame::UpdateCommandStates);
    connect(capture_, &CCaptureController::documentEmptied, this, &CMainFrame::ForgetDocumentPath);
    connect(capture_, &CCaptureController::recordFileAttached, this, &CMainFrame::AdoptRecordFile);
    connect(capture_, &CCaptureController::captureStatus, this, &CMainFrame::ShowCaptureStatus);
}

void CMainFrame::ShowStatus(const QString& text) {
    if (statusBar()->currentMessage() == text) {
        return;
    }
    statusBar()->showMessage(text);
    // Decoding runs on this thread; the progress texts must reach the screen meanwhile.
    statusBar()->repaint();
}

QString CMainFrame::StatusMessage() const {
    return statusBar()->currentMessage();
}

void CMainFrame::ShowError(const QString& text) {
    prompts_.ShowWarning(this, QString::fromLatin1(kAppTitle), text);
}

SaveChoice CMainFrame::AskSaveChanges(const QString& title) {
    return prompts_.AskSaveChanges(this, QString::fromLatin1(kAppTitle),
                                   QStringLiteral("Save changes to %1?").arg(title));
}

QString CMainFrame::DocumentPath() const {
    return DisplayPath(commands_.DocumentPath());
}

QString CMainFrame::DocumentTitle() const {
    return DisplayPath(commands_.DocumentTitle());
}

void CMainFrame::UpdateTitle() {
    const QString title = FrameTitle(DocumentTitle(), document_.Modified());
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
}

void CMainFrame::UpdateCommandStates() {
    const bool recording = document_.Recording();
    CommandState state;
    state.capturing = recording;
    state.hasRecordFile = !commands_.DocumentPath().empty() && !document_.RecordFilePath().empty();
    state.decoding = Decoding();
    state.connected = capture_ != nullptr && capture_->State().flags.connected.load();
    router_->ApplyRules(state);
    cancelDecodeAction_->setEnabled(state.decoding);
    // The modified marker follows markers changed anywhere (the tick comes by every second).
    UpdateTitle();
    for (QAction* action : recentActions_) {
        action->setEnabled(!recording);
    }
}

void CMainFrame::ForgetDocumentPath() {
    // A capture took the document over: what was decoding gives way.
    decoding_->Cancel();
    panes_->SetFileProblem({}, {});
    commands_.SetDocumentPath({});
    UpdateTitle();
    UpdateCommandStates();
    // The capture starts afresh.
    RebindGraph();
}

void CMainFrame::AdoptRecordFile(const QString& path) {
    commands_.SetDocumentPath(NativePath(QFileInfo(path).absoluteFilePath()));
    recentFiles_.Add(QFileInfo(path).absoluteFilePath());
    RebuildRecentMenu();
    UpdateTitle();
    UpdateCommandStates();
}

void CMainFrame::RebuildRecentMenu() {
    const QStringList& entries = recentFiles_.Entries();
    for (int i = 0; i < static_cast<int>(recentActions_.size()); ++i) {
        QAction* action = recentActions_[i];
        if (i < entries.size()) {
            action->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(entries[i])));
            action->setData(entries[i]);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    recentSeparator_->setVisible(!entries.isEmpty());
}

bool CMainFrame::MaybeSaveModified() {
    return Finished({commands_.MaybeSaveModified(), {}});
}

bool CMainFrame::Finished(const CommandOutcome& outcome) {
    UpdateTitle();
    UpdateCommandStates();
    return outcome.done;
}

bool CMainFrame::NewDocument() {
    const CommandOutcome outcome = commands_.New();
    if (outcome.done) {
        decoding_->Cancel();
        panes_->SetFileProblem({}, {});
        ShowStatus(QString::fromLatin1(kIdleText));
    }
    return Rebound(Finished(outcome));
}

bool CMainFrame::OpenDocument(const QString& path) {
    if (!commands_.MaybeSaveModified()) {
        return Finished({});
    }
    return LoadPath(path);
}

bool CMainFrame::LoadPath(const QString& path) {
    loading_ = true;
    const CommandOutcome outcome = commands_.Load(NativePath(path));
    loading_ = false;
    return Rebound(Finished(outcome));
}

bool CMainFrame::Decoding() const {
    return decoding_->Active();
}

void CMainFrame::CancelDecoding() {
    decoding_->Cancel();
}

void CMainFrame::WaitForDecoding() {
    decoding_->RunToEnd();
}

void CMainFrame::OnDecodeFinished(const FileResult& result, bool cancelled) {
    // A new file starts at its top, its first row selected and the keyboard on it.
    logView_->scrollToTop();
    logView_->horizontalScrollBar()->setValue(0);
    if (logView_->RowCount() > 0) {
        logView_->SelectRow(0);
    }
    if (isVisible()) {
        logView_->setFocus(Qt::OtherFocusReason);
    }
    // The graph was fitted to the file's first part when the decoding began.
    RebindGraph();
    if (!loading_ && !result && result.kind != FileResult::kNothingNew) {
        // The load that started the decoding has returned; a later failure is told here.
        ShowError(QString::fromStdString(FileResultText(FileCommand::kOpen, result)));
    }
    const std::string problems =
        cancelled ? std::string()
                  : RecordFileNoticeText(document_.FileProblems(), RecordFileLength());
    if (cancelled) {
        panes_->SetFileProblem({}, {});
        ShowStatus(QStringLiteral("Decoding cancelled at %1%: the packets and samples decoded so "
                                  "far are shown.")
                       .arg(document_.DecodePercent()));
    } else if (!problems.empty()) {
        const QString text = QString::fromStdString(problems);
        const RecordFileProblems found = document_.FileProblems();
        const QString label = RecordFileLength() == 0 ? QStringLiteral("Empty file")
                              : found.noValidBlock    ? QStringLiteral("Not a record file")
                                                      : QStringLiteral("Damaged record file");
        panes_->SetFileProblem(label, text);
        ShowStatus(text);
        // The notice does not block: what decoded is there to look at meanwhile.
        prompts_.ShowModelessWarning(this, QString::fromLatin1(kAppTitle), text);
    } else {
        panes_->SetFileProblem({}, {});
    }
    panes_->Refresh();
    UpdateCommandStates();
}

uint64_t CMainFrame::RecordFileLength() const {
    return static_cast<uint64_t>(
        std::max<qint64>(QFileInfo(DisplayPath(document_.RecordFilePath())).size(), 0));
}

CaptureSummary CMainFrame::Summary() const {
    CaptureSummary summary;
    summary.packets = document_.PacketCount();
    summary.shownRows = static_cast<uint64_t>(std::max(logView_->RowCount(), 0));
    summary.decoding = Decoding();
    const int64_t start = document_.CaptureStartTime();
    if (start >= 0 && document_.SampleCount() > 0) {
        summary.lengthUs = document_.LastSampleTime() - start;
    }
    return summary;
}

bool CMainFrame::event(QEvent* event) {
    // A menu item without a status tip would blank the message pane while hovered.
    if (event->type() == QEvent::StatusTip &&
        static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::ShowCaptureStatus(const QString& text) {
    if (!Decoding()) {
        ShowStatus(text);
    }
}

bool CMainFrame::SaveDocument() {
    return Finished(commands_.Save());
}

bool CMainFrame::SaveDocumentAs() {
    return Finished(commands_.SaveAs());
}

bool CMainFrame::SaveDocumentTo(const QString& path) {
    return Finished(commands_.SaveTo(NativePath(path)));
}

void CMainFrame::ApplyListFont(const QFont& font) {
    logView_->setFont(font);
    fieldTable_->setFont(font);
    packetTree_->setFont(font);
}

void CMainFrame::ActivateNextPane(int step) {
    QWidget* const panes[] = {logView_, fieldTable_, packetTree_};
    constexpr int kPaneCount = static_cast<int>(std::size(panes));
    const QWidget* focus = QApplication::focusWidget();
    int current = -1;
    for (int i = 0; i < kPaneCount; ++i) {
        if (focus != nullptr && (focus == panes[i] || panes[i]->isAncestorOf(focus))) {
            current = i;
        }
    }
    // From outside the three panes F6 starts at the first one and Shift+F6 at the last.
    const int next = current < 0 ? (step > 0 ? 0 : kPaneCount - 1)
                                 : ((current + step) % kPaneCount + kPaneCount) % kPaneCount;
    panes[next]->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::CopySelection() {
    const QString text = SelectionText(QApplication::focusWidget());
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

void CMainFrame::ShowColumnSettings() {
    logView_->SaveColumnLayout();
    CLogViewCfgDlg dialog(settings_.columns, this);
    if (prompts_.RunDialog(dialog) == QDialog::Accepted) {
        logView_->RebuildList();
    }
}

void CMainFrame::StoreLayout() {
    LayoutRecord& layout = settings_.layout;
    layout.windowWidth = width();
    layout.windowHeight = height();
    const QList<int> rows = mainSplitter_->sizes();
    if (!rows.isEmpty()) {
        layout.listRowHeight = rows[0];
    }
    const QList<int> columns = detailSplitter_->sizes();
    if (!columns.isEmpty()) {
        layout.fieldTableWidth = columns[0];
    }
    layout.listFontStored = 1;
    layout.listFont = LogFontFromFont(logView_->font());
    settings_.pdMessageAutoScroll = logView_->AutoScroll();
    logView_->SaveColumnLayout();
    StoreGraphLayout();
    StoreChecksLayout();
}

void CMainFrame::showEvent(QShowEvent* event) {
    // The children have their first real sizes now; the rows and columns get theirs.
    if (!startLayoutDone_) {
        startLayoutDone_ = true;
        ApplyStartLayout();
    }
    QMainWindow::showEvent(event);
}

void CMainFrame::ApplyStartLayout() {
    FitChecksPanes();
    const int rows = SplitterExtent(*mainSplitter_);
    const int columns = SplitterExtent(*detailSplitter_);
    // A stored size never exceeds what the window gives (stored settings may hold anything).
    int listHeight = std::clamp(settings_.layout.listRowHeight, kListMinHeight,
                                std::max(rows - kDetailMinHeight, kListMinHeight));
    int fieldTableWidth = std::clamp(settings_.layout.fieldTableWidth, kFieldTableMinWidth,
                                     std::max(columns - kFieldTableMinWidth, kFieldTableMinWidth));
    if (settings_.firstRunLayout) {
        const FirstRunSizes sizes = ChooseFirstRunSizes(width(), height());
        // The list takes what the pane gives back or takes once the window lays it out.
        if (graphPane_->isVisible()) {
            resizeDocks({graphPane_}, {sizes.graphPaneHeight}, Qt::Vertical);
        }
        listHeight = std::max(rows - sizes.detailRowHeight, kListMinHeight);
        fieldTableWidth = sizes.fieldTableWidth;
    }
    mainSplitter_->setSizes({listHeight, std::max(rows - listHeight, kDetailMinHeight)});
    detailSplitter_->setSizes(
        {fieldTableWidth, std::max(columns - fieldTableWidth, kFieldTableMinWidth)});
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    const bool goAhead = document_.Recording() ? MaybeSaveWhileRecording() : MaybeSaveModified();
    if (!goAhead) {
        event->ignore();
        return;
    }
    decoding_->Cancel();
    event->accept();
}

bool CMainFrame::MaybeSaveWhileRecording() {
    if (!document_.Modified()) {
        const QString file = QFileInfo(DisplayPath(document_.RecordFilePath())).fileName();
        return prompts_.Confirm(this, QString::fromLatin1(kAppTitle),
                                QStringLiteral("A capture is recording. Closing the window stops "
                                               "it and finishes its record file %1.\n\n"
                                               "Close the window?")
                                    .arg(file));
    }
    switch (AskSaveChanges(DocumentTitle())) {
        case SaveChoice::kSave:
            // A record file is saved once it is finished.
            return capture_->FinishRecording() && SaveDocument();
        case SaveChoice::kDiscard:
            return true;
        case SaveChoice::kCancel:
            break;
    }
    return false;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            // One document at a time: the first dropped file is opened.
            OpenDocument(url.toLocalFile());
            return;
        }
    }
}
