#include "list/core/packet_class.h"

#include "pd/bmc_decoder.h"

bool IsInvalidPacket(const CCCPacket& packet) {
    if (packet.edgeCount <= 0) {
        return false;
    }
    if (!packet.preambleFound) {
        return true;
    }
    const bool reset =
        packet.orderedSetKind == kOsHardReset || packet.orderedSetKind == kOsCableReset;
    if (!reset && (!packet.crcOk || !packet.eopFound)) {
        return true;
    }
    return UnitIntervalOutOfRange(packet);
}

bool IsCrcError(const CCCPacket& packet) {
    return packet.bytesAssembled && !packet.crcOk;
}
