// CMainFrame, the main window: menu bar, "Standard" toolbar, status bar message pane, the
// message list above the field table and the tree. The File commands (New, Open, Save, Save As,
// recent files, dropped files) are CDocumentCommands; the window asks their questions and
// shows their results.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "app/commands/document_commands.h"
#include "capture/file_result.h"
#include "prompts/prompts.h"
#include "tools/sigrok/sr_import.h"

class CCaptureController;
class QTimer;
class CCommandRouter;
class CDecodeSession;
class CDockableGraph;
class CDockableChecks;
class CDockableContracts;
class CheckWalk;
struct CCCPacket;
class CDocEvents;
class CGraphView;
class CStatusPanes;
struct CaptureSummary;
class CKVCtrlView;
class CKVDoc;
class CKVLogView;
class CPDPacketListView;
class CPDPacketTreeView;
class CPacketSearch;
class CRecentFileList;
class CTolerantDecoding;
class CToolCommands;
class QAction;
class QMenu;
class QSplitter;
struct SettingsStore;

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    // The document, the settings, the recent-file list and the prompts belong to the
    // application object and outlive the window. Every question, message, chooser and modal
    // dialog of the window and of the parts it creates goes through prompts.
    CMainFrame(CKVDoc& document, SettingsStore& settings, CRecentFileList& recentFiles,
               Prompts& prompts, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // File commands (CDocumentCommands with the window's prompts). Each returns whether it went
    // ahead.
    bool NewDocument();
    bool OpenDocument(const QString& path);  // asks to save a modified document first
    bool SaveDocument();
    bool SaveDocumentAs();
    bool SaveDocumentTo(const QString& path);
    // The "save changes?" question for a modified document; false when the user cancels or the
    // save fails.
    bool MaybeSaveModified();

    // Writes the window size, splitter positions, list font, column layout and view switches
    // into the settings (they reach permanent storage when the application exits).
    void StoreLayout();

    void ApplyListFont(const QFont& font);
    void ShowColumnSettings();
    // F6 / Shift+F6: the keyboard focus moves to the next / previous of the message list, the
    // field table and the tree, wrapping around.
    void ActivateNextPane(int step);
    // Ctrl+C / Ctrl+Insert: the selection of the focused view goes to the clipboard.
    void CopySelection();

    // Where the title and Save point: the file last opened or saved, "" for a new document.
    QString DocumentPath() const;
    CDocumentCommands& Commands() { return commands_; }
    QString StatusMessage() const;
    CKVCtrlView* CtrlView() const { return ctrlView_; }
    CKVLogView* LogView() const { return logView_; }
    CPacketSearch* PacketSearch() const { return packetSearch_; }
    CPDPacketListView* FieldTable() const { return fieldTable_; }
    CPDPacketTreeView* PacketTree() const { return packetTree_; }
    QSplitter* MainSplitter() const { return mainSplitter_; }
    QSplitter* DetailSplitter() const { return detailSplitter_; }
    QAction* SaveAction() const { return saveAction_; }
    QAction* SaveAsAction() const { return saveAsAction_; }
    // File > Export and Stitch Record Files, and the automatic export.
    CToolCommands* Tools() const { return tools_; }
    Prompts& UserPrompts() const { return prompts_; }

    // Live capture: the Record menu, the capture timer and the analyzer.
    CCaptureController* Capture() const { return capture_; }
    // Every command of the menus and the toolbar by its identifier.
    CCommandRouter* Router() const { return router_; }
    CStatusPanes* StatusPanes() const { return panes_; }
    // The status bar message pane.
    void ShowStatus(const QString& text);
    // The capture state text of each timer tick; held back while a file decodes, whose
    // progress the pane shows instead.
    void ShowCaptureStatus(const QString& text);
    // Opening a large record file decodes it from the event loop: whether that is going on,
    // Cancel (Esc), and the rest decoded at once (the screenshot, the tests).
    bool Decoding() const;
    void CancelDecoding();
    void WaitForDecoding();
    // New, Open, Save and Save As follow the document and whether a capture records.
    void UpdateCommandStates();
    // A capture emptied the document: it is "Untitled" until its record file is attached.
    void ForgetDocumentPath();
    // A capture's record file became the document's file (recent files, title, Save).
    void AdoptRecordFile(const QString& path);

    // "VBUS Current Direction Setting": the dialog, and on OK the setting stored, the list
    // rebuilt with the new current signs and the graph re-attached.
    void ShowCurrentDirectionSettings();
    // The VBUS current direction setting changed.
    void ApplyCurrentDirection();
    // Re-attaches the graph to the document after a change of current direction.
    using GraphReattach = std::function<void()>;
    void SetGraphReattach(GraphReattach reattach) { graphReattach_ = std::move(reattach); }

    // The "Graph" pane and its view; the Graph menu's commands.
    CDockableGraph* GraphPane() const { return graphPane_; }
    CDockableChecks* ChecksPane() const { return checksPane_; }
    CDockableContracts* ContractsPane() const { return contractsPane_; }
    // Runs the checks over the document as it is now (the panes call it on every change).
    void RefreshChecks();
    CGraphView* GraphView() const { return graphView_; }
    QAction* ShowGraphAction() const { return showGraphAction_; }
    QAction* MeasuringPointsAction() const { return measuringPointsAction_; }
    QAction* ShowPdPacketsAction() const { return showPdPacketsAction_; }
    QAction* GraphAutoScrollAction() const { return graphAutoScrollAction_; }
    QAction* GraphFontAction() const { return graphFontAction_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildActions();
    void RegisterCommands();
    void OnDecodeFinished(const FileResult& result, bool cancelled);
    // The question of a close while a capture records: it says that the capture stops and its
    // record file is finished; for a modified document a Yes stops the capture, so that the
    // finished record file can be saved. False when the window stays.
    bool MaybeSaveWhileRecording();
    CaptureSummary Summary() const;
    // The size of the document's record file (0 when it is empty or missing).
    uint64_t RecordFileLength() const;
    void BuildMenus();
    void BuildToolBar();
    void BuildClientArea();
    // The rows and columns at the first show: as stored, or the first-run layout.
    void ApplyStartLayout();
    void BuildCtrlView();
    void ConnectDocument();
    void ConnectCapture();
    void RebuildRecentMenu();
    void UpdateTitle();
    void ShowError(const QString& text);
    // "Save changes to <title>?" with Yes, No and Cancel.
    SaveChoice AskSaveChanges(const QString& title);
    QString DocumentTitle() const;
    bool LoadPath(const QString& path);
    DocumentCommandHooks CommandHooks();
    // Title and command states after a File command; whether it went ahead.
    bool Finished(const CommandOutcome& outcome);

    // --- The graph pane (main_frame_graph.cpp) ---
    // The pane, its view and the graph commands, before the commands are routed.
    void BuildGraphPane();
    // The Graph menu and the wiring to the document, the list and the capture timer, once
    // they exist.
    void ConnectGraphPane();
    void BuildGraphMenu();
    // Binds the graph view to the document again (new contents, new current direction).
    void RebindGraph();
    // A File command that went ahead bound a new document: the graph follows; returns done.
    bool Rebound(bool done);
    void UpdateGraphCommandStates();
    void StoreGraphLayout();
    // The Checks and Contracts panes (main_frame_checks.cpp).
    void BuildChecksPanes();
    void ShowCheckedPacket(qint64 packetNumber);
    void StoreChecksLayout();
    // A shown Checks pane gets room for its rule, time and the start of its text.
    void FitChecksPanes();

    CKVDoc& document_;
    SettingsStore& settings_;
    CRecentFileList& recentFiles_;
    Prompts& prompts_;
    CDocEvents* events_ = nullptr;
    CDocumentCommands commands_;
    CCaptureController* capture_ = nullptr;
    GraphReattach graphReattach_;
    CCommandRouter* router_ = nullptr;
    CStatusPanes* panes_ = nullptr;
    CDecodeSession* decoding_ = nullptr;
    std::unique_ptr<TemporaryImport> sessionImport_;  // the opened session's record file
    bool loading_ = false;  // inside a File command's load, which reports its own errors
    bool startLayoutDone_ = false;

    CKVCtrlView* ctrlView_ = nullptr;
    CKVLogView* logView_ = nullptr;
    CToolCommands* tools_ = nullptr;
    CPDPacketListView* fieldTable_ = nullptr;
    CPDPacketTreeView* packetTree_ = nullptr;
    CPacketSearch* packetSearch_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QSplitter* detailSplitter_ = nullptr;

    QAction* newAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* autoScrollAction_ = nullptr;
    QAction* columnSettingsAction_ = nullptr;
    QAction* fontSettingsAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* directionAction_ = nullptr;
    QAction* nextPaneAction_ = nullptr;
    QAction* previousPaneAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* cancelDecodeAction_ = nullptr;
    QAction* statusBarAction_ = nullptr;
    QMenu* toolbarsMenu_ = nullptr;
    CTolerantDecoding* tolerant_ = nullptr;
    CDockableGraph* graphPane_ = nullptr;
    CDockableChecks* checksPane_ = nullptr;
    CDockableContracts* contractsPane_ = nullptr;
    std::unique_ptr<CheckWalk> checkWalk_;
    QTimer* checksTimer_ = nullptr;
    // Packets to blame first for an error finding: the message list marks their rows.
    std::unordered_set<const CCCPacket*> errorPackets_;
    CGraphView* graphView_ = nullptr;
    QAction* showGraphAction_ = nullptr;
    QAction* measuringPointsAction_ = nullptr;
    QAction* showPdPacketsAction_ = nullptr;
    QAction* graphAutoScrollAction_ = nullptr;
    QAction* graphFontAction_ = nullptr;
    std::vector<QAction*> recentActions_;
    QAction* recentSeparator_ = nullptr;
};
