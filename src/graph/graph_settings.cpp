#include "graph/graph_settings.h"

void ApplyShownFlags(GraphViewState& state, const GraphShownFlags& flags) {
    state.showVoltGraph = flags.voltage;
    state.showCurrGraph = flags.current;
    state.showWattGraph = flags.wattage;
}

GraphShownFlags ShownFlagsOf(const GraphViewState& state) {
    return {state.showVoltGraph, state.showCurrGraph, state.showWattGraph};
}
