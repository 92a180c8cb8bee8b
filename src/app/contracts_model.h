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

    // Replaces every row; times are shown relative to timeOrigin.
    void SetContracts(std::vector<Contract> contracts, int64_t timeOrigin);
    // The contract shown in a row, null outside the rows.
    const Contract* ContractAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QString CellText(const Contract& contract, int column) const;

    std::vector<Contract> contracts_;
    int64_t timeOrigin_ = 0;
};
