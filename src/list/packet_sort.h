// Order of the message list rows by one column.
#pragma once

#include <cstdint>
#include <vector>

#include "pd/cc_packet.h"

// Bit of the ComparePackets parameter that asks for descending order.
inline constexpr uint32_t kSortDescending = 0x80000000u;

// -1, 0 or +1. Numeric columns compare their sort keys as signed 64-bit integers, the others
// their texts (current direction not reversed) code unit by code unit, case-sensitive. With
// kSortDescending set in the parameter the operands are swapped.
int ComparePackets(const CCCPacket& a, const CCCPacket& b, uint32_t parameter);

// The rows sorted by the column: new row k is old row result[k]. Rows that compare equal keep
// their order. Each packet's key or text is computed once.
std::vector<int> SortedRowOrder(const std::vector<CCCPacket*>& rows, int columnId, bool descending);
