// Bisection over a time-ordered array for the last element whose key is at or before a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// Last index whose key is <= t: the last element first (the usual case of following the end),
// then halving [0, last] while keeping key(lo) <= t. None when the array is empty or every key
// is greater than t.
template <typename KeyAt>
std::optional<size_t> FindLastAtOrBefore(size_t count, int64_t t, KeyAt key) {
    if (count == 0) {
        return std::nullopt;
    }
    size_t last = count - 1;
    if (key(last) <= t) {
        return last;
    }
    if (key(0) > t) {
        return std::nullopt;
    }
    size_t lo = 0;
    size_t hi = last;
    while (hi - lo > 1) {
        size_t mid = lo + (hi - lo) / 2;
        if (key(mid) <= t) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return lo;
}
