// Shorthands for writing value-description lists, and the lists shared by several table files.
#pragma once

#include "pd/field_tables.h"

// The field equals `code`.
constexpr ValueDesc ValueIs(uint32_t code, const char* text) {
    return {0xFFFFFFFFu, code, text, 1};
}
// Flag `bit` is set; several flags of one field can match together.
constexpr ValueDesc FlagBit(int bit, const char* text) {
    return {1u << bit, 1u << bit, text, 1};
}
// Always matches; renders the field value times `multiplier`.
constexpr ValueDesc Always(const char* text, int32_t multiplier = 1) {
    return {0, 0, text, multiplier};
}

inline constexpr ValueDesc kUnits1W[] = {
    Always("%d [W]"),
};
