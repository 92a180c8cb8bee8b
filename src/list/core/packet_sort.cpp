#include "list/core/packet_sort.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "capture/utf16.h"
#include "columns/column_text.h"
#include "pd/packet_column.h"

namespace {

// Column texts as UTF-16, so that non-ASCII characters order by code unit.
std::u16string SortText(const PacketRow& row, int columnId, const ColumnContext& context) {
    return Utf8ToUtf16(ColumnText(row, columnId, context));
}

template <typename Key>
std::vector<int> OrderByKeys(const std::vector<Key>& keys, bool descending) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });
    return order;
}

}  // namespace

std::vector<int> SortedRowOrder(std::span<const PacketRow> rows, int columnId, bool descending,
                                const ColumnContext& context) {
    if (IsNumericSortColumn(columnId)) {
        std::vector<int64_t> keys;
        keys.reserve(rows.size());
        for (const PacketRow& row : rows) {
            keys.push_back(ColumnSortKey(row, columnId, context));
        }
        return OrderByKeys(keys, descending);
    }
    ColumnContext textContext = context;
    textContext.reverseCurrent = false;
    std::vector<std::u16string> texts;
    texts.reserve(rows.size());
    for (const PacketRow& row : rows) {
        texts.push_back(SortText(row, columnId, textContext));
    }
    return OrderByKeys(texts, descending);
}
