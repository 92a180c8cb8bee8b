// The PD packet strip under the traces: where each packet's bar stands, its colour, its
// number-and-name label and the flagged labels of the Marker A, Marker B and selected packets
// on their rows near the top of the graph area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/document_snapshot.h"
#include "graph/graph_model.h"
#include "pd/packet_duration.h"
#include "settings/graph_appearance.h"

inline constexpr int kPacketLabelMinWidth = 50;  // a bar wider than this carries its label
inline constexpr int kFlaggedLabelRows = 11;

// The packets the list contributes to the strip; any may be null.
struct PacketHighlights {
    const CCCPacket* markerA = nullptr;
    const CCCPacket* markerB = nullptr;
    const CCCPacket* selected = nullptr;
};

// marked: whether the user marked the packet (the document's marks).
RgbColour PacketBarColour(const CCCPacket& packet, bool marked, const PacketHighlights& highlights);

enum class BarFlag { None, MarkerA, MarkerB, Selected };

struct PacketBar {
    const CCCPacket* packet = nullptr;
    int left = 0;  // window coordinates
    int width = 1;
    RgbColour colour;
    std::string label;  // "#%d %s" above the bar; empty when the bar is too narrow
    BarFlag flag = BarFlag::None;
    int flagTop = 0;  // top of the flagged label and of its line down to the bar
    std::string flagLabel;
};

struct PacketBarInput {
    const GraphViewState& state;
    const GraphLayout& layout;
    const DocumentSnapshot& document;
    PacketHighlights highlights;
};

// Bars of the snapshot's packets in array order, up to the first packet right of the view, to
// be painted in that order. A snapshot of the view's packets (CKVDoc::SnapshotOfView) gives the
// bars of every packet, less those a later bar paints over whole (no label, no flag, no column
// of their own), so that a whole capture in view keeps about one bar per pixel column; the
// labels number the packets as the document does.
std::vector<PacketBar> PlacePacketBars(const PacketBarInput& input);
