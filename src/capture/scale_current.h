// Conversion of the analyzer's raw current readings to milliamperes.
#pragma once

#include <cstdint>

// Raw readings within +-2 are noise and read as 0; the rest scale by 1500/1598, truncated
// toward zero.
constexpr int32_t ScaleCurrent(int16_t raw) {
    if (raw >= -2 && raw <= 2) {
        return 0;
    }
    return static_cast<int32_t>(raw) * 1500 / 1598;
}
