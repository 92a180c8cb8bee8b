#include "list/core/column_info.h"

#include "capture/byte_order.h"

ColumnInfo DefaultColumnInfo(int column) {
    if (!IsValidColumn(column)) {
        return {};
    }
    const PacketColumnInfo& defaults = kPacketColumns[column];
    return {defaults.defaultShown ? 1 : 0, defaults.defaultWidth, defaults.defaultOrder};
}

ColumnLayout DefaultColumnLayout() {
    ColumnLayout layout;
    for (int column = 0; column < kPacketColumnCount; ++column) {
        layout[column] = DefaultColumnInfo(column);
    }
    return layout;
}

std::string ColumnInfoValueName(int column) {
    return "ColumnInfo" + std::to_string(column);
}

std::array<uint8_t, kColumnInfoSize> ColumnInfoBlock(const ColumnInfo& info) {
    std::array<uint8_t, kColumnInfoSize> block{};
    WriteU32(block.data() + 0, static_cast<uint32_t>(info.shown));
    WriteU32(block.data() + 4, static_cast<uint32_t>(info.width));
    WriteU32(block.data() + 8, static_cast<uint32_t>(info.order));
    return block;
}

std::optional<ColumnInfo> ColumnInfoFromBlock(std::span<const uint8_t> block) {
    if (block.size() != kColumnInfoSize) {
        return std::nullopt;
    }
    return ColumnInfo{static_cast<int32_t>(ReadU32(block.data() + 0)),
                      static_cast<int32_t>(ReadU32(block.data() + 4)),
                      static_cast<int32_t>(ReadU32(block.data() + 8))};
}
