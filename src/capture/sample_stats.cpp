#include "capture/sample_stats.h"

#include <algorithm>

namespace {

int32_t PowerMw(int32_t product) {
    return product / 1000;
}

// The first sample whose VBUS power is `power`.
template <typename Sample>
const Sample& FirstWithVbusPower(std::span<const Sample> samples, int32_t power) {
    for (const Sample& sample : samples) {
        if (PowerMw(int32_t{sample.vbusVoltage} * sample.vbusCurrent) == power) {
            return sample;
        }
    }
    return samples.front();
}

// The run's VBUS power extremes (mW) into the stats: a run that beats one is searched for the
// first sample that reaches it.
template <typename Sample>
void TakeVbusPowerExtremes(SampleStats& stats, std::span<const Sample> samples,
                           ValueExtremes vbusPower) {
    if (vbusPower.max > stats.maxVbusPower) {
        stats.maxVbusPower = vbusPower.max;
        const Sample& at = FirstWithVbusPower(samples, stats.maxVbusPower);
        stats.maxVbusPowerVoltage = at.vbusVoltage;
        stats.maxVbusPowerCurrent = at.vbusCurrent;
    }
    if (vbusPower.min < stats.minVbusPower) {
        stats.minVbusPower = vbusPower.min;
        const Sample& at = FirstWithVbusPower(samples, stats.minVbusPower);
        stats.minVbusPowerVoltage = at.vbusVoltage;
        stats.minVbusPowerCurrent = at.vbusCurrent;
    }
}

// One pass over the run finds its extremes; powers are compared as raw products (µW, which fit
// 32 bits) and divided once, as truncating division by 1000 keeps their order. Only a run that
// beats a VBUS power extreme is searched for the first sample that reaches it, which is the
// sample that one call per sample would have kept.
template <typename Sample>
void UpdateRun(SampleStats& stats, std::span<const Sample> samples) {
    if (samples.empty()) {
        return;
    }
    int32_t maxVoltage = INT32_MIN;
    int32_t maxCurrent = INT32_MIN;
    int32_t minCurrent = INT32_MAX;
    int32_t maxProduct = INT32_MIN;
    int32_t minProduct = INT32_MAX;
    int32_t maxVbusProduct = INT32_MIN;
    int32_t minVbusProduct = INT32_MAX;
    for (const Sample& s : samples) {
        const int32_t vbusProduct = int32_t{s.vbusVoltage} * s.vbusCurrent;
        const int32_t cc1Product = int32_t{s.cc1Voltage} * s.cc1Current;
        const int32_t cc2Product = int32_t{s.cc2Voltage} * s.cc2Current;
        maxVoltage = std::max(
            {maxVoltage, int32_t{s.vbusVoltage}, int32_t{s.cc1Voltage}, int32_t{s.cc2Voltage}});
        maxCurrent = std::max(
            {maxCurrent, int32_t{s.vbusCurrent}, int32_t{s.cc1Current}, int32_t{s.cc2Current}});
        minCurrent = std::min(
            {minCurrent, int32_t{s.vbusCurrent}, int32_t{s.cc1Current}, int32_t{s.cc2Current}});
        maxProduct = std::max({maxProduct, vbusProduct, cc1Product, cc2Product});
        minProduct = std::min({minProduct, vbusProduct, cc1Product, cc2Product});
        maxVbusProduct = std::max(maxVbusProduct, vbusProduct);
        minVbusProduct = std::min(minVbusProduct, vbusProduct);
    }
    stats.maxVoltage = std::max(stats.maxVoltage, maxVoltage);
    stats.maxCurrent = std::max(stats.maxCurrent, maxCurrent);
    stats.minCurrent = std::min(stats.minCurrent, minCurrent);
    stats.maxPower = std::max(stats.maxPower, PowerMw(maxProduct));
    stats.minPower = std::min(stats.minPower, PowerMw(minProduct));
    TakeVbusPowerExtremes(stats, samples, {PowerMw(minVbusProduct), PowerMw(maxVbusProduct)});
}

}  // namespace

void UpdateSampleStats(SampleStats& stats, const CVbusInfo& sample) {
    UpdateRun(stats, std::span<const CVbusInfo>(&sample, 1));
}

void UpdateSampleStats(SampleStats& stats, std::span<const StoredSample> samples) {
    UpdateRun(stats, samples);
}

void UpdateSampleStats(SampleStats& stats, const SampleSummary& summary,
                       std::span<const StoredSample> samples) {
    const auto extremes = [&summary](PlotValue value) { return summary.Extremes(value); };
    stats.maxVoltage =
        std::max({stats.maxVoltage, extremes(PlotValue::VbusVoltage).max,
                  extremes(PlotValue::Cc1Voltage).max, extremes(PlotValue::Cc2Voltage).max});
    stats.maxCurrent =
        std::max({stats.maxCurrent, extremes(PlotValue::VbusCurrent).max,
                  extremes(PlotValue::Cc1Current).max, extremes(PlotValue::Cc2Current).max});
    stats.minCurrent =
        std::min({stats.minCurrent, extremes(PlotValue::VbusCurrent).min,
                  extremes(PlotValue::Cc1Current).min, extremes(PlotValue::Cc2Current).min});
    stats.maxPower =
        std::max({stats.maxPower, extremes(PlotValue::VbusPower).max,
                  extremes(PlotValue::Cc1Power).max, extremes(PlotValue::Cc2Power).max});
    stats.minPower =
        std::min({stats.minPower, extremes(PlotValue::VbusPower).min,
                  extremes(PlotValue::Cc1Power).min, extremes(PlotValue::Cc2Power).min});
    TakeVbusPowerExtremes(stats, samples, extremes(PlotValue::VbusPower));
}
