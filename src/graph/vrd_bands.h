// The three vRd bands on the voltage graph: the CC voltage ranges of a sink's Rd that tell the
// source's current advertisement (default USB power, 1.5 A, 3.0 A).
#pragma once

#include <vector>

#include "graph/graph_model.h"
#include "settings/graph_appearance.h"

inline constexpr int kVrdLabelMinHeight = 12;  // a taller band carries its label

struct VrdBand {
    int top = 0;  // window coordinates
    int height = 0;
    const char* label = "";
    bool labelled = false;
    GraphColour colour = GraphColour::VRdUSB;
};

// The bands to draw, in drawing order: none unless the voltage graph is shown with a non-empty
// band and a CC voltage trace on; each only when its switch is on.
std::vector<VrdBand> VrdBands(const GraphModel& model, const GraphAppearance& appearance);
