// The 25 push buttons around the graph area: their command ids and captions, where they stand
// for a window size, when they are shown, which image each shows, and what each one does to the
// graph model. The graph's context-menu commands on the graphs and the Home fit are here too.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "graph/graph_layout.h"
#include "graph/graph_model.h"
#include "graph/trace_decimation.h"

enum GraphCommand : int {
    kVoltUp = 312,
    kVoltDown = 313,
    kCurrUp = 314,
    kCurrDown = 315,
    kScrollLeft = 316,
    kScrollRight = 317,
    kZoomTimeIn = 318,
    kZoomTimeOut = 319,
    kCurrZoomIn = 320,
    kCurrZoomOut = 321,
    kVoltZoomIn = 322,
    kVoltZoomOut = 323,
    kToggleVBusVol = 324,
    kToggleVBusCurr = 325,
    kToggleCC1Vol = 326,
    kToggleCC1Curr = 327,
    kToggleCC2Vol = 328,
    kToggleCC2Curr = 329,
    kToggleVoltGraph = 339,
    kToggleCurrGraph = 340,
    kFitVoltButton = 341,
    kFitCurrButton = 342,
    kFitTimeButton = 343,
    kInvertCurrent = 344,
    kToggleWattGraph = 365,
};

struct GraphButtonInfo {
    int id;
    const char* caption;
    const char* image;  // image base name
};
// Every button: id, caption and image, in id order.
std::span<const GraphButtonInfo> GraphButtons();

inline constexpr int kSmallButtonsMaxGraphHeight = 300;

struct ButtonPlacement {
    int id = 0;
    GraphRect rect;
};

struct ButtonLayout {
    std::vector<ButtonPlacement> placements;  // one per button, in id order
    bool smallButtons = false;
};

ButtonLayout LayOutButtons(const GraphLayout& layout);
bool IsButtonShown(const GraphViewState& state, int id);
// Image name of the button's present look: "<image>" for the time buttons, else
// "<image>[_on|_off]_<large|small>".
std::string ButtonImage(const GraphViewState& state, int id, bool smallButtons);

// Runs a button's command; false for an id that is not a button.
bool RunButtonCommand(GraphModel& model, int id);

enum class GraphKind { Voltage, Current, Wattage };
// Context menu: toggle a graph, then fit every shown value graph.
void ToggleGraphWithFit(GraphModel& model, GraphKind graph);
// Context menu "Fit All Graphs": the shown value graphs, not the time axis.
void FitAllGraphs(GraphModel& model);
// Middle button and Home: time, voltage, then the shown current and wattage graphs.
void FitEverything(GraphModel& model);
