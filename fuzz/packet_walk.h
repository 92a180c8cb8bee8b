// Every text and field breakdown a view can ask of a packet, for the fuzz targets.
#pragma once

#include "pd/cc_packet.h"
#include "pd/columns/column_text.h"
#include "pd/description_text.h"
#include "pd/field_layout.h"
#include "pd/field_rows.h"
#include "pd/field_tree.h"

inline void WalkPacketTexts(const CCCPacket& packet) {
    for (int column = 0; column < kPacketColumnCount; ++column) {
        (void)ColumnText(packet, column, false);
        (void)ColumnText(packet, column, true);
        (void)ColumnSortKey(packet, column);
    }
    (void)FindInColumns(packet, "SOURCE", false);
    (void)DescriptionText(packet);
    (void)BuildFieldLayout(packet, false);
    (void)BuildFieldLayout(packet, true);
    const PacketTree tree = BuildPacketTree(packet);
    for (const PacketTreeNode& node : tree.nodes) {
        (void)NodeBitRange(packet, node.code);
        (void)FieldRowsForNode(packet, node.code);
    }
    (void)FieldRowsForNode(packet, 0);
}
