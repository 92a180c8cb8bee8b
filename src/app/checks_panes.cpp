#include "app/checks_panes.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "check/check_units.h"
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

QString Optional(const std::optional<int64_t>& us) {
    return us ? QString::fromStdString(MillisText(*us)) : QString();
}

QString OptionalMv(const std::optional<int>& mv) {
    return mv ? QString::number(*mv / 1000.0, 'f', 3) + QStringLiteral(" V") : QString();
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
    list_ = MakeList({QStringLiteral("Time"), QStringLiteral("PDO"), QStringLiteral("Voltage"),
                      QStringLiteral("Current"), QStringLiteral("Accept"), QStringLiteral("PS_RDY"),
                      QStringLiteral("Transition"), QStringLiteral("Settle"),
                      QStringLiteral("Overshoot"), QStringLiteral("Final"), QStringLiteral("End"),
                      QStringLiteral("Between")});
    list_->setColumnWidth(0, 130);
    setWidget(list_);
    auto choose = [this](QTreeWidgetItem* item) {
        if (item != nullptr) {
            emit packetChosen(item->data(0, kPacketRole).toLongLong());
        }
    };
    connect(list_, &QTreeWidget::itemActivated, this, choose);
    connect(list_, &QTreeWidget::currentItemChanged, this, choose);
}

void CDockableContracts::ShowContracts(const std::vector<Contract>& contracts, int64_t timeOrigin) {
    const QSignalBlocker blocker(list_);
    const ListPlace place = PlaceOf(*list_);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const Contract& c : contracts) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, TimeText(c.time, timeOrigin));
        item->setText(
            1, QStringLiteral("#%1 %2").arg(c.position).arg(QString::fromStdString(c.pdoType)));
        item->setText(2, c.voltage > 0
                             ? QString::number(c.voltage / 1000.0, 'f', 2) + QStringLiteral(" V")
                             : QString());
        item->setText(3, c.power > 0 ? QStringLiteral("%1 mW").arg(c.power)
                                     : QStringLiteral("%1 mA").arg(c.current));
        item->setText(4, Optional(c.acceptLatency));
        item->setText(5, Optional(c.psRdyLatency));
        item->setText(6, Optional(c.transitionStart));
        item->setText(7, Optional(c.settleTime));
        item->setText(8, c.overshoot ? QStringLiteral("%1 mV").arg(*c.overshoot) : QString());
        item->setText(9, OptionalMv(c.finalVoltage));
        item->setText(10, QString::fromLatin1(ContractEndName(c.end)));
        QStringList events;
        for (const std::string& event : c.events) {
            events.push_back(QString::fromStdString(event));
        }
        item->setText(11, events.join(QStringLiteral(", ")));
        item->setData(0, kPacketRole, qint64{c.requestPacket});
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    Restore(*list_, place);
}

int CDockableContracts::RowCount() const {
    return list_->topLevelItemCount();
}
