// The graph's shown flags in the settings store: a view takes them when it is built and writes
// them back when it is destroyed (the appearance values are only read, GraphAppearance).
#pragma once

#include "graph/graph_model.h"
#include "settings/graph_appearance.h"

void ApplyShownFlags(GraphViewState& state, const GraphShownFlags& flags);
GraphShownFlags ShownFlagsOf(const GraphViewState& state);
