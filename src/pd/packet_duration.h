// How long a packet's burst lasts on the CC line.
#pragma once

#include <cstdint>

#include "pd/cc_packet.h"

// Duration of a packet's burst in µs: totalTicks x clockDivider / 48.
inline int64_t PacketDuration(const CCCPacket& packet) {
    return static_cast<int64_t>(packet.totalTicks) * packet.clockDivider / 48;
}
