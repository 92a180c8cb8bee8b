#include "list/core/column_widths.h"

#include <cstdint>

#include "columns/column_text.h"
#include "pd/packet_column.h"

std::string WidestColumnText(int column) {
    constexpr int64_t kLongestTimeBelowAnHour = 3'599'999'999;  // 59 min 59.999999 s
    switch (column) {
        case kColumnTimestamp:
            return FormatTime(kLongestTimeBelowAnHour);
        case kColumnCrc:
            return "FFFFFFFFh(Bad)";
        default:
            return {};
    }
}
