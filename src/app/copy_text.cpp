#include "app/copy_text.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStringList>

#include "app/views/pd_packet_list_view.h"
#include "app/views/pd_packet_tree_view.h"
#include "list/log_view.h"

namespace {

// The cells of one row left to right as the user sees them: dragged headers count by their
// position, hidden sections are left out.
QString RowText(const QAbstractItemModel& model, const QHeaderView& header, int row) {
    QStringList cells;
    for (int visual = 0; visual < header.count(); ++visual) {
        const int logical = header.logicalIndex(visual);
        if (logical >= 0 && !header.isSectionHidden(logical)) {
            cells << model.index(row, logical).data(Qt::DisplayRole).toString();
        }
    }
    return cells.join(QLatin1Char('\t'));
}

// The view itself when the focus sits in one of its children (the viewport, an editor).
template <typename View>
const View* Enclosing(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (const auto* view = qobject_cast<const View*>(widget)) {
            return view;
        }
    }
    return nullptr;
}

}  // namespace

QString SelectionText(const QWidget* focus) {
    if (const auto* list = Enclosing<CKVLogView>(focus)) {
        const int row = list->SelectedRow();
        return row >= 0 ? RowText(*list->model(), *list->header(), row) : QString();
    }
    if (const auto* table = Enclosing<CPDPacketListView>(focus)) {
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        return rows.isEmpty()
                   ? QString()
                   : RowText(*table->model(), *table->horizontalHeader(), rows.first().row());
    }
    if (const auto* tree = Enclosing<CPDPacketTreeView>(focus)) {
        const QTreeWidgetItem* item = tree->currentItem();
        return item != nullptr ? item->text(0) : QString();
    }
    return {};
}
