// Widening of the analyzer's 32-bit microsecond timestamps to 64 bits.
#pragma once

#include <cstdint>

// Each independent timestamp stream (all samples; each CC line) has its own extender. A raw
// value below the low 32 bits of the previous widened value means the counter wrapped.
class TimestampExtender {
  public:
    int64_t Extend(uint32_t raw);
    void Reset() { widened_ = 0; }

  private:
    int64_t widened_ = 0;
};
