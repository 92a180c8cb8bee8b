#include "app/checks_panes.h"

#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/contracts_model.h"

namespace {

QTreeView* MakeList(QAbstractItemModel* model) {
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
    model_ = new CFindingsModel(this);
    filterBox_ = new QComboBox;
    filterBox_->addItems({QStringLiteral("Errors"), QStringLiteral("Errors and warnings"),
                          QStringLiteral("All findings")});
    filterBox_->setCurrentIndex(static_cast<int>(model_->Filter()));
    layout->addWidget(filterBox_);
    list_ = MakeList(model_);
    list_->setColumnWidth(CFindingsModel::kSeverityColumn, 28);
    layout->addWidget(list_);
    setWidget(body);
    connect(filterBox_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        SetFilter(static_cast<ChecksFilter>(index));
        emit filterChanged(Filter());
    });
    ConnectChoice(list_, refilling_, CFindingsModel::kPacketRole, [this](qint64 packet) {
        if (packet >= 0) {
            emit packetChosen(packet);
        }
    });
}

ChecksFilter CDockableChecks::Filter() const {
    return model_->Filter();
}

void CDockableChecks::SetFilter(ChecksFilter filter) {
    if (filter == model_->Filter()) {
        return;
    }
    filterBox_->setCurrentIndex(static_cast<int>(filter));
    RefillKeepingPlace(*list_, refilling_, [&] { model_->SetFilter(filter); });
    FitColumns();
}

void CDockableChecks::ShowFindings(std::vector<Finding> findings, int64_t timeOrigin) {
    RefillKeepingPlace(*list_, refilling_,
                       [&] { model_->SetFindings(std::move(findings), timeOrigin); });
    FitColumns();
}

int CDockableChecks::RowCount() const {
    return model_->rowCount();
}

void CDockableChecks::FitColumns() {
    list_->resizeColumnToContents(CFindingsModel::kRuleColumn);
    list_->resizeColumnToContents(CFindingsModel::kTimeColumn);
}

CDockableContracts::CDockableContracts(QWidget* parent)
    : QDockWidget(QStringLiteral("Contracts"), parent) {
    setObjectName(QStringLiteral("ContractsPane"));
    model_ = new CContractsModel(this);
    list_ = MakeList(model_);
    list_->setColumnWidth(CContractsModel::kTimeColumn, 130);
    setWidget(list_);
    ConnectChoice(list_, refilling_, CContractsModel::kPacketRole,
                  [this](qint64 packet) { emit packetChosen(packet); });
}

void CDockableContracts::ShowContracts(std::vector<Contract> ended, std::vector<Contract> open,
                                       int64_t timeOrigin) {
    RefillKeepingPlace(*list_, refilling_, [&] {
        model_->SetContracts(std::move(ended), std::move(open), timeOrigin);
    });
}

void CDockableContracts::AppendContracts(std::vector<Contract> ended, std::vector<Contract> open,
                                         int64_t timeOrigin) {
    RefillKeepingPlace(*list_, refilling_, [&] {
        model_->AppendContracts(std::move(ended), std::move(open), timeOrigin);
    });
}

int CDockableContracts::RowCount() const {
    return model_->rowCount();
}
