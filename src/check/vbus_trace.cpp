#include "check/vbus_trace.h"

#include "capture/plot_value.h"

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

VbusSample VbusTrace::At(size_t i) const {
    const StoredSample& stored = samples_.At(i);
    return {stored.Time(), stored.vbusVoltage, stored.vbusCurrent};
}

size_t VbusTrace::FirstAtOrAfter(int64_t t) const {
    size_t low = 0;
    size_t high = samples_.Size();
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

std::optional<VbusSample> VbusTrace::AtOrBefore(int64_t t) const {
    size_t after = FirstAtOrAfter(t + 1);
    if (after == 0) {
        return std::nullopt;
    }
    return At(after - 1);
}

std::optional<VbusSample> VbusTrace::FirstWhere(int64_t from, int64_t to, int low, int high,
                                                bool inside) const {
    for (size_t i = FirstAtOrAfter(from); i < samples_.Size(); ++i) {
        VbusSample sample = At(i);
        if (sample.time > to) {
            break;
        }
        bool isInside = sample.voltage >= low && sample.voltage <= high;
        if (isInside == inside) {
            return sample;
        }
    }
    return std::nullopt;
}

std::optional<VbusSample> VbusTrace::FirstOutside(int64_t from, int64_t to, int low,
                                                  int high) const {
    return FirstWhere(from, to, low, high, false);
}

std::optional<VbusSample> VbusTrace::FirstInside(int64_t from, int64_t to, int low,
                                                 int high) const {
    return FirstWhere(from, to, low, high, true);
}

std::optional<VbusSample> VbusTrace::Highest(int64_t from, int64_t to) const {
    std::optional<VbusSample> best;
    for (size_t i = FirstAtOrAfter(from); i < samples_.Size(); ++i) {
        VbusSample sample = At(i);
        if (sample.time > to) {
            break;
        }
        if (!best || sample.voltage > best->voltage) {
            best = sample;
        }
    }
    return best;
}
