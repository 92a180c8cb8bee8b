// Decimation of one trace over the visible window: at most a few points per pixel column (the
// column's first value, its extremes and its last value), the peak marks of the VBUS traces and
// the measuring points. Two implementations draw the same pixels: the reference walks every
// visited sample; the fast one finds each column's first and last sample by bisection and its
// extremes from the sample summaries, so its cost hardly grows with the samples in view.
#pragma once

#include <vector>

#include "capture/document_snapshot.h"
#include "capture/plot_value.h"
#include "graph/graph_model.h"

enum class TraceKind {
    VBusVol = 0,
    VBusCurr = 1,
    CC1Vol = 2,
    CC1Curr = 3,
    CC2Vol = 4,
    CC2Curr = 5,
    VBusWatt = 7,
    CC1Watt = 8,
    CC2Watt = 9,
};

// The order in which the paint draws the traces: later ones lie on top.
inline constexpr TraceKind kTraceDrawOrder[] = {
    TraceKind::CC1Curr,  TraceKind::CC2Curr,  TraceKind::CC1Vol,
    TraceKind::CC2Vol,   TraceKind::VBusCurr, TraceKind::VBusVol,
    TraceKind::VBusWatt, TraceKind::CC1Watt,  TraceKind::CC2Watt};

// Whether the trace is drawn with the view's shown-graph and trace flags.
bool IsTraceDrawn(const GraphViewState& state, TraceKind trace);

struct TracePoint {
    int x = 0;
    int y = 0;
    bool operator==(const TracePoint&) const = default;
    auto operator<=>(const TracePoint&) const = default;
};

// Window coordinates. The polyline starts with a move to its first point; peak marks are
// squares of +-3 pixels, measuring points circles of +-2 pixels around their points.
struct TraceDrawing {
    std::vector<TracePoint> polyline;
    std::vector<TracePoint> peakMarks;
    std::vector<TracePoint> measuringPoints;
};

// What both implementations need: the view state after Layout(), and the document's samples.
struct TraceInput {
    const GraphViewState& state;
    const GraphLayout& layout;
    const DocumentSnapshot& document;
};

TraceDrawing DecimateTraceReference(const TraceInput& input, TraceKind trace);
TraceDrawing DecimateTrace(const TraceInput& input, TraceKind trace);
