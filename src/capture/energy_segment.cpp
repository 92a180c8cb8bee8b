#include "capture/energy_segment.h"

#include "capture/saturating_math.h"

namespace {

int64_t Interpolate(int64_t from, int64_t to, double dt, double span) {
    return from + TruncToInt64(static_cast<double>(to - from) / span * dt);
}

}  // namespace

EnergyPoint InterpolateEnergyPoint(const EnergyPoint& a, const EnergyPoint& b, int64_t t) {
    auto span = static_cast<double>(b.time - a.time);
    auto dt = static_cast<double>(t - a.time);
    return {t, Interpolate(a.current, b.current, dt, span),
            Interpolate(a.power, b.power, dt, span)};
}

void AccumulateSplitSegment(EnergySums& sums, const EnergyPoint& a, const EnergyPoint& b) {
    uint64_t d = static_cast<uint64_t>(b.time) - static_cast<uint64_t>(a.time);
    if (a.current < 0) {
        // Negative head, positive tail of length f.
        uint64_t f = static_cast<uint64_t>(b.current) * d /
                     (static_cast<uint64_t>(b.current) - static_cast<uint64_t>(a.current));
        sums.positive += static_cast<uint64_t>(b.power) * f >> 1;
        sums.negative += PowerMagnitude(a.power) * (d - f) >> 1;
    } else {
        // Positive head of length f, negative tail.
        uint64_t f = static_cast<uint64_t>(a.current) * d /
                     (static_cast<uint64_t>(a.current) - static_cast<uint64_t>(b.current));
        sums.positive += static_cast<uint64_t>(a.power) * f >> 1;
        sums.negative += PowerMagnitude(b.power) * (d - f) >> 1;
    }
}
