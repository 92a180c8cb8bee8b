#include "capture/timestamp_extender.h"

int64_t TimestampExtender::Extend(uint32_t raw) {
    uint64_t high = static_cast<uint64_t>(widened_) & 0xFFFFFFFF00000000ull;
    if (static_cast<uint32_t>(widened_) > raw) {
        high += 0x100000000ull;
    }
    widened_ = static_cast<int64_t>(high | raw);
    return widened_;
}
