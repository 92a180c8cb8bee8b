// One packet as the list and the texts show it: the packet, its number and the bus idle before
// it. The number is the packet's index in the document when the row was made; the packet itself
// does not carry it, since merged and trimmed packets renumber those after them while other
// threads may be reading.
#pragma once

#include <cstdint>

#include "pd/cc_packet.h"

struct PacketRow {
    const CCCPacket* packet = nullptr;
    int32_t number = -1;
    int64_t idleTime = 0;  // bus idle before the packet (IdleTimeTracker), in microseconds
};
