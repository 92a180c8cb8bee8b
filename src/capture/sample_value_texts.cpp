#include "capture/sample_value_texts.h"

#include <cstdio>

namespace {

std::string Format(const char* format, float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
    return buffer;
}

float Current(int16_t stored, bool reverseCurrent) {
    return static_cast<float>(reverseCurrent ? -stored : stored);
}

}  // namespace

std::string VBusVoltageText(const CVbusInfo& sample) {
    return Format("%2.2f", static_cast<float>(sample.vbusVoltage) / 1000);
}

std::string VBusCurrentText(const CVbusInfo& sample, bool reverseCurrent) {
    return Format("%1.3f", Current(sample.vbusCurrent, reverseCurrent) / 1000);
}

std::string VBusWattageText(const CVbusInfo& sample, bool reverseCurrent) {
    float watts = Current(sample.vbusCurrent, reverseCurrent) *
                  static_cast<float>(sample.vbusVoltage) / 1000 / 1000;
    return Format("%.3f", watts);
}

std::string CcVoltageText(const CVbusInfo& sample, CcLine line) {
    int16_t voltage = line == CcLine::Cc1 ? sample.cc1Voltage : sample.cc2Voltage;
    return Format("%1.2f", static_cast<float>(voltage) / 1000);
}

std::string CcCurrentText(const CVbusInfo& sample, CcLine line, bool reverseCurrent) {
    int16_t current = line == CcLine::Cc1 ? sample.cc1Current : sample.cc2Current;
    return Format("%1.3f", Current(current, reverseCurrent) / 1000);
}
