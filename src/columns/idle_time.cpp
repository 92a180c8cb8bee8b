#include "columns/idle_time.h"

#include "pd/bmc_decoder.h"

int64_t IdleTimeTracker::Next(const CCCPacket& packet) {
    const int64_t start = packet.relTime - timeOrigin_;
    const int64_t idle = start - previousPacketEnd_;
    previousPacketEnd_ = start + PacketLengthUs(packet);
    return idle;
}

std::vector<int64_t> IdleTimes(const std::vector<PacketPtr>& packets, int64_t timeOrigin) {
    IdleTimeTracker tracker(timeOrigin);
    std::vector<int64_t> times;
    times.reserve(packets.size());
    for (const PacketPtr& packet : packets) {
        times.push_back(packet != nullptr ? tracker.Next(*packet) : 0);
    }
    return times;
}
