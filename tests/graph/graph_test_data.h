// Samples for the graph tests: snapshots built straight from readings, and record files with
// chosen currents for a document to attach.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "capture/document.h"
#include "capture/scale_current.h"
#include "capture/stream_builder.h"
#include "capture/temp_files.h"

struct Reading {
    int64_t time = 0;  // µs since the capture start
    int vbusVoltage = 0;
    int vbusCurrent = 0;
    int cc1Voltage = 0;
    int cc1Current = 0;
    int cc2Voltage = 0;
    int cc2Current = 0;
};

inline DocumentSnapshot SnapshotOf(const std::vector<Reading>& readings, SampleStore& store,
                                   int64_t timeOrigin = 0) {
    DocumentSnapshot snapshot;
    for (const Reading& r : readings) {
        CVbusInfo sample;
        sample.time = r.time;
        sample.vbusVoltage = static_cast<uint16_t>(r.vbusVoltage);
        sample.vbusCurrent = static_cast<int16_t>(r.vbusCurrent);
        sample.cc1Voltage = static_cast<int16_t>(r.cc1Voltage);
        sample.cc1Current = static_cast<int16_t>(r.cc1Current);
        sample.cc2Voltage = static_cast<int16_t>(r.cc2Voltage);
        sample.cc2Current = static_cast<int16_t>(r.cc2Current);
        store.Append(PackSample(sample));
        UpdateSampleStats(snapshot.stats, sample);
    }
    snapshot.samples = store.Snapshot();
    snapshot.timeOrigin = timeOrigin;
    return snapshot;
}

// The raw current the device sends for a current in mA.
inline int16_t RawCurrentFor(int milliamps) {
    int estimate = milliamps * 1598 / 1500;
    for (int raw = std::max(-32768, estimate - 4); raw <= std::min(32767, estimate + 4); ++raw) {
        if (ScaleCurrent(static_cast<int16_t>(raw)) == milliamps) {
            return static_cast<int16_t>(raw);
        }
    }
    return 0;
}

// A record file of one sample per millisecond with these VBUS currents (mA) at 5 V.
inline void WriteCurrents(const std::string& path, const std::vector<int>& currents) {
    std::vector<RawSample> samples;
    for (size_t i = 0; i < currents.size(); ++i) {
        RawSample s;
        s.timestamp = static_cast<uint32_t>(1000 * i);
        s.vbusVoltage = 5000;
        s.vbusCurrent = RawCurrentFor(currents[i]);
        samples.push_back(s);
    }
    StreamBuilder stream;
    stream.AddSamples(samples);
    WriteFile(path, stream.Bytes());
}
