// The graph's view state: geometry, fits, zoom and scroll bounds, extents from a document and
// the live-capture follow, with the numbers the graph is built to.
#include <gtest/gtest.h>

#include "graph/graph_model.h"
#include "graph/graph_settings.h"
#include "graph_test_data.h"
#include "settings/memory_settings_backend.h"

namespace {

// A window whose graph area is graphHeight pixels high (16-pixel font) and 1000 wide.
GraphModel ModelWithGraphHeight(int graphHeight, bool volt = true, bool curr = true,
                                bool watt = true) {
    GraphModel model;
    model.state.showVoltGraph = volt;
    model.state.showCurrGraph = curr;
    model.state.showWattGraph = watt;
    model.Layout(1300, 64 + 74 + graphHeight);
    return model;
}

}  // namespace

TEST(GraphLayout, BottomMarginFollowsTheFont) {
    EXPECT_EQ(GraphBottomMargin(16), 74);
    EXPECT_EQ(GraphBottomMargin(18), 74);
    EXPECT_EQ(GraphBottomMargin(19), 95);

    GraphModel model;
    model.state.fontHeight = 18;
    EXPECT_TRUE(model.Layout(1000, 700));
    EXPECT_EQ(model.Geometry().graphHeight, 700 - 64 - 74);
    EXPECT_FALSE(model.Layout(1000, 700));
    model.state.fontHeight = 19;
    EXPECT_TRUE(model.Layout(1000, 700));  // the margin changed
    EXPECT_EQ(model.Geometry().graphHeight, 700 - 64 - 95);
    EXPECT_TRUE(model.Layout(1000, 700, true));
    EXPECT_EQ(model.Geometry().graphWidth, 700);
    EXPECT_EQ(model.Geometry().measurementArea,
              (GraphRect{0, 64 + 541 + 15, 150 + 350 - 136, 700}));

    // Tiny windows keep a graph area of at least one pixel.
    model.Layout(10, 10);
    EXPECT_EQ(model.Geometry().graphWidth, 1);
    EXPECT_EQ(model.Geometry().graphHeight, 1);
}

TEST(GraphLayout, HeightSplitAmongShownGraphs) {
    auto split = [](bool v, bool c, bool w) { return SplitHeight(301, v, c, w); };
    HeightSplit all = split(true, true, true);
    EXPECT_EQ(all.a, 100);
    EXPECT_EQ(all.voltBase, 200);
    EXPECT_EQ(all.currBase, 100);
    EXPECT_EQ(all.wattBase, 0);
    EXPECT_EQ(split(true, true, false).voltBase, 150);
    EXPECT_EQ(split(true, true, false).currBase, 0);
    EXPECT_EQ(split(true, false, true).voltBase, 150);
    EXPECT_EQ(split(false, true, true).currBase, 150);
    EXPECT_EQ(split(false, false, true).a, 301);
    EXPECT_EQ(split(false, true, false).currBase, 0);
}

TEST(GraphFits, VoltageZeroOnTheOneFifthLineWithTheSinglePrecisionFraction) {
    // a = 100: trunc(100 * 0.39999998 * 0.5) = 19; the nearest float to 0.4 would give 20.
    GraphModel one = ModelWithGraphHeight(100, true, false, false);
    one.FitVoltage();
    EXPECT_EQ(one.state.voltZeroOffset, 19);
    EXPECT_FLOAT_EQ(one.state.voltScale, 0.6f * 100 / 5000);

    GraphModel three = ModelWithGraphHeight(300);
    three.FitVoltage();
    EXPECT_EQ(three.state.voltZeroOffset, 200 + 19);
    three.Layout(1300, 64 + 74 + 300);
    const GraphLayout& g = three.Geometry();
    // voltMax stands on the four-fifths line of the top band.
    EXPECT_EQ(three.YOfVoltage(5000), g.GraphBottom() - 219 - 60);
    EXPECT_EQ(three.YOfVoltage(0), g.yV0);

    GraphModel hidden = ModelWithGraphHeight(300, false, true, true);
    hidden.FitVoltage();
    EXPECT_EQ(hidden.state.voltZeroOffset, 10);  // nothing for a hidden graph
}

TEST(GraphFits, OnlyTheCurrentGraphUsesTheWholeHeight) {
    GraphModel model = ModelWithGraphHeight(500, false, true, false);
    model.state.currMin = -100;
    model.state.currMax = 400;
    model.FitCurrent();
    EXPECT_FLOAT_EQ(model.state.currScale, 0.6f * 500 / 500);
    // -trunc(currMin * scale) + b + trunc(500 * k * 0.5)
    EXPECT_EQ(model.state.currZeroOffset, 60 + 0 + 99);
}

TEST(GraphTime, ZoomStopsAtItsBoundsAndChangesNothingThere) {
    GraphModel model = ModelWithGraphHeight(300);
    model.CentreOnTime(12345);
    GraphViewState before = model.state;
    model.ZoomTimeIn();  // already at one pixel per microsecond
    EXPECT_EQ(model.state.timeScale, 1.0f);
    EXPECT_EQ(model.state.leftTime, before.leftTime);
    EXPECT_EQ(model.state.rightTime, before.rightTime);

    model.state.timeScale = model.state.timeScaleMin;
    model.CentreOnTime(12345);
    int64_t left = model.state.leftTime;
    model.ZoomTimeOut();
    EXPECT_EQ(model.state.timeScale, model.state.timeScaleMin);
    EXPECT_EQ(model.state.leftTime, left);

    model.ZoomTimeIn();
    EXPECT_FLOAT_EQ(model.state.timeScale, model.state.timeScaleMin * 120 / 100);
    EXPECT_EQ(model.state.centreTime, 12345);
    EXPECT_NEAR(static_cast<double>(kTimeScaleMin), 2.8444e-9, 1e-13);
}

TEST(GraphTime, ScrollStopsAtTheDataEnds) {
    GraphModel model = ModelWithGraphHeight(300);
    model.state.dataStartTime = 1000;
    model.state.dataEndTime = 9000;
    model.state.timeScale = 0.5f;
    model.CentreOnTime(1000);
    model.ScrollTimeLeft();
    EXPECT_EQ(model.state.centreTime, 1000);
    model.ScrollTimeRight();
    EXPECT_EQ(model.state.centreTime, 1000 + 1000 / 8 * 2);  // 125 pixels at 0.5 px/µs
    EXPECT_EQ(model.state.leftTime, 1250 - 1000);
    model.CentreOnTime(9000);
    model.ScrollTimeRight();
    EXPECT_EQ(model.state.centreTime, 9000);
}

TEST(GraphTime, FitTimeSpansTheDataAndKeepsTheScaleForOneSample) {
    GraphModel model = ModelWithGraphHeight(300);
    model.state.dataStartTime = 0;
    model.state.dataEndTime = 990'000;
    model.FitTime();
    EXPECT_FLOAT_EQ(model.state.timeScale, 990.0f / 990'000);
    EXPECT_EQ(model.state.centreTime, 495'000);

    model.state.timeScale = 0.25f;
    model.state.dataStartTime = model.state.dataEndTime = 7000;
    model.FitTime();
    EXPECT_EQ(model.state.timeScale, 0.25f);
    EXPECT_EQ(model.state.centreTime, 7000);
}

TEST(GraphTime, ZoomToRectNeedsMoreThanTenPixelsEachWay) {
    GraphModel model = ModelWithGraphHeight(400);
    model.state.timeScale = 0.01f;
    model.CentreOnTime(50'000);
    GraphViewState before = model.state;
    model.ZoomToRect(300, 100, 308, 140);  // 8 x 40: nothing
    EXPECT_EQ(model.state.timeScale, before.timeScale);
    EXPECT_EQ(model.state.voltScale, before.voltScale);

    model.ZoomToRect(250, 100, 350, 300);
    EXPECT_FLOAT_EQ(model.state.voltScale, before.voltScale * 2);
    // tl = 10000 µs, tr = 20000 µs after graphLeft: 1000 pixels over 10000 µs.
    EXPECT_FLOAT_EQ(model.state.timeScale, 0.1f);
    EXPECT_EQ(model.state.centreTime, before.leftTime + 15'000);

    // At many pixels per microsecond the rectangle holds no whole microsecond.
    model.state.timeScale = 100.0f;
    model.ZoomToRect(250, 100, 262, 300);
    EXPECT_EQ(model.state.timeScale, 100.0f);
}

TEST(GraphTime, ValueZoomKeepsTheMiddleAndMovesBySteps) {
    GraphModel model = ModelWithGraphHeight(400);
    model.state.voltZeroOffset = 100;
    model.ZoomVoltage(true);
    EXPECT_FLOAT_EQ(model.state.voltScale, 0.01f * 1.2f);
    EXPECT_EQ(model.state.voltZeroOffset, 100 - 20);  // trunc(100 * 0.20000005)
    model.ZoomVoltage(false);
    EXPECT_EQ(model.state.voltZeroOffset, 80 - static_cast<int>(120 * -0.16666669f));
    model.MoveVoltage(true);
    EXPECT_EQ(model.state.voltZeroOffset, 100 + 10);
    model.MoveCurrent(false);
    EXPECT_EQ(model.state.currZeroOffset, 0);
    EXPECT_EQ(model.state.wattZeroOffset, 0);
}

TEST(GraphDocument, SmallCurrentsGetTheHundredMilliampFloors) {
    TempDir dir;
    WriteCurrents(dir.File("a.zaz"), {-20, 30, 10, 0});
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(dir.File("a.zaz")));
    GraphModel model = ModelWithGraphHeight(300);
    model.AttachDocument(&doc, false);
    EXPECT_EQ(model.state.currMin, -100);
    EXPECT_EQ(model.state.currMax, 100);
    EXPECT_EQ(model.state.voltMax, 5000);
    EXPECT_EQ(model.state.dataStartTime, 0);
    EXPECT_EQ(model.state.dataEndTime, 3000);
    EXPECT_FALSE(model.state.invertCurrent);
}

TEST(GraphDocument, MostlyNegativeCurrentIsShownInverted) {
    TempDir dir;
    WriteCurrents(dir.File("a.zaz"), {-2000, 500, -100});
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(dir.File("a.zaz")));
    GraphModel model = ModelWithGraphHeight(300);
    model.AttachDocument(&doc, false);
    EXPECT_TRUE(model.state.invertCurrent);
    model.Layout(1300, 64 + 74 + 300);
    const GraphLayout& g = model.Geometry();
    // Displayed current is the negated one: -2000 mA stands 2000 mA above the zero line.
    int y = model.YOfCurrent(2000);
    EXPECT_LT(y, g.yI0);
    EXPECT_TRUE(g.currBand.Contains(y));
    EXPECT_EQ(g.yI0 - y, static_cast<int>(2000 * model.state.currScale));

    // The reverse-current setting negates before the extents are taken.
    model.AttachDocument(&doc, true);
    EXPECT_EQ(model.state.currMin, -500);
    EXPECT_EQ(model.state.currMax, 2000);
    EXPECT_FALSE(model.state.invertCurrent);
}

TEST(GraphDocument, NoSamplesSpanAHundredSecondsAndMarkersComeFromTheFile) {
    TempDir dir;
    WriteFile(dir.File("empty.zaz"), {});
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("empty.zaz"));
    GraphModel model = ModelWithGraphHeight(300);
    model.state.markerOTime = 77;
    model.AttachDocument(&doc, false);
    EXPECT_EQ(model.state.dataStartTime, 0);
    EXPECT_EQ(model.state.dataEndTime, 100'000'000);
    EXPECT_EQ(model.state.markerOTime, 0);  // no saved marker: graph time 0
    EXPECT_EQ(model.state.wattMin, -100);
    EXPECT_EQ(model.state.wattMax, 100);
}

TEST(GraphDocument, ShiftTimesMovesEveryHeldTimeAndMarksTheDocument) {
    TempDir dir;
    WriteCurrents(dir.File("a.zaz"), {100, 200});
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    GraphModel model = ModelWithGraphHeight(300);
    model.AttachDocument(&doc, false);
    GraphViewState before = model.state;
    model.ShiftTimes(400);
    EXPECT_EQ(model.state.centreTime, before.centreTime - 400);
    EXPECT_EQ(model.state.leftTime, before.leftTime - 400);
    EXPECT_EQ(model.state.dataEndTime, before.dataEndTime - 400);
    EXPECT_EQ(model.state.markerXTime, -400);
    EXPECT_TRUE(doc.MarkersChanged());
    EXPECT_TRUE(doc.Modified());
}

TEST(GraphDocument, FollowCaptureOnlyGrowsAndCentresTheNewestSample) {
    TempDir dir;
    WriteCurrents(dir.File("a.zaz"), {100, 2500, -300});
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    GraphModel model = ModelWithGraphHeight(300);
    model.state.currMax = 5000;
    model.state.currMin = -100;
    model.state.timeScale = 1.0f;
    model.CentreOnTime(0);
    model.Layout(1300, 64 + 74 + 300);
    model.AttachDocument(&doc, false);
    model.state.currMax = 5000;
    model.state.currMin = -100;
    model.FollowCapture(1000);
    EXPECT_EQ(model.state.currMax, 5000);  // never shrinks
    EXPECT_EQ(model.state.currMin, -300);  // grew
    int64_t centre = model.state.centreTime;
    model.FollowCapture(model.state.rightTime);  // on screen: stays
    EXPECT_EQ(model.state.centreTime, centre);
    int64_t newest = model.state.rightTime + 1;
    model.FollowCapture(newest);  // the newest sample jumps to the centre
    EXPECT_EQ(model.state.centreTime, newest);
}

TEST(GraphSettings, ShownFlagsReadAtConstructionAndWrittenBack) {
    MemorySettingsBackend backend;
    backend.WriteInteger(kGraphShownCurrentName, 0);
    GraphModel model;
    ApplyShownFlags(model.state, ReadGraphShownFlags(backend));
    EXPECT_TRUE(model.state.showVoltGraph);
    EXPECT_FALSE(model.state.showCurrGraph);
    EXPECT_TRUE(model.state.showWattGraph);

    model.state.showWattGraph = false;
    WriteGraphShownFlags(backend, ShownFlagsOf(model.state));
    EXPECT_EQ(backend.ReadInteger(kGraphShownWattageName), 0);
    EXPECT_EQ(backend.ReadInteger(kGraphShownVoltageName), 1);
}
