// Editing state of the column settings dialog, without any widgets: the dialog's list order,
// the shown flags, the widths and the selection marks, with the button operations.
#pragma once

#include <array>
#include <vector>

#include "list/core/column_info.h"
#include "pd/packet_column.h"

struct ColumnCfgState {
    std::array<int, kPacketColumnCount>
        orderList{};                              // column ids in the order the dialog lists them
    std::array<int, kPacketColumnCount> shown{};  // by column id
    std::array<int, kPacketColumnCount> width{};  // by column id, displayed only
    std::array<int, kPacketColumnCount> selected{};  // by column id, kept across refills
};

// The state the dialog opens with: shown and width from the records, "#" always shown, nothing
// selected, the ids ordered by their record's display order (ids of equal order by ascending id;
// ids whose stored order lies outside 0-37 follow at the end, so every column stays listed).
ColumnCfgState MakeColumnCfgState(const ColumnLayout& records);

// Refill step: shown ids first, then hidden ids, each group keeping its order.
void PartitionShownFirst(ColumnCfgState& state);

// Marks the ids of the given dialog rows as the selection (replacing the previous marks).
void SetSelectedRows(ColumnCfgState& state, const std::vector<int>& rows);
// Dialog rows whose id is marked selected, ascending.
std::vector<int> SelectedRows(const ColumnCfgState& state);

// The buttons. Each is followed by the refill (PartitionShownFirst) in the dialog.
void MoveSelectedUp(ColumnCfgState& state);
void MoveSelectedDown(ColumnCfgState& state);
void SetSelectedShown(ColumnCfgState& state, bool shown);
void LoadDefaultColumns(ColumnCfgState& state);

// OK: shown flags into the records, then display orders 0, 1, 2, ... along the dialog list
// (the shown ids first as the list holds them). Widths are left as the records hold them.
void ApplyColumnCfg(const ColumnCfgState& state, ColumnLayout& records);
