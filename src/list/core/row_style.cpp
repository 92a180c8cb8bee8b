#include "list/core/row_style.h"

#include <algorithm>
#include <cmath>

#include "list/core/packet_class.h"
#include "pd/message_header.h"

RowColour RowBackground(const CCCPacket& packet, int row, const RowRoles& roles) {
    if (roles.selected) {
        return {100, 100, 255};
    }
    if (roles.markerA) {
        return {255, 128, 0};
    }
    if (roles.markerB) {
        return {255, 0, 128};
    }
    if (IsInvalidPacket(packet)) {
        return {255, 0, 0};
    }
    if (IsReset(packet)) {
        return {255, 255, 0};
    }
    if (roles.marked) {
        return {200, 200, 0};
    }
    if (packet.recovered) {
        return {200, 240, 200};  // decoded by the tolerant pass only
    }
    return row % 2 != 0 ? RowColour{255, 255, 255} : RowColour{240, 240, 240};
}

std::optional<RowColour> RowTextColour(const CCCPacket& packet) {
    std::optional<RowColour> colour;
    if (packet.edgeCount == 0) {
        colour = RowColour{0, 0, 100};
    }
    switch (packet.port) {
        case 1:
            return RowColour{0, 0, 255};
        case 2:
            return RowColour{0, 100, 100};
        case 3:
            return RowColour{100, 100, 0};
        case -1:
            return RowColour{255, 0, 0};
        default:
            return colour;
    }
}

namespace {

constexpr double kMinTextContrast = 3.0;

double Channel(int value) {
    const double c = std::clamp(value, 0, 255) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const RowColour& colour) {
    return 0.2126 * Channel(colour.red) + 0.7152 * Channel(colour.green) +
           0.0722 * Channel(colour.blue);
}

}  // namespace

double ContrastRatio(const RowColour& a, const RowColour& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

RowColour ReadableTextColour(const RowColour& text, const RowColour& background) {
    if (ContrastRatio(text, background) >= kMinTextContrast) {
        return text;
    }
    const RowColour black{0, 0, 0};
    const RowColour white{255, 255, 255};
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}
