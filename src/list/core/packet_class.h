// Packet classes that the message list colours by (and that find and filter test).
#pragma once

#include "pd/cc_packet.h"

// A packet with edges whose preamble is missing, whose message (other than a reset) failed its
// CRC or lacks the EOP, or whose unit interval is out of range.
bool IsInvalidPacket(const CCCPacket& packet);

// A packet whose message bytes were assembled but failed the CRC check.
bool IsCrcError(const CCCPacket& packet);
