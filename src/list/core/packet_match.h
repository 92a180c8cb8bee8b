// The two tests of the find and filter criteria: MatchFind (which cell of a packet the find
// matches, if any) and PassesFilter (whether the display filter shows the packet).
#pragma once

#include <cstdint>
#include <optional>

#include "columns/column_text.h"
#include "list/core/find_criteria.h"
#include "pd/cc_packet.h"

// Class and type number of a header: extended when the revision field is 2 or more and bit 15
// is set, else data with data objects, else control; type bits 0-4 from revision 2, else 0-3.
struct HeaderMessageType {
    MessageClass messageClass;
    int type;
};
HeaderMessageType ClassifyHeader(uint16_t header);

// The message-type box of the packet's header; none when no box has its class and type.
std::optional<Criterion> PacketMessageTypeBox(const CCCPacket& packet);

// Column (PacketColumn) of the row's packet that the find criteria match, -1 for no match. The
// text rule searches the column texts of the row with the given context.
int MatchFind(const FindCriteria& criteria, const PacketRow& row, const ColumnContext& context);

// Whether the display filter criteria show the packet (the containing text is not part of it).
bool PassesFilter(const FindCriteria& criteria, const CCCPacket& packet);

// The list's full display filter: PassesFilter and, with a non-empty containing text, the text
// in one of the packet's columns.
bool ShownByFilter(const FindCriteria& criteria, const PacketRow& row,
                   const ColumnContext& context);
