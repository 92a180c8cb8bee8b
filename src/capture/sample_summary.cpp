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
