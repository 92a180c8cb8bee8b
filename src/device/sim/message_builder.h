// Builds USB PD messages byte for byte: message header, extended header, data objects and
// chunks, for every ordered set the analyzer can see.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "pd/cc_packet.h"

// Largest extended data block and the data carried by one chunk.
inline constexpr int kMaxExtendedDataSize = 260;
inline constexpr int kChunkDataSize = 26;
inline constexpr int kMaxDataObjects = 7;

// Message header fields in their plain form.
struct HeaderFields {
    int messageType = 0;       // bits 0-4
    bool dataRoleDfp = false;  // bit 5: Port Data Role on SOP, reserved elsewhere
    int specRevision = 2;      // bits 6-7: 0 = 1.0, 1 = 2.0, 2 = 3.0
    bool bit8 = false;         // Port Power Role (Source) on SOP, Cable Plug on SOP'/SOP''
    int messageId = 0;         // bits 9-11
    int objectCount = 0;       // bits 12-14
    bool extended = false;     // bit 15
};

struct ExtendedHeaderFields {
    int dataSize = 0;  // bits 0-8
    bool requestChunk = false;
    int chunkNumber = 0;  // bits 11-14
    bool chunked = false;
};

uint16_t EncodeMessageHeader(const HeaderFields& fields);
uint16_t EncodeExtendedHeader(const ExtendedHeaderFields& fields);

// Who sends a message and how it identifies itself in the header.
struct MessageOrigin {
    int32_t orderedSet = kOsSop;
    int specRevision = 2;
    bool dataRoleDfp = false;      // SOP only
    bool powerRoleSource = false;  // SOP only
    bool cablePlug = false;        // SOP', SOP'' and the debug ordered sets
};

// One message as transmitted: its ordered set and the bytes from the message header on, without
// the CRC. Hard Reset and Cable Reset carry no bytes.
struct PdMessage {
    int32_t orderedSet = kOsSop;
    std::vector<uint8_t> bytes;
};

PdMessage ControlMessage(const MessageOrigin& origin, int messageId, int type);
// Up to seven data objects are sent; further ones are dropped.
PdMessage DataMessage(const MessageOrigin& origin, int messageId, int type,
                      std::span<const uint32_t> objects);
// Chunk `chunkNumber` of a chunked extended message whose whole data block is `block` (at most
// 260 bytes are used). The chunk's data is padded with zeros to whole data objects.
PdMessage ExtendedChunk(const MessageOrigin& origin, int messageId, int type,
                        std::span<const uint8_t> block, int chunkNumber);
// An extended message sent unchunked: the whole block in one message.
PdMessage UnchunkedExtended(const MessageOrigin& origin, int messageId, int type,
                            std::span<const uint8_t> block);
// The receiver's request for chunk `chunkNumber` of an extended message of `type`.
PdMessage ChunkRequest(const MessageOrigin& origin, int messageId, int type, int chunkNumber);
PdMessage HardResetMessage();
PdMessage CableResetMessage();

// Number of chunks a data block of `dataSize` bytes needs (at least one).
int ChunkCount(int dataSize);

// MessageID counters of one port or cable plug, one per ordered set. A counter moves on only
// when the message was acknowledged; a retry reuses the value.
class MessageIdCounters {
  public:
    int Current(int32_t orderedSet) const;
    void Advance(int32_t orderedSet);
    void Reset() { next_ = {}; }

  private:
    std::array<int, 8> next_{};
};

// Little-endian helpers for data blocks.
void AppendU16(std::vector<uint8_t>& out, uint16_t value);
void AppendU32(std::vector<uint8_t>& out, uint32_t value);
