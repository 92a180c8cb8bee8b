// Tree nodes of a packet and the bit ranges they select.
#include "pd/field_tree.h"

#include <algorithm>

#include "pd/field_layout.h"
#include "pd/message_header.h"
#include "pd/packet_faults.h"
#include "pd/text_format.h"

namespace {

constexpr int kBytesPerLine = 16;
constexpr int kExtendedDataByte = 4;  // the data block follows both headers

// Kinds whose messages the tree breaks down.
bool HasMessageNodes(const CCCPacket& packet) {
    return packet.orderedSetKind == kOsSop || IsCableKind(packet.orderedSetKind);
}

// Extended data bytes carried by the message itself: the smaller of Data Size and the bytes
// after both headers.
int ExtendedDataInMessage(const CCCPacket& packet) {
    const int carried = std::max(0, MessageFieldSource(packet).byteCount - kExtendedDataByte);
    return std::min(ExtDataSize(packet), carried);
}

// One child per 16 bytes: "+%03Xh : " with the line's byte offset, the bytes, "h"; the lines sit
// at `depth`, one below their parent node.
void AddDataLines(PacketTree& tree, uint32_t baseCode, int32_t depth, const uint8_t* bytes,
                  int count) {
    for (int line = 0; line < count; line += kBytesPerLine) {
        std::string text = FormatText("+%03Xh : ", line);
        for (int i = line; i < std::min(count, line + kBytesPerLine); ++i) {
            AppendFormat(text, "%02X", bytes[i]);
        }
        text += "h";
        tree.nodes.push_back(
            {baseCode + static_cast<uint32_t>(line), depth, std::move(text), false});
    }
}

void AddBlockNodes(PacketTree& tree, const CCCPacket& packet) {
    const FieldSource block = ReassembledFieldSource(packet);
    if (block.byteCount <= 0) {
        return;
    }
    tree.nodes.push_back({kNodeExtendedBlock, 0,
                          FormatText("Total Extended Data Block (%dbytes)", packet.chunkTotalSize),
                          true});
    const int type = MessageType(packet);
    if (type != kExtEprSourceCapabilities && type != kExtEprSinkCapabilities) {
        AddDataLines(tree, kNodeExtendedBlock, 1, block.bytes, block.byteCount);
        return;
    }
    // A trailing partial word is shown padded with zero bits so that no byte is left out.
    const int words = (block.byteCount + 3) / 4;
    for (int i = 0; i < words; ++i) {
        tree.nodes.push_back({kNodeBlockDataObject + kNodeIndexStep * static_cast<uint32_t>(i), 1,
                              FormatText("Data Object [%d] = %08Xh", i + 1,
                                         ReadSourceBits(block, int64_t{32} * i, 32)),
                              false});
    }
}

FieldBitRange Bounded(int32_t start, int32_t length, const FieldSource& source, bool reassembled) {
    const int32_t available = std::max(0, 8 * source.byteCount - start);
    return {start, std::clamp(length, 0, available), reassembled};
}

}  // namespace

PacketTree BuildPacketTree(const CCCPacket& packet, int32_t number) {
    PacketTree tree;
    tree.nodes.push_back({kNodePacket, 0, FormatText("Packet #%d", number), true});
    tree.selectedCode = kNodePacket;
    if (packet.recovered) {
        tree.nodes.push_back(
            {kNodeRecovered, 1,
             FormatText("Recovered by the tolerant decoder (preamble %d bits, "
                        "unit interval %.3f us)",
                        packet.preambleLength, static_cast<double>(packet.averageUnitInterval)),
             false});
    }
    if (const std::string fault = PacketFaultText(packet); !fault.empty()) {
        tree.nodes.push_back({kNodeFault, 1, fault, false});
    }
    if (!HasMessageNodes(packet)) {
        return tree;
    }
    tree.nodes.push_back(
        {kNodeMessageHeader, 1, FormatText("Message Header=%04Xh", MessageHeader(packet)), false});
    tree.selectedCode = kNodeMessageHeader;
    if (IsExtended(packet)) {
        tree.nodes.push_back({kNodeExtendedHeader, 1,
                              FormatText("Extended Message Header=%04Xh", ExtendedHeader(packet)),
                              false});
        if (ExtDataSize(packet) != 0) {
            const int count = ExtendedDataInMessage(packet);
            tree.nodes.push_back(
                {kNodeExtendedData, 1, FormatText("Extended Data (%dbytes)", count), true});
            AddDataLines(tree, kNodeExtendedData, 2, packet.messageBytes.data() + kExtendedDataByte,
                         count);
        }
    } else {
        for (int i = 0; i < DataObjectCount(packet); ++i) {
            tree.nodes.push_back(
                {kNodeDataObject + kNodeIndexStep * static_cast<uint32_t>(i), 1,
                 FormatText("Data Object [%d] = %08Xh", i + 1, DataObject(packet, i)), false});
        }
    }
    AddBlockNodes(tree, packet);
    return tree;
}

std::optional<FieldBitRange> NodeBitRange(const CCCPacket& packet, uint32_t code) {
    const FieldSource message = MessageFieldSource(packet);
    const FieldSource block = ReassembledFieldSource(packet);
    const auto index = static_cast<int32_t>((code >> 16) & 0xFF);
    if (code == 0 || code == kNodePacket) {
        return Bounded(0, 8 * message.byteCount, message, false);
    }
    if (code == kNodeMessageHeader) {
        return Bounded(0, 16, message, false);
    }
    if (code == kNodeExtendedHeader) {
        return Bounded(16, 16, message, false);
    }
    switch (code & 0xFF000000u) {
        case kNodeExtendedData:
            return Bounded(32, 8 * ExtDataSize(packet), message, false);
        case kNodeDataObject:
            return Bounded(16 + 32 * index, 32, message, false);
        case kNodeExtendedBlock:
            return Bounded(0, 8 * block.byteCount, block, true);
        case kNodeBlockDataObject:
            return Bounded(32 * index, 32, block, true);
        default:
            return std::nullopt;
    }
}
