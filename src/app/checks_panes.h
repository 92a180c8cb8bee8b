// The "Checks" and "Contracts" docking panes: the findings of the protocol and timing checks
// with a severity filter, and one line per explicit contract. Choosing a line names its packet.
#pragma once

#include <QDockWidget>
#include <cstdint>
#include <vector>

#include "app/findings_model.h"
#include "check/finding.h"

class CContractsModel;
class QComboBox;
class QTreeView;

class CDockableChecks : public QDockWidget {
    Q_OBJECT

  public:
    explicit CDockableChecks(QWidget* parent = nullptr);

    // Lists the findings the filter lets through; times relative to timeOrigin. The chosen
    // line and the scroll place stay where they were.
    void ShowFindings(std::vector<Finding> findings, int64_t timeOrigin);
    ChecksFilter Filter() const;
    void SetFilter(ChecksFilter filter);
    int RowCount() const;
    QTreeView* List() const { return list_; }
    const CFindingsModel& Model() const { return *model_; }

  signals:
    // A finding was chosen: its first packet (the one to blame).
    void packetChosen(qint64 packetNumber);
    void filterChanged(ChecksFilter filter);

  private:
    // The rule and the time whole; the text takes the rest and its tooltip has all of it.
    void FitColumns();

    QComboBox* filterBox_;
    CFindingsModel* model_;
    QTreeView* list_;
    bool refilling_ = false;
};

class CDockableContracts : public QDockWidget {
    Q_OBJECT

  public:
    explicit CDockableContracts(QWidget* parent = nullptr);

    // Lists the contracts that ended, then those the capture's end closes; times relative to
    // timeOrigin. AppendContracts keeps the contracts that ended before and lists those that
    // ended since after them. Either keeps the chosen line and the scroll place.
    void ShowContracts(std::vector<Contract> ended, std::vector<Contract> open, int64_t timeOrigin);
    void AppendContracts(std::vector<Contract> ended, std::vector<Contract> open,
                         int64_t timeOrigin);
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
