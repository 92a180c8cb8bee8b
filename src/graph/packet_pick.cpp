#include "graph/packet_pick.h"

#include "capture/saturating_math.h"

std::optional<size_t> PickPacket(const DocumentSnapshot& document, const GraphViewState& state,
                                 int64_t t) {
    if (t < state.dataStartTime || t > state.dataEndTime || document.packets.empty()) {
        return std::nullopt;
    }
    const std::optional<size_t> before = document.FindPacket(t);
    const size_t after = before ? *before + 1 : 0;
    if (after >= document.packets.size()) {
        return before;
    }
    if (!before) {
        return after;
    }
    const auto startOf = [&](size_t i) {
        return SaturatingSub(document.packets[i]->relTime, document.timeOrigin);
    };
    const int64_t toEarlier = SaturatingSub(t, startOf(*before));
    const int64_t toLater = SaturatingSub(startOf(after), t);
    return toLater < toEarlier ? after : *before;
}
