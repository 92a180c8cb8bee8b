#include "app/views/pd_packet_tree_view.h"

#include <QHeaderView>
#include <vector>

#include "pd/field_tree.h"

namespace {

constexpr int kCodeRole = Qt::UserRole;

}  // namespace

CPDPacketTreeView::CPDPacketTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("packetTree"));
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!rebuilding_) {
            emit nodeSelected(packet_,
                              current != nullptr ? current->data(0, kCodeRole).toUInt() : 0u);
        }
    });
}

uint32_t CPDPacketTreeView::SelectedCode() const {
    const QTreeWidgetItem* item = currentItem();
    return item != nullptr ? item->data(0, kCodeRole).toUInt() : 0u;
}

bool CPDPacketTreeView::SelectCode(uint32_t code) {
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        if ((*it)->data(0, kCodeRole).toUInt() == code) {
            setCurrentItem(*it);
            scrollToItem(*it);
            return true;
        }
    }
    return false;
}

void CPDPacketTreeView::ShowPacket(const CCCPacket* packet, int number) {
    if (packet != packet_ || number != number_) {
        packet_ = packet;
        number_ = number;
        Rebuild();
    }
    emit nodeSelected(packet_, SelectedCode());
}

void CPDPacketTreeView::Rebuild() {
    rebuilding_ = true;
    clear();
    if (packet_ == nullptr) {
        rebuilding_ = false;
        return;
    }
    const PacketTree tree = BuildPacketTree(*packet_, number_);
    // Parents by depth: a node hangs below the last node of the depth above it.
    std::vector<QTreeWidgetItem*> parents;
    QTreeWidgetItem* selected = nullptr;
    for (const PacketTreeNode& node : tree.nodes) {
        const size_t depth = static_cast<size_t>(std::max(node.depth, 0));
        QTreeWidgetItem* item = nullptr;
        if (depth == 0 || parents.empty()) {
            item = new QTreeWidgetItem(this);
            parents.assign(1, item);
        } else {
            QTreeWidgetItem* parent = parents[std::min(depth, parents.size()) - 1];
            item = new QTreeWidgetItem(parent);
            parents.resize(std::min(depth, parents.size()));
            parents.push_back(item);
        }
        item->setText(0, QString::fromUtf8(node.text));
        item->setData(0, kCodeRole, node.code);
        if (node.expanded) {
            item->setExpanded(true);
        }
        if (selected == nullptr && node.code == tree.selectedCode) {
            selected = item;
        }
    }
    // Parents open so that the message parts are visible at once.
    for (int i = 0; i < topLevelItemCount(); ++i) {
        topLevelItem(i)->setExpanded(true);
    }
    if (selected != nullptr) {
        setCurrentItem(selected);
        scrollToItem(selected);
    }
    rebuilding_ = false;
}
