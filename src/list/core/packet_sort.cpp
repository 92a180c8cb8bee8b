#include "list/core/packet_sort.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "list/core/utf16.h"
#include "pd/columns/column_text.h"
#include "pd/packet_column.h"

namespace {

// Column texts as UTF-16, so that non-ASCII characters order by code unit.
std::u16string SortText(const CCCPacket& packet, int columnId) {
    return Utf8ToUtf16(ColumnText(packet, columnId, false));
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

std::vector<int> SortedRowOrder(const std::vector<CCCPacket*>& rows, int columnId,
                                bool descending) {
    if (IsNumericSortColumn(columnId)) {
        std::vector<int64_t> keys;
        keys.reserve(rows.size());
        for (const CCCPacket* packet : rows) {
            keys.push_back(ColumnSortKey(*packet, columnId));
        }
        return OrderByKeys(keys, descending);
    }
    std::vector<std::u16string> texts;
    texts.reserve(rows.size());
    for (const CCCPacket* packet : rows) {
        texts.push_back(SortText(*packet, columnId));
    }
    return OrderByKeys(texts, descending);
}
