#include "app/views/pd_packet_list_view.h"

#include <QHeaderView>
#include <vector>

#include "pd/field_rows.h"

CPDPacketListView::CPDPacketListView(QWidget* parent)
    : QTableWidget(0, static_cast<int>(std::size(kFieldColumns)), parent) {
    setObjectName(QStringLiteral("fieldTable"));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < columnCount(); ++column) {
        setHorizontalHeaderItem(
            column, new QTableWidgetItem(QString::fromLatin1(kFieldColumns[column].title)));
        setColumnWidth(column, kFieldColumns[column].width);
    }
}

void CPDPacketListView::ShowNode(const CCCPacket* packet, uint32_t code) {
    setRowCount(0);
    if (packet == nullptr) {
        return;
    }
    const std::vector<FieldRow> rows = FieldRowsForNode(*packet, code);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const FieldRow& field = rows[row];
        const std::string* texts[] = {&field.offset,      &field.length, &field.name, &field.value,
                                      &field.description, &field.hex,    &field.ascii};
        for (int column = 0; column < static_cast<int>(std::size(texts)); ++column) {
            setItem(row, column, new QTableWidgetItem(QString::fromUtf8(*texts[column])));
        }
    }
}
