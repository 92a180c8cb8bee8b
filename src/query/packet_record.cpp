#include "query/packet_record.h"

#include <algorithm>

#include "pd/message_header.h"

std::optional<uint16_t> PacketHeader(const CCCPacket& packet) {
    if (!IsSopKind(packet) || packet.messageByteCount < 2) {
        return std::nullopt;
    }
    return MessageHeader(packet);
}

std::vector<uint32_t> PacketDataObjects(const CCCPacket& packet) {
    std::vector<uint32_t> objects;
    if (PacketHeader(packet) && !IsExtended(packet)) {
        for (int i = 0; HasDataObject(packet, i); ++i) {
            objects.push_back(DataObject(packet, i));
        }
    }
    return objects;
}

std::span<const uint8_t> PacketMessageBytes(const CCCPacket& packet) {
    const size_t count =
        std::min<size_t>(static_cast<size_t>(std::max<int32_t>(packet.messageByteCount, 0)),
                         packet.messageBytes.size());
    return {packet.messageBytes.data(), count};
}
