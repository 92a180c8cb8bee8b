// The trapezoid energy of the VBUS power between two points in time, split into the energy
// flowing in the recorded current direction (positive) and against it (negative). Both sums are
// 64-bit unsigned in µW·µs and wrap like the integration they come from, so a sum over many
// segments can be taken as the difference of two running sums.
#pragma once

#include <cstdint>

#include "capture/stored_sample.h"

// One point of the integration: time (µs), VBUS current (mA) and VBUS power (mA·mV = µW).
struct EnergyPoint {
    int64_t time = 0;
    int64_t current = 0;
    int64_t power = 0;
};

struct EnergySums {
    uint64_t positive = 0;
    uint64_t negative = 0;

    EnergySums operator-(const EnergySums& other) const {
        return {positive - other.positive, negative - other.negative};
    }
    EnergySums& operator+=(const EnergySums& other) {
        positive += other.positive;
        negative += other.negative;
        return *this;
    }
    bool operator==(const EnergySums&) const = default;
};

// Time as stored (relative to the capture start), VBUS current as stored, and their power.
inline EnergyPoint EnergyPointOf(const StoredSample& sample) {
    int64_t current = sample.vbusCurrent;
    return {sample.Time(), current, current * sample.vbusVoltage};
}

// The point at time t on the straight line from a to b (a.time < b.time): current and power
// interpolated in double precision and truncated toward zero.
EnergyPoint InterpolateEnergyPoint(const EnergyPoint& a, const EnergyPoint& b, int64_t t);

inline uint64_t PowerMagnitude(int64_t power) {
    return power < 0 ? 0 - static_cast<uint64_t>(power) : static_cast<uint64_t>(power);
}

// Adds a segment whose current changes sign inside it, split at the current's linear zero
// crossing.
void AccumulateSplitSegment(EnergySums& sums, const EnergyPoint& a, const EnergyPoint& b);

// Adds the segment from a to b; where the current changes sign inside it, the segment is split
// at the current's linear zero crossing. Inline: it runs once for every stored sample.
inline void AccumulateSegment(EnergySums& sums, const EnergyPoint& a, const EnergyPoint& b) {
    uint64_t d = static_cast<uint64_t>(b.time) - static_cast<uint64_t>(a.time);
    if (a.current >= 0 && b.current >= 0) {
        sums.positive += (static_cast<uint64_t>(a.power) + static_cast<uint64_t>(b.power)) * d >> 1;
    } else if (a.current <= 0 && b.current <= 0) {
        sums.negative += (PowerMagnitude(a.power) + PowerMagnitude(b.power)) * d >> 1;
    } else {
        AccumulateSplitSegment(sums, a, b);
    }
}
