// Packet classes that the message list colours by (and that find and filter test).
#pragma once

#include "pd/cc_packet.h"

// The unit interval range of a sound BMC packet, microseconds.
inline constexpr float kMinUnitIntervalUs = 3.03f;
inline constexpr float kMaxUnitIntervalUs = 3.70f;

// True for a value outside 3.03-3.70 us; a value that is not a number counts as outside.
bool UnitIntervalOutsideRange(float averageUnitInterval);

// A packet with edges whose preamble is missing, whose message (other than a reset) failed its
// CRC or lacks the EOP, or whose unit interval is out of range.
bool IsInvalidPacket(const CCCPacket& packet);
