// Record streams of evenly spaced packets framed by samples, for the tests of the document and
// of the views that read it.
#pragma once

#include <cstdint>
#include <vector>

#include "stream_builder.h"

// Samples every millisecond from startUs, VBUS voltage 5000 + index so that snapshots show
// which sample they came from.
inline std::vector<RawSample> SamplesEveryMs(uint32_t startUs, int count, int firstIndex = 0) {
    std::vector<RawSample> samples;
    for (int i = 0; i < count; ++i) {
        int index = firstIndex + i;
        samples.push_back({startUs + static_cast<uint32_t>(i) * 1000,
                           static_cast<uint16_t>(5000 + index), static_cast<int16_t>(100 + index),
                           static_cast<uint16_t>(300 + index), 10, 1700, -10});
    }
    return samples;
}

// Edge-timer ticks at divider 20 for a time in microseconds.
inline uint64_t TicksAt(uint64_t us) {
    return us * 48 / 20;
}

// count packets on CC1, 500 us apart from startUs, framed by samples before and after.
inline StreamBuilder PacketFile(int count, uint64_t startUs = 10000) {
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(0, static_cast<int>(startUs / 1000)));
    std::vector<uint64_t> starts;
    std::vector<std::vector<uint8_t>> intervals;
    for (int i = 0; i < count; ++i) {
        starts.push_back(TicksAt(startUs + 500 * static_cast<uint64_t>(i)));
        intervals.push_back(BmcLikeIntervals(12));
    }
    stream.AddEdgeBurst(0, 20, starts, intervals);
    uint64_t endUs = startUs + 500 * static_cast<uint64_t>(count) + 1000;
    stream.AddSamples(SamplesEveryMs(static_cast<uint32_t>(startUs),
                                     static_cast<int>((endUs - startUs) / 1000),
                                     static_cast<int>(startUs / 1000)));
    return stream;
}
