// The searches that answer quiet stretches from the store's summaries must find exactly what a
// plain walk over every sample finds: single samples crossing a band inside an otherwise quiet
// block, edges on block and chunk boundaries, trimmed stores whose blocks do not start at sample
// 0, empty and one-sample stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "check/sample_search.h"
#include "sample_runs.h"

namespace {

int ValueOf(const Reading& r, PlotValue value) {
    return PlotValueOf(Stored(r), value);
}

size_t WalkFirst(const std::vector<Reading>& readings, size_t first, size_t end, PlotValue value,
                 int64_t low, int64_t high, bool inside) {
    for (size_t i = first; i < end; ++i) {
        int64_t v = ValueOf(readings[i], value);
        if ((v >= low && v <= high) == inside) {
            return i;
        }
    }
    return end;
}

void ExpectSearchesMatchWalk(const SampleSnapshot& samples, const std::vector<Reading>& readings,
                             int64_t low, int64_t high, size_t first, size_t end) {
    for (PlotValue value : {PlotValue::VbusVoltage, PlotValue::VbusCurrent}) {
        EXPECT_EQ(FindFirstOutside(samples, first, end, value, low, high),
                  WalkFirst(readings, first, end, value, low, high, false))
            << first << ".." << end;
        EXPECT_EQ(FindFirstInside(samples, first, end, value, low, high),
                  WalkFirst(readings, first, end, value, low, high, true))
            << first << ".." << end;
    }
}

TEST(SampleSearch, EmptyAndOneSampleStores) {
    const SampleSnapshot none = SnapshotOf({});
    EXPECT_EQ(FindFirstOutside(none, 0, 0, PlotValue::VbusVoltage, 0, 10), 0u);
    EXPECT_EQ(FindFirstInside(none, 0, 5, PlotValue::VbusVoltage, 0, 10), 0u);

    const SampleSnapshot one = SnapshotOf({{0, 5000, 0}});
    EXPECT_EQ(FindFirstOutside(one, 0, 1, PlotValue::VbusVoltage, 0, 4999), 0u);
    EXPECT_EQ(FindFirstOutside(one, 0, 1, PlotValue::VbusVoltage, 0, 5000), 1u);
    EXPECT_EQ(FindFirstInside(one, 0, 1, PlotValue::VbusVoltage, 5000, 5000), 0u);
    EXPECT_EQ(FindFirstInside(one, 0, 1, PlotValue::VbusVoltage, 5001, 9000), 1u);
    EXPECT_EQ(FindFirstInside(one, 1, 1, PlotValue::VbusVoltage, 0, 9000), 1u);
}

TEST(SampleSearch, OneSampleCrossingInsideAQuietBlock) {
    const size_t count = 3 * kChunk + 500;
    const size_t spots[] = {0,          1,      kBlock - 1, kBlock,     kBlock + 1, 5 * kBlock, 777,
                            kChunk - 1, kChunk, kChunk + 1, 2 * kChunk, count - 2,  count - 1};
    for (size_t trimmed : {size_t{0}, size_t{1}, size_t{77}, kChunk - 3}) {
        for (size_t spot : spots) {
            std::vector<Reading> readings = Quiet(count, static_cast<uint32_t>(spot));
            readings[spot].voltage = 4700;  // one sample below vSafe5V
            readings[spot].current = 3500;
            const SampleSnapshot samples = SnapshotOf(readings, trimmed);
            SCOPED_TRACE(testing::Message() << "spot " << spot << " trimmed " << trimmed);
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, 0, count);
            ExpectSearchesMatchWalk(samples, readings, 0, 4749, 0, count);
            ExpectSearchesMatchWalk(samples, readings, 3000, 4000, 0, count);
            // Bands that hold the crossing sample alone, at their lower and upper edge.
            ExpectSearchesMatchWalk(samples, readings, 4700, 4700, 0, count);
            ExpectSearchesMatchWalk(samples, readings, 3500, 3500, 0, count);
            // Ranges that start or end right at the crossing, or just miss it.
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, spot, count);
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, 0, spot);
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, 0, spot + 1);
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, spot + 1, count);
        }
    }
}

TEST(SampleSearch, EdgesOnBlockAndChunkBoundaries) {
    const size_t count = 2 * kChunk + 3 * kBlock;
    for (size_t edge : {kBlock, 2 * kBlock, kBlock - 1, kBlock + 1, kChunk, kChunk + kBlock}) {
        for (size_t trimmed : {size_t{0}, size_t{5}, kBlock - 1}) {
            std::vector<Reading> readings = Quiet(count, static_cast<uint32_t>(edge));
            for (size_t i = edge; i < count; ++i) {
                readings[i].voltage += 4000;  // a step from 5 V to 9 V
            }
            const SampleSnapshot samples = SnapshotOf(readings, trimmed);
            SCOPED_TRACE(testing::Message() << "edge " << edge << " trimmed " << trimmed);
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, 0, count);
            ExpectSearchesMatchWalk(samples, readings, 8550, 9450, 0, count);
            ExpectSearchesMatchWalk(samples, readings, 8550, 9450, edge - 1, edge + 1);
            ExpectSearchesMatchWalk(samples, readings, 4750, 5500, 3, edge);
        }
    }
}

// Readings on both sides of a band that never enter it: the summaries cannot rule the band
// out, so the search has to look at every sample.
TEST(SampleSearch, SamplesStraddlingABandTheyNeverEnter) {
    std::vector<Reading> readings;
    for (size_t i = 0; i < kChunk + 300; ++i) {
        readings.push_back({static_cast<int64_t>(i), i % 2 ? 9000 : 5000, 0});
    }
    ExpectSearchesMatchWalk(SnapshotOf(readings), readings, 6000, 8000, 0, readings.size());
    readings[kChunk + 17].voltage = 7000;
    ExpectSearchesMatchWalk(SnapshotOf(readings, 3), readings, 6000, 8000, 0, readings.size());
}

TEST(SampleSearch, RandomStepsAndSpikes) {
    std::mt19937 random(29);
    for (int round = 0; round < 40; ++round) {
        const size_t count = 1 + random() % (3 * kChunk);
        std::vector<Reading> readings = Quiet(count, random());
        for (int events = random() % 6; events > 0; --events) {
            size_t at = random() % count;
            size_t length = random() % 3 == 0 ? 1 : random() % 2000;
            int step = static_cast<int>(random() % 8000) - 3000;
            for (size_t i = at; i < std::min(count, at + length); ++i) {
                readings[i].voltage = std::max(0, readings[i].voltage + step);
                readings[i].current += step / 4;
            }
        }
        const size_t a = random() % (count + 1);
        const size_t b = random() % (count + 1);
        const int64_t low = 4000 + random() % 2000;
        const int64_t high = low + random() % 4000;
        ExpectSearchesMatchWalk(SnapshotOf(readings, random() % 300), readings, low, high,
                                std::min(a, b), std::max(a, b));
    }
}

}  // namespace
