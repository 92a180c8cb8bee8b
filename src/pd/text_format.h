// printf-style building of the texts shown for a packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "pd/bit_field.h"

#if defined(__GNUC__)
#define ZODUZ_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ZODUZ_PRINTF_FORMAT(fmt, args)
#endif

// The formatted text, of any length.
std::string FormatText(const char* format, ...) ZODUZ_PRINTF_FORMAT(1, 2);

// Appends the formatted text to `out`.
void AppendFormat(std::string& out, const char* format, ...) ZODUZ_PRINTF_FORMAT(2, 3);

// Appends text as a JSON string: quotes, backslashes and control characters escaped, other
// bytes (UTF-8 included) as they are.
void AppendJsonString(std::string& out, const std::string& text);

// Appends texts[value]; a value past the table (or an empty entry) appends nothing.
template <size_t N>
void AppendTableText(std::string& out, const char* const (&texts)[N], uint32_t value) {
    if (value < N) {
        out += texts[value];
    }
}

// Appends text when the bit of word is set.
inline void AppendIfBit(std::string& out, uint32_t word, int bit, const char* text) {
    if (BitSet(word, bit)) {
        out += text;
    }
}
