// Markers O and X and the cursor: pinned positions and labels, hover reach (with the pinned
// edges), the hovered marker's read-out column, the cursor's read-outs, and the vRd bands.
#include <gtest/gtest.h>

#include "graph/marker_rules.h"
#include "graph/vrd_bands.h"
#include "graph_test_data.h"

namespace {

class MarkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model.Layout(1300, 700);  // graph area x 150 .. 1151
        model.state.timeScale = 1.0f;
        model.CentreOnTime(1000);  // leftTime 500
    }
    GraphModel model;
};

TEST_F(MarkerTest, MarkersOutsideTheWindowArePinnedToItsEdges) {
    const GraphLayout& layout = model.Geometry();
    MarkerPlace inside = PlaceMarker(model, 600);
    EXPECT_EQ(inside.pin, MarkerPin::None);
    EXPECT_EQ(inside.lineX, layout.graphLeft + 100);
    MarkerPlace left = PlaceMarker(model, -100000);
    EXPECT_EQ(left.pin, MarkerPin::Left);
    EXPECT_EQ(left.lineX, layout.graphLeft);
    MarkerPlace right = PlaceMarker(model, 100000);
    EXPECT_EQ(right.pin, MarkerPin::Right);
    EXPECT_EQ(right.lineX, layout.graphLeft + layout.graphWidth);
    EXPECT_EQ(MarkerLabel(GraphMarker::O, MarkerPin::None), " O ");
    EXPECT_EQ(MarkerLabel(GraphMarker::O, MarkerPin::Left), " << O ");
    EXPECT_EQ(MarkerLabel(GraphMarker::X, MarkerPin::Right), " X  >>");
}

TEST_F(MarkerTest, HoverReachesTenPixelsAndXComesFirst) {
    const int left = model.Geometry().graphLeft;
    model.state.markerOTime = 600;  // x = left + 100
    model.state.markerXTime = 615;  // x = left + 115
    EXPECT_EQ(HoveredMarker(model, left + 90), GraphMarker::O);
    EXPECT_EQ(HoveredMarker(model, left + 89), GraphMarker::None);
    EXPECT_EQ(HoveredMarker(model, left + 105), GraphMarker::X);  // both within reach
    EXPECT_EQ(HoveredMarker(model, left + 125), GraphMarker::X);
    EXPECT_EQ(HoveredMarker(model, left + 126), GraphMarker::None);
}

TEST_F(MarkerTest, PinnedMarkerIsReachedAtItsEdge) {
    const GraphLayout& layout = model.Geometry();
    model.state.markerOTime = -500000;
    model.state.markerXTime = 500000;
    EXPECT_EQ(HoveredMarker(model, layout.graphLeft + 10), GraphMarker::O);
    EXPECT_EQ(HoveredMarker(model, layout.graphLeft + 11), GraphMarker::None);
    EXPECT_EQ(HoveredMarker(model, layout.graphLeft - 1), GraphMarker::None);
    const int right = layout.graphLeft + layout.graphWidth;
    EXPECT_EQ(HoveredMarker(model, right - 10), GraphMarker::X);
    EXPECT_EQ(HoveredMarker(model, right), GraphMarker::X);
    EXPECT_EQ(HoveredMarker(model, right + 1), GraphMarker::None);
}

TEST_F(MarkerTest, ReadoutColumnShowsTheSampleAtOrBeforeTheMarker) {
    SampleStore store;
    DocumentSnapshot document = SnapshotOf(
        {{100, 5000, 1500, 1700, 0, 300, 0}, {900, 9000, -2000, 400, 0, 1600, 0}}, store);
    model.state.markerXTime = 950;
    const GraphAppearance appearance = DefaultGraphAppearance();
    std::vector<ReadoutLine> lines =
        MarkerReadout(document, model.state, appearance, GraphMarker::X);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].text.rfind(" X ", 0), 0u);
    EXPECT_EQ(lines[0].background, appearance.StoredColour(GraphColour::MarkerX));
    EXPECT_EQ(lines[1].text, " VBUS Voltage=9.00[V] ");
    EXPECT_EQ(lines[2].text, " VBUS Current=-2.000[A] ");
    EXPECT_EQ(lines[3].text, " VBUS Wattage=-18.000[W] ");
    EXPECT_EQ(lines[4].text, " CC1 Voltage=0.40[V] ");
    EXPECT_EQ(lines[5].text, " CC2 Voltage=1.60[V] ");
    EXPECT_EQ(lines[5].background, appearance.StoredColour(GraphColour::CC2Vol));
    model.state.reverseCurrent = true;
    lines = MarkerReadout(document, model.state, appearance, GraphMarker::X);
    EXPECT_EQ(lines[2].text, " VBUS Current=2.000[A] ");
    // Before the first sample there is no read-out.
    model.state.markerOTime = 50;
    EXPECT_TRUE(MarkerReadout(document, model.state, appearance, GraphMarker::O).empty());
}

TEST_F(MarkerTest, CursorReadoutsByBand) {
    const GraphLayout& layout = model.Geometry();
    EXPECT_EQ(CursorReadouts(model, false, 0, 100), CursorTexts{});
    const int yV = layout.yV0 - 50;
    ASSERT_TRUE(layout.voltBand.Contains(yV));
    CursorTexts texts = CursorReadouts(model, true, 0, yV);
    // 50 rows at 0.01 pixel per mV: 5000 mV.
    EXPECT_EQ(texts.voltage, "V=5.00[V]");
    EXPECT_FALSE(texts.time.empty());
    model.state.showVoltGraph = false;
    EXPECT_TRUE(CursorReadouts(model, true, 0, yV).voltage.empty());
}

TEST_F(MarkerTest, InvertedCurrentReadsNegativeAboveTheZeroLine) {
    model.state.showVoltGraph = false;
    model.state.showWattGraph = false;
    model.state.currScale = 0.1f;
    model.state.currZeroOffset = 200;
    model.Layout(1300, 700, true);
    const int y = model.Geometry().yI0 - 20;
    ASSERT_TRUE(model.Geometry().currBand.Contains(y));
    EXPECT_EQ(CursorReadouts(model, true, 0, y).current, "I=0.200[A]");
    model.state.invertCurrent = true;
    model.Layout(1300, 700, true);
    EXPECT_EQ(CursorReadouts(model, true, 0, y).current, "I=-0.200[A]");
}

TEST(VrdBandTest, HeightAndLabelFollowTheVoltageScale) {
    GraphModel model;
    model.Layout(1300, 700);
    const GraphAppearance appearance = DefaultGraphAppearance();
    model.state.voltScale = 0.01f;
    std::vector<VrdBand> bands = VrdBands(model, appearance);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0].height, 3);
    EXPECT_FALSE(bands[0].labelled);
    EXPECT_EQ(bands[0].top, model.Geometry().yV0 - 6);
    model.state.voltScale = 0.05f;
    model.Layout(1300, 700, true);
    bands = VrdBands(model, appearance);
    EXPECT_EQ(bands[0].height, 18);
    EXPECT_TRUE(bands[0].labelled);
    EXPECT_STREQ(bands[0].label, "vRd-USB");
    EXPECT_STREQ(bands[2].label, "vRd-3.0");
}

TEST(VrdBandTest, NoBandsWithoutACcVoltageTraceOrWhenSwitchedOff) {
    GraphModel model;
    model.Layout(1300, 700);
    GraphAppearance appearance = DefaultGraphAppearance();
    model.state.traceCC1Vol = false;
    model.state.traceCC2Vol = false;
    EXPECT_TRUE(VrdBands(model, appearance).empty());
    model.state.traceCC2Vol = true;
    appearance.switches[static_cast<int>(GraphSwitch::VRd15BG)] = false;
    const std::vector<VrdBand> bands = VrdBands(model, appearance);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_STREQ(bands[1].label, "vRd-3.0");
}

}  // namespace
