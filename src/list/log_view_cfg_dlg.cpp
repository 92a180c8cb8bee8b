#include "list/log_view_cfg_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct CfgListColumn {
    const char* title;
    int width;
};
// The dialog list's own columns ("Desctiption" is the established caption).
constexpr CfgListColumn kCfgListColumns[] = {
    {"Order", 50}, {"Title", 100}, {"Desctiption", 200}, {"Width", 50}, {"Show/Hide", 300},
};

}  // namespace

CLogViewCfgDlg::CLogViewCfgDlg(ColumnLayout& records, QWidget* parent)
    : QDialog(parent), records_(records), state_(MakeColumnCfgState(records)) {
    setWindowTitle(QStringLiteral("PD Messages Column Settings"));

    list_ = new QTableWidget(kPacketColumnCount, std::size(kCfgListColumns), this);
    list_->setObjectName(QStringLiteral("columnList"));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    for (int column = 0; column < static_cast<int>(std::size(kCfgListColumns)); ++column) {
        list_->setHorizontalHeaderItem(
            column, new QTableWidgetItem(QString::fromLatin1(kCfgListColumns[column].title)));
        list_->setColumnWidth(column, kCfgListColumns[column].width);
    }

    up_ = new QPushButton(QStringLiteral("Up"), this);
    down_ = new QPushButton(QStringLiteral("Down"), this);
    show_ = new QPushButton(QStringLiteral("Show"), this);
    hide_ = new QPushButton(QStringLiteral("Hide"), this);
    defaults_ = new QPushButton(QStringLiteral("Load Defaults"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // Enter in the list must not confirm the dialog by accident while rows are being moved.
    for (QPushButton* button : {up_, down_, show_, hide_, defaults_}) {
        button->setAutoDefault(false);
    }

    auto* side = new QVBoxLayout;
    side->addWidget(up_);
    side->addWidget(down_);
    side->addSpacing(12);
    side->addWidget(show_);
    side->addWidget(hide_);
    side->addSpacing(12);
    side->addWidget(defaults_);
    side->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);
    resize(880, 640);

    connect(up_, &QPushButton::clicked, this, [this] { RunButton(MoveSelectedUp); });
    connect(down_, &QPushButton::clicked, this, [this] { RunButton(MoveSelectedDown); });
    connect(show_, &QPushButton::clicked, this,
            [this] { RunButton([](ColumnCfgState& s) { SetSelectedShown(s, true); }); });
    connect(hide_, &QPushButton::clicked, this,
            [this] { RunButton([](ColumnCfgState& s) { SetSelectedShown(s, false); }); });
    connect(defaults_, &QPushButton::clicked, this, [this] { RunButton(LoadDefaultColumns); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CLogViewCfgDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLogViewCfgDlg::reject);

    Refill();
}

void CLogViewCfgDlg::RecordSelection() {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    SetSelectedRows(state_, rows);
}

template <typename Operation>
void CLogViewCfgDlg::RunButton(Operation operation) {
    RecordSelection();
    operation(state_);
    Refill();
}

void CLogViewCfgDlg::Refill() {
    PartitionShownFirst(state_);
    list_->clearSelection();
    for (int row = 0; row < kPacketColumnCount; ++row) {
        const int id = state_.orderList[row];
        const bool shown = state_.shown[id] != 0;
        const QString texts[] = {
            shown ? QString::number(row) : QString(),
            QString::fromUtf8(ColumnShortTitle(id)),
            QString::fromUtf8(ColumnLongTitle(id)),
            QString::number(state_.width[id]),
            shown ? QStringLiteral("Show") : QStringLiteral("Hide"),
        };
        for (int column = 0; column < static_cast<int>(std::size(texts)); ++column) {
            QTableWidgetItem* item = list_->item(row, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                list_->setItem(row, column, item);
            }
            item->setText(texts[column]);
        }
    }
    QItemSelection selection;
    for (int row : SelectedRows(state_)) {
        selection.select(list_->model()->index(row, 0),
                         list_->model()->index(row, list_->columnCount() - 1));
    }
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    for (int row : SelectedRows(state_)) {
        list_->scrollToItem(list_->item(row, 0));
    }
    list_->setFocus();
}

void CLogViewCfgDlg::accept() {
    ApplyColumnCfg(state_, records_);
    QDialog::accept();
}
