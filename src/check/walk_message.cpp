#include "check/walk_message.h"

#include <algorithm>

#include "pd/chunk_assembler.h"
#include "pd/message_header.h"

namespace {

MessageKind KindOf(const CCCPacket& packet) {
    if (packet.orderedSetKind == kOsHardReset) {
        return MessageKind::kHardReset;
    }
    if (packet.orderedSetKind == kOsCableReset) {
        return MessageKind::kCableReset;
    }
    if (!IsSopKind(packet) || packet.messageByteCount < 2) {
        return MessageKind::kNone;
    }
    if (IsExtended(packet)) {
        return MessageKind::kExtended;
    }
    return IsControl(packet) ? MessageKind::kControl : MessageKind::kData;
}

uint32_t LittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

bool WalkMessage::IsGoodCrc() const {
    return IsControl(kCtrlGoodCrc);
}

uint32_t WalkMessage::Object(int i) const {
    return packet != nullptr ? DataObject(*packet, i) : 0;
}

bool WalkMessage::SameContent(const WalkMessage& other) const {
    if (packet == nullptr || other.packet == nullptr ||
        packet->messageByteCount != other.packet->messageByteCount) {
        return false;
    }
    const size_t count = static_cast<size_t>(std::max<int16_t>(packet->messageByteCount, 0));
    return std::equal(packet->messageBytes.data(), packet->messageBytes.data() + count,
                      other.packet->messageBytes.data());
}

WalkMessage MakeWalkMessage(const CCCPacket& packet, int64_t number) {
    WalkMessage message;
    message.packet = &packet;
    message.number = number;
    message.start = packet.relTime;
    message.end = packet.relTime + int64_t{packet.totalTicks} * packet.clockDivider / 48;
    message.guard = 1 + (packet.clockDivider + 47) / 48;
    message.orderedSet = packet.orderedSetKind;
    message.kind = KindOf(packet);
    message.port = static_cast<int8_t>(packet.port);
    if (message.kind == MessageKind::kHardReset || message.kind == MessageKind::kCableReset) {
        message.crcOk = true;  // a reset carries no CRC
        return message;
    }
    message.crcOk = packet.crcOk;
    if (message.kind == MessageKind::kNone) {
        return message;
    }
    message.type = static_cast<uint8_t>(MessageType(packet));
    message.id = static_cast<uint8_t>(MessageId(packet));
    message.revision = static_cast<uint8_t>(SpecRevision(packet));
    message.objects = static_cast<uint8_t>(DataObjectCount(packet));
    message.source =
        packet.orderedSetKind == kOsSop ? PortPowerRoleIsSource(packet) : CablePlugBit(packet);
    message.dfp = PortDataRoleIsDfp(packet);
    return message;
}

std::string MessageLabel(const WalkMessage& message) {
    std::string name = message.packet != nullptr ? MessageName(*message.packet) : "packet";
    return name + " #" + std::to_string(message.number);
}

std::vector<uint32_t> ExtendedPdos(const WalkMessage& message) {
    std::vector<uint32_t> pdos;
    const CCCPacket* packet = message.packet;
    if (packet == nullptr || message.kind != MessageKind::kExtended) {
        return pdos;
    }
    const uint8_t* bytes = nullptr;
    size_t available = 0;
    const size_t dataSize = static_cast<size_t>(ExtDataSize(*packet));
    if (ExtChunked(*packet)) {
        if (packet->chunkOffset != 0) {
            return pdos;
        }
        const std::span<const uint8_t> block = ReassembledBytes(*packet);
        bytes = block.data();
        available = std::min(block.size(), dataSize);
    } else {
        bytes = packet->messageBytes.data() + 4;
        available = std::min(
            dataSize, static_cast<size_t>(std::max(0, packet->messageByteCount - 4 - 4)));  // CRC
    }
    for (size_t k = 0; k + 4 <= available; k += 4) {
        pdos.push_back(LittleEndian32(bytes + k));
    }
    return pdos;
}
