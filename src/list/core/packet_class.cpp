#include "list/core/packet_class.h"

#include "pd/packet_faults.h"

bool IsInvalidPacket(const CCCPacket& packet) {
    return FindPacketFaults(packet).Any();
}

bool IsCrcError(const CCCPacket& packet) {
    return packet.bytesAssembled && !packet.crcOk;
}
