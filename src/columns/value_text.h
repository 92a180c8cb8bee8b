// Texts of VBUS and CC readings, shared by the packet columns and the sample rows of an export:
// values in single-precision floating point, currents negated when reverseCurrent is set.
#pragma once

#include <cstdint>
#include <string>

#include "capture/record_block.h"

// millivolts / 1000 with format ("%2.2f" for VBUS, "%1.2f" for CC).
std::string VoltageText(const char* format, uint16_t millivolts);
// (reverseCurrent ? -mA : mA) / 1000 as "%1.3f".
std::string CurrentText(int milliamperes, bool reverseCurrent);
// (reverseCurrent ? -mA : mA) x mV / 1000 / 1000 as "%1.3f".
std::string WattageText(uint16_t millivolts, int milliamperes, bool reverseCurrent);

// The value texts of one sample.
inline std::string VBusVoltageText(const CVbusInfo& s) {
    return VoltageText("%2.2f", s.vbusVoltage);
}
inline std::string VBusCurrentText(const CVbusInfo& s, bool r) {
    return CurrentText(s.vbusCurrent, r);
}
inline std::string VBusWattageText(const CVbusInfo& s, bool r) {
    return WattageText(s.vbusVoltage, s.vbusCurrent, r);
}
// CC voltages are shown unsigned, like the packet columns.
inline std::string CcVoltageText(int16_t ccMillivolts) {
    return VoltageText("%1.2f", static_cast<uint16_t>(ccMillivolts));
}
inline std::string CcCurrentText(int16_t ccMilliamperes, bool r) {
    return CurrentText(ccMilliamperes, r);
}
