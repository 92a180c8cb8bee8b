// Numeric option values of the zoduz-cli commands.
#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <type_traits>

// The whole text as a number of type T; none for an empty text, anything around the number
// (spaces, a '+'), and for a floating-point type "nan" and "inf".
template <typename T>
std::optional<T> ParseNumber(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    return value;
}
