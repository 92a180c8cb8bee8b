#include "list/packet_search.h"

#include <QAction>

#include "capture/document.h"
#include "list/core/packet_match.h"
#include "list/log_view.h"
#include "list/packet_find_dlg.h"
#include "prompts/prompts.h"

CPacketSearch::CPacketSearch(CKVDoc& document, CKVLogView& view, QWidget* window, Prompts& prompts)
    : QObject(window), document_(document), view_(view), window_(window), prompts_(prompts) {
    // Texts and keys come from the window's command table when it registers the actions.
    find_ = new QAction(this);
    connect(find_, &QAction::triggered, this, &CPacketSearch::Find);
    findNext_ = new QAction(this);
    connect(findNext_, &QAction::triggered, this, [this] { FindNext(true); });
    findPrev_ = new QAction(this);
    connect(findPrev_, &QAction::triggered, this, [this] { FindNext(false); });
    filterSettings_ = new QAction(this);
    connect(filterSettings_, &QAction::triggered, this, &CPacketSearch::EditFilter);
    disableFilter_ = new QAction(this);
    disableFilter_->setCheckable(true);
    connect(disableFilter_, &QAction::triggered, this, &CPacketSearch::ToggleFilter);
    UpdateFilterCheck();

    view_.SetFilter([this](const PacketRow& row) {
        return filterEnabled_ && !ShownByFilter(filterCriteria_, row, view_.Context());
    });
    ApplyFindCriteria();
}

void CPacketSearch::ApplyFindCriteria() {
    view_.SetFindMatcher(
        [this](const PacketRow& row) { return MatchFind(findCriteria_, row, view_.Context()); },
        QString::fromStdString(ContainingText(findCriteria_)));
}

PacketStatistics CPacketSearch::StatisticsSnapshot() const {
    return document_.Statistics();
}

int CPacketSearch::RunDialog(FindCriteria& criteria) {
    // A copy of the counters: the dialog reads them while the document may count new packets.
    const PacketStatistics statistics = StatisticsSnapshot();
    CPacketFindDlg dialog(criteria, &statistics, window_);
    return prompts_.RunDialog(dialog);
}

void CPacketSearch::Find() {
    if (RunDialog(findCriteria_) != QDialog::Accepted) {
        ApplyFindCriteria();  // the buttons may have changed the criteria
        return;
    }
    ApplyFindCriteria();
    view_.RepaintVisibleRows();
    FindNext(findCriteria_.direction == FindDirection::kForward);
}

bool CPacketSearch::FindNext(bool forward) {
    if (view_.FindMessage(forward)) {
        return true;
    }
    prompts_.ShowNotice(window_, window_->windowTitle(), QStringLiteral("Message Not Found."));
    return false;
}

void CPacketSearch::EditFilter() {
    if (RunDialog(filterCriteria_) != QDialog::Accepted) {
        return;
    }
    filterEnabled_ = true;
    UpdateFilterCheck();
    view_.RebuildList();
}

void CPacketSearch::ToggleFilter() {
    filterEnabled_ = !filterEnabled_;
    UpdateFilterCheck();
    view_.RebuildList();
}

void CPacketSearch::UpdateFilterCheck() {
    disableFilter_->setChecked(!filterEnabled_);
}
