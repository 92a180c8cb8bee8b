#include "columns/value_text.h"

#include "pd/text_format.h"

std::string VoltageText(const char* format, uint16_t millivolts) {
    const float volts = static_cast<float>(millivolts) / 1000.0f;
    return FormatText(format, static_cast<double>(volts));
}

std::string CurrentText(int milliamperes, bool reverseCurrent) {
    const float amperes =
        static_cast<float>(reverseCurrent ? -milliamperes : milliamperes) / 1000.0f;
    return FormatText("%1.3f", static_cast<double>(amperes));
}

std::string WattageText(uint16_t millivolts, int milliamperes, bool reverseCurrent) {
    const int current = reverseCurrent ? -milliamperes : milliamperes;
    const float watts =
        static_cast<float>(current) * static_cast<float>(millivolts) / 1000.0f / 1000.0f;
    return FormatText("%1.3f", static_cast<double>(watts));
}
