// Trace decimation: the fast implementation (bisection and sample summaries) must draw the same
// pixels as the reference walk over every visited sample: the same vertical span in each pixel
// column, the same lines between columns, the same peak marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <set>

#include "graph/trace_decimation.h"
#include "graph_test_data.h"

namespace {

constexpr TraceKind kAllTraces[] = {TraceKind::VBusVol,  TraceKind::VBusCurr, TraceKind::CC1Vol,
                                    TraceKind::CC1Curr,  TraceKind::CC2Vol,   TraceKind::CC2Curr,
                                    TraceKind::VBusWatt, TraceKind::CC1Watt,  TraceKind::CC2Watt};

// The pixels a polyline covers, in a form two drawings can be compared by: the vertical span
// at each x, and the lines between different x.
struct Pixels {
    std::map<int, std::pair<int, int>> spans;
    std::set<std::pair<TracePoint, TracePoint>> lines;
    std::vector<TracePoint> peaks;

    bool operator==(const Pixels&) const = default;
};

Pixels PixelsOf(const TraceDrawing& d) {
    Pixels p;
    for (size_t i = 0; i < d.polyline.size(); ++i) {
        const TracePoint& q = d.polyline[i];
        auto [it, added] = p.spans.try_emplace(q.x, q.y, q.y);
        it->second.first = std::min(it->second.first, q.y);
        it->second.second = std::max(it->second.second, q.y);
        if (i > 0 && d.polyline[i - 1].x != q.x) {
            p.lines.insert({d.polyline[i - 1], q});
        }
    }
    p.peaks = d.peakMarks;
    std::sort(p.peaks.begin(), p.peaks.end());
    return p;
}

std::vector<Reading> RandomReadings(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Reading> readings;
    int64_t time = random() % 5000;
    int level = 5000;
    for (size_t i = 0; i < count; ++i) {
        time += random() % 4 == 0 ? 0 : random() % 50;  // equal times now and then
        switch (random() % 8) {
            case 0:
                level = static_cast<int>(random() % 20000);  // a jump
                break;
            case 1:
                level += static_cast<int>(random() % 2001) - 1000;
                break;
            default:
                level += static_cast<int>(random() % 21) - 10;
        }
        level = std::clamp(level, 0, 20000);
        Reading r;
        r.time = time;
        r.vbusVoltage = level;
        r.vbusCurrent = static_cast<int>(random() % 6001) - 3000;
        r.cc1Voltage = static_cast<int>(random() % 3300);
        r.cc1Current = static_cast<int>(random() % 201) - 100;
        r.cc2Voltage = level / 10;
        r.cc2Current = -r.cc1Current;
        readings.push_back(r);
    }
    return readings;
}

// Ramps, alternating extremes and one isolated spike: the cases where the order of the
// samples inside a column matters most.
std::vector<Reading> AdversarialReadings() {
    std::vector<Reading> readings;
    for (int i = 0; i < 30000; ++i) {
        Reading r;
        r.time = i * 3;
        int phase = i / 1000 % 4;
        r.vbusVoltage = phase == 0 ? i % 1000 * 20 : phase == 1 ? (i % 2 ? 20000 : 0) : 5000;
        r.vbusCurrent = phase == 2 ? 3000 - i % 1000 * 6 : (i == 25000 ? -3000 : 100);
        r.cc1Voltage = i % 7 * 400;
        r.cc2Voltage = 1700;
        readings.push_back(r);
    }
    return readings;
}

// Times that defeat a guess from the previous column: the sampling interval changes a
// hundredfold, bursts of samples share one time, and long gaps hold no samples at all.
std::vector<Reading> IrregularTimeReadings(uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Reading> readings;
    int64_t time = 0;
    int level = 8000;
    while (readings.size() < 40000) {
        size_t run = 1 + random() % 3000;
        int kind = static_cast<int>(random() % 5);
        int64_t interval = kind == 0 ? 1 : kind == 1 ? 100 : kind == 2 ? 0 : 10;
        for (size_t k = 0; k < run; ++k) {
            time += kind == 3 ? static_cast<int64_t>(random() % 40) : interval;
            level = std::clamp(level + static_cast<int>(random() % 201) - 100, 0, 20000);
            Reading r;
            r.time = time;
            r.vbusVoltage = k == run / 2 ? 20000 - level : level;  // an outlier inside each run
            r.vbusCurrent = static_cast<int>(random() % 4001) - 2000;
            r.cc1Voltage = level / 7;
            readings.push_back(r);
        }
        if (kind == 4) {
            time += 1'000'000 + static_cast<int64_t>(random() % 5'000'000);  // a gap
        }
    }
    return readings;
}

void ExpectSamePixels(const DocumentSnapshot& doc, uint32_t seed, int rounds) {
    std::mt19937 random(seed);
    GraphModel model;
    model.Layout(1324, 800);
    int64_t first = doc.samples.Time(0);
    int64_t last = doc.samples.Time(doc.samples.Size() - 1);
    for (int round = 0; round < rounds; ++round) {
        GraphViewState& s = model.state;
        s.timeScale = std::pow(10.0f, -6.0f + static_cast<float>(random() % 700) / 100.0f);
        s.voltScale = 0.001f * static_cast<float>(1 + random() % 100);
        s.currScale = 0.001f * static_cast<float>(1 + random() % 300);
        s.wattScale = 0.0001f * static_cast<float>(1 + random() % 100);
        s.reverseCurrent = random() % 2;
        s.invertCurrent = random() % 2;
        s.voltZeroOffset = static_cast<int>(random() % 300);
        int64_t span = last - first + 2000;
        model.CentreOnTime(first - 1000 + static_cast<int64_t>(random() % span));
        model.Layout(1324, 800);
        TraceInput input{model.state, model.Geometry(), doc};
        for (TraceKind trace : kAllTraces) {
            TraceDrawing reference = DecimateTraceReference(input, trace);
            TraceDrawing fast = DecimateTrace(input, trace);
            ASSERT_EQ(PixelsOf(fast), PixelsOf(reference))
                << "round " << round << " trace " << static_cast<int>(trace) << " scale "
                << s.timeScale << " centre " << s.centreTime;
        }
    }
}

}  // namespace

TEST(TraceDecimation, FastDrawsTheReferencePixelsOnRandomData) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(RandomReadings(60000, 1), store, 1234);
    ExpectSamePixels(doc, 2, 60);
}

TEST(TraceDecimation, FastDrawsTheReferencePixelsOnAdversarialData) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(AdversarialReadings(), store);
    ExpectSamePixels(doc, 3, 60);
}

TEST(TraceDecimation, FastDrawsTheReferencePixelsOnIrregularTimes) {
    for (uint32_t seed : {11u, 12u, 13u}) {
        SampleStore store;
        DocumentSnapshot doc = SnapshotOf(IrregularTimeReadings(seed), store, 777);
        ExpectSamePixels(doc, seed + 100, 40);
    }
}

TEST(TraceDecimation, FastDrawsTheReferencePixelsWhenAllTimesAreEqual) {
    std::vector<Reading> readings;
    for (int i = 0; i < 5000; ++i) {
        readings.push_back({42, 5000 + (i * 7919) % 3000, (i * 31) % 2000 - 1000});
    }
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(readings, store);
    ExpectSamePixels(doc, 21, 20);
}

TEST(TraceDecimation, FastDrawsTheReferencePixelsAcrossASingleHugeGap) {
    // Two dense clusters hours apart: most columns between them are empty, and the column after
    // the gap is far from where the previous column's count would put it.
    std::vector<Reading> readings;
    for (int i = 0; i < 20000; ++i) {
        int64_t time = i < 10000 ? i : int64_t{3'600'000'000} + i;
        readings.push_back({time, 5000 + (i * 37) % 700, (i * 13) % 900 - 450});
    }
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(readings, store);
    ExpectSamePixels(doc, 22, 40);
}

TEST(TraceDecimation, FastDrawsTheReferencePixelsAtDegenerateTimeScales) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(RandomReadings(3000, 23), store);
    GraphModel model;
    model.Layout(1324, 800);
    for (float scale : {0.0f, -0.01f, std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN()}) {
        model.state.timeScale = scale;
        model.state.centreTime = 20'000;
        model.state.leftTime = 10'000;
        model.state.rightTime = 30'000;
        TraceInput input{model.state, model.Geometry(), doc};
        EXPECT_EQ(PixelsOf(DecimateTrace(input, TraceKind::VBusVol)),
                  PixelsOf(DecimateTraceReference(input, TraceKind::VBusVol)))
            << scale;
    }
}

TEST(TraceDecimation, FastDrawsTheReferencePixelsAfterTrimming) {
    SampleStore store;
    SnapshotOf(RandomReadings(20000, 4), store);
    store.EraseFront(9000);
    DocumentSnapshot doc;
    doc.samples = store.Snapshot();
    doc.stats.maxVbusPower = 1;  // peak marks looked for, none found
    doc.stats.maxVbusPowerVoltage = 1;
    ExpectSamePixels(doc, 5, 30);
}

TEST(TraceDecimation, ManySamplesInOneColumnDrawOneVerticalSpan) {
    // 1000 samples at the same time: all in one pixel column.
    std::vector<Reading> readings;
    for (int i = 0; i < 1000; ++i) {
        readings.push_back({i / 1000, 5000 + (i * 37 % 101) * 10, 0});
    }
    readings.front().vbusVoltage = 5500;
    readings.back().vbusVoltage = 5200;
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(readings, store);
    GraphModel model;
    model.Layout(1324, 800);
    model.state.timeScale = 0.01f;
    model.state.voltScale = 0.1f;
    model.CentreOnTime(50'000);
    model.state.leftTime = -1;  // every sample after leftTime: the visit starts at the first
    model.Layout(1324, 800);
    TraceInput input{model.state, model.Geometry(), doc};
    TraceDrawing d = DecimateTrace(input, TraceKind::VBusVol);
    int y0 = model.Geometry().yV0;
    ASSERT_EQ(d.polyline.size(), 4u);
    EXPECT_EQ(d.polyline[0], (TracePoint{150, y0 - 550}));  // entered at the first value
    EXPECT_EQ(d.polyline[1], (TracePoint{150, y0 - 500}));  // the column's minimum
    EXPECT_EQ(d.polyline[2], (TracePoint{150, y0 - 600}));  // and maximum
    EXPECT_EQ(d.polyline[3], (TracePoint{150, y0 - 520}));  // left at the last value
    EXPECT_EQ(PixelsOf(d), PixelsOf(DecimateTraceReference(input, TraceKind::VBusVol)));
}

TEST(TraceDecimation, PeakMarksOnTheVbusTracesOnly) {
    std::vector<Reading> readings;
    for (int i = 0; i < 100; ++i) {
        readings.push_back({i * 10, 5000, 1000, 1000, 10, 1000, 10});
    }
    readings[40].vbusVoltage = 20000;  // maximum power
    readings[60].vbusCurrent = -2000;  // minimum power
    readings[70] = readings[40];       // the same reading again: only the first is marked
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(readings, store);
    GraphModel model;
    model.Layout(1324, 800);
    model.state.timeScale = 1.0f;
    model.CentreOnTime(500);
    model.Layout(1324, 800);
    TraceInput input{model.state, model.Geometry(), doc};
    for (TraceKind trace : {TraceKind::VBusVol, TraceKind::VBusCurr, TraceKind::VBusWatt}) {
        TraceDrawing d = DecimateTrace(input, trace);
        ASSERT_EQ(d.peakMarks.size(), 2u);
        EXPECT_EQ(d.peakMarks[0].x, model.XOfTime(400));
        EXPECT_EQ(d.peakMarks[1].x, model.XOfTime(600));
    }
    EXPECT_TRUE(DecimateTrace(input, TraceKind::CC1Vol).peakMarks.empty());
    EXPECT_TRUE(DecimateTrace(input, TraceKind::CC1Watt).peakMarks.empty());
}

TEST(TraceDecimation, MeasuringPointsCircleEveryPointDrawnTo) {
    std::vector<Reading> readings;
    for (int i = 0; i < 10; ++i) {
        readings.push_back({i * 100, 1000 * (i % 3), 0});
    }
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(readings, store);
    GraphModel model;
    model.Layout(1324, 800);
    model.state.measuringPointsShown = true;
    model.state.timeScale = 1.0f;
    model.CentreOnTime(500);
    model.Layout(1324, 800);
    TraceInput input{model.state, model.Geometry(), doc};
    TraceDrawing d = DecimateTrace(input, TraceKind::VBusVol);
    // One sample a column: every sample is entered (and the previous column closed).
    std::set<TracePoint> points(d.measuringPoints.begin(), d.measuringPoints.end());
    EXPECT_EQ(points.size(), 10u);
    EXPECT_EQ(PixelsOf(d), PixelsOf(DecimateTraceReference(input, TraceKind::VBusVol)));
}

TEST(TraceDecimation, NoSamplesDrawNothingAndTheWindowBoundsTheVisit) {
    DocumentSnapshot empty;
    GraphModel model;
    model.Layout(1324, 800);
    TraceInput input{model.state, model.Geometry(), empty};
    EXPECT_TRUE(DecimateTrace(input, TraceKind::VBusVol).polyline.empty());

    std::vector<Reading> readings;
    for (int i = 0; i < 100; ++i) {
        readings.push_back({1000 + i * 10, 5000, 0});
    }
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(readings, store);
    model.state.timeScale = 1.0f;
    model.CentreOnTime(0);  // every sample lies after the window: only the first is drawn
    TraceInput before{model.state, model.Geometry(), doc};
    EXPECT_EQ(DecimateTraceReference(before, TraceKind::VBusVol).polyline.size(), 1u);
    EXPECT_EQ(DecimateTrace(before, TraceKind::VBusVol).polyline.size(), 1u);
    model.CentreOnTime(1500);  // window 1000..2000: from sample 0 to one past the window
    TraceInput inside{model.state, model.Geometry(), doc};
    EXPECT_EQ(PixelsOf(DecimateTraceReference(inside, TraceKind::VBusVol)).spans.size(), 100u);
    EXPECT_EQ(PixelsOf(DecimateTrace(inside, TraceKind::VBusVol)).spans.size(), 100u);
}
