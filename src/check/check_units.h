// Quantities and their texts as the findings show them.
#pragma once

#include <cstdint>
#include <string>

#include "check/finding.h"

inline Quantity Micros(int64_t us) {
    return {static_cast<double>(us), "µs"};
}
inline Quantity Millis(int64_t us) {
    return {static_cast<double>(us) / 1000.0, "ms"};
}
inline Quantity Millivolts(int mv) {
    return {static_cast<double>(mv), "mV"};
}
inline Quantity Milliwatts(int64_t mw) {
    return {static_cast<double>(mw), "mW"};
}

// "402 µs", "12.3 ms", "4.75 V": a number with its unit, trailing zeros dropped.
std::string QuantityText(const Quantity& quantity);

// "12.3 ms" for a time in µs.
inline std::string MillisText(int64_t us) {
    return QuantityText(Millis(us));
}
