// The "Checks" and "Contracts" docking panes: the findings of the protocol and timing checks
// with a severity filter, and one line per explicit contract. Choosing a line names its packet.
#pragma once

#include <QDockWidget>
#include <cstdint>
#include <vector>

#include "check/finding.h"

class CContractsModel;
class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class QTreeView;

// Which findings the Checks pane lists ("ChecksSeverityFilter").
enum class ChecksFilter : int { kErrors = 0, kErrorsAndWarnings = 1, kAll = 2 };

class CDockableChecks : public QDockWidget {
    Q_OBJECT

  public:
    explicit CDockableChecks(QWidget* parent = nullptr);

    // Lists the findings the filter lets through; times relative to timeOrigin.
    void ShowFindings(const std::vector<Finding>& findings, int64_t timeOrigin);
    ChecksFilter Filter() const { return filter_; }
    void SetFilter(ChecksFilter filter);
    int RowCount() const;
    QTreeWidget* List() const { return list_; }

  signals:
    // A finding was chosen: its first packet (the one to blame).
    void packetChosen(qint64 packetNumber);
    void filterChanged(ChecksFilter filter);

  private:
    void Fill();
    void OnItemChosen(QTreeWidgetItem* item);

    QComboBox* filterBox_;
    QTreeWidget* list_;
    ChecksFilter filter_ = ChecksFilter::kAll;
    std::vector<Finding> findings_;
    int64_t timeOrigin_ = 0;
};

class CDockableContracts : public QDockWidget {
    Q_OBJECT

  public:
    explicit CDockableContracts(QWidget* parent = nullptr);

    // The chosen line and the scroll place stay where they were.
    void ShowContracts(std::vector<Contract> contracts, int64_t timeOrigin);
    int RowCount() const;
    QTreeView* List() const { return list_; }
    const CContractsModel& Model() const { return *model_; }

  signals:
    // A contract was chosen: its Request packet.
    void packetChosen(qint64 packetNumber);

  private:
    CContractsModel* model_;
    QTreeView* list_;
    bool refilling_ = false;
};
