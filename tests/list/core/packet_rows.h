// Hand-made packets for the message list core tests.
#pragma once

#include "pd/cc_packet.h"

// A sound SOP GoodCRC from the sink: every class test passes.
inline CCCPacket GoodPacket() {
    CCCPacket packet;
    packet.edgeCount = 200;
    packet.preambleFound = true;
    packet.crcOk = true;
    packet.eopFound = true;
    packet.bytesAssembled = true;
    packet.averageUnitInterval = 3.33f;
    packet.orderedSetKind = kOsSop;
    packet.messageBytes.Assign({0x41, 0x00});  // GoodCRC, revision 3.0
    packet.messageByteCount = 2;
    packet.port = 2;
    return packet;
}
