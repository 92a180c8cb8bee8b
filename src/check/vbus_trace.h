// The VBUS/IBUS samples as the checks read them: searches by time and scans of a time range,
// all on the relTime scale (µs since the capture start).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "capture/sample_snapshot.h"

struct VbusSample {
    int64_t time = 0;
    int voltage = 0;  // mV
    int current = 0;  // mA, as recorded
};

class VbusTrace {
  public:
    explicit VbusTrace(const SampleSnapshot& samples);

    // False for a capture without samples or whose VBUS reads 0 throughout.
    bool Measured() const { return measured_; }
    // One sampling interval, µs (0 without samples).
    int64_t Interval() const { return interval_; }
    size_t Size() const { return samples_.Size(); }
    int64_t LastTime() const { return samples_.Empty() ? 0 : samples_.Time(samples_.Size() - 1); }
    VbusSample At(size_t i) const;

    // Index of the first sample at or after t; Size() when none.
    size_t FirstAtOrAfter(int64_t t) const;
    // The last sample at or before t, when there is one.
    std::optional<VbusSample> AtOrBefore(int64_t t) const;
    // The first sample in [from, to] whose voltage is outside [low, high] (or, with inside, the
    // first one inside it).
    std::optional<VbusSample> FirstOutside(int64_t from, int64_t to, int low, int high) const;
    std::optional<VbusSample> FirstInside(int64_t from, int64_t to, int low, int high) const;
    // The highest voltage in [from, to].
    std::optional<VbusSample> Highest(int64_t from, int64_t to) const;

  private:
    std::optional<VbusSample> FirstWhere(int64_t from, int64_t to, int low, int high,
                                         bool inside) const;
    const SampleSnapshot& samples_;
    bool measured_ = false;
    int64_t interval_ = 0;
};
