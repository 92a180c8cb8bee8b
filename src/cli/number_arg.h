// Numeric option values of the zoduz-cli commands.
#pragma once

#include <charconv>
#include <optional>
#include <string>

// The whole text as a number of type T; none for an empty text or anything else around it.
template <typename T>
std::optional<T> ParseNumber(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}
