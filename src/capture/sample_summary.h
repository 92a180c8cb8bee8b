// Minimum and maximum of every plotted value over a run of samples, kept compact (48 bytes) so
// that a summary per 128 samples and the levels above it cost the store under a byte a sample.
#pragma once

#include <cstddef>
#include <cstdint>

#include "capture/plot_value.h"
#include "capture/stored_sample.h"

struct ValueExtremes {
    int32_t min = 0;
    int32_t max = 0;

    bool Contains(int32_t value) const { return min <= value && value <= max; }
    bool operator==(const ValueExtremes&) const = default;
};

class SampleSummary {
  public:
    static SampleSummary Of(const StoredSample& sample);
    // The summary of samples[0, count), count > 0: the same as merging the summary of each.
    static SampleSummary Over(const StoredSample* samples, size_t count);

    // Widens this summary by another one.
    void Merge(const SampleSummary& other);
    ValueExtremes Extremes(PlotValue value) const;

  private:
    // The readings after VBUS voltage, in PlotValue order.
    static constexpr int kSignedReadings = 5;
    static constexpr int kPowers = 3;

    uint16_t vbusVoltageMin_;
    uint16_t vbusVoltageMax_;
    int16_t readingMin_[kSignedReadings];
    int16_t readingMax_[kSignedReadings];
    int32_t powerMin_[kPowers];
    int32_t powerMax_[kPowers];
};
static_assert(sizeof(SampleSummary) == 48);
