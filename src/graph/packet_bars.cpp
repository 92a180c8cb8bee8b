#include "graph/packet_bars.h"

#include <algorithm>
#include <cstdio>

#include "capture/saturating_math.h"
#include "list/core/packet_class.h"
#include "pd/message_header.h"

namespace {

constexpr RgbColour kMarkerABar{255, 128, 0};
constexpr RgbColour kMarkerBBar{255, 0, 128};
constexpr RgbColour kSelectedBar{100, 100, 255};
constexpr RgbColour kMarkedBar{200, 200, 0};
constexpr RgbColour kInvalidBar{255, 0, 0};
constexpr RgbColour kResetBar{255, 255, 0};
constexpr RgbColour kPort1Bar{0, 0, 255};
constexpr RgbColour kPort2Bar{0, 100, 100};
constexpr RgbColour kPort3Bar{100, 100, 0};

std::string NumberAndName(const char* prefix, size_t index, const CCCPacket& packet) {
    char number[32];
    std::snprintf(number, sizeof number, "%s#%zu ", prefix, index);
    return number + MessageName(packet);
}

int64_t StartOf(const CCCPacket& packet, int64_t timeOrigin) {
    return SaturatingSub(packet.relTime, timeOrigin);
}

// Whether `later`, painted after `earlier`, covers every pixel that `earlier` paints: the same
// band, at least its columns, and nothing of `earlier` drawn outside the band.
bool Covers(const PacketBar& later, const PacketBar& earlier) {
    return earlier.label.empty() && earlier.flag == BarFlag::None && later.left <= earlier.left &&
           earlier.left + earlier.width <= later.left + later.width;
}

}  // namespace

RgbColour PacketBarColour(const CCCPacket& packet, bool marked,
                          const PacketHighlights& highlights) {
    if (&packet == highlights.markerA) {
        return kMarkerABar;
    }
    if (&packet == highlights.markerB) {
        return kMarkerBBar;
    }
    if (&packet == highlights.selected) {
        return kSelectedBar;
    }
    if (marked) {
        return kMarkedBar;
    }
    if (IsInvalidPacket(packet)) {
        return kInvalidBar;
    }
    if (IsReset(packet)) {
        return kResetBar;
    }
    switch (packet.port) {
        case 1:
            return kPort1Bar;
        case 2:
            return kPort2Bar;
        case 3:
            return kPort3Bar;
        default:
            return kInvalidBar;
    }
}

std::vector<PacketBar> PlacePacketBars(const PacketBarInput& input) {
    const GraphViewState& state = input.state;
    const GraphLayout& layout = input.layout;
    const PacketHighlights& highlights = input.highlights;
    std::vector<PacketBar> bars;
    int flagRow = 0;
    const auto& packets = input.document.packets;
    for (size_t i = 0; i < packets.size(); ++i) {
        if (!packets[i]) {
            break;
        }
        const CCCPacket& packet = *packets[i];
        if (packet.edgeCount < 2) {
            continue;
        }
        const int64_t start = StartOf(packet, input.document.timeOrigin);
        const int64_t duration = PacketDuration(packet);
        if (SaturatingAdd(start, duration) < state.leftTime) {
            continue;
        }
        if (start > state.rightTime) {
            break;
        }
        PacketBar bar;
        bar.packet = &packet;
        const int x =
            TruncToInt(static_cast<float>(SaturatingSub(start, state.leftTime)) * state.timeScale);
        bar.left = static_cast<int>(
            std::clamp<int64_t>(int64_t{layout.graphLeft} + x, INT32_MIN / 2, INT32_MAX / 2));
        bar.width = std::max(1, TruncToInt(static_cast<float>(duration) * state.timeScale));
        bar.colour = PacketBarColour(packet, input.document.marks.Contains(packet), highlights);
        const size_t number = input.document.firstPacketNumber + i;
        if (bar.width > kPacketLabelMinWidth) {
            bar.label = NumberAndName("", number, packet);
        }
        const char* prefix = nullptr;
        if (&packet == highlights.markerA) {
            bar.flag = BarFlag::MarkerA;
            prefix = "A ";
        } else if (&packet == highlights.markerB) {
            bar.flag = BarFlag::MarkerB;
            prefix = "B ";
        } else if (&packet == highlights.selected) {
            bar.flag = BarFlag::Selected;
            prefix = "";
        }
        if (prefix != nullptr) {
            bar.flagTop = layout.graphTop + state.fontHeight * flagRow + 1;
            bar.flagLabel = NumberAndName(prefix, number, packet);
            flagRow = (flagRow + 1) % kFlaggedLabelRows;
        }
        // With a whole capture in view thousands of bars share a pixel column; those the next
        // bar paints over leave no trace, so they are not kept.
        while (!bars.empty() && Covers(bar, bars.back())) {
            bars.pop_back();
        }
        bars.push_back(std::move(bar));
    }
    return bars;
}
