#include "list/packet_list_model.h"

#include <algorithm>

#include "list/core/row_style.h"
#include "pd/packet_column.h"

QString StoredCellText(const std::string& text) {
    QString cell = QString::fromUtf8(text);
    if (cell.size() > kCellMaxChars) {
        cell = cell.left(kCellKeepChars) + QStringLiteral("...") + cell.right(kCellKeepChars);
    }
    return cell;
}

CPacketListModel::CPacketListModel(CellFormatter formatter, QObject* parent)
    : QAbstractTableModel(parent), formatter_(formatter), cache_(kCachedRows) {}

void CPacketListModel::ForgetTexts() {
    ForgetTextsFrom(0);
}

void CPacketListModel::ForgetTextsFrom(int row) {
    for (CachedRow& cached : cache_) {
        if (cached.row >= row) {
            cached = CachedRow{};
        }
    }
}

void CPacketListModel::SetColumns(std::vector<int> columnIds) {
    beginResetModel();
    columnIds_ = std::move(columnIds);
    rows_.clear();
    ForgetTexts();
    endResetModel();
}

int CPacketListModel::ListColumnOf(int columnId) const {
    const auto it = std::find(columnIds_.begin(), columnIds_.end(), columnId);
    return it == columnIds_.end() ? -1 : static_cast<int>(it - columnIds_.begin());
}

void CPacketListModel::SetContext(ColumnContext context) {
    context_ = std::move(context);
    ForgetTexts();
    if (!rows_.empty() && !columnIds_.empty()) {
        emit dataChanged(index(0, 0), index(RowCount() - 1, columnCount() - 1));
    }
}

void CPacketListModel::ClearRows() {
    if (rows_.empty()) {
        return;
    }
    beginResetModel();
    rows_.clear();
    ForgetTexts();
    endResetModel();
}

void CPacketListModel::AppendRows(std::span<const PacketRow> rows) {
    if (rows.empty()) {
        return;
    }
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    endInsertRows();
}

void CPacketListModel::AppendRows(std::vector<PacketRow>&& rows) {
    if (!rows_.empty() || rows.empty()) {
        AppendRows(std::span<const PacketRow>(rows));
        return;
    }
    beginInsertRows(QModelIndex(), 0, static_cast<int>(rows.size()) - 1);
    rows_ = std::move(rows);
    // Room reserved for packets a filter then hid is given back.
    if (rows_.capacity() - rows_.size() > rows_.size() / 8) {
        rows_.shrink_to_fit();
    }
    endInsertRows();
}

void CPacketListModel::TruncateRows(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, RowCount() - 1);
    rows_.resize(static_cast<size_t>(row));
    ForgetTextsFrom(row);
    endRemoveRows();
}

const CCCPacket* CPacketListModel::PacketAt(int row) const {
    const PacketRow* shown = RowAt(row);
    return shown != nullptr ? shown->packet : nullptr;
}

const PacketRow* CPacketListModel::RowAt(int row) const {
    return row >= 0 && row < RowCount() ? &rows_[static_cast<size_t>(row)] : nullptr;
}

int CPacketListModel::RowOfPacketNumber(int packetNumber) const {
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [&](const PacketRow& row) { return row.number == packetNumber; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

int CPacketListModel::RowOfPacket(const CCCPacket* packet) const {
    if (packet == nullptr) {
        return -1;
    }
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [&](const PacketRow& row) { return row.packet == packet; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

void CPacketListModel::ReorderRows(const std::vector<int>& order) {
    if (order.size() != rows_.size()) {
        return;
    }
    std::vector<char> seen(rows_.size(), 0);
    for (int from : order) {
        if (from < 0 || from >= RowCount() || seen[from] != 0) {
            return;
        }
        seen[from] = 1;
    }
    emit layoutAboutToBeChanged();
    std::vector<PacketRow> rows(rows_.size());
    for (size_t k = 0; k < order.size(); ++k) {
        rows[k] = rows_[order[k]];
    }
    rows_ = std::move(rows);
    ForgetTexts();
    emit layoutChanged();
}

QString CPacketListModel::CellText(int row, int listColumn) const {
    if (row < 0 || row >= RowCount() || listColumn < 0 || listColumn >= columnCount()) {
        return {};
    }
    CachedRow& cached = SlotOf(row);
    if (cached.row != row) {
        cached.texts = std::make_unique<QString[]>(columnIds_.size());
        cached.row = row;
        const PacketRow& shown = rows_[row];
        for (size_t column = 0; column < columnIds_.size(); ++column) {
            cached.texts[column] = StoredCellText(formatter_(shown, columnIds_[column], context_));
        }
    }
    return cached.texts[listColumn];
}

int CPacketListModel::CachedRowCount() const {
    return static_cast<int>(std::count_if(cache_.begin(), cache_.end(),
                                          [](const CachedRow& cached) { return cached.row >= 0; }));
}

void CPacketListModel::InvalidateRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    if (CachedRow& cached = SlotOf(row); cached.row == row) {
        cached = CachedRow{};
    }
    if (!columnIds_.empty()) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

int CPacketListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int CPacketListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnIds_.size());
}

QVariant CPacketListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return CellText(index.row(), index.column());
}

QVariant CPacketListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return QString::fromUtf8(ColumnShortTitle(columnIds_[section]));
}
