// Bus idle time before each packet, as the message list, zoduz-cli decode and the export show
// it: walking the packets in document order, the idle time of a packet is its start minus the
// end of the packet before it (the first packet's is its start), on the time-origin scale.
// Packets hidden from a view still count: the next packet's idle time runs from their end.
#pragma once

#include <cstdint>
#include <vector>

#include "pd/cc_packet.h"

class IdleTimeTracker {
  public:
    explicit IdleTimeTracker(int64_t timeOrigin = 0) : timeOrigin_(timeOrigin) {}

    // The idle time before the packet, which then becomes the previous packet.
    int64_t Next(const CCCPacket& packet);

  private:
    int64_t timeOrigin_;
    int64_t previousPacketEnd_ = 0;
};

// The idle times of all packets in order.
std::vector<int64_t> IdleTimes(const std::vector<PacketPtr>& packets, int64_t timeOrigin);
