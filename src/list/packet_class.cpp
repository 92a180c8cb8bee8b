#include "list/packet_class.h"

bool UnitIntervalOutsideRange(float averageUnitInterval) {
    // Written so that NaN, which fails every comparison, lands outside.
    return !(averageUnitInterval >= kMinUnitIntervalUs &&
             averageUnitInterval <= kMaxUnitIntervalUs);
}

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
    return UnitIntervalOutsideRange(packet.averageUnitInterval);
}
