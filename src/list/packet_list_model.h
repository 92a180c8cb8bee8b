// Rows of the message list: one packet and its idle time per row and one column per shown column
// id. Cell texts are formatted when a row is asked for; the texts of the rows formatted last (at
// least a screen of them) are kept until the rows, columns or context change, so a long capture
// costs a pointer, a number and an idle time per row however much of it has been looked at.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "columns/column_text.h"
#include "columns/packet_row.h"

// Text of one cell: row, column id, column context.
using CellFormatter = std::string (*)(const PacketRow& row, int column,
                                      const ColumnContext& context);

// A cell text as stored: texts longer than 260 characters keep their first and last 120
// characters around "...".
QString StoredCellText(const std::string& text);

class CPacketListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit CPacketListModel(CellFormatter formatter, QObject* parent = nullptr);

    // Column ids by list column index; drops all rows.
    void SetColumns(std::vector<int> columnIds);
    const std::vector<int>& ColumnIds() const { return columnIds_; }
    // List column index of a column id, -1 when it is not shown.
    int ListColumnOf(int columnId) const;

    // What the cell texts read besides their rows; forgets every formatted text.
    void SetContext(ColumnContext context);
    const ColumnContext& Context() const { return context_; }

    void ClearRows();
    void AppendRows(std::span<const PacketRow> rows);
    // The same, taking over the vector when there are no rows yet (a capture being opened), so
    // that its rows are never held twice.
    void AppendRows(std::vector<PacketRow>&& rows);
    // Drops the rows from row on.
    void TruncateRows(int row);
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // The packet of a row, nullptr outside the rows.
    const CCCPacket* PacketAt(int row) const;
    // Row `row`; null when there is none.
    const PacketRow* RowAt(int row) const;
    // Row showing the packet with this number, -1 when none.
    int RowOfPacketNumber(int packetNumber) const;
    // Row showing this packet, -1 when none.
    int RowOfPacket(const CCCPacket* packet) const;
    const std::vector<PacketRow>& Rows() const { return rows_; }

    // Reorders the rows: new row k shows what old row order[k] showed. The order must be a
    // permutation of the rows; anything else is ignored.
    void ReorderRows(const std::vector<int>& order);

    // The stored text of a cell, formatted with the rest of its row unless the row's texts are
    // still kept; "" outside the table.
    QString CellText(int row, int listColumn) const;
    // Rows whose texts are kept.
    int CachedRowCount() const;
    // Forgets the formatted texts of one row (after its packet changed).
    void InvalidateRow(int row);
    // How many rows' texts are kept at most: far more than a screen holds.
    static constexpr int kCachedRows = 512;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // The texts of one formatted row; row -1 for none.
    struct CachedRow {
        int row = -1;
        std::unique_ptr<QString[]> texts;
    };
    // Where a row's texts are kept: consecutive rows never share a slot, so the rows on screen
    // stay formatted while the user scrolls through the rest.
    CachedRow& SlotOf(int row) const { return cache_[static_cast<size_t>(row) % cache_.size()]; }
    void ForgetTexts();
    // Forgets the texts of the rows from `row` on.
    void ForgetTextsFrom(int row);

    CellFormatter formatter_;
    ColumnContext context_;
    std::vector<int> columnIds_;
    std::vector<PacketRow> rows_;
    mutable std::vector<CachedRow> cache_;
};
