// The window layout record stored as "ZoduzAppSettings": 120 bytes, little-endian, holding the
// main window size, the two splitter positions and the message list font.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "settings/log_font.h"

inline constexpr size_t kLayoutRecordSize = 120;
inline constexpr uint32_t kLayoutRecordSignature = 0x5555AAAA;
inline constexpr uint16_t kLayoutRecordVersion = 0x0100;

struct LayoutRecord {
    uint32_t signature = kLayoutRecordSignature;
    uint16_t version = kLayoutRecordVersion;
    uint16_t zero = 0;
    int32_t windowWidth = 1200;     // main window outer width, pixels
    int32_t windowHeight = 700;     // main window outer height, pixels
    int32_t listRowHeight = 100;    // height of the message list row of the main splitter
    int32_t fieldTableWidth = 100;  // width of the field table column of the lower splitter
    int32_t listFontStored = 0;     // non-zero: listFont holds the message list font
    LogFontRecord listFont;         // all zero by default

    bool operator==(const LayoutRecord&) const = default;
};

std::array<uint8_t, kLayoutRecordSize> LayoutRecordBlock(const LayoutRecord& layout);
// A stored block is taken only when it is exactly 120 bytes long and carries the signature
// 0x5555AAAA and version 0x0100.
std::optional<LayoutRecord> LayoutRecordFromBlock(std::span<const uint8_t> block);
