// The packets a graph view of a time window can show. A packet's bar starts at its graph time
// (relTime minus the time origin) and lasts its burst, so a bar that starts before the window
// may still reach into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pd/cc_packet.h"

// Packets [first, end) of a time-ordered array.
struct PacketIndexRange {
    size_t first = 0;
    size_t end = 0;

    bool operator==(const PacketIndexRange&) const = default;
};

// From the first packet starting at or after from - longest (longest: the longest burst in the
// array, see PacketDuration) to the last starting at or before to; graph times. Found by
// bisection.
PacketIndexRange PacketsInView(const std::vector<PacketPtr>& packets, int64_t timeOrigin,
                               int64_t from, int64_t to, int64_t longest);
