// Where the field tables apply within a packet: the field layout of a message or of the
// reassembled data block of an extended message, and the bit access both are read with.
#pragma once

#include <array>
#include <cstdint>

#include "pd/cc_packet.h"
#include "pd/field_tables.h"

// The bytes a layout describes: the message bytes (without the CRC) or the reassembled block.
struct FieldSource {
    const uint8_t* bytes = nullptr;
    int32_t byteCount = 0;
};

// Message bytes 0 .. messageByteCount - 1 (bounded by the packet's byte capacity).
FieldSource MessageFieldSource(const CCCPacket& packet);
// The extended message data block the packet belongs to (chunkTotalSize bytes, bounded by the
// buffer); empty when the packet has none.
FieldSource ReassembledFieldSource(const CCCPacket& packet);
FieldSource SelectFieldSource(const CCCPacket& packet, bool reassembled);

// `count` bits (0-32) from bit position `bitPos` of the little-endian bit string of `source`:
// bit x is bit (x mod 8) of byte x / 8. Bits outside the source read as 0.
uint32_t ReadSourceBits(const FieldSource& source, int64_t bitPos, int count);

// One stretch of the source described by one table.
struct FieldSegment {
    int32_t bitOffset = -1;             // from the start of the source; -1 ends the layout
    int32_t bitLength = 0;              // sum of the table's field lengths; 0 without a table
    const FieldTable* table = nullptr;  // null: bits that no table describes
    // The field (by its bitOffset in the table) whose value list is chosen per packet: the
    // "Message Type" of a header, the "Command" of a DisplayPort VDM header. -1 for none.
    int32_t overrideField = -1;
    ValueList overrideValues;
};

// Segments in the order they were appended, followed by the terminating segment.
inline constexpr int kMaxFieldSegments = 18;
struct FieldLayout {
    std::array<FieldSegment, kMaxFieldSegments> segments{};
    int32_t count = 0;  // segments before the terminating one (at most kMaxFieldSegments - 1)
};

// The field layout of the message (`reassembled` false) or of the reassembled extended data
// block (`reassembled` true). Table choices follow the packet's header, data objects and
// data; a Request reads its PDO through sourceCapsRef.
FieldLayout BuildFieldLayout(const CCCPacket& packet, bool reassembled);

// The value list a field of a segment is described with: the per-packet list where the
// segment overrides that field, otherwise the field's own.
ValueList SegmentFieldValues(const FieldSegment& segment, const FieldDesc& field);
