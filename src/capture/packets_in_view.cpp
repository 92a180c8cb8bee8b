#include "capture/packets_in_view.h"

#include <algorithm>

#include "capture/saturating_math.h"

PacketIndexRange PacketsInView(const std::vector<PacketPtr>& packets, int64_t timeOrigin,
                               int64_t from, int64_t to, int64_t longest) {
    const auto startOf = [timeOrigin](const PacketPtr& packet) {
        return SaturatingSub(packet->relTime, timeOrigin);
    };
    const int64_t reach = SaturatingSub(from, longest);
    const auto first = std::partition_point(packets.begin(), packets.end(),
                                            [&](const PacketPtr& p) { return startOf(p) < reach; });
    const auto end = std::partition_point(first, packets.end(),
                                          [&](const PacketPtr& p) { return startOf(p) <= to; });
    return {static_cast<size_t>(first - packets.begin()),
            static_cast<size_t>(end - packets.begin())};
}
