// CPDPacketTreeView: the message parts of the packet selected in the message list (packet,
// headers, data objects, extended data, reassembled block). Selecting a node chooses the bit
// range that the field table shows.
#pragma once

#include <QTreeWidget>
#include <cstdint>

#include "pd/cc_packet.h"

class CPDPacketTreeView : public QTreeWidget {
    Q_OBJECT

  public:
    explicit CPDPacketTreeView(QWidget* parent = nullptr);

    // Rebuilds the tree when the packet differs from the one shown (null empties it); either
    // way the field table is told the packet and the selected node again.
    // The packet and its number (its index in the document); null for none.
    void ShowPacket(const CCCPacket* packet, int number);
    const CCCPacket* Packet() const { return packet_; }
    // Code of the selected node; 0 when none is selected.
    uint32_t SelectedCode() const;
    // Selects the node with this code; false when the tree has none.
    bool SelectCode(uint32_t code);

  signals:
    void nodeSelected(const CCCPacket* packet, uint32_t code);

  private:
    void Rebuild();

    const CCCPacket* packet_ = nullptr;
    int number_ = -1;
    bool rebuilding_ = false;
};
