#include "app/checks_panes.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/contracts_model.h"
#include "columns/column_text.h"

namespace {

constexpr int kPacketRole = Qt::UserRole;

QString TimeText(int64_t time, int64_t timeOrigin) {
    return QString::fromStdString(FormatTime(time - timeOrigin));
}

QIcon SeverityIcon(Severity severity) {
    QStyle* style = QApplication::style();
    switch (severity) {
        case Severity::kError:
            return style->standardIcon(QStyle::SP_MessageBoxCritical);
        case Severity::kWarning:
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case Severity::kInfo:
            break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

QTreeWidget* MakeList(const QStringList& titles) {
    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setHeaderLabels(titles);
    list->header()->setStretchLastSection(true);
    return list;
}

// Where the user is in a list that is filled anew: the chosen row and the scroll position, so
// that a live capture adding lines does not take them away.
struct ListPlace {
    int currentRow = -1;
    int scroll = 0;
};

ListPlace PlaceOf(const QTreeWidget& list) {
    return {list.indexOfTopLevelItem(list.currentItem()), list.verticalScrollBar()->value()};
}

void Restore(QTreeWidget& list, const ListPlace& place) {
    if (place.currentRow >= 0 && place.currentRow < list.topLevelItemCount()) {
        list.setCurrentItem(list.topLevelItem(place.currentRow));
    }
    list.verticalScrollBar()->setValue(place.scroll);
}

QTreeView* MakeView(QAbstractItemModel* model) {
    auto* list = new QTreeView;
    list->setModel(model);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(true);
    return list;
}

// Calls chosen with the packet of a line the user chose (activated or made current), unless
// the pane is refilling.
template <typename Chosen>
void ConnectChoice(QTreeView* list, const bool& refilling, int packetRole, Chosen chosen) {
    auto choose = [&refilling, packetRole, chosen](const QModelIndex& index) {
        if (!refilling && index.isValid()) {
            chosen(index.data(packetRole).toLongLong());
        }
    };
    QObject::connect(list, &QAbstractItemView::activated, list, choose);
    QObject::connect(list->selectionModel(), &QItemSelectionModel::currentChanged, list, choose);
}

// Refills a list through `refill` and puts the chosen row and the scroll position back, so
// that a live capture adding lines does not take them away.
template <typename Refill>
void RefillKeepingPlace(QTreeView& list, bool& refilling, Refill refill) {
    const int currentRow = list.currentIndex().row();
    const int scroll = list.verticalScrollBar()->value();
    refilling = true;
    refill();
    // The rows are laid out now, so that the scroll bar has its new range.
    list.doItemsLayout();
    if (currentRow >= 0 && currentRow < list.model()->rowCount()) {
        list.setCurrentIndex(list.model()->index(currentRow, 0));
    }
    list.verticalScrollBar()->setValue(scroll);
    refilling = false;
}

}  // namespace

CDockableChecks::CDockableChecks(QWidget* parent) : QDockWidget(QStringLiteral("Checks"), parent) {
    setObjectName(QStringLiteral("ChecksPane"));
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    filterBox_ = new QComboBox;
    filterBox_->addItems({QStringLiteral("Errors"), QStringLiteral("Errors and warnings"),
                          QStringLiteral("All findings")});
    filterBox_->setCurrentIndex(static_cast<int>(filter_));
    layout->addWidget(filterBox_);
    list_ = MakeList(
        {QString(), QStringLiteral("Rule"), QStringLiteral("Time"), QStringLiteral("Finding")});
    list_->setColumnWidth(0, 28);
    layout->addWidget(list_);
    setWidget(body);
    connect(filterBox_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        SetFilter(static_cast<ChecksFilter>(index));
        emit filterChanged(filter_);
    });
    connect(list_, &QTreeWidget::itemActivated, this, &CDockableChecks::OnItemChosen);
    connect(list_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { OnItemChosen(item); });
}

void CDockableChecks::SetFilter(ChecksFilter filter) {
    if (filter == filter_) {
        return;
    }
    filter_ = filter;
    filterBox_->setCurrentIndex(static_cast<int>(filter));
    Fill();
}

void CDockableChecks::ShowFindings(const std::vector<Finding>& findings, int64_t timeOrigin) {
    findings_ = findings;
    timeOrigin_ = timeOrigin;
    Fill();
}

int CDockableChecks::RowCount() const {
    return list_->topLevelItemCount();
}

void CDockableChecks::Fill() {
    const QSignalBlocker blocker(list_);
    const ListPlace place = PlaceOf(*list_);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const Finding& finding : findings_) {
        if (static_cast<int>(finding.severity) > static_cast<int>(filter_)) {
            continue;
        }
        auto* item = new QTreeWidgetItem;
        item->setIcon(0, SeverityIcon(finding.severity));
        item->setToolTip(0, QString::fromLatin1(SeverityName(finding.severity)));
        item->setText(1, QString::fromStdString(finding.rule));
        item->setText(2, TimeText(finding.time, timeOrigin_));
        item->setText(3, QString::fromStdString(finding.text));
        item->setToolTip(3, item->text(3));
        item->setData(0, kPacketRole,
                      finding.packets.empty() ? qint64{-1} : qint64{finding.packets.front()});
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    // The rule and the time whole; the text takes the rest and its tooltip has all of it.
    list_->resizeColumnToContents(1);
    list_->resizeColumnToContents(2);
    Restore(*list_, place);
}

void CDockableChecks::OnItemChosen(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    const qint64 packet = item->data(0, kPacketRole).toLongLong();
    if (packet >= 0) {
        emit packetChosen(packet);
    }
}

CDockableContracts::CDockableContracts(QWidget* parent)
    : QDockWidget(QStringLiteral("Contracts"), parent) {
    setObjectName(QStringLiteral("ContractsPane"));
    model_ = new CContractsModel(this);
    list_ = MakeView(model_);
    list_->setColumnWidth(CContractsModel::kTimeColumn, 130);
    setWidget(list_);
    ConnectChoice(list_, refilling_, CContractsModel::kPacketRole,
                  [this](qint64 packet) { emit packetChosen(packet); });
}

void CDockableContracts::ShowContracts(std::vector<Contract> contracts, int64_t timeOrigin) {
    RefillKeepingPlace(*list_, refilling_,
                       [&] { model_->SetContracts(std::move(contracts), timeOrigin); });
}

int CDockableContracts::RowCount() const {
    return model_->rowCount();
}
