// Bit-field extraction from the little-endian words of a PD message.
#pragma once

#include <cstdint>

// Bits first..last (inclusive, 0 = least significant) of value, shifted down.
constexpr uint32_t BitField(uint32_t value, int first, int last) {
    const int width = last - first + 1;
    const uint32_t mask = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
    return (value >> first) & mask;
}

constexpr bool BitSet(uint32_t value, int bit) {
    return ((value >> bit) & 1u) != 0;
}
