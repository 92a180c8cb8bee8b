#include "list/core/column_cfg_state.h"

#include <algorithm>

ColumnCfgState MakeColumnCfgState(const ColumnLayout& records) {
    ColumnCfgState state;
    std::array<bool, kPacketColumnCount> placed{};
    int next = 0;
    for (int position = 0; position < kPacketColumnCount; ++position) {
        for (int id = 0; id < kPacketColumnCount; ++id) {
            if (!placed[id] && records[id].order == position) {
                state.orderList[next++] = id;
                placed[id] = true;
            }
        }
    }
    for (int id = 0; id < kPacketColumnCount; ++id) {
        if (!placed[id]) {
            state.orderList[next++] = id;
        }
        state.shown[id] = records[id].shown != 0 ? 1 : 0;
        state.width[id] = records[id].width;
    }
    state.shown[kColumnPacketNumber] = 1;
    return state;
}

void PartitionShownFirst(ColumnCfgState& state) {
    std::stable_partition(state.orderList.begin(), state.orderList.end(),
                          [&](int id) { return state.shown[id] != 0; });
}

void SetSelectedRows(ColumnCfgState& state, const std::vector<int>& rows) {
    state.selected.fill(0);
    for (int row : rows) {
        if (row >= 0 && row < kPacketColumnCount) {
            state.selected[state.orderList[row]] = 1;
        }
    }
}

std::vector<int> SelectedRows(const ColumnCfgState& state) {
    std::vector<int> rows;
    for (int row = 0; row < kPacketColumnCount; ++row) {
        if (state.selected[state.orderList[row]] != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

namespace {

bool RowSelected(const ColumnCfgState& state, int row) {
    return state.selected[state.orderList[row]] != 0;
}

}  // namespace

void MoveSelectedUp(ColumnCfgState& state) {
    const std::vector<int> rows = SelectedRows(state);
    if (rows.empty()) {
        return;
    }
    const int j = std::max(rows.front() - 1, 0);
    std::array<int, kPacketColumnCount> order{};
    int next = 0;
    for (int row = 0; row < j; ++row) {
        order[next++] = state.orderList[row];
    }
    for (int row = j; row < kPacketColumnCount; ++row) {
        if (RowSelected(state, row)) {
            order[next++] = state.orderList[row];
        }
    }
    for (int row = j; row < kPacketColumnCount; ++row) {
        if (!RowSelected(state, row)) {
            order[next++] = state.orderList[row];
        }
    }
    state.orderList = order;
}

void MoveSelectedDown(ColumnCfgState& state) {
    const std::vector<int> rows = SelectedRows(state);
    if (rows.empty()) {
        return;
    }
    const int i = rows.back();
    std::array<int, kPacketColumnCount> order{};
    int next = 0;
    for (int row = 0; row < i; ++row) {
        if (!RowSelected(state, row)) {
            order[next++] = state.orderList[row];
        }
    }
    if (i + 1 < kPacketColumnCount) {
        order[next++] = state.orderList[i + 1];
    }
    for (int row = 0; row <= i; ++row) {
        if (RowSelected(state, row)) {
            order[next++] = state.orderList[row];
        }
    }
    for (int row = i + 2; row < kPacketColumnCount; ++row) {
        order[next++] = state.orderList[row];
    }
    state.orderList = order;
}

void SetSelectedShown(ColumnCfgState& state, bool shown) {
    for (int id = 0; id < kPacketColumnCount; ++id) {
        if (state.selected[id] != 0) {
            state.shown[id] = shown ? 1 : 0;
        }
    }
}

void LoadDefaultColumns(ColumnCfgState& state) {
    const std::array<int, kPacketColumnCount> selected = state.selected;
    state = MakeColumnCfgState(DefaultColumnLayout());
    state.selected = selected;
}

void ApplyColumnCfg(const ColumnCfgState& state, ColumnLayout& records) {
    for (int id = 0; id < kPacketColumnCount; ++id) {
        records[id].shown = state.shown[id];
    }
    int order = 0;
    for (int id : state.orderList) {
        if (state.shown[id] != 0) {
            records[id].order = order++;
        }
    }
    for (int id : state.orderList) {
        if (state.shown[id] == 0) {
            records[id].order = order++;
        }
    }
}
