// Sample snapshots: range extremes, reading search and energy sums from the chunk summaries must
// equal a plain walk over the samples, across block and chunk boundaries and after trimming; a
// snapshot keeps what it saw while the store grows, trims or clears.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <vector>

#include "capture/sample_store.h"

namespace {

constexpr size_t kChunk = SampleChunk::kSamples;

StoredSample MakeSample(int64_t time, int vbusVoltage, int vbusCurrent, int salt) {
    StoredSample s{};
    s.timeLow = static_cast<uint32_t>(time);
    s.timeHigh = static_cast<int32_t>(time >> 32);
    s.vbusVoltage = static_cast<uint16_t>(vbusVoltage);
    s.vbusCurrent = static_cast<int16_t>(vbusCurrent);
    s.cc1Voltage = static_cast<int16_t>(salt * 7 % 3000 - 500);
    s.cc2Voltage = static_cast<int16_t>(salt * 13 % 2000);
    s.cc1Current = static_cast<int16_t>(salt * 3 % 601 - 300);
    s.cc2Current = static_cast<int16_t>(-(salt * 11 % 401));
    return s;
}

// Random readings with occasional extreme values; times rise by 0..3 µs (equal times included).
std::vector<StoredSample> RandomSamples(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<StoredSample> samples;
    int64_t time = 1000;
    for (size_t i = 0; i < count; ++i) {
        time += random() % 4;
        int voltage = static_cast<int>(random() % 21000);
        int current = static_cast<int>(random() % 6001) - 3000;
        if (random() % 5000 == 0) {
            voltage = 65535;
            current = random() % 2 ? 32767 : -32768;
        }
        samples.push_back(MakeSample(time, voltage, current, static_cast<int>(random() % 100000)));
    }
    return samples;
}

void Fill(SampleStore& store, size_t count, uint32_t seed) {
    for (const StoredSample& sample : RandomSamples(count, seed)) {
        store.Append(sample);
    }
}

ValueExtremes Walk(const SampleSnapshot& s, size_t first, size_t last, PlotValue value) {
    ValueExtremes e{INT32_MAX, INT32_MIN};
    for (size_t i = first; i <= last; ++i) {
        e.min = std::min(e.min, PlotValueOf(s.At(i), value));
        e.max = std::max(e.max, PlotValueOf(s.At(i), value));
    }
    return e;
}

EnergySums WalkEnergy(const SampleSnapshot& s, size_t from, size_t to) {
    EnergySums sums;
    for (size_t i = from; i < to; ++i) {
        AccumulateSegment(sums, EnergyPointOf(s.At(i)), EnergyPointOf(s.At(i + 1)));
    }
    return sums;
}

void ExpectRangesMatchWalk(const SampleSnapshot& s, uint32_t seed) {
    std::mt19937 random(seed);
    ASSERT_FALSE(s.Empty());
    for (int round = 0; round < 300; ++round) {
        size_t a = random() % s.Size();
        size_t b =
            random() % 3 == 0 ? std::min(s.Size() - 1, a + random() % 200) : random() % s.Size();
        size_t first = std::min(a, b);
        size_t last = std::max(a, b);
        auto value = static_cast<PlotValue>(random() % kPlotValueCount);
        ASSERT_EQ(s.Extremes(first, last, value), Walk(s, first, last, value))
            << first << ".." << last << " value " << static_cast<int>(value);
        EXPECT_EQ(s.EnergyAt(last) - s.EnergyAt(first), WalkEnergy(s, first, last))
            << first << ".." << last;
    }
}

}  // namespace

TEST(SampleSnapshot, RangeExtremesAndEnergyEqualAWalk) {
    SampleStore store;
    Fill(store, 3 * kChunk + 1234, 1);
    ExpectRangesMatchWalk(store.Snapshot(), 2);

    // Whole chunks, whole blocks, single samples and the partial last block.
    SampleSnapshot s = store.Snapshot();
    for (auto [first, last] : {std::pair<size_t, size_t>{0, s.Size() - 1},
                               {0, kChunk - 1},
                               {kChunk, 2 * kChunk - 1},
                               {128, 255},
                               {127, 128},
                               {5, 5},
                               {s.Size() - 1, s.Size() - 1},
                               {3 * kChunk, s.Size() - 1}}) {
        for (int v = 0; v < kPlotValueCount; ++v) {
            EXPECT_EQ(s.Extremes(first, last, PlotValue(v)), Walk(s, first, last, PlotValue(v)))
                << first << ".." << last;
        }
    }
}

TEST(SampleSnapshot, ExtremesInsideThePartialBlocksAtBothEndsAreFound) {
    // A flat level with one spike up and one dip: every range that holds either of them must
    // report it, wherever it sits in the range's first or last (partial) block.
    SampleStore store;
    constexpr size_t kCount = 3 * kChunk;
    const size_t spike = kChunk + 5 * 128 + 3;  // near the start of a block
    const size_t dip = 2 * kChunk - 2;          // near the end of a block and of its chunk
    for (size_t i = 0; i < kCount; ++i) {
        int voltage = i == spike ? 9000 : i == dip ? 1000 : 5000;
        store.Append(MakeSample(static_cast<int64_t>(i), voltage, 0, 0));
    }
    SampleSnapshot s = store.Snapshot();
    for (size_t target : {spike, dip}) {
        for (size_t before : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{127},
                              size_t{128}, size_t{300}, size_t{9000}}) {
            for (size_t after :
                 {size_t{0}, size_t{1}, size_t{2}, size_t{126}, size_t{129}, size_t{1000}}) {
                size_t first = target >= before ? target - before : 0;
                size_t last = std::min(kCount - 1, target + after);
                for (size_t f : {first, target + 1}) {  // holding the extreme, and just past it
                    if (f > last) {
                        continue;
                    }
                    EXPECT_EQ(s.Extremes(f, last, PlotValue::VbusVoltage),
                              Walk(s, f, last, PlotValue::VbusVoltage))
                        << f << ".." << last;
                }
                EXPECT_EQ(s.Extremes(first, target, PlotValue::VbusVoltage),
                          Walk(s, first, target, PlotValue::VbusVoltage))
                    << first << ".." << target;
            }
        }
    }
}

TEST(SampleSnapshot, ExtremesReachIntoTheUnfinishedLastBlock) {
    // The newest block has no summary yet: its samples are read one by one.
    SampleStore store;
    for (size_t i = 0; i < 2 * 128 + 50; ++i) {
        store.Append(MakeSample(static_cast<int64_t>(i), i == 2 * 128 + 40 ? 100 : 5000, 0, 0));
    }
    SampleSnapshot s = store.Snapshot();
    EXPECT_EQ(s.Extremes(3, s.Size() - 1, PlotValue::VbusVoltage), (ValueExtremes{100, 5000}));
    EXPECT_EQ(s.Extremes(2 * 128 + 41, s.Size() - 1, PlotValue::VbusVoltage),
              (ValueExtremes{5000, 5000}));
}

TEST(SampleSnapshot, TrimmedStoreStillMatchesAWalk) {
    SampleStore store;
    Fill(store, 4 * kChunk, 3);
    store.EraseFront(kChunk + 77);  // frees one chunk, leaves a front skip in the next
    Fill(store, 1000, 4);
    SampleSnapshot s = store.Snapshot();
    EXPECT_EQ(s.Size(), 3 * kChunk - 77 + 1000);
    for (size_t i = 0; i < s.Size(); i += 997) {
        EXPECT_EQ(s.Time(i), store.At(i).Time());
    }
    ExpectRangesMatchWalk(s, 5);
}

TEST(SampleSnapshot, RunsCoverEverySampleOnceInOrderAfterATrim) {
    SampleStore store;
    Fill(store, 3 * kChunk, 8);
    store.EraseFront(kChunk + 77);
    Fill(store, 500, 9);
    const SampleSnapshot s = store.Snapshot();
    std::vector<size_t> runLengths;
    for (size_t i = 0; i < s.Size();) {
        const std::span<const StoredSample> run = s.RunFrom(i);
        ASSERT_FALSE(run.empty());
        for (const StoredSample& sample : run) {
            ASSERT_EQ(&sample, &s.At(i)) << i;
            ++i;
        }
        runLengths.push_back(run.size());
    }
    // The front skip, a whole chunk, and what was appended after it.
    EXPECT_EQ(runLengths, (std::vector<size_t>{kChunk - 77, kChunk, 500}));
    // A run from inside a chunk ends where the chunk does.
    EXPECT_EQ(s.RunFrom(10).size(), kChunk - 77 - 10);
}

TEST(SampleSnapshot, FindsTheFirstMatchingVbusReading) {
    SampleStore store;
    Fill(store, 2 * kChunk + 500, 6);
    SampleSnapshot s = store.Snapshot();
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        size_t a = random() % s.Size();
        size_t b = random() % s.Size();
        size_t first = std::min(a, b);
        size_t last = std::max(a, b);
        // A reading taken from the data (found at or after its index), or one that is absent.
        const StoredSample& pick = s.At(random() % s.Size());
        int32_t voltage = round % 4 == 0 ? 21001 : pick.vbusVoltage;
        int32_t current = pick.vbusCurrent;
        std::optional<size_t> expected;
        for (size_t i = first; i <= last && !expected; ++i) {
            if (s.At(i).vbusVoltage == voltage && s.At(i).vbusCurrent == current) {
                expected = i;
            }
        }
        EXPECT_EQ(s.FindVbusReading(first, last, voltage, current), expected)
            << first << ".." << last;
    }
}

TEST(SampleSnapshot, KeepsWhatItSawWhileTheStoreGrowsTrimsAndClears) {
    SampleStore store;
    Fill(store, kChunk + 10, 8);
    SampleSnapshot before = store.Snapshot();
    const int64_t firstTime = before.Time(0);
    const ValueExtremes all = before.Extremes(0, before.Size() - 1, PlotValue::VbusPower);

    Fill(store, 2 * kChunk, 9);
    store.EraseFront(2 * kChunk);
    EXPECT_EQ(before.Size(), kChunk + 10);
    EXPECT_EQ(before.Time(0), firstTime);
    EXPECT_EQ(before.Extremes(0, before.Size() - 1, PlotValue::VbusPower), all);

    store.Clear();
    EXPECT_EQ(store.Snapshot().Size(), 0u);
    EXPECT_EQ(before.Time(0), firstTime);
    ExpectRangesMatchWalk(before, 10);
}

TEST(SampleSnapshot, EnergyAtEverySampleAroundBlockAndChunkEnds) {
    // Sums taken forward from a block's checkpoint and back from the next one agree with a
    // walk, also where the next checkpoint lies in the next chunk, before a trimmed front and
    // in the unfinished last block.
    SampleStore store;
    Fill(store, 2 * kChunk + 200, 14);
    store.EraseFront(100);
    SampleSnapshot s = store.Snapshot();
    const EnergySums base = s.EnergyAt(0);
    EnergySums walked;
    for (size_t i = 0; i < s.Size(); ++i) {
        if (i > 0) {
            AccumulateSegment(walked, EnergyPointOf(s.At(i - 1)), EnergyPointOf(s.At(i)));
        }
        bool checked =
            i < 300 || (i + 100 + 300 > kChunk && i + 100 < kChunk + 300) || i + 300 > s.Size();
        if (checked) {
            ASSERT_EQ(s.EnergyAt(i) - base, walked) << i;
        }
    }
}

TEST(SampleSnapshot, EnergyAcrossAClearStartsAfresh) {
    SampleStore store;
    Fill(store, 300, 11);
    store.Clear();
    Fill(store, 300, 12);
    SampleSnapshot s = store.Snapshot();
    EXPECT_EQ(s.EnergyAt(0), EnergySums{});
    EXPECT_EQ(s.EnergyAt(299), WalkEnergy(s, 0, 299));
}

TEST(SampleSnapshot, SummariesCostUnderAByteASample) {
    // 28 bytes a sample; the summaries may add a few percent of that.
    SampleStore store;
    Fill(store, 10 * kChunk, 13);
    double perSample = static_cast<double>(store.MemoryBytes()) / store.Size();
    EXPECT_LT(perSample, sizeof(StoredSample) + 1.0);
}

TEST(SampleSnapshot, BatchesGiveWhatOneByOneGives) {
    // Batches of every size from one sample to more than a block, starting anywhere in a block
    // or chunk, also after a trim: the same samples, summaries and energy sums.
    const std::vector<StoredSample> samples = RandomSamples(3 * kChunk + 777, 15);
    SampleStore single;
    SampleStore batched;
    std::mt19937 random(16);
    for (size_t i = 0; i < samples.size();) {
        size_t count = std::min<size_t>(samples.size() - i, 1 + random() % 300);
        batched.Append(std::span<const StoredSample>(samples.data() + i, count));
        for (size_t k = i; k < i + count; ++k) {
            single.Append(samples[k]);
        }
        i += count;
        if (i > kChunk && i - count <= kChunk) {
            single.EraseFront(1000);
            batched.EraseFront(1000);
        }
    }
    SampleSnapshot a = single.Snapshot();
    SampleSnapshot b = batched.Snapshot();
    ASSERT_EQ(a.Size(), b.Size());
    for (size_t i = 0; i < a.Size(); ++i) {
        ASSERT_EQ(a.Time(i), b.Time(i)) << i;
        ASSERT_EQ(a.EnergyAt(i), b.EnergyAt(i)) << i;
    }
    for (int round = 0; round < 500; ++round) {
        size_t x = random() % a.Size();
        size_t y = random() % a.Size();
        auto value = static_cast<PlotValue>(random() % kPlotValueCount);
        ASSERT_EQ(b.Extremes(std::min(x, y), std::max(x, y), value),
                  a.Extremes(std::min(x, y), std::max(x, y), value));
    }
    ExpectRangesMatchWalk(b, 17);
}

TEST(SampleSummary, OverARunEqualsMergingEachSample) {
    // Extreme readings included: products near both ends of 32 bits and powers of -0.999 mW,
    // which truncate to 0.
    std::vector<StoredSample> samples = RandomSamples(2000, 18);
    samples[3] = MakeSample(0, 65535, -32768, 0);
    samples[7] = MakeSample(0, 65535, 32767, 0);
    samples[11] = MakeSample(0, 999, -1, 0);
    samples[12].cc1Voltage = -32768;
    samples[12].cc1Current = 32767;
    samples[13].cc2Voltage = 32767;
    samples[13].cc2Current = 32767;
    for (size_t first : {size_t{0}, size_t{3}, size_t{11}, size_t{500}}) {
        for (size_t count : {size_t{1}, size_t{2}, size_t{9}, size_t{128}, size_t{1000}}) {
            SampleSummary merged = SampleSummary::Of(samples[first]);
            for (size_t i = first + 1; i < first + count; ++i) {
                merged.Merge(SampleSummary::Of(samples[i]));
            }
            SampleSummary over = SampleSummary::Over(&samples[first], count);
            for (int v = 0; v < kPlotValueCount; ++v) {
                EXPECT_EQ(over.Extremes(PlotValue(v)), merged.Extremes(PlotValue(v)))
                    << first << "+" << count << " value " << v;
            }
        }
    }
}

// The store's stats are what one update per appended sample gives, whatever the batches (blocks
// and chunks completed or open); trimming the front, even of every sample, keeps them, clearing
// forgets them. Few distinct readings make equal VBUS powers common, so the first sample to
// reach an extreme must be the one named.
TEST(SampleStoreStats, EqualOneUpdatePerAppendedSample) {
    std::mt19937 random(7);
    const int voltages[] = {5000, 10000, 20000, 65535};
    const int currents[] = {-2000, -1000, 500, 1000, 2000};
    SampleStore store;
    SampleStats model;
    int64_t time = 0;
    for (int step = 0; step < 400; ++step) {
        std::vector<StoredSample> samples(random() % 300);
        for (StoredSample& sample : samples) {
            const int voltage = voltages[random() % 1000 == 0 ? 3 : random() % 3];
            sample = MakeSample(time++, voltage, currents[random() % 5],
                                static_cast<int>(random() % 5000));
            UpdateSampleStats(model, std::span<const StoredSample>(&sample, 1));
        }
        store.Append(samples);
        if (random() % 10 == 0) {
            store.EraseFront(random() % (store.Size() + 50));
        }
        ASSERT_EQ(store.Stats(), model) << "step " << step;
    }
    store.Clear();
    EXPECT_EQ(store.Stats(), SampleStats{});
}
