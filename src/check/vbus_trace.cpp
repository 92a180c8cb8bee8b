#include "check/vbus_trace.h"

#include <cstdint>
#include <cstdlib>

#include "capture/plot_value.h"
#include "check/sample_search.h"

VbusTrace::VbusTrace(const SampleSnapshot& samples) : samples_(samples) {
    if (samples.Empty()) {
        return;
    }
    ValueExtremes extremes = samples.Extremes(0, samples.Size() - 1, PlotValue::VbusVoltage);
    measured_ = extremes.max > 0;
    if (samples.Size() > 1) {
        interval_ = (samples.Time(samples.Size() - 1) - samples.Time(0)) /
                    static_cast<int64_t>(samples.Size() - 1);
    }
}

size_t VbusTrace::Bisect(size_t low, size_t high, int64_t t) const {
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (samples_.Time(middle) < t) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

size_t VbusTrace::FirstAtOrAfter(int64_t t) const {
    // The checks walk the capture forward, and samples mostly come at a steady rate: the answer
    // is usually where that rate puts t, counted from the previous answer.
    const size_t size = samples_.Size();
    size_t from = lastFound_;
    if (interval_ > 0 && from < size) {
        const int64_t steps = (t - samples_.Time(from)) / interval_;
        from = static_cast<size_t>(
            std::clamp<int64_t>(static_cast<int64_t>(from) + steps, 0, static_cast<int64_t>(size)));
    }
    lastFound_ = from == 0 || samples_.Time(from - 1) < t ? GallopForward(t, from)
                                                          : GallopBackward(t, from - 1);
    return lastFound_;
}

size_t VbusTrace::GallopForward(int64_t t, size_t from) const {
    const size_t size = samples_.Size();
    size_t low = from;
    size_t high = from;
    for (size_t step = 1; high < size && samples_.Time(high) < t; step *= 2) {
        low = high + 1;
        high = low + step;
    }
    return Bisect(low, std::min(high, size), t);
}

size_t VbusTrace::GallopBackward(int64_t t, size_t from) const {
    size_t high = from;
    for (size_t step = 1; step <= high; step *= 2) {
        const size_t probe = high - step;
        if (samples_.Time(probe) < t) {
            return Bisect(probe + 1, high, t);
        }
        high = probe;
    }
    return Bisect(0, high, t);
}

std::optional<VbusSample> VbusTrace::Found(size_t i, size_t end) const {
    if (i >= end) {
        return std::nullopt;
    }
    return At(i);
}

std::optional<VbusSample> VbusTrace::AtOrBefore(int64_t t) const {
    size_t after = FirstAtOrAfter(t + 1);
    if (after == 0) {
        return std::nullopt;
    }
    return At(after - 1);
}

std::optional<VbusSample> VbusTrace::FirstOutside(int64_t from, int64_t to, int64_t low,
                                                  int64_t high) const {
    const size_t end = FirstAtOrAfter(to + 1);
    return Found(
        FindFirstOutside(samples_, FirstAtOrAfter(from), end, PlotValue::VbusVoltage, low, high),
        end);
}

std::optional<VbusSample> VbusTrace::FirstInside(int64_t from, int64_t to, int64_t low,
                                                 int64_t high) const {
    const size_t end = FirstAtOrAfter(to + 1);
    return Found(
        FindFirstInside(samples_, FirstAtOrAfter(from), end, PlotValue::VbusVoltage, low, high),
        end);
}

std::optional<VbusSample> VbusTrace::Highest(int64_t from, int64_t to) const {
    const size_t first = FirstAtOrAfter(from);
    const size_t end = FirstAtOrAfter(to + 1);
    if (first >= end) {
        return std::nullopt;
    }
    const int64_t highest = samples_.Extremes(first, end - 1, PlotValue::VbusVoltage).max;
    return Found(
        FindFirstOutside(samples_, first, end, PlotValue::VbusVoltage, INT64_MIN, highest - 1),
        end);
}

std::optional<VbusSample> VbusTrace::FarthestOutside(int64_t from, int64_t to, int64_t low,
                                                     int64_t high) const {
    const size_t first = FirstAtOrAfter(from);
    const size_t end = FirstAtOrAfter(to + 1);
    if (first >= end) {
        return std::nullopt;
    }
    // The distance falls toward the band and grows away from it, so the farthest voltage is the
    // lowest or the highest one.
    const ValueExtremes extremes = samples_.Extremes(first, end - 1, PlotValue::VbusVoltage);
    const int64_t farthest =
        std::max(BandDistance(extremes.min, low, high), BandDistance(extremes.max, low, high));
    if (farthest == 0) {
        return std::nullopt;
    }
    // The voltages that far: below low by `farthest`, or at or above low and above high by it.
    const int64_t below = low - farthest;
    const int64_t above = std::max(low, high + farthest);
    return Found(
        FindFirstOutside(samples_, first, end, PlotValue::VbusVoltage, below + 1, above - 1), end);
}

std::optional<WindowMean> VbusTrace::HighestWindowMean(int64_t from, int64_t to, int64_t length,
                                                       bool power, int64_t threshold) const {
    const PlotValue value = power ? PlotValue::VbusPower : PlotValue::VbusCurrent;
    const size_t end = FirstAtOrAfter(to + 1);
    // The next sample whose magnitude is beyond threshold: only a window holding one can have a
    // mean above it.
    auto nextBeyond = [&](size_t first) {
        return FindFirstOutside(samples_, first, end, value, -threshold, threshold);
    };
    size_t first = FirstAtOrAfter(from);
    size_t beyond = nextBeyond(first);
    int64_t windowStart = from;
    std::optional<WindowMean> best;
    while (beyond < end) {
        const size_t next = FirstAtOrAfter(windowStart + length);
        if (next >= end) {
            break;
        }
        if (beyond < next) {
            int64_t sum = 0;
            for (size_t i = first; i < next; ++i) {
                const StoredSample& sample = samples_.At(i);
                const int64_t current = std::abs(int64_t{sample.vbusCurrent});
                sum += power ? int64_t{sample.vbusVoltage} * current / 1000 : current;
            }
            const int64_t mean = sum / static_cast<int64_t>(next - first);
            if (mean > (best ? best->mean : threshold)) {
                best = WindowMean{mean, windowStart};
            }
            beyond = nextBeyond(next);
        }
        windowStart = samples_.Time(next);
        first = next;
    }
    return best;
}
