// The 38 columns in which a packet is shown as a row of text: ids, titles and list defaults.
#pragma once

#include <array>
#include <cstdint>

// Column ids. The id indexes the title table below, the per-column layout records and the
// column texts, so the values are fixed.
enum PacketColumn : int32_t {
    kColumnPacketNumber = 0,
    kColumnIdleTime = 1,
    kColumnTimestamp = 2,
    kColumnPacketLength = 3,
    kColumnVbusVoltage = 4,
    kColumnVbusCurrent = 5,
    kColumnChannel = 6,
    kColumnOrderedSet = 7,
    kColumnPowerRole = 8,
    kColumnDataRole = 9,
    kColumnCablePlug = 10,
    kColumnMessageType = 11,
    kColumnMessageId = 12,
    kColumnRevision = 13,
    kColumnDataObjectCount = 14,
    kColumnExtended = 15,
    kColumnExtHeader = 16,
    kColumnExtChunked = 17,
    kColumnExtChunkNumber = 18,
    kColumnExtRequestChunk = 19,
    kColumnExtDataSize = 20,
    kColumnDescription = 21,
    kColumnMessageSize = 22,
    kColumnHeader = 23,
    kColumnDataObjects = 24,
    kColumnPayload = 25,
    kColumnCrc = 26,
    kColumnEdgeCount = 27,
    kColumnCc1Voltage = 28,
    kColumnCc1Current = 29,
    kColumnCc2Voltage = 30,
    kColumnCc2Current = 31,
    kColumnBmc = 32,
    kColumnPreambleLength = 33,
    kColumnAverageUnitInterval = 34,
    kColumnHexBytes = 35,
    kColumnAsciiBytes = 36,
    kColumnVbusWattage = 37,
};

inline constexpr int kPacketColumnCount = 38;

// Titles and list defaults of one column.
struct PacketColumnInfo {
    const char* shortTitle;  // list header
    const char* longTitle;   // column settings dialog, JSON keys of the decode command
    bool defaultShown;
    int32_t defaultWidth;  // pixels
    int32_t defaultOrder;  // display position, 0 = leftmost; the defaults form a permutation
    bool numericSort;      // sorted by ColumnSortKey, otherwise by the column text
};

inline constexpr std::array<PacketColumnInfo, kPacketColumnCount> kPacketColumns = {{
    {"#", "Packet Number", true, 50, 0, true},
    {"Idle Time", "Idle Time", false, 120, 1, true},
    {"Timestamp", "Timestamp", true, 120, 2, true},
    {"Pkt Len[us]", "Packet Length [us]", false, 70, 3, true},
    {"VBUS Vol[V]", "VBUS Voltage [V]", false, 70, 4, true},
    {"VBUS Curr[A]", "VBUS Current [A]", false, 70, 5, true},
    {"CH", "Channel", true, 40, 10, true},
    {"OS", "Ordered Set", true, 80, 11, true},
    {"Power", "Port Power Role", true, 60, 12, false},
    {"Data", "Port Data Role", true, 60, 13, false},
    {"Cable Plug", "Cable Plug", true, 80, 14, false},
    {"Type", "Message Type", true, 150, 15, false},
    {"Mes ID", "MessageID", true, 60, 16, true},
    {"Rev.", "Specification Revision", false, 40, 17, false},
    {"NumDOs", "Number of Data Objects", false, 60, 18, true},
    {"Extended", "Extended", false, 40, 19, true},
    {"Ex Header", "Extended Message Header (Extended=1)", false, 60, 27, false},
    {"Ex Chunked", "Extended Chunked (Extended=1)", false, 40, 20, false},
    {"Ex Chunk Num", "Extended Chunk Number (Extended=1)", false, 40, 21, false},
    {"Ex Request Chunk", "Extended Request Chunk (Extended=1)", false, 40, 22, false},
    {"Ex Data Size", "Extended Data Size (Extended=1)", false, 60, 23, false},
    {"Description", "Description", true, 300, 24, false},
    {"Message Size", "Message Size", false, 60, 25, true},
    {"Header", "Message Header", false, 60, 26, true},
    {"Data Objects or Ex Data", "Data Objects (Extended=0) or Extended Data Bytes (Extended=1)",
     false, 200, 28, false},
    {"Payload", "Data Payload", false, 200, 34, false},
    {"CRC", "CRC", false, 80, 29, true},
    {"Edges", "Number of CC Edges", false, 60, 30, true},
    {"CC1 Vol[V]", "CC1 Voltage [V]", false, 70, 6, true},
    {"CC1 Curr[A]", "CC1 Current [A]", false, 70, 7, true},
    {"CC2 Vol[V]", "CC2 Voltage [V]", false, 70, 8, true},
    {"CC2 Cur[A]", "CC2 Current [A]", false, 70, 9, true},
    {"BMC", "BMC", false, 200, 33, false},
    {"Preamble Len", "Preamble Length [bits]", false, 80, 32, false},
    {"Ave.UI[us]", "Average Unit Interval [us]", false, 80, 31, false},
    {"Message Bytes (HEX)", "PD Message Bytes (HEX)", false, 190, 35, false},
    {"Message Bytes (ASCII)", "PD Message Bytes (ASCII)", false, 190, 36, false},
    {"VBUS Watt[W]", "VBUS Wattage [W]", false, 70, 37, true},
}};

inline constexpr bool IsValidColumn(int column) {
    return column >= 0 && column < kPacketColumnCount;
}

// Titles of a column id; "" for an id outside 0-37.
inline constexpr const char* ColumnShortTitle(int column) {
    return IsValidColumn(column) ? kPacketColumns[column].shortTitle : "";
}
inline constexpr const char* ColumnLongTitle(int column) {
    return IsValidColumn(column) ? kPacketColumns[column].longTitle : "";
}

// True for the columns the list sorts by ColumnSortKey rather than by text.
inline constexpr bool IsNumericSortColumn(int column) {
    return IsValidColumn(column) && kPacketColumns[column].numericSort;
}
