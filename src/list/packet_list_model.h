// Rows of the message list: one packet and its idle time per row and one column per shown column
// id. Cell texts are formatted when a cell is first asked for and kept until the rows, columns or
// context change, so a long capture costs a pointer, an idle time and a text pointer per row
// until its rows are looked at.
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

    // The stored text of a cell, formatted on first use; "" outside the table.
    QString CellText(int row, int listColumn) const;
    // Rows whose texts have been formatted so far.
    int CachedRowCount() const;
    // Forgets the formatted texts of one row (after its packet changed) or of all rows.
    void InvalidateRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    CellFormatter formatter_;
    ColumnContext context_;
    std::vector<int> columnIds_;
    std::vector<PacketRow> rows_;
    mutable std::vector<std::unique_ptr<QString[]>> cache_;
};
