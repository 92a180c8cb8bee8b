// CPacketSearch: the find and display filter commands of the message list. It owns the find
// criteria and the display filter criteria for the window's lifetime, the filterEnabled switch,
// and the five commands (Find, Find Next, Find Prev, "Display Filter Settings", "Disable Display
// Filters") as actions for the menu and the toolbar (the window gives them their icons).
#pragma once

#include <QObject>

#include "capture/packet_statistics.h"
#include "list/core/find_criteria.h"

class CKVDoc;
class CKVLogView;
class Prompts;
class QAction;
class QWidget;

class CPacketSearch : public QObject {
    Q_OBJECT

  public:
    // The document, the view and the prompts must outlive this object; dialogs are parented to
    // window and run, like the "not found" notice, through prompts.
    CPacketSearch(CKVDoc& document, CKVLogView& view, QWidget* window, Prompts& prompts);

    QAction* FindAction() const { return find_; }
    QAction* FindNextAction() const { return findNext_; }
    QAction* FindPrevAction() const { return findPrev_; }
    QAction* FilterSettingsAction() const { return filterSettings_; }
    QAction* DisableFilterAction() const { return disableFilter_; }

    // Find: the dialog with the document's statistics; on OK repaint and search.
    void Find();
    // Find Next / Find Prev; "Message Not Found." when nothing matches.
    bool FindNext(bool forward);
    // "Display Filter Settings": the dialog; on OK the filter is on and the list rebuilt.
    void EditFilter();
    // "Disable Display Filters": toggles the filter and rebuilds the list.
    void ToggleFilter();

    FindCriteria& FindDialogCriteria() { return findCriteria_; }
    FindCriteria& FilterDialogCriteria() { return filterCriteria_; }
    bool FilterEnabled() const { return filterEnabled_; }
    // A copy of the document's occurrence counters, taken under its lock.
    PacketStatistics StatisticsSnapshot() const;
    // The find text highlight and the matcher follow the find criteria again (after a change).
    void ApplyFindCriteria();

  private:
    int RunDialog(FindCriteria& criteria);
    void UpdateFilterCheck();

    CKVDoc& document_;
    CKVLogView& view_;
    QWidget* window_;
    Prompts& prompts_;
    FindCriteria findCriteria_ = FindDefaults();
    FindCriteria filterCriteria_ = FilterStartValues();
    bool filterEnabled_ = false;
    QAction* find_ = nullptr;
    QAction* findNext_ = nullptr;
    QAction* findPrev_ = nullptr;
    QAction* filterSettings_ = nullptr;
    QAction* disableFilter_ = nullptr;
};
