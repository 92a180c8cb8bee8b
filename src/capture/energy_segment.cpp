#include "capture/energy_segment.h"

#include "capture/saturating_math.h"

namespace {

uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

int64_t Interpolate(int64_t from, int64_t to, double dt, double span) {
    return from + TruncToInt64(static_cast<double>(to - from) / span * dt);
}

}  // namespace

EnergyPoint EnergyPointOf(const StoredSample& sample) {
    int64_t current = sample.vbusCurrent;
    return {sample.Time(), current, current * sample.vbusVoltage};
}

EnergyPoint InterpolateEnergyPoint(const EnergyPoint& a, const EnergyPoint& b, int64_t t) {
    auto span = static_cast<double>(b.time - a.time);
    auto dt = static_cast<double>(t - a.time);
    return {t, Interpolate(a.current, b.current, dt, span),
            Interpolate(a.power, b.power, dt, span)};
}

void AccumulateSegment(EnergySums& sums, const EnergyPoint& a, const EnergyPoint& b) {
    uint64_t d = static_cast<uint64_t>(b.time) - static_cast<uint64_t>(a.time);
    if (a.current >= 0 && b.current >= 0) {
        sums.positive += (static_cast<uint64_t>(a.power) + static_cast<uint64_t>(b.power)) * d >> 1;
    } else if (a.current <= 0 && b.current <= 0) {
        sums.negative += (Magnitude(a.power) + Magnitude(b.power)) * d >> 1;
    } else if (a.current < 0) {
        // Negative head, positive tail of length f.
        uint64_t f = static_cast<uint64_t>(b.current) * d /
                     (static_cast<uint64_t>(b.current) - static_cast<uint64_t>(a.current));
        sums.positive += static_cast<uint64_t>(b.power) * f >> 1;
        sums.negative += Magnitude(a.power) * (d - f) >> 1;
    } else {
        // Positive head of length f, negative tail.
        uint64_t f = static_cast<uint64_t>(a.current) * d /
                     (static_cast<uint64_t>(a.current) - static_cast<uint64_t>(b.current));
        sums.positive += static_cast<uint64_t>(a.power) * f >> 1;
        sums.negative += Magnitude(b.power) * (d - f) >> 1;
    }
}
