// Axis steps, labels and grid lines, and the sample value texts, with the graph's own numbers.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture/sample_value_texts.h"
#include "graph/graph_axes.h"

namespace {

GraphModel ModelWithGraphHeight(int graphHeight) {
    GraphModel model;
    model.Layout(1300, 64 + 74 + graphHeight);
    return model;
}

std::vector<std::string> Labels(const std::vector<AxisLine>& lines) {
    std::vector<std::string> labels;
    for (const AxisLine& line : lines) {
        if (!line.label.empty()) {
            labels.push_back(line.label);
        }
    }
    return labels;
}

}  // namespace

TEST(ValueAxis, StepsByTheRangeOverTheGraphHeight) {
    // 4999 mV over 100 pixels: 100/500 mV steps; 5000 mV: 1000/5000 mV.
    ValueAxisSteps fine = ValueStepsFor(ValueAxis::Voltage, 100 / 4999.0f, 100);
    EXPECT_EQ(fine.minor, 100);
    EXPECT_EQ(fine.major, 500);
    ValueAxisSteps coarse = ValueStepsFor(ValueAxis::Voltage, 100 / 5000.0f, 100);
    EXPECT_EQ(coarse.minor, 1000);
    EXPECT_EQ(coarse.major, 5000);
    // currScale 0.02 over 400 pixels: 20,000 mA visible, 500 mA steps, ampere labels.
    ValueAxisSteps amps = ValueStepsFor(ValueAxis::Current, 0.02f, 400);
    EXPECT_EQ(amps.minor, 500);
    EXPECT_EQ(amps.base, 500);
    EXPECT_EQ(ValueLabel(ValueAxis::Current, 0.02f, 400, 1500), "1.5A");
    EXPECT_EQ(ValueStepsFor(ValueAxis::Current, 0.5f, 400).minor, 10);
    EXPECT_EQ(ValueLabel(ValueAxis::Current, 0.5f, 400, 50), "50mA");
    EXPECT_EQ(ValueStepsFor(ValueAxis::Current, 0.05f, 400).minor, 100);
    EXPECT_EQ(ValueStepsFor(ValueAxis::Wattage, 0.001f, 400).minor, 5000);
    EXPECT_EQ(ValueStepsFor(ValueAxis::Wattage, 0.01f, 400).minor, 1000);
    EXPECT_EQ(ValueStepsFor(ValueAxis::Wattage, 0.1f, 400).major, 500);
    EXPECT_EQ(ValueLabel(ValueAxis::Wattage, 0.01f, 400, 5000), "5.0W");
    EXPECT_EQ(ValueLabel(ValueAxis::Wattage, 1.0f, 400, 20), "20mW");
    EXPECT_EQ(ValueLabel(ValueAxis::Voltage, 0.01f, 400, 20000), "20.0V");
}

TEST(ValueAxis, LabelStepIsTheFirstTallerThanTheFont) {
    // 0.02 px/mV, 16-pixel font: 100 mV is 2 px, 500 mV is 10 px, 1000 mV is 20 px.
    EXPECT_EQ(ValueLabelStep(ValueAxis::Voltage, 0.02f, 200, 16), 1000);
    EXPECT_EQ(ValueLabelStep(ValueAxis::Voltage, 0.2f, 200, 16), 100);
    EXPECT_EQ(ValueLabelStep(ValueAxis::Voltage, 0.00001f, 200, 16), std::nullopt);
    // Current and wattage try multiples of the major step up to the axis range.
    // 500 mA steps of 3.5 px: five of them make 17 px; of 3 px, six make 18 px.
    EXPECT_EQ(ValueLabelStep(ValueAxis::Current, 0.007f, 400, 16), 2500);
    EXPECT_EQ(ValueLabelStep(ValueAxis::Current, 0.006f, 400, 16), 3000);
    EXPECT_EQ(ValueLabelStep(ValueAxis::Current, 0.001f, 400, 16), std::nullopt);
    // 86 W fitted into 70 px with 23-pixel label lines: every 35 W (24.5 px).
    EXPECT_EQ(ValueLabelStep(ValueAxis::Wattage, 0.0007f, 70, 23), 35000);
}

TEST(ValueAxis, SwitchOffLeavesTheZeroAndTheLabelledLines) {
    // 4000 mV over 100 pixels: 100 mV lines; 500 mV is 12 px, 1000 mV 25 px: labels at 1 V.
    GraphModel model = ModelWithGraphHeight(100);
    model.state.voltScale = 0.025f;
    model.state.voltZeroOffset = 10;
    model.Layout(1300, 64 + 74 + 100);
    std::vector<AxisLine> lines = ValueAxisLines(model, ValueAxis::Voltage, false);
    // Lines while they fit the graph height: 0 .. 3600 mV.
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[0].penWidth, 2);
    EXPECT_EQ(lines[0].label, "0.0V");
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].drawLine, i % 10 == 0) << i;
        EXPECT_EQ(lines[i].position, model.Geometry().yV0 - static_cast<int>(i * 100 * 0.025f));
    }
    EXPECT_EQ(lines[10].label, "1.0V");
    // Switched on, the minor lines are drawn as far as they stand 8 pixels apart: 100 mV is
    // 2.5 px, so every 500 mV (12.5 px).
    std::vector<AxisLine> all = ValueAxisLines(model, ValueAxis::Voltage, true);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].drawLine, i % 5 == 0) << i;
    }
}

TEST(ValueAxis, GridLinesCloserThanAFewPixelsAreThinned) {
    EXPECT_EQ(ThinnedGridStep(100, 0.025), 500);    // 2.5 px -> 12.5 px
    EXPECT_EQ(ThinnedGridStep(1000, 0.004), 2000);  // 4 px a volt -> 8 px
    EXPECT_EQ(ThinnedGridStep(1000, 0.003), 5000);  // 3 px a volt -> 15 px
    EXPECT_EQ(ThinnedGridStep(1000, 0.01), 1000);   // already 10 px apart
    EXPECT_EQ(ThinnedGridStep(10, 0.00001), 1'000'000);
    EXPECT_EQ(ThinnedGridStep(1000, 0.0), 1000);  // no scale: nothing to thin
    // A 20 V trace fitted into a band 80 pixels high: one line a volt would be 2.4 px apart.
    GraphModel model = ModelWithGraphHeight(133);
    model.state.voltScale = 0.6f * 133 / 20000 * 0.6f;
    model.state.voltZeroOffset = 10;
    model.Layout(1300, 64 + 74 + 133);
    std::optional<int> previous;
    int drawn = 0;
    for (const AxisLine& line : ValueAxisLines(model, ValueAxis::Voltage, true)) {
        if (line.drawLine) {
            if (previous) {
                EXPECT_GE(*previous - line.position, kMinGridSpacing);
            }
            previous = line.position;
            ++drawn;
        }
    }
    EXPECT_GT(drawn, 2);
}

TEST(ValueAxis, LabelsStandAWholeTextLineApart) {
    // A 20 V trace in 26 pixels, labels of a 16 px font whose lines are 23 px high: by the
    // pixel size a label would come every 15 V (20 px), closer than a line, so every other
    // label would be left out; by the line height they come every 20 V.
    GraphModel model = ModelWithGraphHeight(100);
    model.state.voltScale = 26.0f / 20000;
    model.state.voltZeroOffset = 10;
    model.state.fontHeight = 16;
    model.state.labelHeight = 23;
    model.Layout(1300, 64 + 74 + 100);
    std::vector<int> labelled;
    for (const AxisLine& line : ValueAxisLines(model, ValueAxis::Voltage, false)) {
        if (!line.label.empty()) {
            labelled.push_back(line.position);
        }
    }
    ASSERT_GE(labelled.size(), 2u);
    for (size_t i = 1; i < labelled.size(); ++i) {
        EXPECT_GT(labelled[i - 1] - labelled[i], 23);
    }
    // Without a line height the pixel size decides, as before.
    model.state.labelHeight = 0;
    EXPECT_EQ(ValueLabelStep(ValueAxis::Voltage, model.state.voltScale, 100, 16), 15000);
}

TEST(ValueAxis, CurrentLinesAreMirroredWithAMinusSign) {
    GraphModel model = ModelWithGraphHeight(400);
    model.state.currScale = 0.05f;  // 100/500 mA steps, label step 500 mA
    model.Layout(1300, 64 + 74 + 400);
    std::vector<AxisLine> lines = ValueAxisLines(model, ValueAxis::Current, false);
    ASSERT_EQ(lines.size(), 1u + 2 * 60);
    EXPECT_EQ(lines[9].label, "0.5A");
    EXPECT_EQ(lines[10].label, "-0.5A");
    int zero = model.Geometry().yI0;
    EXPECT_EQ(lines[9].position, zero - 25);
    EXPECT_EQ(lines[10].position, zero + 25);
    // Inverted: positive values below the zero line.
    model.state.invertCurrent = true;
    lines = ValueAxisLines(model, ValueAxis::Current, false);
    EXPECT_EQ(lines[9].position, zero + 25);
    EXPECT_EQ(lines[9].label, "0.5A");
}

TEST(TimeAxis, StepsByTheTimeOf640Pixels) {
    // Exactly 1000 µs over 640 pixels: 10 µs grid, 100 µs labels; 1001 µs: 100 µs and 1 ms.
    TimeAxisSteps a = TimeStepsFor(640.0f / 1000);
    EXPECT_EQ(a.grid, 10);
    EXPECT_EQ(a.label, 100);
    EXPECT_EQ(a.unit, TimeUnit::Microsecond);
    TimeAxisSteps b = TimeStepsFor(640.0f / 1001.5f);  // 1001 µs after truncation
    EXPECT_EQ(b.grid, 100);
    EXPECT_EQ(b.label, 1000);
    EXPECT_EQ(b.unit, TimeUnit::Millisecond);
    EXPECT_EQ(TimeStepsFor(640.0f / 5e6f).unit, TimeUnit::Second);
    EXPECT_EQ(TimeStepsFor(640.0f / 3e9f).grid, 60'000'000);  // 50 min: 1 min grid
    EXPECT_EQ(TimeStepsFor(640.0f / 3.6e13f).unit, TimeUnit::Day);
    EXPECT_EQ(TimeStepsFor(640.0f / 3.6e13f).label, 864'000'000'000);
    EXPECT_EQ(TimeStepsFor(100.0f).grid, 1);
}

TEST(TimeAxis, LabelTexts) {
    EXPECT_EQ(TimeLabel(-1'500'000, TimeUnit::Second), "-1s");
    EXPECT_EQ(TimeLabel(250, TimeUnit::Microsecond), "250us");
    EXPECT_EQ(TimeLabel(-2500, TimeUnit::Millisecond), "-2ms");  // %1.0f rounds half to even
    EXPECT_EQ(TimeLabel(3500, TimeUnit::Millisecond), "4ms");
    EXPECT_EQ(TimeLabel(120'000'000, TimeUnit::Minute), "2min");
    EXPECT_EQ(TimeLabel(36'000'000'000, TimeUnit::Hour), "10h");
    EXPECT_EQ(TimeLabel(172'800'000'000, TimeUnit::Day), "2day");
    EXPECT_EQ(TimeLabel(INT64_MIN, TimeUnit::Day), "-106751991day");
}

TEST(TimeAxis, GridLinesLabelledAtTheLabelStepOrWhenFarApart) {
    GraphModel model = ModelWithGraphHeight(300);
    model.state.timeScale = 0.64f;  // 1000 µs per 640 px: 10 µs grid (6 px), 100 µs labels
    model.CentreOnTime(0);
    std::vector<AxisLine> lines = TimeAxisLines(model, false);
    ASSERT_FALSE(lines.empty());
    for (const AxisLine& line : lines) {
        EXPECT_EQ(line.drawLine, !line.label.empty());
    }
    std::vector<std::string> labels = Labels(lines);
    EXPECT_NE(std::find(labels.begin(), labels.end(), "-700us"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "0us"), labels.end());
    EXPECT_EQ(std::find(labels.begin(), labels.end(), "10us"), labels.end());
    EXPECT_LE(lines.back().position, 150 + 1000);

    // Grid lines more than 50 pixels apart are all labelled, whatever the label step.
    model.state.timeScale = 51.0f;  // 1 µs grid 51 px apart, 10 µs label step
    model.CentreOnTime(0);
    lines = TimeAxisLines(model, false);
    ASSERT_GT(lines.size(), 3u);
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_FALSE(lines[i].label.empty()) << i;
    }

    // An absurd scale (days per pixel) stops after a bounded walk.
    model.state.timeScale = 1e-20f;
    model.CentreOnTime(0);
    EXPECT_LE(TimeAxisLines(model, true).size(), static_cast<size_t>(kMaxTimeGridLines));
}

TEST(TimeAxis, LabelsBetweenWholeUnitsNameTheirOwnTime) {
    const TimeAxisSteps seconds{100'000, 1'000'000, TimeUnit::Second};
    EXPECT_EQ(GridTimeLabel(2'000'000, seconds), "2s");
    EXPECT_EQ(GridTimeLabel(2'100'000, seconds), "2.1s");
    EXPECT_EQ(GridTimeLabel(-100'000, seconds), "-0.1s");
    const TimeAxisSteps millis{100, 1000, TimeUnit::Millisecond};
    EXPECT_EQ(GridTimeLabel(1100, millis), "1.1ms");
    EXPECT_EQ(GridTimeLabel(3000, millis), "3ms");
    EXPECT_EQ(GridTimeLabel(64'800'000'000, {6 * 3'600'000'000LL, 86'400'000'000LL, TimeUnit::Day}),
              "0.75day");
    // Ten minutes are no exact decimal of an hour: minutes instead.
    EXPECT_EQ(GridTimeLabel(4'200'000'000, {600'000'000, 3'600'000'000, TimeUnit::Hour}), "70min");

    // 1.3 to 2.5 s across the 1000-pixel graph: the 100 ms grid lines stand more than 50 px
    // apart up to 2 s and are all labelled; every label names a different time.
    GraphModel model = ModelWithGraphHeight(300);
    for (float visible : {1.4f, 1.8f, 2.5f}) {
        model.state.timeScale = 1000.0f / (visible * 1e6f);
        model.CentreOnTime(3'050'000);
        std::vector<std::string> labels = Labels(TimeAxisLines(model, false));
        ASSERT_GE(labels.size(), 2u) << visible;
        std::vector<std::string> sorted = labels;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
            << visible << ": " << labels.front() << " ... " << labels.back();
    }
}

TEST(SampleValueTexts, VoltsAmpsAndWatts) {
    CVbusInfo s;
    s.vbusVoltage = 20123;
    s.vbusCurrent = -1500;
    s.cc1Voltage = 1700;
    s.cc2Voltage = 320;
    s.cc1Current = 12;
    s.cc2Current = -7;
    EXPECT_EQ(VBusVoltageText(s), "20.12");
    EXPECT_EQ(VBusCurrentText(s, false), "-1.500");
    EXPECT_EQ(VBusCurrentText(s, true), "1.500");
    EXPECT_EQ(VBusWattageText(s, false), "-30.184");
    EXPECT_EQ(VBusWattageText(s, true), "30.184");
    EXPECT_EQ(CcVoltageText(s, CcLine::Cc1), "1.70");
    EXPECT_EQ(CcVoltageText(s, CcLine::Cc2), "0.32");
    EXPECT_EQ(CcCurrentText(s, CcLine::Cc1, false), "0.012");
    EXPECT_EQ(CcCurrentText(s, CcLine::Cc2, true), "0.007");
}
