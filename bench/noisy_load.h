// The graph benchmarks' samples: a noisy load with occasional voltage steps, one sample every
// `interval` µs, appended to a store with the running extremes kept.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>

#include "capture/sample_stats.h"
#include "capture/sample_store.h"

inline void AppendNoisyLoad(SampleStore& store, SampleStats& stats, size_t samples,
                            int64_t interval) {
    std::mt19937 random(1);
    int voltage = 5000;
    int current = 1000;
    for (size_t i = 0; i < samples; ++i) {
        if (random() % 100000 == 0) {
            voltage = 5000 + static_cast<int>(random() % 15000);
        }
        current = std::clamp(current + static_cast<int>(random() % 41) - 20, -3000, 5000);
        CVbusInfo sample;
        sample.time = static_cast<int64_t>(i) * interval;
        sample.vbusVoltage = static_cast<uint16_t>(voltage + static_cast<int>(random() % 50));
        sample.vbusCurrent = static_cast<int16_t>(current);
        sample.cc1Voltage = 1700;
        sample.cc2Voltage = 300;
        store.Append(PackSample(sample));
        UpdateSampleStats(stats, sample);
    }
}
