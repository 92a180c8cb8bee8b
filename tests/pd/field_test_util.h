// Helpers of the field breakdown tests: data blocks from words and row lookups.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "pd/field_rows.h"

namespace fields {

// Little-endian bytes of 32-bit words.
inline std::vector<uint8_t> WordBytes(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> bytes;
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(word >> shift));
        }
    }
    return bytes;
}

inline std::vector<std::string> Names(const std::vector<FieldRow>& rows) {
    std::vector<std::string> names;
    for (const FieldRow& row : rows) {
        names.push_back(row.name);
    }
    return names;
}

inline std::vector<std::string> Offsets(const std::vector<FieldRow>& rows) {
    std::vector<std::string> offsets;
    for (const FieldRow& row : rows) {
        offsets.push_back(row.offset);
    }
    return offsets;
}

// The first row named `name`; fails the test when there is none.
inline FieldRow RowNamed(const std::vector<FieldRow>& rows, const std::string& name) {
    for (const FieldRow& row : rows) {
        if (row.name == name) {
            return row;
        }
    }
    ADD_FAILURE() << "no row named " << name;
    return {};
}

inline void ExpectRow(const FieldRow& row, const std::string& offset, const std::string& length,
                      const std::string& name, const std::string& value,
                      const std::string& description) {
    EXPECT_EQ(row.offset, offset);
    EXPECT_EQ(row.length, length);
    EXPECT_EQ(row.name, name);
    EXPECT_EQ(row.value, value);
    EXPECT_EQ(row.description, description);
}

}  // namespace fields
