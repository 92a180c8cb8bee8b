// The rows of the Checks pane: the findings of the checks that a severity filter lets through,
// one per row. The model keeps the findings themselves; their texts are made when a view asks.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <cstdint>
#include <vector>

#include "check/finding.h"

// Which findings the Checks pane lists ("ChecksSeverityFilter").
enum class ChecksFilter : int { kErrors = 0, kErrorsAndWarnings = 1, kAll = 2 };

class CFindingsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column : int { kSeverityColumn, kRuleColumn, kTimeColumn, kTextColumn, kColumnCount };
    // The packet a row names (the first one a finding blames, -1 for none), on every column.
    static constexpr int kPacketRole = Qt::UserRole;

    explicit CFindingsModel(QObject* parent = nullptr);

    // Replaces every row; times are shown relative to timeOrigin.
    void SetFindings(std::vector<Finding> findings, int64_t timeOrigin);
    ChecksFilter Filter() const { return filter_; }
    void SetFilter(ChecksFilter filter);
    // The finding shown in a row, null outside the rows.
    const Finding* FindingAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    bool Passes(const Finding& finding) const;
    // The findings the filter lets through, by their index; all of them need no list.
    void ListShown();

    std::vector<Finding> findings_;
    std::vector<int> shown_;  // empty while the filter lets everything through
    int64_t timeOrigin_ = 0;
    ChecksFilter filter_ = ChecksFilter::kAll;
    std::array<QIcon, 3> icons_;  // by severity
};
