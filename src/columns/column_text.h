// The texts of a packet's 38 list columns, their sort keys, the row search and the shared time
// format. The texts read the packet and an explicit column context only: the time origin, the
// current direction and a sample lookup, taken once by the caller (a list refresh, an export,
// a command) instead of per cell.
//
// Thread safety: every operation here may run on the user-interface thread and on an export
// worker for the same packet at once. None of them writes the packet: a packet without a VBUS
// snapshot gets its values from the context's sample lookup each time a VBUS column is asked
// for.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "columns/packet_row.h"
#include "pd/cc_packet.h"
#include "pd/packet_column.h"

// The VBUS and CC readings shown for a packet.
struct PacketVbusValues {
    uint16_t vbusVoltage = 0;  // mV
    int16_t vbusCurrent = 0;   // mA
    int16_t cc1Voltage = 0;
    int16_t cc2Voltage = 0;
    int16_t cc1Current = 0;
    int16_t cc2Current = 0;
};

// The readings of the latest sample at or before a time on the packets' relTime scale; none
// when there is no such sample.
using SampleLookup = std::function<std::optional<PacketVbusValues>(int64_t relTime)>;

// What the column texts read besides the packet.
struct ColumnContext {
    int64_t timeOrigin = 0;       // relTime at which the "Timestamp" column reads 0
    bool reverseCurrent = false;  // negates the current columns and the wattage
    SampleLookup samples;         // for packets without a VBUS snapshot; none: no values
};

// Text of column `column` (0-37) for the row's packet; "" for an unknown column or missing
// data.
std::string ColumnText(const PacketRow& row, int column, const ColumnContext& context);

// Numeric sort key of a column; -1 when the column has no value or is sorted by text. Only the
// sample lookup of the context is used (keys never negate currents).
int64_t ColumnSortKey(const PacketRow& row, int column, const ColumnContext& context);

// Lowest column id whose text contains `text`, comparing with the ASCII letters a-z folded to
// upper case (no other character is folded); -1 when no column matches.
int FindInColumns(const PacketRow& row, const std::string& text, const ColumnContext& context);

// Microseconds as " 1h  2min  3s 004ms 005us", "- 0s   1ms 500us" and the like.
std::string FormatTime(int64_t microseconds);

// The packet's VBUS snapshot, or else the context's latest sample at or before the packet; none
// without a lookup or such a sample.
std::optional<PacketVbusValues> PacketVbus(const CCCPacket& packet, const ColumnContext& context);
