#include "device/sim/message_builder.h"

#include <algorithm>

namespace {

bool IsCableOrderedSet(int32_t orderedSet) {
    return orderedSet == kOsSopPrime || orderedSet == kOsSopDoublePrime ||
           orderedSet == kOsSopPrimeDebug || orderedSet == kOsSopDoublePrimeDebug;
}

HeaderFields HeaderFor(const MessageOrigin& origin, int messageId, int type) {
    HeaderFields fields;
    fields.messageType = type;
    fields.specRevision = origin.specRevision;
    fields.messageId = messageId;
    if (IsCableOrderedSet(origin.orderedSet)) {
        fields.bit8 = origin.cablePlug;
    } else {
        fields.dataRoleDfp = origin.dataRoleDfp;
        fields.bit8 = origin.powerRoleSource;
    }
    return fields;
}

PdMessage WithHeader(const MessageOrigin& origin, const HeaderFields& fields) {
    PdMessage message;
    message.orderedSet = origin.orderedSet;
    AppendU16(message.bytes, EncodeMessageHeader(fields));
    return message;
}

// Extended message: header, extended header, data padded to `objectCount` data objects (or not
// padded when objectCount is 0, which unchunked messages longer than seven objects use).
PdMessage Extended(const MessageOrigin& origin, int messageId, int type,
                   const ExtendedHeaderFields& extended, std::span<const uint8_t> data) {
    HeaderFields fields = HeaderFor(origin, messageId, type);
    fields.extended = true;
    int padded = static_cast<int>(data.size()) + 2;
    int objects = (padded + 3) / 4;
    fields.objectCount = objects <= kMaxDataObjects ? objects : 0;
    PdMessage message = WithHeader(origin, fields);
    AppendU16(message.bytes, EncodeExtendedHeader(extended));
    message.bytes.insert(message.bytes.end(), data.begin(), data.end());
    if (fields.objectCount != 0) {
        message.bytes.resize(2 + 4 * static_cast<size_t>(objects), 0);
    }
    return message;
}

}  // namespace

uint16_t EncodeMessageHeader(const HeaderFields& fields) {
    uint32_t header = static_cast<uint32_t>(fields.messageType) & 0x1F;
    header |= (fields.dataRoleDfp ? 1u : 0u) << 5;
    header |= (static_cast<uint32_t>(fields.specRevision) & 0x3) << 6;
    header |= (fields.bit8 ? 1u : 0u) << 8;
    header |= (static_cast<uint32_t>(fields.messageId) & 0x7) << 9;
    header |= (static_cast<uint32_t>(fields.objectCount) & 0x7) << 12;
    header |= (fields.extended ? 1u : 0u) << 15;
    return static_cast<uint16_t>(header);
}

uint16_t EncodeExtendedHeader(const ExtendedHeaderFields& fields) {
    uint32_t header = static_cast<uint32_t>(fields.dataSize) & 0x1FF;
    header |= (fields.requestChunk ? 1u : 0u) << 10;
    header |= (static_cast<uint32_t>(fields.chunkNumber) & 0xF) << 11;
    header |= (fields.chunked ? 1u : 0u) << 15;
    return static_cast<uint16_t>(header);
}

PdMessage ControlMessage(const MessageOrigin& origin, int messageId, int type) {
    return WithHeader(origin, HeaderFor(origin, messageId, type));
}

PdMessage DataMessage(const MessageOrigin& origin, int messageId, int type,
                      std::span<const uint32_t> objects) {
    size_t count = std::min(objects.size(), static_cast<size_t>(kMaxDataObjects));
    HeaderFields fields = HeaderFor(origin, messageId, type);
    fields.objectCount = static_cast<int>(count);
    PdMessage message = WithHeader(origin, fields);
    for (size_t i = 0; i < count; ++i) {
        AppendU32(message.bytes, objects[i]);
    }
    return message;
}

PdMessage ExtendedChunk(const MessageOrigin& origin, int messageId, int type,
                        std::span<const uint8_t> block, int chunkNumber) {
    size_t size = std::min(block.size(), static_cast<size_t>(kMaxExtendedDataSize));
    size_t start = std::min(size, static_cast<size_t>(std::max(chunkNumber, 0)) * kChunkDataSize);
    size_t length = std::min(size - start, static_cast<size_t>(kChunkDataSize));
    ExtendedHeaderFields extended;
    extended.dataSize = static_cast<int>(size);
    extended.chunkNumber = chunkNumber;
    extended.chunked = true;
    return Extended(origin, messageId, type, extended, block.subspan(start, length));
}

PdMessage UnchunkedExtended(const MessageOrigin& origin, int messageId, int type,
                            std::span<const uint8_t> block) {
    size_t size = std::min(block.size(), static_cast<size_t>(kMaxExtendedDataSize));
    ExtendedHeaderFields extended;
    extended.dataSize = static_cast<int>(size);
    return Extended(origin, messageId, type, extended, block.first(size));
}

PdMessage ChunkRequest(const MessageOrigin& origin, int messageId, int type, int chunkNumber) {
    ExtendedHeaderFields extended;
    extended.requestChunk = true;
    extended.chunkNumber = chunkNumber;
    extended.chunked = true;
    const uint8_t padding[2] = {0, 0};
    return Extended(origin, messageId, type, extended, padding);
}

PdMessage HardResetMessage() {
    return PdMessage{kOsHardReset, {}};
}

PdMessage CableResetMessage() {
    return PdMessage{kOsCableReset, {}};
}

int ChunkCount(int dataSize) {
    return dataSize <= kChunkDataSize ? 1 : (dataSize + kChunkDataSize - 1) / kChunkDataSize;
}

int MessageIdCounters::Current(int32_t orderedSet) const {
    if (orderedSet < 0 || orderedSet >= static_cast<int32_t>(next_.size())) {
        return 0;
    }
    return next_[static_cast<size_t>(orderedSet)];
}

void MessageIdCounters::Advance(int32_t orderedSet) {
    if (orderedSet < 0 || orderedSet >= static_cast<int32_t>(next_.size())) {
        return;
    }
    int& counter = next_[static_cast<size_t>(orderedSet)];
    counter = (counter + 1) % 8;
}

void AppendU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}
