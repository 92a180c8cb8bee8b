// CPDPacketListView: the field table, bit field by bit field, of the tree node selected in
// CPDPacketTreeView: offset, length, field name, value, description, hex and ASCII.
#pragma once

#include <QTableWidget>
#include <cstdint>

#include "pd/cc_packet.h"

class CPDPacketListView : public QTableWidget {
    Q_OBJECT

  public:
    explicit CPDPacketListView(QWidget* parent = nullptr);

    // Refills the table with the rows of the node; a null packet empties it.
    void ShowNode(const CCCPacket* packet, uint32_t code);
};
