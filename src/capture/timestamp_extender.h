// Widening of the analyzer's 32-bit microsecond timestamps to 64 bits.
#pragma once

#include <cstdint>

// Each independent timestamp stream (all samples; each CC line) has its own extender. A raw
// value below the low 32 bits of the previous widened value means the counter wrapped.
class TimestampExtender {
  public:
    // Inline: it runs for every sample and every edge block.
    int64_t Extend(uint32_t raw) {
        uint64_t high = static_cast<uint64_t>(widened_) & 0xFFFFFFFF00000000ull;
        if (static_cast<uint32_t>(widened_) > raw) {
            high += 0x100000000ull;
        }
        widened_ = static_cast<int64_t>(high | raw);
        return widened_;
    }
    void Reset() { widened_ = 0; }

  private:
    int64_t widened_ = 0;
};
