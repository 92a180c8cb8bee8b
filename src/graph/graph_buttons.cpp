#include "graph/graph_buttons.h"

#include <algorithm>

#include "capture/saturating_math.h"

namespace {

constexpr GraphButtonInfo kButtonInfos[] = {
    {kVoltUp, "^", "up"},
    {kVoltDown, "v", "down"},
    {kCurrUp, "^", "up"},
    {kCurrDown, "v", "down"},
    {kScrollLeft, "<", "time_left"},
    {kScrollRight, ">", "time_right"},
    {kZoomTimeIn, "+", "time_zoom_in"},
    {kZoomTimeOut, "-", "time_zoom_out"},
    {kCurrZoomIn, "+", "zoom_in"},
    {kCurrZoomOut, "-", "zoom_out"},
    {kVoltZoomIn, "+", "zoom_in"},
    {kVoltZoomOut, "-", "zoom_out"},
    {kToggleVBusVol, "-", "trace_vbus_vol"},
    {kToggleVBusCurr, "-", "trace_vbus_curr"},
    {kToggleCC1Vol, "-", "trace_cc1_vol"},
    {kToggleCC1Curr, "-", "trace_cc1_curr"},
    {kToggleCC2Vol, "-", "trace_cc2_vol"},
    {kToggleCC2Curr, "-", "trace_cc2_curr"},
    {kToggleVoltGraph, "-", "graph_volt"},
    {kToggleCurrGraph, "-", "graph_curr"},
    {kFitVoltButton, "A", "fit"},
    {kFitCurrButton, "A", "fit"},
    {kFitTimeButton, "A", "time_fit"},
    {kInvertCurrent, "R", "invert"},
    {kToggleWattGraph, "-", "graph_watt"},
};

enum class Side { Voltage, CurrentOrWattage, Always };

Side SideOf(int id) {
    switch (id) {
        case kVoltUp:
        case kVoltDown:
        case kVoltZoomIn:
        case kVoltZoomOut:
        case kFitVoltButton:
            return Side::Voltage;
        case kCurrUp:
        case kCurrDown:
        case kCurrZoomIn:
        case kCurrZoomOut:
        case kFitCurrButton:
        case kInvertCurrent:
            return Side::CurrentOrWattage;
        default:
            return Side::Always;
    }
}

struct TraceToggle {
    int id;
    bool GraphViewState::*trace;
    bool GraphViewState::*graph;
    // The graph's other two traces, switched off when the toggle shows a hidden graph.
    bool GraphViewState::*other1;
    bool GraphViewState::*other2;
};

using S = GraphViewState;
constexpr TraceToggle kTraceToggles[] = {
    {kToggleVBusVol, &S::traceVBusVol, &S::showVoltGraph, &S::traceCC1Vol, &S::traceCC2Vol},
    {kToggleVBusCurr, &S::traceVBusCurr, &S::showCurrGraph, &S::traceCC1Curr, &S::traceCC2Curr},
    {kToggleCC1Vol, &S::traceCC1Vol, &S::showVoltGraph, &S::traceVBusVol, &S::traceCC2Vol},
    {kToggleCC1Curr, &S::traceCC1Curr, &S::showCurrGraph, &S::traceVBusCurr, &S::traceCC2Curr},
    {kToggleCC2Vol, &S::traceCC2Vol, &S::showVoltGraph, &S::traceVBusVol, &S::traceCC1Vol},
    {kToggleCC2Curr, &S::traceCC2Curr, &S::showCurrGraph, &S::traceVBusCurr, &S::traceCC1Curr},
};

const TraceToggle* FindTraceToggle(int id) {
    for (const TraceToggle& toggle : kTraceToggles) {
        if (toggle.id == id) {
            return &toggle;
        }
    }
    return nullptr;
}

bool GraphViewState::*GraphFlagOf(int id) {
    switch (id) {
        case kToggleVoltGraph:
            return &S::showVoltGraph;
        case kToggleCurrGraph:
            return &S::showCurrGraph;
        case kToggleWattGraph:
            return &S::showWattGraph;
        default:
            return nullptr;
    }
}

void Place(ButtonLayout& layout, int id, int left, int top, int width, int height) {
    for (ButtonPlacement& placement : layout.placements) {
        if (placement.id == id) {
            placement.rect = {left, top, left + width, top + height};
        }
    }
}

}  // namespace

std::span<const GraphButtonInfo> GraphButtons() {
    return kButtonInfos;
}

ButtonLayout LayOutButtons(const GraphLayout& geometry) {
    ButtonLayout layout;
    for (const GraphButtonInfo& info : kButtonInfos) {
        layout.placements.push_back({info.id, {}});
    }
    const int w = geometry.windowWidth;
    const int h = geometry.windowHeight;
    const int c = geometry.graphLeft + geometry.graphWidth / 2;
    const float x = std::min(static_cast<float>(geometry.graphHeight) / 300.0f, 1.0f);
    const int d = TruncToInt(32.0f * x);
    const int t = TruncToInt(16.0f * x);
    layout.smallButtons = geometry.graphHeight <= kSmallButtonsMaxGraphHeight;

    const int timeRow[] = {kScrollLeft, kScrollRight, kZoomTimeOut, kZoomTimeIn, kFitTimeButton};
    for (int i = 0; i < 5; ++i) {
        Place(layout, timeRow[i], c - 68 + 68 * i, h - 64, 64, 64);
    }
    Place(layout, kToggleVoltGraph, 0, 0, 128, 36);
    Place(layout, kToggleVBusVol, 0, 52, 64, d);
    Place(layout, kToggleCC1Vol, 0, d + 56, 64, d);
    Place(layout, kToggleCC2Vol, 0, 2 * d + 60, 64, d);
    const int voltColumn[] = {kVoltZoomIn, kVoltZoomOut, kVoltUp, kVoltDown, kFitVoltButton};
    for (int i = 0; i < 5; ++i) {
        Place(layout, voltColumn[i], 0, 3 * d + 60 + t + i * (d + 4), 64, d);
    }
    Place(layout, kToggleWattGraph, w - 128, h - 36, 128, 36);
    Place(layout, kToggleCurrGraph, w - 128, h - 74, 128, 36);
    const int currColumn[] = {kInvertCurrent, kFitCurrButton, kCurrDown,
                              kCurrUp,        kCurrZoomOut,   kCurrZoomIn};
    for (int i = 0; i < 6; ++i) {
        Place(layout, currColumn[i], w - 64, h - 74 - d - i * (d + 4), 64, d);
    }
    const int traceColumn[] = {kToggleCC2Curr, kToggleCC1Curr, kToggleVBusCurr};
    for (int i = 0; i < 3; ++i) {
        Place(layout, traceColumn[i], w - 64, h - 94 - 7 * d - t - i * (d + 4), 64, d);
    }
    return layout;
}

bool IsButtonShown(const GraphViewState& state, int id) {
    switch (SideOf(id)) {
        case Side::Voltage:
            return state.showVoltGraph;
        case Side::CurrentOrWattage:
            return state.showCurrGraph || state.showWattGraph;
        case Side::Always:
            break;
    }
    return true;
}

std::string ButtonImage(const GraphViewState& state, int id, bool smallButtons) {
    const GraphButtonInfo* info = nullptr;
    for (const GraphButtonInfo& candidate : kButtonInfos) {
        if (candidate.id == id) {
            info = &candidate;
        }
    }
    if (info == nullptr) {
        return {};
    }
    std::string name = info->image;
    if (bool GraphViewState::*graph = GraphFlagOf(id)) {
        return name + (state.*graph ? "_on" : "_off");
    }
    switch (id) {
        case kScrollLeft:
        case kScrollRight:
        case kZoomTimeIn:
        case kZoomTimeOut:
        case kFitTimeButton:
            return name;
        default:
            break;
    }
    if (const TraceToggle* toggle = FindTraceToggle(id)) {
        name += state.*toggle->graph && state.*toggle->trace ? "_on" : "_off";
    }
    return name + (smallButtons ? "_small" : "_large");
}

bool RunButtonCommand(GraphModel& model, int id) {
    GraphViewState& state = model.state;
    if (const TraceToggle* toggle = FindTraceToggle(id)) {
        if (state.*toggle->graph) {
            state.*toggle->trace = !(state.*toggle->trace);
        } else {
            state.*toggle->graph = true;
            state.*toggle->trace = true;
            state.*toggle->other1 = false;
            state.*toggle->other2 = false;
        }
        return true;
    }
    if (bool GraphViewState::*graph = GraphFlagOf(id)) {
        state.*graph = !(state.*graph);
        return true;
    }
    switch (id) {
        case kVoltUp:
            model.MoveVoltage(true);
            return true;
        case kVoltDown:
            model.MoveVoltage(false);
            return true;
        case kCurrUp:
            model.MoveCurrent(true);
            return true;
        case kCurrDown:
            model.MoveCurrent(false);
            return true;
        case kScrollLeft:
            model.ScrollTimeLeft();
            return true;
        case kScrollRight:
            model.ScrollTimeRight();
            return true;
        case kZoomTimeIn:
            model.ZoomTimeIn();
            return true;
        case kZoomTimeOut:
            model.ZoomTimeOut();
            return true;
        case kCurrZoomIn:
            model.ZoomCurrent(true);
            return true;
        case kCurrZoomOut:
            model.ZoomCurrent(false);
            return true;
        case kVoltZoomIn:
            model.ZoomVoltage(true);
            return true;
        case kVoltZoomOut:
            model.ZoomVoltage(false);
            return true;
        case kFitVoltButton:
            model.FitVoltage();
            return true;
        case kFitCurrButton:
            if (state.showCurrGraph) {
                model.FitCurrent();
            }
            if (state.showWattGraph) {
                model.FitWattage();
            }
            return true;
        case kFitTimeButton:
            model.FitTime();
            return true;
        case kInvertCurrent:
            state.invertCurrent = !state.invertCurrent;
            return true;
        default:
            return false;
    }
}

void ToggleGraphWithFit(GraphModel& model, GraphKind graph) {
    GraphViewState& state = model.state;
    switch (graph) {
        case GraphKind::Voltage:
            state.showVoltGraph = !state.showVoltGraph;
            break;
        case GraphKind::Current:
            state.showCurrGraph = !state.showCurrGraph;
            break;
        case GraphKind::Wattage:
            state.showWattGraph = !state.showWattGraph;
            break;
    }
    FitAllGraphs(model);
}

void FitAllGraphs(GraphModel& model) {
    // Each fit does nothing for a hidden graph.
    model.FitVoltage();
    model.FitCurrent();
    model.FitWattage();
}

void FitEverything(GraphModel& model) {
    model.FitTime();
    FitAllGraphs(model);
}
