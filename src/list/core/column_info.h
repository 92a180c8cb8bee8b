// Layout record of one message list column (shown, width, display order) and its stored form:
// the value "ColumnInfo<id>", 12 bytes, three little-endian 32-bit integers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pd/packet_column.h"

inline constexpr size_t kColumnInfoSize = 12;

struct ColumnInfo {
    int32_t shown = 0;  // 0 or 1 when written by the application; other values are kept as read
    int32_t width = 0;  // pixels
    int32_t order = 0;  // display position, 0 = leftmost

    bool operator==(const ColumnInfo&) const = default;
};

using ColumnLayout = std::array<ColumnInfo, kPacketColumnCount>;

// The list default of a column id; a zero record for an id outside 0-37.
ColumnInfo DefaultColumnInfo(int column);
ColumnLayout DefaultColumnLayout();

// "ColumnInfo<id>".
std::string ColumnInfoValueName(int column);

std::array<uint8_t, kColumnInfoSize> ColumnInfoBlock(const ColumnInfo& info);
// A stored block is a record only when it is exactly 12 bytes long.
std::optional<ColumnInfo> ColumnInfoFromBlock(std::span<const uint8_t> block);
