// Column ids, titles and list defaults.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pd/packet_column.h"

namespace {

TEST(PacketColumn, DefaultHeaderShowsTenColumnsInOrder) {
    std::vector<int> shown;
    for (int id = 0; id < kPacketColumnCount; ++id) {
        if (kPacketColumns[id].defaultShown) {
            shown.push_back(id);
        }
    }
    std::sort(shown.begin(), shown.end(), [](int a, int b) {
        return kPacketColumns[a].defaultOrder < kPacketColumns[b].defaultOrder;
    });
    std::vector<std::string> header;
    for (int id : shown) {
        header.push_back(ColumnShortTitle(id));
    }
    EXPECT_EQ(header, (std::vector<std::string>{"#", "Timestamp", "CH", "OS", "Power", "Data",
                                                "Cable Plug", "Type", "Mes ID", "Description"}));
}

TEST(PacketColumn, DefaultOrdersArePermutation) {
    std::vector<int> orders;
    for (const PacketColumnInfo& info : kPacketColumns) {
        orders.push_back(info.defaultOrder);
    }
    std::sort(orders.begin(), orders.end());
    for (int i = 0; i < kPacketColumnCount; ++i) {
        EXPECT_EQ(orders[i], i);
    }
}

TEST(PacketColumn, TitlesOfSelectedIds) {
    EXPECT_STREQ(ColumnShortTitle(kColumnCc2Current), "CC2 Cur[A]");
    EXPECT_STREQ(ColumnLongTitle(kColumnDataObjects),
                 "Data Objects (Extended=0) or Extended Data Bytes (Extended=1)");
    EXPECT_STREQ(ColumnShortTitle(kColumnAverageUnitInterval), "Ave.UI[us]");
    EXPECT_STREQ(ColumnLongTitle(kColumnVbusWattage), "VBUS Wattage [W]");
    EXPECT_STREQ(ColumnShortTitle(-1), "");
    EXPECT_STREQ(ColumnLongTitle(38), "");
}

TEST(PacketColumn, NumericSortColumns) {
    std::vector<int> numeric;
    for (int id = -1; id <= kPacketColumnCount; ++id) {
        if (IsNumericSortColumn(id)) {
            numeric.push_back(id);
        }
    }
    EXPECT_EQ(numeric, (std::vector<int>{0,  1,  2,  3,  4,  5,  6,  7,  12, 14,
                                         15, 22, 23, 26, 27, 28, 29, 30, 31, 37}));
}

}  // namespace
