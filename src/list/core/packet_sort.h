// Order of the message list rows by one column.
#pragma once

#include <span>
#include <vector>

#include "columns/column_text.h"
#include "columns/packet_row.h"

// The rows sorted by the column: new row k is old row result[k]. Numeric columns compare their
// sort keys as signed 64-bit integers, the others their texts (current direction not reversed,
// whatever the context says) code unit by code unit, case-sensitive; descending order swaps the
// operands. Rows that compare equal keep their order. Each row's key or text is computed once.
std::vector<int> SortedRowOrder(std::span<const PacketRow> rows, int columnId, bool descending,
                                const ColumnContext& context);
