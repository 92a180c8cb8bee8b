// Packets built by hand for the message-level tests: message bytes as the decoder leaves them
// after a good CRC check, without going through the physical layer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "pd/cc_packet.h"

namespace hand {

// Header fields of a message; `type` is written to bits 0-4 unmasked.
struct Header {
    int type = 0;
    int objects = 0;
    int revision = 2;   // field value: 1 = 2.0, 2 = 3.0
    bool bit5 = false;  // data role DFP
    bool bit8 = false;  // power role Source / cable plug
    int id = 0;
    bool extended = false;
};

inline uint16_t HeaderValue(const Header& h) {
    return static_cast<uint16_t>((h.type & 0x1F) | (h.bit5 ? 1 << 5 : 0) | ((h.revision & 3) << 6) |
                                 (h.bit8 ? 1 << 8 : 0) | ((h.id & 7) << 9) |
                                 ((h.objects & 7) << 12) | (h.extended ? 1 << 15 : 0));
}

// Sets message byte i of the packet and keeps the others; the packet then holds at least i + 1
// message bytes.
inline void SetMessageByte(CCCPacket& packet, size_t i, uint8_t value) {
    std::vector<uint8_t> bytes(packet.messageBytes.begin(), packet.messageBytes.end());
    bytes.resize(std::max(bytes.size(), i + 1));
    bytes[i] = value;
    packet.messageBytes.Assign(bytes);
}

// A decoded packet of `kind` holding exactly `bytes` (CRC excluded) with a good CRC.
inline PacketPtr Raw(int32_t kind, const std::vector<uint8_t>& bytes) {
    auto packet = std::make_shared<CCCPacket>();
    packet->preambleFound = true;
    packet->eopFound = true;
    packet->orderedSetKind = kind;
    packet->bytesAssembled = !bytes.empty();
    packet->crcOk = !bytes.empty();
    packet->messageBytes.Assign(bytes);
    packet->messageByteCount = static_cast<int32_t>(bytes.size());
    return packet;
}

// The bytes of a message: header `h` (its object count taken from `objects` when 0) followed by
// the little-endian data objects, without CRC.
inline std::vector<uint8_t> MessageBytes(Header h, const std::vector<uint32_t>& objects) {
    if (h.objects == 0) {
        h.objects = static_cast<int>(objects.size());
    }
    const uint16_t value = HeaderValue(h);
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    for (uint32_t object : objects) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(object >> shift));
        }
    }
    return bytes;
}

// A message of `kind` with header `h` followed by the little-endian data objects.
inline PacketPtr Message(int32_t kind, Header h, std::initializer_list<uint32_t> objects = {}) {
    return Raw(kind, MessageBytes(h, objects));
}

// An SOP control message sent by a port with the given roles.
inline PacketPtr Control(int type, bool source, bool dfp, int revision = 2) {
    return Message(kOsSop, {.type = type, .revision = revision, .bit5 = dfp, .bit8 = source});
}

// An SOP data message with `objects` data objects.
inline PacketPtr Data(int type, bool source, bool dfp, std::initializer_list<uint32_t> objects) {
    return Message(kOsSop, {.type = type, .revision = 2, .bit5 = dfp, .bit8 = source}, objects);
}

// An extended message: header, extended header and `data` bytes padded to whole data objects.
struct ExtendedParts {
    int type = 0;
    int dataSize = 0;
    bool chunked = true;
    int chunk = 0;
    bool requestChunk = false;
    int objects = -1;  // -1: derived from the data length
    bool source = true;
    bool dfp = true;
};

inline PacketPtr Extended(int32_t kind, const ExtendedParts& parts,
                          const std::vector<uint8_t>& data) {
    const int payload = 2 + static_cast<int>(data.size());
    const int objects = parts.objects >= 0 ? parts.objects : (payload + 3) / 4;
    const uint16_t header = HeaderValue({.type = parts.type,
                                         .objects = objects,
                                         .revision = 2,
                                         .bit5 = parts.dfp,
                                         .bit8 = parts.source,
                                         .extended = true});
    const uint16_t ext =
        static_cast<uint16_t>((parts.dataSize & 0x1FF) | (parts.requestChunk ? 1 << 10 : 0) |
                              ((parts.chunk & 0xF) << 11) | (parts.chunked ? 1 << 15 : 0));
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(header), static_cast<uint8_t>(header >> 8),
                                  static_cast<uint8_t>(ext), static_cast<uint8_t>(ext >> 8)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    while (bytes.size() < static_cast<size_t>(2 + 4 * objects)) {
        bytes.push_back(0);
    }
    return Raw(kind, bytes);
}

// A reassembled block holding the bytes, all of them received.
inline ChunkBuffer WholeBlock(const std::vector<uint8_t>& bytes) {
    auto block = std::make_shared<ChunkBlock>(bytes.size());
    block->Append(bytes, bytes.size());
    return block;
}

// Bytes first, first + 1, ... (wrapping at 256), handy to see where a chunk landed.
inline std::vector<uint8_t> Counting(int count, int first) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<uint8_t>(first + i));
    }
    return bytes;
}

}  // namespace hand
