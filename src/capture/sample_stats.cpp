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
    if (PowerMw(maxVbusProduct) > stats.maxVbusPower) {
        stats.maxVbusPower = PowerMw(maxVbusProduct);
        const Sample& at = FirstWithVbusPower(samples, stats.maxVbusPower);
        stats.maxVbusPowerVoltage = at.vbusVoltage;
        stats.maxVbusPowerCurrent = at.vbusCurrent;
    }
    if (PowerMw(minVbusProduct) < stats.minVbusPower) {
        stats.minVbusPower = PowerMw(minVbusProduct);
        const Sample& at = FirstWithVbusPower(samples, stats.minVbusPower);
        stats.minVbusPowerVoltage = at.vbusVoltage;
        stats.minVbusPowerCurrent = at.vbusCurrent;
    }
}

}  // namespace

void UpdateSampleStats(SampleStats& stats, const CVbusInfo& sample) {
    UpdateRun(stats, std::span<const CVbusInfo>(&sample, 1));
}

void UpdateSampleStats(SampleStats& stats, std::span<const StoredSample> samples) {
    UpdateRun(stats, samples);
}
