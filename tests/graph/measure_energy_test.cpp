// Energy between the graph markers: the figures of a known load, the zero-crossing split, the
// text forms, and the fast measurement equal to the reference walk on random data.
#include <gtest/gtest.h>

#include <random>

#include "columns/column_text.h"
#include "graph/measure_energy.h"
#include "graph/measurement_text.h"
#include "graph_test_data.h"

namespace {

constexpr int64_t kHour = 3'600'000'000;

std::vector<Reading> RandomLoad(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Reading> readings;
    int64_t time = 0;
    for (size_t i = 0; i < count; ++i) {
        time += random() % 5 == 0 ? 0 : random() % 1000;
        Reading r;
        r.time = time;
        r.vbusVoltage = static_cast<int>(random() % 21000);
        r.vbusCurrent = static_cast<int>(random() % 6001) - 3000;  // frequent sign changes
        if (random() % 50 == 0) {
            r.vbusCurrent = random() % 2 ? 32767 : -32768;
        }
        readings.push_back(r);
    }
    return readings;
}

}  // namespace

TEST(MeasureEnergy, FiveVoltsOneAmpOverAnHour) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf({{0, 5000, 1000}, {kHour, 5000, 1000}}, store);
    std::optional<EnergyMeasurement> e = MeasureEnergy(doc, 0, kHour);
    ASSERT_TRUE(e);
    EXPECT_DOUBLE_EQ(e->positiveMj, 18'000'000.0);  // 5 W for 3600 s
    EXPECT_EQ(e->negativeMj, 0);
    EXPECT_EQ(EnergyText(e, 0, kHour, false), " (5000.00[mWh] Ave=5.00[W])");
    // The reverse-current setting negates both numbers.
    EXPECT_EQ(EnergyText(e, 0, kHour, true), " (-5000.00[mWh] Ave=-5.00[W])");
    // X before O: the same energy, the average divided by the negative span.
    EXPECT_EQ(EnergyText(e, kHour, 0, false), " (5000.00[mWh] Ave=-5.00[W])");
}

TEST(MeasureEnergy, MarkersAtOneTimeGiveZeroAndNoSampleGivesNothing) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf({{100, 5000, 1000}, {200, 5000, 1000}}, store);
    std::optional<EnergyMeasurement> e = MeasureEnergy(doc, 150, 150);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->sums, EnergySums{});
    EXPECT_EQ(EnergyText(e, 150, 150, true), " (0.00[mWh] Ave=0.00[W])");
    EXPECT_FALSE(MeasureEnergy(doc, 99, 300));
    EXPECT_FALSE(MeasureEnergyReference(doc, 99, 300));
    // Shown as zero energy.
    EXPECT_EQ(EnergyText(std::nullopt, 0, 1000, false), " (0.00[mWh] Ave=0.00[W])");
}

TEST(MeasureEnergy, AMillionMilliwattHoursSwitchToWattHours) {
    EnergyMeasurement e;
    e.positiveMj = 3.6e9;  // 1,000,000 mWh
    EXPECT_EQ(EnergyText(e, 0, 1000 * kHour, false), " (1000.00[Wh] Ave=1.00[W]");
    e.positiveMj = 3.6e9 - 3600 * 100;
    EXPECT_EQ(EnergyText(e, 0, 1000 * kHour, false).find("[mWh]"), 2 + 9u);
}

TEST(MeasureEnergy, ZeroCrossingSplitsASegmentAtItsMiddle) {
    // -100 mA to +100 mA at 5 V over 1000 µs: half the segment negative, half positive.
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf({{0, 5000, -100}, {1000, 5000, 100}}, store);
    std::optional<EnergyMeasurement> e = MeasureEnergyReference(doc, 0, 1000);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->sums.positive, 500'000u * 500 / 2);
    EXPECT_EQ(e->sums.negative, 500'000u * 500 / 2);
    EXPECT_EQ(MeasureEnergy(doc, 0, 1000)->sums, e->sums);
}

TEST(MeasureEnergy, InterpolatesAtBothEndsAndStopsAtTheLastSample) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf({{0, 1000, 1000}, {1000, 1000, 3000}}, store);
    // From 250 µs (1500 mA) to 750 µs (2500 mA) at 1 V: (1.5 + 2.5) / 2 W over 500 µs.
    std::optional<EnergyMeasurement> e = MeasureEnergy(doc, 250, 750);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->sums.positive, (1'500'000u + 2'500'000u) * 500 / 2);
    EXPECT_EQ(MeasureEnergyReference(doc, 250, 750)->sums, e->sums);
    // Beyond the data the integration ends at the last sample.
    EXPECT_EQ(MeasureEnergy(doc, 250, 5000)->sums, MeasureEnergy(doc, 250, 1000)->sums);
    EXPECT_EQ(MeasureEnergy(doc, 1000, 5000)->sums, EnergySums{});
}

TEST(MeasureEnergy, FastEqualsTheReferenceOnRandomData) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf(RandomLoad(40000, 1), store, 777);
    std::mt19937 random(2);
    int64_t first = doc.samples.Time(0) - doc.timeOrigin;
    int64_t last = doc.samples.Time(doc.samples.Size() - 1) - doc.timeOrigin;
    for (int round = 0; round < 400; ++round) {
        int64_t span = last - first + 20000;
        int64_t a = first - 10000 + static_cast<int64_t>(random() % span);
        int64_t b = round % 5 == 0 ? a + static_cast<int64_t>(random() % 3000)
                                   : first - 10000 + static_cast<int64_t>(random() % span);
        if (round % 7 == 0) {
            b = a;  // markers at one time
        }
        if (round % 11 == 0) {
            a = doc.samples.Time(random() % doc.samples.Size()) - doc.timeOrigin;  // on a sample
        }
        int64_t t1 = std::min(a, b);
        int64_t t2 = std::max(a, b);
        std::optional<EnergyMeasurement> fast = MeasureEnergy(doc, t1, t2);
        std::optional<EnergyMeasurement> reference = MeasureEnergyReference(doc, t1, t2);
        ASSERT_EQ(fast.has_value(), reference.has_value()) << t1 << ".." << t2;
        if (fast) {
            ASSERT_EQ(fast->sums, reference->sums) << t1 << ".." << t2;
            EXPECT_EQ(fast->positiveMj, reference->positiveMj);
        }
    }
}

TEST(MeasurementLines, OToXWithEnergyThenOToAAndOToB) {
    SampleStore store;
    DocumentSnapshot doc = SnapshotOf({{0, 5000, 1000}, {kHour, 5000, 1000}}, store);
    MeasurementInput input;
    input.markerOTime = 0;
    input.markerXTime = kHour;
    input.showEnergy = true;
    input.markerATime = 1'500'000;
    std::vector<MeasurementLine> lines = MeasurementLines(doc, input);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "O to X : " + FormatTime(kHour) + " (5000.00[mWh] Ave=5.00[W])");
    EXPECT_EQ(lines[0].colour, MeasurementColour::MarkerX);
    EXPECT_EQ(lines[1].text, "O to A : " + FormatTime(1'500'000));
    EXPECT_EQ(lines[1].colour, MeasurementColour::MarkerA);

    input.showEnergy = false;  // wattage graph hidden: no energy
    input.markerATime.reset();
    input.markerBTime = -20;
    lines = MeasurementLines(doc, input);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "O to X : " + FormatTime(kHour));
    EXPECT_EQ(lines[1].text, "O to B : " + FormatTime(-20));
    EXPECT_EQ(lines[1].colour, MeasurementColour::MarkerB);
}
