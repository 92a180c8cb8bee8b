// Crafted runs of VBUS/IBUS samples for the tests of the searches over a sample snapshot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "capture/sample_store.h"

inline constexpr size_t kBlock = SampleChunk::kBlockSamples;
inline constexpr size_t kChunk = SampleChunk::kSamples;

struct Reading {
    int64_t time = 0;
    int voltage = 0;
    int current = 0;
};

inline StoredSample Stored(const Reading& r) {
    StoredSample s{};
    s.timeLow = static_cast<uint32_t>(r.time);
    s.timeHigh = static_cast<int32_t>(r.time >> 32);
    s.vbusVoltage = static_cast<uint16_t>(r.voltage);
    s.vbusCurrent = static_cast<int16_t>(r.current);
    return s;
}

// A store holding `trimmed` throwaway samples and then the readings, with the throwaway ones
// erased: the readings' blocks then start wherever `trimmed` puts them.
inline SampleSnapshot SnapshotOf(const std::vector<Reading>& readings, size_t trimmed = 0) {
    SampleStore store;
    for (size_t i = 0; i < trimmed; ++i) {
        store.Append(Stored({0, 20000, 3000}));
    }
    for (const Reading& r : readings) {
        store.Append(Stored(r));
    }
    store.EraseFront(trimmed);
    return store.Snapshot();
}

// 5 V at 1 ms steps with a little noise, and currents around 1 A.
inline std::vector<Reading> Quiet(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Reading> readings;
    for (size_t i = 0; i < count; ++i) {
        readings.push_back({static_cast<int64_t>(i) * 1000, 5000 + static_cast<int>(random() % 21),
                            1000 + static_cast<int>(random() % 41) - 20});
    }
    return readings;
}
