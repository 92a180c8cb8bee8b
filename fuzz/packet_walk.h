// Every text and field breakdown a view can ask of a packet, for the fuzz targets.
#pragma once

#include "columns/column_text.h"
#include "pd/cc_packet.h"
#include "pd/description_text.h"
#include "pd/field_layout.h"
#include "pd/field_rows.h"
#include "pd/field_tree.h"

// context supplies the time origin and sample lookup of the packet's document, if any; the
// texts are walked with both current directions.
inline void WalkPacketTexts(const PacketRow& row, ColumnContext context) {
    const CCCPacket& packet = *row.packet;
    for (int column = 0; column < kPacketColumnCount; ++column) {
        context.reverseCurrent = false;
        (void)ColumnText(row, column, context);
        context.reverseCurrent = true;
        (void)ColumnText(row, column, context);
        (void)ColumnSortKey(row, column, context);
    }
    (void)FindInColumns(row, "SOURCE", context);
    (void)DescriptionText(packet);
    (void)BuildFieldLayout(packet, false);
    (void)BuildFieldLayout(packet, true);
    const PacketTree tree = BuildPacketTree(packet, row.number);
    for (const PacketTreeNode& node : tree.nodes) {
        (void)NodeBitRange(packet, node.code);
        (void)FieldRowsForNode(packet, node.code);
    }
    (void)FieldRowsForNode(packet, 0);
}
