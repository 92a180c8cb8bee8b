#include "capture/info_block.h"

#include <cstdio>

void ReadInfoBlock(const uint8_t* block, const std::function<void(const InfoEntry&)>& visit) {
    int position = 2;
    while (position <= 62) {
        uint8_t type = block[position];
        int length = block[position + 1];
        int next = position + 2 + length;
        if (next > static_cast<int>(kBlockSize)) {
            return;
        }
        visit(
            InfoEntry{position, type,
                      std::span<const uint8_t>(block + position + 2, static_cast<size_t>(length))});
        if (type == kInfoEnd) {
            return;
        }
        position = next;
    }
}

int64_t InfoValueI64(const InfoEntry& entry) {
    if (entry.value.size() != 8) {
        return 0;
    }
    return static_cast<int64_t>(ReadU64(entry.value.data()));
}

std::string InfoTypeName(uint8_t type) {
    switch (type) {
        case kInfoFormatTag:
            return "InfoFormatTag";
        case kInfoFirmwareVersion:
            return "InfoFirmwareVersion";
        case kInfoSerialNumber:
            return "InfoSerialNumber";
        case kInfoByteCount:
            return "InfoByteCount";
        case kInfoTimeOrigin:
            return "InfoTimeOrigin";
        case kInfoClearMarks:
            return "InfoClearMarks";
        case kInfoMarkedPacket:
            return "InfoMarkedPacket";
        case kInfoMarkerA:
            return "InfoMarkerA";
        case kInfoMarkerB:
            return "InfoMarkerB";
        case kInfoGraphMarkerO:
            return "InfoGraphMarkerO";
        case kInfoGraphMarkerX:
            return "InfoGraphMarkerX";
        case kInfoEnd:
            return "InfoEnd";
        default:
            return "InfoType" + std::to_string(type);
    }
}

namespace {

bool HasI64Value(uint8_t type) {
    switch (type) {
        case kInfoByteCount:
        case kInfoTimeOrigin:
        case kInfoMarkedPacket:
        case kInfoMarkerA:
        case kInfoMarkerB:
        case kInfoGraphMarkerO:
        case kInfoGraphMarkerX:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string InfoValueText(const InfoEntry& entry) {
    char buffer[32];
    if (HasI64Value(entry.type) && entry.value.size() == 8) {
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(InfoValueI64(entry)));
        return buffer;
    }
    if (entry.type == kInfoFirmwareVersion && entry.value.size() == 2) {
        std::snprintf(buffer, sizeof buffer, "0x%04X", ReadU16(entry.value.data()));
        return buffer;
    }
    std::string text;
    for (uint8_t byte : entry.value) {
        std::snprintf(buffer, sizeof buffer, text.empty() ? "%02X" : " %02X", byte);
        text += buffer;
    }
    return text;
}

bool InfoBlockWriter::Place(uint8_t type, std::span<const uint8_t> value) {
    size_t end = static_cast<size_t>(position_) + 2 + value.size();
    if (value.size() > 255 || end > kBlockSize) {
        return false;
    }
    uint8_t* out = block_.bytes.data() + position_;
    out[0] = type;
    out[1] = static_cast<uint8_t>(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        out[2 + i] = value[i];
    }
    position_ = static_cast<int>(end);
    if (end < kBlockSize) {
        block_.bytes[end] = kInfoEnd;
    }
    return true;
}

bool InfoBlockWriter::PlaceI64(uint8_t type, int64_t value) {
    uint8_t bytes[8];
    WriteU64(bytes, static_cast<uint64_t>(value));
    return Place(type, bytes);
}

void InfoBlockWriter::Restart() {
    block_ = RecordBlock{};
    WriteU16(block_.bytes.data(), kInfoKindWord);
    position_ = 2;
}

RecordBlock PlaceholderInfoBlock() {
    RecordBlock block;
    WriteU16(block.bytes.data(), kInfoKindWord);
    return block;
}

RecordBlock FinishedInfoBlock(uint16_t firmwareVersion, const SerialNumber& serial,
                              uint64_t streamByteCount) {
    InfoBlockWriter writer;
    const uint8_t formatTag[2] = {0x07, 0x01};
    uint8_t firmware[2];
    WriteU16(firmware, firmwareVersion);
    uint8_t byteCount[8];
    WriteU64(byteCount, streamByteCount);
    writer.Place(kInfoFormatTag, formatTag);
    writer.Place(kInfoFirmwareVersion, firmware);
    writer.Place(kInfoSerialNumber, serial);
    writer.Place(kInfoByteCount, byteCount);
    return writer.Block();
}

std::vector<RecordBlock> MarkerInfoBlocks(const MarkerRecord& record) {
    constexpr int kFlushAfter = 54;
    std::vector<RecordBlock> blocks;
    InfoBlockWriter writer;
    writer.PlaceI64(kInfoTimeOrigin, record.timeOrigin);
    writer.Place(kInfoClearMarks, {});
    auto place = [&](uint8_t type, int64_t value) {
        writer.PlaceI64(type, value);
        if (writer.Position() > kFlushAfter) {
            blocks.push_back(writer.Block());
            writer.Restart();
        }
    };
    for (const MarkerRecord::Entry& entry : record.packets) {
        place(entry.type, entry.relTime);
    }
    if (record.hasGraphMarkers) {
        place(kInfoGraphMarkerO, record.graphMarkerO);
        place(kInfoGraphMarkerX, record.graphMarkerX);
    }
    if (writer.Position() > 2) {
        blocks.push_back(writer.Block());
    }
    return blocks;
}
