#include <gtest/gtest.h>

#include "list/core/column_cfg_state.h"
#include "list/core/column_info.h"

TEST(ColumnCfgState, DefaultLayoutListsTheShownColumnsInHeaderOrder) {
    ColumnCfgState state = MakeColumnCfgState(DefaultColumnLayout());
    PartitionShownFirst(state);
    const std::vector<int> shown(state.orderList.begin(), state.orderList.begin() + 10);
    EXPECT_EQ(shown, (std::vector<int>{kColumnPacketNumber, kColumnTimestamp, kColumnChannel,
                                       kColumnOrderedSet, kColumnPowerRole, kColumnDataRole,
                                       kColumnCablePlug, kColumnMessageType, kColumnMessageId,
                                       kColumnDescription}));
    EXPECT_EQ(state.shown[kColumnIdleTime], 0);
    EXPECT_EQ(state.width[kColumnDescription], 300);
}

TEST(ColumnCfgState, ApplyRenumbersShownThenHidden) {
    ColumnLayout records = DefaultColumnLayout();
    ColumnCfgState state = MakeColumnCfgState(records);
    SetSelectedRows(state, {1});  // Idle Time, listed second by its default order 1
    SetSelectedShown(state, false);
    PartitionShownFirst(state);
    records[kColumnIdleTime].shown = 1;
    ApplyColumnCfg(state, records);
    EXPECT_EQ(records[kColumnIdleTime].shown, 0);
    EXPECT_EQ(records[kColumnPacketNumber].order, 0);
    EXPECT_EQ(records[kColumnTimestamp].order, 1);
    EXPECT_EQ(records[kColumnDescription].order, 9);
    EXPECT_GE(records[kColumnIdleTime].order, 10);
    EXPECT_EQ(records[kColumnIdleTime].width, 120);  // widths stay as stored
}

TEST(ColumnCfgState, PacketNumberColumnIsAlwaysShown) {
    ColumnLayout records = DefaultColumnLayout();
    records[kColumnPacketNumber].shown = 0;
    EXPECT_EQ(MakeColumnCfgState(records).shown[kColumnPacketNumber], 1);
}
