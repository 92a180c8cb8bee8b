// The nine values of a sample that the graph plots: the six readings and the three powers.
#pragma once

#include <cstdint>

#include "capture/stored_sample.h"

enum class PlotValue {
    VbusVoltage,
    VbusCurrent,
    Cc1Voltage,
    Cc1Current,
    Cc2Voltage,
    Cc2Current,
    VbusPower,
    Cc1Power,
    Cc2Power,
};
inline constexpr int kPlotValueCount = 9;

// mW: current * voltage / 1000 in integers, truncated toward zero; always fits 32 bits.
inline int32_t PowerMilliwatts(int32_t current, int32_t voltage) {
    return static_cast<int32_t>(static_cast<int64_t>(current) * voltage / 1000);
}

// The value as stored (currents and powers in the recorded sign).
inline int32_t PlotValueOf(const StoredSample& s, PlotValue value) {
    switch (value) {
        case PlotValue::VbusVoltage:
            return s.vbusVoltage;
        case PlotValue::VbusCurrent:
            return s.vbusCurrent;
        case PlotValue::Cc1Voltage:
            return s.cc1Voltage;
        case PlotValue::Cc1Current:
            return s.cc1Current;
        case PlotValue::Cc2Voltage:
            return s.cc2Voltage;
        case PlotValue::Cc2Current:
            return s.cc2Current;
        case PlotValue::VbusPower:
            return PowerMilliwatts(s.vbusCurrent, s.vbusVoltage);
        case PlotValue::Cc1Power:
            return PowerMilliwatts(s.cc1Current, s.cc1Voltage);
        case PlotValue::Cc2Power:
            return PowerMilliwatts(s.cc2Current, s.cc2Voltage);
    }
    return 0;
}
