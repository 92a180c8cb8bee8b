#include "settings/layout_record.h"

#include "capture/byte_order.h"

namespace {

constexpr size_t kListFontOffset = 28;
static_assert(kListFontOffset + kLogFontSize == kLayoutRecordSize);

}  // namespace

std::array<uint8_t, kLayoutRecordSize> LayoutRecordBlock(const LayoutRecord& layout) {
    std::array<uint8_t, kLayoutRecordSize> block{};
    WriteU32(block.data() + 0, layout.signature);
    WriteU16(block.data() + 4, layout.version);
    WriteU16(block.data() + 6, layout.zero);
    WriteU32(block.data() + 8, static_cast<uint32_t>(layout.windowWidth));
    WriteU32(block.data() + 12, static_cast<uint32_t>(layout.windowHeight));
    WriteU32(block.data() + 16, static_cast<uint32_t>(layout.listRowHeight));
    WriteU32(block.data() + 20, static_cast<uint32_t>(layout.fieldTableWidth));
    WriteU32(block.data() + 24, static_cast<uint32_t>(layout.listFontStored));
    EncodeLogFont(layout.listFont, std::span(block).subspan<kListFontOffset, kLogFontSize>());
    return block;
}

std::optional<LayoutRecord> LayoutRecordFromBlock(std::span<const uint8_t> block) {
    if (block.size() != kLayoutRecordSize || ReadU32(block.data() + 0) != kLayoutRecordSignature ||
        ReadU16(block.data() + 4) != kLayoutRecordVersion) {
        return std::nullopt;
    }
    LayoutRecord layout;
    layout.zero = ReadU16(block.data() + 6);
    layout.windowWidth = static_cast<int32_t>(ReadU32(block.data() + 8));
    layout.windowHeight = static_cast<int32_t>(ReadU32(block.data() + 12));
    layout.listRowHeight = static_cast<int32_t>(ReadU32(block.data() + 16));
    layout.fieldTableWidth = static_cast<int32_t>(ReadU32(block.data() + 20));
    layout.listFontStored = static_cast<int32_t>(ReadU32(block.data() + 24));
    layout.listFont = DecodeLogFont(block.subspan<kListFontOffset, kLogFontSize>());
    return layout;
}
