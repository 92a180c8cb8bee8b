// The PD packet strip under the traces: where each packet's bar stands, its colour, its
// number-and-name label and the flagged labels of the Marker A, Marker B and selected packets
// on their rows near the top of the graph area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/document_snapshot.h"
#include "graph/graph_model.h"
#include "settings/graph_appearance.h"

inline constexpr int kPacketLabelMinWidth = 50;  // a bar wider than this carries its label
inline constexpr int kFlaggedLabelRows = 11;

// The packets the list contributes to the strip; any may be null.
struct PacketHighlights {
    const CCCPacket* markerA = nullptr;
    const CCCPacket* markerB = nullptr;
    const CCCPacket* selected = nullptr;
};

// Duration of a packet's burst in µs: totalTicks x clockDivider / 48.
int64_t PacketDuration(const CCCPacket& packet);
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

// The longest packet duration of a packet array, taken again only when the array changed, so
// that the strip can find its first packet in view by bisection.
class PacketSpanBound {
  public:
    int64_t Update(const std::vector<PacketPtr>& packets);

  private:
    // The array the bound was taken from, known by its size and its first and last packets
    // (held weakly: a packet freed and another allocated in its place is not taken for it).
    size_t count_ = 0;
    std::weak_ptr<CCCPacket> first_;
    std::weak_ptr<CCCPacket> last_;
    int64_t longest_ = 0;
};

// Index of the first packet whose bar can reach leftTime: the first starting at or after
// leftTime - longest (graph time), found by bisection over the start times.
size_t FirstPacketInView(const DocumentSnapshot& document, int64_t leftTime, int64_t longest);

struct PacketBarInput {
    const GraphViewState& state;
    const GraphLayout& layout;
    const DocumentSnapshot& document;
    PacketHighlights highlights;
};

// Bars from packet index `first` on, in array order, up to the first packet right of the view.
std::vector<PacketBar> PlacePacketBars(const PacketBarInput& input, size_t first);
