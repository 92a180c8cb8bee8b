// The colours of one message list row and the stored form of its cell texts.
#pragma once

#include <optional>

#include "pd/cc_packet.h"

struct RowColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RowColour&) const = default;
};

// What a row is besides its packet.
struct RowRoles {
    bool selected = false;
    bool markerA = false;
    bool markerB = false;
    bool marked = false;  // the user marked the packet
};

// Background: the first rule that applies of selected, Marker A, Marker B, invalid, reset,
// marked; otherwise white on odd rows and light grey on even rows.
RowColour RowBackground(const CCCPacket& packet, int row, const RowRoles& roles);

// Text colour by edges and port; none keeps the painter's default text colour.
std::optional<RowColour> RowTextColour(const CCCPacket& packet);

// Contrast ratio of two colours by their relative luminance (1 to 21).
double ContrastRatio(const RowColour& a, const RowColour& b);
// text where it stands out from background by a contrast ratio of at least 3; otherwise black
// or white, whichever stands out more (blue or red port text on a red invalid row).
RowColour ReadableTextColour(const RowColour& text, const RowColour& background);

// Longest cell text that is stored whole; longer ones keep their first and last
// kCellKeepChars characters around "...".
inline constexpr int kCellMaxChars = 260;
inline constexpr int kCellKeepChars = 120;
