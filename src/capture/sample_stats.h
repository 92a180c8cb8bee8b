// Running extremes over a capture's samples, used to scale the graph.
#pragma once

#include <cstdint>
#include <span>

#include "capture/record_block.h"
#include "capture/sample_summary.h"
#include "capture/stored_sample.h"

// All values start at 0, so a maximum never falls below 0 and a minimum never rises above it.
// Powers are mW: voltage * current / 1000, truncated toward zero.
struct SampleStats {
    int32_t maxVoltage = 0;  // over VBUS, CC1 and CC2
    int32_t maxCurrent = 0;
    int32_t minCurrent = 0;
    int32_t maxPower = 0;
    int32_t minPower = 0;
    int32_t maxVbusPower = 0;
    int32_t maxVbusPowerVoltage = 0;
    int32_t maxVbusPowerCurrent = 0;
    int32_t minVbusPower = 0;
    int32_t minVbusPowerVoltage = 0;
    int32_t minVbusPowerCurrent = 0;

    bool operator==(const SampleStats&) const = default;
};

// Takes one sample into the extremes; a value replaces one only when strictly beyond it.
void UpdateSampleStats(SampleStats& stats, const CVbusInfo& sample);
// Takes the samples into the extremes in order, as one call for each would.
void UpdateSampleStats(SampleStats& stats, std::span<const StoredSample> samples);
// Takes a run into the extremes from its summary, as one call per sample would; the samples are
// read only where the run beats a VBUS power extreme.
void UpdateSampleStats(SampleStats& stats, const SampleSummary& summary,
                       std::span<const StoredSample> samples);
