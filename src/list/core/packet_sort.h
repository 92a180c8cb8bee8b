// Order of the message list rows by one column.
#pragma once

#include <vector>

#include "pd/cc_packet.h"

// The rows sorted by the column: new row k is old row result[k]. Numeric columns compare their
// sort keys as signed 64-bit integers, the others their texts (current direction not reversed)
// code unit by code unit, case-sensitive; descending order swaps the operands. Rows that compare
// equal keep their order. Each packet's key or text is computed once.
std::vector<int> SortedRowOrder(const std::vector<CCCPacket*>& rows, int columnId, bool descending);
