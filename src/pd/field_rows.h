// Rows of the field table: the bit fields of a node's bit range, one row per 128 bits of a
// field, with offset, length, name, value, description, hex and ASCII texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pd/cc_packet.h"
#include "pd/field_tree.h"

struct FieldColumn {
    const char* title;
    int width;  // initial width in pixels
};

// The columns of the field table, in order.
inline constexpr FieldColumn kFieldColumns[] = {
    {"Offset [bits]", 50}, {"Length [bits]", 50}, {"Field name", 200}, {"Value", 200},
    {"Description", 300},  {"HEX", 100},          {"ASCII", 100},
};

struct FieldRow {
    std::string offset;  // "%d", or "%d..%d" for fields of more than one bit
    std::string length;
    std::string name;
    std::string value;
    std::string description;
    std::string hex;
    std::string ascii;
};

// The rows for bit range `range` of the packet. Offsets count from the first bit of the range;
// fields are shown only up to the end of the range, bits no field starts at are skipped.
std::vector<FieldRow> BuildFieldRows(const CCCPacket& packet, const FieldBitRange& range);

// The rows for tree node `code` (0: nothing selected, the packet node); none for a code that
// names no node kind.
std::vector<FieldRow> FieldRowsForNode(const CCCPacket& packet, uint32_t code);
