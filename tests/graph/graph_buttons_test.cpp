// The graph's buttons: where they stand for a window, their small images on a low graph area,
// when they show, the images by state, and what the toggles do.
#include <gtest/gtest.h>

#include "graph/graph_buttons.h"

namespace {

GraphRect RectOf(const ButtonLayout& layout, int id) {
    for (const ButtonPlacement& placement : layout.placements) {
        if (placement.id == id) {
            return placement.rect;
        }
    }
    return {};
}

TEST(GraphButtonLayoutTest, FullHeightButtonsAroundALargeGraph) {
    GraphModel model;
    model.Layout(1600, 900);  // graph 1300 x 762
    const ButtonLayout layout = LayOutButtons(model.Geometry());
    EXPECT_EQ(layout.placements.size(), 25u);
    EXPECT_FALSE(layout.smallButtons);
    const int c = 150 + 1300 / 2;
    EXPECT_EQ(RectOf(layout, kScrollLeft), (GraphRect{c - 68, 836, c - 4, 900}));
    EXPECT_EQ(RectOf(layout, kZoomTimeOut), (GraphRect{c + 68, 836, c + 132, 900}));
    EXPECT_EQ(RectOf(layout, kZoomTimeIn), (GraphRect{c + 136, 836, c + 200, 900}));
    EXPECT_EQ(RectOf(layout, kFitTimeButton), (GraphRect{c + 204, 836, c + 268, 900}));
    EXPECT_EQ(RectOf(layout, kToggleVoltGraph), (GraphRect{0, 0, 128, 36}));
    EXPECT_EQ(RectOf(layout, kToggleCC1Vol), (GraphRect{0, 88, 64, 120}));
    // 3d + 60 + t = 172, then 36 lower each.
    EXPECT_EQ(RectOf(layout, kVoltZoomIn), (GraphRect{0, 172, 64, 204}));
    EXPECT_EQ(RectOf(layout, kFitVoltButton), (GraphRect{0, 316, 64, 348}));
    EXPECT_EQ(RectOf(layout, kToggleWattGraph), (GraphRect{1472, 864, 1600, 900}));
    EXPECT_EQ(RectOf(layout, kToggleCurrGraph), (GraphRect{1472, 826, 1600, 862}));
    EXPECT_EQ(RectOf(layout, kInvertCurrent), (GraphRect{1536, 794, 1600, 826}));
    EXPECT_EQ(RectOf(layout, kCurrZoomIn), (GraphRect{1536, 614, 1600, 646}));
    // H - 94 - 7d - t = 566.
    EXPECT_EQ(RectOf(layout, kToggleCC2Curr), (GraphRect{1536, 566, 1600, 598}));
    EXPECT_EQ(RectOf(layout, kToggleVBusCurr), (GraphRect{1536, 494, 1600, 526}));
}

TEST(GraphButtonLayoutTest, LowGraphAreaGivesSixteenPixelSmallButtons) {
    GraphModel model;
    model.Layout(1000, 64 + 150 + 74);
    ASSERT_EQ(model.Geometry().graphHeight, 150);
    const ButtonLayout layout = LayOutButtons(model.Geometry());
    EXPECT_TRUE(layout.smallButtons);
    EXPECT_EQ(RectOf(layout, kVoltUp).Height(), 16);
    EXPECT_EQ(RectOf(layout, kToggleCC2Curr).Height(), 16);
    GraphViewState state;
    EXPECT_EQ(ButtonImage(state, kVoltUp, true), "up_small");
    EXPECT_EQ(ButtonImage(state, kScrollLeft, true), "time_left");
    EXPECT_EQ(ButtonImage(state, kToggleCC1Curr, true), "trace_cc1_curr_off_small");
    EXPECT_EQ(ButtonImage(state, kToggleVBusVol, false), "trace_vbus_vol_on_large");
    EXPECT_EQ(ButtonImage(state, kToggleWattGraph, true), "graph_watt_on");
}

TEST(GraphButtonTest, VisibilityFollowsTheShownGraphs) {
    GraphViewState state;
    state.showVoltGraph = false;
    EXPECT_FALSE(IsButtonShown(state, kVoltZoomIn));
    EXPECT_TRUE(IsButtonShown(state, kCurrZoomIn));
    EXPECT_TRUE(IsButtonShown(state, kToggleVBusVol));
    state.showCurrGraph = false;
    EXPECT_TRUE(IsButtonShown(state, kInvertCurrent));  // the wattage graph is shown
    state.showWattGraph = false;
    EXPECT_FALSE(IsButtonShown(state, kInvertCurrent));
    EXPECT_TRUE(IsButtonShown(state, kScrollLeft));
}

TEST(GraphButtonTest, TraceToggleOnAHiddenGraphShowsItWithOnlyThatTrace) {
    GraphModel model;
    model.state.showCurrGraph = false;
    ASSERT_TRUE(RunButtonCommand(model, kToggleCC1Curr));
    EXPECT_TRUE(model.state.showCurrGraph);
    EXPECT_TRUE(model.state.traceCC1Curr);
    EXPECT_FALSE(model.state.traceVBusCurr);
    EXPECT_FALSE(model.state.traceCC2Curr);
    // On a shown graph the toggle flips the trace only.
    ASSERT_TRUE(RunButtonCommand(model, kToggleCC1Curr));
    EXPECT_FALSE(model.state.traceCC1Curr);
    EXPECT_TRUE(model.state.showCurrGraph);
    EXPECT_EQ(ButtonImage(model.state, kToggleCC1Curr, false), "trace_cc1_curr_off_large");
}

TEST(GraphButtonTest, GraphToggleDoesNotRefitButTheMenuToggleDoes) {
    GraphModel model;
    model.Layout(1300, 700);
    const float scale = model.state.voltScale;
    ASSERT_TRUE(RunButtonCommand(model, kToggleCurrGraph));
    EXPECT_FALSE(model.state.showCurrGraph);
    EXPECT_EQ(model.state.voltScale, scale);
    ToggleGraphWithFit(model, GraphKind::Wattage);
    EXPECT_FALSE(model.state.showWattGraph);
    // Only the voltage graph is left: it takes the whole height.
    const int a = model.Geometry().graphHeight;
    EXPECT_FLOAT_EQ(model.state.voltScale, 0.6f * static_cast<float>(a) / 5000.0f);
}

TEST(GraphButtonTest, InvertAndUnknownCommands) {
    GraphModel model;
    EXPECT_TRUE(RunButtonCommand(model, kInvertCurrent));
    EXPECT_TRUE(model.state.invertCurrent);
    EXPECT_FALSE(RunButtonCommand(model, 999));
}

}  // namespace
