// The main window's Checks and Contracts panes: the protocol and timing checks over the
// document, refreshed whenever the document changes (once a second while a capture runs, by
// walking only the packets added since), the error mark of the message list, and the wiring
// from a chosen finding or contract to the list and the graph.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/checks_panes.h"
#include "app/doc_events.h"
#include "app/main_frame.h"
#include "capture/document.h"
#include "check/check_walk.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "settings/settings_store.h"

namespace {

constexpr int kChecksRefreshMs = 1000;
// The width the Checks and Contracts panes get when the window first shows: a quarter of it.
constexpr int kChecksMinWidth = 320;
constexpr int kChecksMaxWidth = 560;

}  // namespace

void CMainFrame::BuildChecksPanes() {
    checksPane_ = new CDockableChecks(this);
    checksPane_->SetFilter(
        static_cast<ChecksFilter>(std::clamp(settings_.checksSeverityFilter, 0, 2)));
    contractsPane_ = new CDockableContracts(this);
    // Beside the list, the Checks over the Contracts: the bottom belongs to the graph.
    addDockWidget(Qt::RightDockWidgetArea, checksPane_);
    splitDockWidget(checksPane_, contractsPane_, Qt::Vertical);
    checksPane_->setVisible(settings_.checksPaneShown);
    contractsPane_->setVisible(settings_.contractsPaneShown);
    checksPane_->raise();

    auto* menu = new QMenu(QStringLiteral("&Checks"), this);
    QAction* showChecks = checksPane_->toggleViewAction();
    showChecks->setText(QStringLiteral("Show &Checks\tF8"));
    showChecks->setShortcut(QKeySequence(Qt::Key_F8));
    QAction* showContracts = contractsPane_->toggleViewAction();
    showContracts->setText(QStringLiteral("Show C&ontracts"));
    menu->addAction(showChecks);
    menu->addAction(showContracts);
    showChecks->setShortcutContext(Qt::WindowShortcut);
    addAction(showChecks);
    const QList<QAction*> menus = menuBar()->actions();
    menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.back(), menu);

    connect(checksPane_, &CDockableChecks::filterChanged, this, [this](ChecksFilter filter) {
        settings_.checksSeverityFilter = static_cast<int>(filter);
    });
    connect(checksPane_, &CDockableChecks::packetChosen, this, &CMainFrame::ShowCheckedPacket);
    connect(contractsPane_, &CDockableContracts::packetChosen, this,
            &CMainFrame::ShowCheckedPacket);
    // While a capture runs the document changes many times a second; the checks follow it once
    // a second, walking only the packets added since.
    checksTimer_ = new QTimer(this);
    checksTimer_->setSingleShot(true);
    checksTimer_->setInterval(kChecksRefreshMs);
    connect(checksTimer_, &QTimer::timeout, this, &CMainFrame::RefreshChecks);
    connect(events_, &CDocEvents::contentsChanged, this, [this] {
        if (!document_.Recording()) {
            RefreshChecks();
        } else if (!checksTimer_->isActive()) {
            checksTimer_->start();
        }
    });
    connect(events_, &CDocEvents::packetsChanged, this, [this](const PacketChange& change) {
        // Only packets appended after those walked leave the walk going; late packets merged
        // in, a trimmed front or an emptied document make it walk again from the start.
        if (change.kind != PacketChange::Kind::kAppended) {
            checkWalk_.reset();
        }
        if (change.kind == PacketChange::Kind::kReset) {
            RefreshChecks();
        }
    });
    connect(events_, &CDocEvents::timeOriginChanged, this, [this] { RefreshChecks(); });
    logView_->SetErrorMark(
        [this](const CCCPacket* packet) { return errorPackets_.contains(packet); });
    RefreshChecks();
}

void CMainFrame::RefreshChecks() {
    checksTimer_->stop();
    DocumentSnapshot snapshot = document_.Snapshot();
    const bool restarted = !checkWalk_ || checkWalk_->Walked() > snapshot.packets.size();
    if (restarted) {
        checkWalk_ = std::make_unique<CheckWalk>(CheckOptions{});
    }
    checkWalk_->Advance(snapshot, snapshot.packets.size());
    // The Contracts pane keeps the contracts that ended; the report lists those still open.
    std::vector<Contract> ended = checkWalk_->TakeEndedContracts();
    CheckReport report = checkWalk_->Report(snapshot);
    errorPackets_.clear();
    for (const Finding& finding : report.findings) {
        if (finding.severity == Severity::kError && !finding.packets.empty()) {
            const auto number = static_cast<size_t>(finding.packets.front());
            if (number < snapshot.packets.size()) {
                errorPackets_.insert(snapshot.packets[number].get());
            }
        }
    }
    // The panes keep the report's lines; they make their texts when they are shown.
    checksPane_->ShowFindings(std::move(report.findings), snapshot.timeOrigin);
    if (restarted) {
        contractsPane_->ShowContracts(std::move(ended), std::move(report.contracts),
                                      snapshot.timeOrigin);
    } else {
        contractsPane_->AppendContracts(std::move(ended), std::move(report.contracts),
                                        snapshot.timeOrigin);
    }
    logView_->viewport()->update();
}

void CMainFrame::ShowCheckedPacket(qint64 packetNumber) {
    PacketPtr packet = document_.PacketAt(static_cast<size_t>(std::max<qint64>(packetNumber, 0)));
    if (!packet) {
        return;
    }
    const int row = logView_->PacketModel()->RowOfPacket(packet.get());
    if (row >= 0) {
        logView_->SelectRow(row);
        logView_->EnsureRowVisible(row);
    }
    graphView_->CentreOnTime(packet->relTime - document_.TimeOrigin());
}

void CMainFrame::FitChecksPanes() {
    if (checksPane_->isVisibleTo(this) || contractsPane_->isVisibleTo(this)) {
        const int paneWidth = std::clamp(width() / 4, kChecksMinWidth, kChecksMaxWidth);
        resizeDocks({checksPane_}, {paneWidth}, Qt::Horizontal);
    }
}

void CMainFrame::StoreChecksLayout() {
    settings_.checksPaneShown = checksPane_->isVisibleTo(this);
    settings_.contractsPaneShown = contractsPane_->isVisibleTo(this);
    settings_.checksSeverityFilter = static_cast<int>(checksPane_->Filter());
}
