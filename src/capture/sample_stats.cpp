#include "capture/sample_stats.h"

#include <algorithm>

namespace {

int32_t PowerMw(int32_t voltage, int32_t current) {
    return voltage * current / 1000;
}

}  // namespace

void UpdateSampleStats(SampleStats& stats, const CVbusInfo& sample) {
    const int32_t voltages[3] = {sample.vbusVoltage, sample.cc1Voltage, sample.cc2Voltage};
    const int32_t currents[3] = {sample.vbusCurrent, sample.cc1Current, sample.cc2Current};
    for (int i = 0; i < 3; ++i) {
        stats.maxVoltage = std::max(stats.maxVoltage, voltages[i]);
        stats.maxCurrent = std::max(stats.maxCurrent, currents[i]);
        stats.minCurrent = std::min(stats.minCurrent, currents[i]);
        int32_t power = PowerMw(voltages[i], currents[i]);
        stats.maxPower = std::max(stats.maxPower, power);
        stats.minPower = std::min(stats.minPower, power);
    }
    int32_t vbusPower = PowerMw(voltages[0], currents[0]);
    if (vbusPower > stats.maxVbusPower) {
        stats.maxVbusPower = vbusPower;
        stats.maxVbusPowerVoltage = voltages[0];
        stats.maxVbusPowerCurrent = currents[0];
    }
    if (vbusPower < stats.minVbusPower) {
        stats.minVbusPower = vbusPower;
        stats.minVbusPowerVoltage = voltages[0];
        stats.minVbusPowerCurrent = currents[0];
    }
}
