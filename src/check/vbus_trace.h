// The VBUS/IBUS samples as the checks read them: searches by time and scans of a time range,
// all on the relTime scale (µs since the capture start). Scans over long ranges read the
// store's summaries and visit single samples only where something may happen. A trace remembers
// where its last search by time ended, so one trace serves one thread.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "capture/sample_snapshot.h"

struct VbusSample {
    int64_t time = 0;
    int voltage = 0;  // mV
    int current = 0;  // mA, as recorded
};

// The mean of one window of samples and where the window starts.
struct WindowMean {
    int64_t mean = 0;
    int64_t start = 0;
};

// How far a voltage is outside [low, high]: below low by low - mv, else above high by
// mv - high; 0 inside.
inline int64_t BandDistance(int64_t millivolts, int64_t low, int64_t high) {
    return millivolts < low ? low - millivolts : std::max<int64_t>(0, millivolts - high);
}

class VbusTrace {
  public:
    explicit VbusTrace(const SampleSnapshot& samples);

    // False for a capture without samples or whose VBUS reads 0 throughout.
    bool Measured() const { return measured_; }
    // One sampling interval, µs (0 without samples).
    int64_t Interval() const { return interval_; }
    size_t Size() const { return samples_.Size(); }
    int64_t LastTime() const { return samples_.Empty() ? 0 : samples_.Time(samples_.Size() - 1); }
    VbusSample At(size_t i) const {
        const StoredSample& stored = samples_.At(i);
        return {stored.Time(), stored.vbusVoltage, stored.vbusCurrent};
    }

    // Index of the first sample at or after t; Size() when none. The search starts near the
    // previous answer, so a walk through the capture pays for short steps only.
    size_t FirstAtOrAfter(int64_t t) const;
    // The last sample at or before t, when there is one.
    std::optional<VbusSample> AtOrBefore(int64_t t) const;
    // The first sample in [from, to] whose voltage is outside [low, high] (or, with inside, the
    // first one inside it).
    std::optional<VbusSample> FirstOutside(int64_t from, int64_t to, int64_t low,
                                           int64_t high) const;
    std::optional<VbusSample> FirstInside(int64_t from, int64_t to, int64_t low,
                                          int64_t high) const;
    // The highest voltage in [from, to], the first sample of equal ones.
    std::optional<VbusSample> Highest(int64_t from, int64_t to) const;
    // The sample in [from, to] whose voltage is the farthest outside [low, high] (BandDistance),
    // the first of equal ones; none when every voltage is inside.
    std::optional<VbusSample> FarthestOutside(int64_t from, int64_t to, int64_t low,
                                              int64_t high) const;
    // The windows of [from, to]: the first starts at from, each one ends before the first
    // sample `length` or more after its start, and that sample starts the next. A window still
    // open after the last sample up to `to` does not count. Returns the window with the highest
    // mean of |current| (mA) or, with power, of voltage * |current| / 1000 (mW), the first of
    // equal ones, when that mean is above threshold (>= 0); windows with no sample beyond threshold
    // are passed over without reading their samples.
    std::optional<WindowMean> HighestWindowMean(int64_t from, int64_t to, int64_t length,
                                                bool power, int64_t threshold) const;

  private:
    // Index of the first sample in [low, high) at or after t, high when none.
    size_t Bisect(size_t low, size_t high, int64_t t) const;
    // FirstAtOrAfter when every sample before `from` is earlier than t (Forward), or when
    // sample `from` is at or after t (Backward): steps of 1, 2, 4, ... away from `from` until
    // they pass t, then a bisection of the last step, so a near answer costs a few reads.
    size_t GallopForward(int64_t t, size_t from) const;
    size_t GallopBackward(int64_t t, size_t from) const;
    // Sample i, none when i is end.
    std::optional<VbusSample> Found(size_t i, size_t end) const;

    const SampleSnapshot& samples_;
    mutable size_t lastFound_ = 0;  // the previous FirstAtOrAfter answer
    bool measured_ = false;
    int64_t interval_ = 0;
};
