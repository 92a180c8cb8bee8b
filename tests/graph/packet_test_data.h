// Packets for the graph tests, built from the fields the packet strip reads: a valid SOP
// message on port 1 or a Hard Reset, at a chosen time and with a chosen burst length.
#pragma once

#include <cstdint>
#include <memory>

#include "pd/cc_packet.h"

// A burst of `duration` µs: totalTicks x clockDivider / 48 with the divider 48.
inline PacketPtr ValidPacket(int64_t relTime, int32_t duration) {
    auto packet = std::make_shared<CCCPacket>();
    packet->relTime = relTime;
    packet->edgeCount = 100;
    packet->clockDivider = 48;
    packet->totalTicks = duration;
    packet->preambleFound = true;
    packet->crcOk = true;
    packet->eopFound = true;
    packet->averageUnitInterval = 3.33f;
    packet->orderedSetKind = kOsSop;
    packet->port = 1;
    return packet;
}

inline PacketPtr HardResetPacket(int64_t relTime) {
    PacketPtr packet = ValidPacket(relTime, 20);
    packet->orderedSetKind = kOsHardReset;
    packet->eopFound = false;
    return packet;
}
