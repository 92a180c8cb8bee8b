// The texts of a packet's 38 list columns, their sort keys, the row search and the shared time
// format. The texts read the packet and its owning document only.
//
// Thread safety: every operation here may run on the user-interface thread and on an export
// worker for the same packet at once. None of them writes the packet: a packet without a VBUS
// snapshot gets its values looked up in the document (under the document's lock) each time a
// VBUS column is asked for. LookupVbus, which does write the packet, is for the owner of a
// packet that no other thread can see yet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// Text of column `column` (0-37) for the packet; "" for an unknown column or missing data.
// reverseCurrent negates the current columns and the wattage.
std::string ColumnText(const CCCPacket& packet, int column, bool reverseCurrent);

// Numeric sort key of a column; -1 when the column has no value or is sorted by text.
int64_t ColumnSortKey(const CCCPacket& packet, int column);

// Lowest column id whose text contains `text`, comparing with the ASCII letters a-z folded to
// upper case (no other character is folded); -1 when no column matches.
int FindInColumns(const CCCPacket& packet, const std::string& text, bool reverseCurrent);

// Microseconds as " 1h  2min  3s 004ms 005us", "- 0s   1ms 500us" and the like.
std::string FormatTime(int64_t microseconds);

// The packet's VBUS snapshot, or else the latest sample of its document at or before the
// packet; none when the packet has no document or the document no such sample.
std::optional<PacketVbusValues> PacketVbus(const CCCPacket& packet);

// Copies the latest sample at or before the packet into its VBUS fields and sets vbusValid.
// Returns false (nothing written) without a document or sample. Writes the packet: call it only
// while no other thread reads the packet, e.g. before handing the packet to any reader.
bool LookupVbus(CCCPacket& packet);
