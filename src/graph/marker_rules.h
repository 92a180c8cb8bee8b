// Graph markers O and X and the cross-hair cursor: where a marker stands (pinned to an edge when
// its time lies outside the window), which marker the mouse reaches, the label and read-out
// column of a marker, and the cursor's four value read-outs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/document_snapshot.h"
#include "graph/graph_model.h"
#include "settings/graph_appearance.h"

enum class GraphMarker { None, O, X };
enum class MarkerPin { None, Left, Right };

inline constexpr int kMarkerReach = 10;    // pixels either side of a marker line
inline constexpr int kReadoutTopGap = 2;   // read-out column starts below graphTop
inline constexpr int kReadoutLineGap = 4;  // added to fontHeight per read-out line
inline constexpr int kHoveredMarkerPen = 5;
inline constexpr int kMarkerPen = 2;

struct MarkerPlace {
    int lineX = 0;   // window x of the line (the pinned edge when pinned)
    int offset = 0;  // x of the marker time relative to graphLeft, unpinned
    MarkerPin pin = MarkerPin::None;
};

int64_t MarkerTime(const GraphViewState& state, GraphMarker marker);
MarkerPlace PlaceMarker(const GraphModel& model, int64_t time);
bool WithinReach(const GraphModel& model, int64_t markerTime, int mouseX);
// X first; O only when X is out of reach.
GraphMarker HoveredMarker(const GraphModel& model, int mouseX);
// " O ", " <<" + " O " pinned left, " O " + " >>" pinned right.
std::string MarkerLabel(GraphMarker marker, MarkerPin pin);

struct ReadoutLine {
    std::string text;
    int32_t background = 0;  // stored colour form
};

// The read-out column of a hovered marker: header, VBUS voltage, current and wattage, CC1 and
// CC2 voltage. Empty when no sample lies at or before the marker's time.
std::vector<ReadoutLine> MarkerReadout(const DocumentSnapshot& document,
                                       const GraphViewState& state,
                                       const GraphAppearance& appearance, GraphMarker marker);

struct CursorTexts {
    std::string time;
    std::string voltage;
    std::string current;
    std::string power;
    bool operator==(const CursorTexts&) const = default;
};

// Read-outs for the mouse at y with its time cursorTime; all empty outside the graph area.
CursorTexts CursorReadouts(const GraphModel& model, bool mouseInside, int64_t cursorTime, int y);

// Whether (x, y) lies in the graph area: left and top edges in, right and bottom edges out.
bool InGraphArea(const GraphLayout& layout, int x, int y);
// The same with every edge in (the right-button press that gives the context time).
bool InGraphAreaWithEdges(const GraphLayout& layout, int x, int y);
