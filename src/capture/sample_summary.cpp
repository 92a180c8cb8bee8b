#include "capture/sample_summary.h"

#include <algorithm>

namespace {

constexpr PlotValue kSignedReadingValues[] = {PlotValue::VbusCurrent, PlotValue::Cc1Voltage,
                                              PlotValue::Cc1Current, PlotValue::Cc2Voltage,
                                              PlotValue::Cc2Current};
constexpr PlotValue kPowerValues[] = {PlotValue::VbusPower, PlotValue::Cc1Power,
                                      PlotValue::Cc2Power};

int IndexOf(PlotValue value) {
    return static_cast<int>(value);
}

// Smallest and largest of the values added, kept in registers by the loop below.
struct RunExtremes {
    int32_t min = INT32_MAX;
    int32_t max = INT32_MIN;

    void Add(int32_t value) {
        min = std::min(min, value);
        max = std::max(max, value);
    }
};

}  // namespace

SampleSummary SampleSummary::Of(const StoredSample& sample) {
    SampleSummary summary;
    summary.vbusVoltageMin_ = summary.vbusVoltageMax_ = sample.vbusVoltage;
    for (int i = 0; i < kSignedReadings; ++i) {
        auto reading = static_cast<int16_t>(PlotValueOf(sample, kSignedReadingValues[i]));
        summary.readingMin_[i] = summary.readingMax_[i] = reading;
    }
    for (int i = 0; i < kPowers; ++i) {
        summary.powerMin_[i] = summary.powerMax_[i] = PlotValueOf(sample, kPowerValues[i]);
    }
    return summary;
}

// One pass over the raw readings. Powers are taken as raw products (µW, which fit 32 bits for
// any reading) and divided once: truncating division by 1000 keeps their order, so the largest
// product gives the largest power.
SampleSummary SampleSummary::Over(const StoredSample* samples, size_t count) {
    RunExtremes vbusVoltage;
    RunExtremes vbusCurrent;
    RunExtremes cc1Voltage;
    RunExtremes cc1Current;
    RunExtremes cc2Voltage;
    RunExtremes cc2Current;
    RunExtremes vbusProduct;
    RunExtremes cc1Product;
    RunExtremes cc2Product;
    for (size_t i = 0; i < count; ++i) {
        const StoredSample& s = samples[i];
        vbusVoltage.Add(s.vbusVoltage);
        vbusCurrent.Add(s.vbusCurrent);
        cc1Voltage.Add(s.cc1Voltage);
        cc1Current.Add(s.cc1Current);
        cc2Voltage.Add(s.cc2Voltage);
        cc2Current.Add(s.cc2Current);
        vbusProduct.Add(int32_t{s.vbusCurrent} * int32_t{s.vbusVoltage});
        cc1Product.Add(int32_t{s.cc1Current} * int32_t{s.cc1Voltage});
        cc2Product.Add(int32_t{s.cc2Current} * int32_t{s.cc2Voltage});
    }
    SampleSummary summary;
    summary.vbusVoltageMin_ = static_cast<uint16_t>(vbusVoltage.min);
    summary.vbusVoltageMax_ = static_cast<uint16_t>(vbusVoltage.max);
    // In kSignedReadingValues and kPowerValues order.
    const RunExtremes readings[kSignedReadings] = {vbusCurrent, cc1Voltage, cc1Current, cc2Voltage,
                                                   cc2Current};
    for (int r = 0; r < kSignedReadings; ++r) {
        summary.readingMin_[r] = static_cast<int16_t>(readings[r].min);
        summary.readingMax_[r] = static_cast<int16_t>(readings[r].max);
    }
    const RunExtremes products[kPowers] = {vbusProduct, cc1Product, cc2Product};
    for (int p = 0; p < kPowers; ++p) {
        summary.powerMin_[p] = products[p].min / 1000;
        summary.powerMax_[p] = products[p].max / 1000;
    }
    return summary;
}

void SampleSummary::Merge(const SampleSummary& other) {
    vbusVoltageMin_ = std::min(vbusVoltageMin_, other.vbusVoltageMin_);
    vbusVoltageMax_ = std::max(vbusVoltageMax_, other.vbusVoltageMax_);
    for (int i = 0; i < kSignedReadings; ++i) {
        readingMin_[i] = std::min(readingMin_[i], other.readingMin_[i]);
        readingMax_[i] = std::max(readingMax_[i], other.readingMax_[i]);
    }
    for (int i = 0; i < kPowers; ++i) {
        powerMin_[i] = std::min(powerMin_[i], other.powerMin_[i]);
        powerMax_[i] = std::max(powerMax_[i], other.powerMax_[i]);
    }
}

ValueExtremes SampleSummary::Extremes(PlotValue value) const {
    int index = IndexOf(value);
    if (value == PlotValue::VbusVoltage) {
        return {vbusVoltageMin_, vbusVoltageMax_};
    }
    if (index < IndexOf(PlotValue::VbusPower)) {
        return {readingMin_[index - 1], readingMax_[index - 1]};
    }
    index -= IndexOf(PlotValue::VbusPower);
    return {powerMin_[index], powerMax_[index]};
}
