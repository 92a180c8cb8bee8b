// The rows of the Contracts pane: one explicit contract per row, what was asked for and how the
// source delivered it. The model keeps the contracts themselves; their texts are made when a
// view asks.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "check/finding.h"

class CContractsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column : int {
        kTimeColumn,
        kPdoColumn,
        kVoltageColumn,
        kCurrentColumn,
        kAcceptColumn,
        kPsRdyColumn,
        kTransitionColumn,
        kSettleColumn,
        kOvershootColumn,
        kFinalColumn,
        kEndColumn,
        kBetweenColumn,
        kColumnCount
    };
    // The contract's Request packet, on every column.
    static constexpr int kPacketRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row: the contracts that ended, then those the capture's end closes
    // (still open while it grows). Times are shown relative to timeOrigin.
    void SetContracts(std::vector<Contract> ended, std::vector<Contract> open, int64_t timeOrigin);
    // The capture grew: the contracts that ended since go after those that ended before, and
    // replace the open ones with those open now.
    void AppendContracts(std::vector<Contract> ended, std::vector<Contract> open,
                         int64_t timeOrigin);
    // The contract shown in a row, null outside the rows.
    const Contract* ContractAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QString CellText(const Contract& contract, int column) const;

    std::vector<Contract> ended_;
    std::vector<Contract> open_;
    int64_t timeOrigin_ = 0;
};
