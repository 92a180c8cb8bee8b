// One row of the message list: its packet and the row's presentation state.
#pragma once

#include <cstdint>

#include "pd/cc_packet.h"

struct PacketRow {
    CCCPacket* packet = nullptr;
    int64_t idleTime = 0;  // bus idle before the packet (IdleTimeTracker), in microseconds
};
