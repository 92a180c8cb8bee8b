// Conversions that truncate toward zero like integer casts but saturate instead of overflowing
// (a graph scale set by a zoom rectangle or fit may be extreme, a crafted file's times may lie
// near the 64-bit bounds) and map NaN to 0; additions and subtractions that saturate.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t TruncToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

inline int64_t TruncToInt64(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 9.2233720368547758e18) {
        return std::numeric_limits<int64_t>::max();
    }
    if (value <= -9.2233720368547758e18) {
        return std::numeric_limits<int64_t>::min();
    }
    return static_cast<int64_t>(value);
}

// a + b and a - b without signed overflow: the result saturates at the 64-bit bounds.
inline int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t result;
    if (__builtin_add_overflow(a, b, &result)) {
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return result;
}
inline int64_t SaturatingSub(int64_t a, int64_t b) {
    int64_t result;
    if (__builtin_sub_overflow(a, b, &result)) {
        return b < 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return result;
}
