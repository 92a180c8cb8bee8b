// The main window's graph pane: the "Graph" dock with its CGraphView, the Graph menu, and the
// wiring between the graph, the document, the message list and the capture timer.
#include <QAction>
#include <QFontDialog>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>

#include "app/capture_controller.h"
#include "app/doc_events.h"
#include "app/main_frame.h"
#include "capture/document.h"
#include "graph/view/dockable_graph.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "settings/qt/log_font_qfont.h"
#include "settings/settings_store.h"

namespace {

// The pane's size when it is created.
constexpr int kGraphPaneWidth = 630;
constexpr int kGraphPaneHeight = 290;
// What the menu bar, toolbar, status bar and the client area's rows need at least.
constexpr int kClientAreaReserve = 410;

// Texts and keys of the graph commands come from the command table (RegisterCommands).
QAction* Toggle(QObject* parent, bool on) {
    auto* action = new QAction(parent);
    action->setCheckable(true);
    action->setChecked(on);
    return action;
}

}  // namespace

void CMainFrame::BuildGraphPane() {
    graphView_ = new CGraphView(settings_.graphAppearance, settings_.graphShown);
    graphView_->SetGraphFont(FontFromLogFont(settings_.graphFont));
    graphView_->SetSelectedPacketSource(
        [this]() -> const CCCPacket* { return logView_->SelectedPacket(); });
    graphPane_ = new CDockableGraph(graphView_, this);
    graphPane_->resize(kGraphPaneWidth, kGraphPaneHeight);
    addDockWidget(Qt::BottomDockWidgetArea, graphPane_);
    // The pane keeps its created height when the window lays out its client area, as far as
    // the window leaves room for the control strip, the list and the details above it.
    const int paneHeight =
        std::min(kGraphPaneHeight, settings_.layout.windowHeight - kClientAreaReserve);
    if (paneHeight > 0) {
        resizeDocks({graphPane_}, {paneHeight}, Qt::Vertical);
    }

    showGraphAction_ = graphPane_->toggleViewAction();
    showGraphAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(showGraphAction_);
    measuringPointsAction_ = Toggle(this, settings_.graphShowPlots);
    connect(measuringPointsAction_, &QAction::toggled, this, [this](bool on) {
        settings_.graphShowPlots = on;
        graphView_->SetMeasuringPointsShown(on);
    });
    showPdPacketsAction_ = Toggle(this, settings_.graphShowPDPackets);
    connect(showPdPacketsAction_, &QAction::toggled, this, [this](bool on) {
        settings_.graphShowPDPackets = on;
        graphView_->SetShowPdPackets(on);
    });
    graphAutoScrollAction_ = Toggle(this, settings_.graphAutoScroll);
    connect(graphAutoScrollAction_, &QAction::toggled, this,
            [this](bool on) { settings_.graphAutoScroll = on; });
    graphFontAction_ = new QAction(this);
    connect(graphFontAction_, &QAction::triggered, this, [this] {
        QFontDialog dialog(graphView_->GraphFont(), this);
        dialog.setWindowTitle(QStringLiteral("Font Settings"));
        if (prompts_.RunDialog(dialog) == QDialog::Accepted) {
            const QFont font = dialog.selectedFont();
            graphView_->SetGraphFont(font);
            settings_.graphFont = LogFontFromFont(font);
        }
    });
    connect(showGraphAction_, &QAction::toggled, this, [this] { UpdateGraphCommandStates(); });
}

void CMainFrame::ConnectGraphPane() {
    BuildGraphMenu();
    // While a capture records, the tick decodes, lets the graph follow (which refits what
    // grew beyond the fitted ranges) and only then refreshes the views: new extents taken in
    // the decoding would hide the growth from the follow.
    connect(events_, &CDocEvents::contentsChanged, graphView_, [this] {
        if (!document_.Recording()) {
            graphView_->OnDocumentChanged();
        }
    });
    connect(capture_, &CCaptureController::viewsRefreshed, graphView_,
            &CGraphView::OnDocumentChanged);
    connect(events_, &CDocEvents::packetsChanged, graphView_, [this](const PacketChange& change) {
        if (change.kind == PacketChange::Kind::kReset) {
            graphView_->update();
        }
    });
    connect(events_, &CDocEvents::timeOriginChanged, graphView_, &CGraphView::ShiftTimes);
    connect(logView_, &CKVLogView::markersChanged, graphView_, qOverload<>(&QWidget::update));
    connect(logView_, &CKVLogView::selectedPacketChanged, graphView_,
            qOverload<>(&QWidget::update));
    connect(logView_, &CKVLogView::packetActivated, graphView_, [this](const CCCPacket* packet) {
        graphView_->CentreOnTime(packet->relTime - document_.TimeOrigin());
    });
    connect(graphView_, &CGraphView::markersChanged, this, [this] {
        logView_->RepaintVisibleRows();
        UpdateTitle();
        UpdateCommandStates();
    });
    connect(graphView_, &CGraphView::packetPicked, this, [this](const CCCPacket* packet) {
        const int row = logView_->PacketModel()->RowOfPacket(packet);
        if (row >= 0) {
            logView_->SelectRow(row);
            logView_->EnsureRowVisible(row);
        }
    });
    connect(graphView_, &CGraphView::contextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = graphView_->BuildContextMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    });
    connect(capture_, &CCaptureController::followCapture, graphView_,
            [this](qint64 graphTime) { graphView_->FollowCapture(graphTime); });
    graphReattach_ = [this] { RebindGraph(); };
    RebindGraph();
}

void CMainFrame::BuildGraphMenu() {
    auto* graph = new QMenu(QStringLiteral("&Graph"), this);
    graph->addAction(showGraphAction_);
    graph->addSeparator();
    graph->addAction(measuringPointsAction_);
    graph->addAction(showPdPacketsAction_);
    graph->addAction(graphAutoScrollAction_);
    graph->addSeparator();
    graph->addAction(graphFontAction_);
    // Before Help, the last menu.
    const QList<QAction*> menus = menuBar()->actions();
    menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.back(), graph);
}

void CMainFrame::RebindGraph() {
    graphView_->AttachDocument(&document_, settings_.vbusCurrDirReverse);
    graphView_->SetShowPdPackets(settings_.graphShowPDPackets);
    graphView_->SetMeasuringPointsShown(settings_.graphShowPlots);
    UpdateGraphCommandStates();
}

bool CMainFrame::Rebound(bool done) {
    if (done) {
        RebindGraph();
    }
    return done;
}

void CMainFrame::UpdateGraphCommandStates() {
    const bool shown = showGraphAction_->isChecked();
    measuringPointsAction_->setEnabled(shown);
    showPdPacketsAction_->setEnabled(shown);
    graphAutoScrollAction_->setEnabled(shown);
    graphFontAction_->setEnabled(graphView_->Document() != nullptr);
}

void CMainFrame::StoreGraphLayout() {
    settings_.graphShown = graphView_->ShownFlags();
}
