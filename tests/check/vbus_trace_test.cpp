// VbusTrace's scans of a time range must find exactly what a plain walk over every sample finds:
// the farthest and highest voltages, one-second current means, and searches by time that start
// from the previous answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "check/vbus_trace.h"
#include "sample_runs.h"

namespace {

std::optional<size_t> WalkFarthest(const std::vector<Reading>& readings, int64_t from, int64_t to,
                                   int64_t low, int64_t high) {
    std::optional<size_t> worst;
    for (size_t i = 0; i < readings.size(); ++i) {
        if (readings[i].time < from || readings[i].time > to) {
            continue;
        }
        int64_t d = BandDistance(readings[i].voltage, low, high);
        if (d > 0 && (!worst || d > BandDistance(readings[*worst].voltage, low, high))) {
            worst = i;
        }
    }
    return worst;
}

std::optional<WindowMean> WalkWindowMean(const std::vector<Reading>& readings, int64_t from,
                                         int64_t to, int64_t length, bool power,
                                         int64_t threshold) {
    int64_t worst = 0;
    int64_t worstTime = 0;
    int64_t start = from;
    int64_t sum = 0;
    int64_t count = 0;
    for (const Reading& r : readings) {
        if (r.time < from) {
            continue;
        }
        if (r.time > to) {
            break;
        }
        if (r.time >= start + length) {
            if (count > 0 && sum / count > worst) {
                worst = sum / count;
                worstTime = start;
            }
            start = r.time;
            sum = 0;
            count = 0;
        }
        int64_t current = std::abs(r.current);
        sum += power ? int64_t{r.voltage} * current / 1000 : current;
        ++count;
    }
    if (worst <= threshold) {
        return std::nullopt;
    }
    return WindowMean{worst, worstTime};
}

TEST(VbusTraceScan, FarthestOutsideAndHighestMatchAWalk) {
    std::mt19937 random(31);
    for (int round = 0; round < 60; ++round) {
        const size_t count = 1 + random() % (2 * kChunk);
        std::vector<Reading> readings = Quiet(count, random());
        for (int events = random() % 5; events > 0; --events) {
            size_t at = random() % count;
            int level = static_cast<int>(random() % 10000);
            for (size_t i = at; i < std::min(count, at + random() % 300); ++i) {
                readings[i].voltage = level;  // equal extremes: the first one counts
            }
        }
        const SampleSnapshot samples = SnapshotOf(readings, random() % 200);
        const VbusTrace trace(samples);
        const int64_t from = static_cast<int64_t>(random() % (count * 1000 + 2000)) - 1000;
        const int64_t to = from + static_cast<int64_t>(random() % (count * 1000));
        // Normal bands, one without a top, and an inverted one (a PDO's minimum above its
        // maximum), where every sample is outside.
        const int64_t low = 4000 + random() % 2000;
        for (auto [bandLow, bandHigh] :
             {std::pair{low, low + 500}, {low, int64_t{INT_MAX}}, {low + 300, low - 300}}) {
            std::optional<size_t> walk = WalkFarthest(readings, from, to, bandLow, bandHigh);
            std::optional<VbusSample> found = trace.FarthestOutside(from, to, bandLow, bandHigh);
            ASSERT_EQ(found.has_value(), walk.has_value()) << round;
            if (walk) {
                EXPECT_EQ(found->time, readings[*walk].time) << round;
                EXPECT_EQ(found->voltage, readings[*walk].voltage) << round;
            }
        }
        std::optional<size_t> highest;
        for (size_t i = 0; i < count; ++i) {
            if (readings[i].time >= from && readings[i].time <= to &&
                (!highest || readings[i].voltage > readings[*highest].voltage)) {
                highest = i;
            }
        }
        std::optional<VbusSample> found = trace.Highest(from, to);
        ASSERT_EQ(found.has_value(), highest.has_value()) << round;
        if (highest) {
            EXPECT_EQ(found->time, readings[*highest].time) << round;
        }
    }
}

// Each search starts from where the one before ended: forward, backward, near and far, the
// answer must be the plain first sample at or after t.
TEST(VbusTraceScan, SearchesByTimeFromThePreviousAnswer) {
    // Equal times in threes; a steady 1 ms with a long pause in the middle.
    const std::function<int64_t(size_t)> inThrees = [](size_t i) {
        return static_cast<int64_t>(i / 3) * 7;
    };
    const std::function<int64_t(size_t)> paused = [](size_t i) {
        return static_cast<int64_t>(i) * 1000 + (i >= kChunk / 2 ? 90000000 : 0);
    };
    for (const auto& timeOf : {inThrees, paused}) {
        std::vector<Reading> readings = Quiet(kChunk + 40, 3);
        for (size_t i = 0; i < readings.size(); ++i) {
            readings[i].time = timeOf(i);
        }
        const SampleSnapshot samples = SnapshotOf(readings);
        const VbusTrace trace(samples);
        auto plain = [&readings](int64_t t) {
            return static_cast<size_t>(
                std::partition_point(readings.begin(), readings.end(),
                                     [t](const Reading& r) { return r.time < t; }) -
                readings.begin());
        };
        std::mt19937 random(5);
        const int64_t last = readings.back().time;
        const int64_t step = last / static_cast<int64_t>(readings.size());
        int64_t t = 0;
        for (int round = 0; round < 3000; ++round) {
            switch (random() % 4) {
                case 0:  // anywhere, before the first sample and after the last included
                    t = static_cast<int64_t>(random() % (last + 40)) - 20;
                    break;
                case 1:
                    t += static_cast<int64_t>(random() % 30) * step / 3;
                    break;
                case 2:
                    t -= static_cast<int64_t>(random() % 30) * step / 3;
                    break;
                default:
                    break;  // the same time again
            }
            ASSERT_EQ(trace.FirstAtOrAfter(t), plain(t)) << round << " t " << t;
        }
    }
    const SampleSnapshot none = SnapshotOf({});
    const VbusTrace empty(none);
    EXPECT_EQ(empty.FirstAtOrAfter(10), 0u);
    EXPECT_EQ(empty.FirstAtOrAfter(-10), 0u);
    const SampleSnapshot one = SnapshotOf({{500, 5000, 0}});
    const VbusTrace single(one);
    EXPECT_EQ(single.FirstAtOrAfter(501), 1u);
    EXPECT_EQ(single.FirstAtOrAfter(500), 0u);
    EXPECT_EQ(single.FirstAtOrAfter(-1), 0u);
}

TEST(VbusTraceScan, WindowMeansMatchAWalk) {
    std::mt19937 random(37);
    for (int round = 0; round < 60; ++round) {
        const size_t count = random() % (3 * kChunk);
        std::vector<Reading> readings = Quiet(count, random());
        int64_t time = 0;
        for (Reading& r : readings) {
            // 1 ms apart mostly, with gaps and repeated times now and then.
            uint32_t pick = random() % 1000;
            time += pick == 0 ? 2500000 : pick < 5 ? 0 : 1000;
            r.time = time;
            r.current = -r.current;  // the probe may record the current negative
        }
        for (int bursts = random() % 4; bursts > 0 && count > 0; --bursts) {
            size_t at = random() % count;
            int extra = static_cast<int>(random() % 3000);
            for (size_t i = at; i < std::min(count, at + random() % 1500); ++i) {
                readings[i].current -= extra;
            }
        }
        const SampleSnapshot samples = SnapshotOf(readings, random() % 500);
        const VbusTrace trace(samples);
        const int64_t from = time > 0 ? static_cast<int64_t>(random() % time) / 2 : 0;
        const int64_t to = from + static_cast<int64_t>(random() % (time + 1));
        for (bool power : {false, true}) {
            for (int64_t threshold : {int64_t{0}, int64_t{1010}, int64_t{1500}, int64_t{4000}}) {
                const int64_t scaled = power ? threshold * 5 : threshold;
                std::optional<WindowMean> walk =
                    WalkWindowMean(readings, from, to, 1000000, power, scaled);
                std::optional<WindowMean> found =
                    trace.HighestWindowMean(from, to, 1000000, power, scaled);
                ASSERT_EQ(found.has_value(), walk.has_value())
                    << round << " power " << power << " threshold " << scaled;
                if (walk) {
                    EXPECT_EQ(found->mean, walk->mean) << round;
                    EXPECT_EQ(found->start, walk->start) << round;
                }
            }
        }
    }
}

// A steady 1 A with one sample of 3 A: only the window holding it has a mean above 1 A, at
// whichever end of the window the sample falls.
TEST(VbusTraceScan, OneSampleLiftsOneWindow) {
    for (size_t spot : {size_t{0}, size_t{999}, size_t{1000}, size_t{1023}, size_t{1024},
                        size_t{2999}, size_t{4000}}) {
        std::vector<Reading> readings;
        for (size_t i = 0; i < 5000; ++i) {
            readings.push_back({static_cast<int64_t>(i) * 1000, 5000, i == spot ? 3000 : 1000});
        }
        const SampleSnapshot samples = SnapshotOf(readings, 7);
        const VbusTrace trace(samples);
        std::optional<WindowMean> found =
            trace.HighestWindowMean(0, readings.back().time, 1000000, false, 1000);
        SCOPED_TRACE(testing::Message() << "spot " << spot);
        if (spot >= 4000) {
            EXPECT_FALSE(found);  // in the window still open at the end
            continue;
        }
        ASSERT_TRUE(found);
        EXPECT_EQ(found->mean, 1002);
        EXPECT_EQ(found->start, static_cast<int64_t>(spot / 1000) * 1000000);
    }
}

}  // namespace
