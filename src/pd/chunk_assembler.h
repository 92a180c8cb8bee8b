// Reassembly of chunked extended messages into one data block shared by all their packets.
#pragma once

#include <cstdint>
#include <span>

#include "pd/cc_packet.h"

// Per-document reassembly state; a value-initialised assembler is the state after a reset. It
// holds at most one message in progress.
struct ChunkAssembler {
    int32_t expectedChunk = -1;  // number of the next chunk expected
    ChunkBuffer buffer;          // block of the message in progress
    int32_t totalSize = 0;       // Data Size of the message in progress
    int32_t received = 0;        // bytes copied into `buffer` so far
};

// Fills the packet's chunk fields (chunkStart, chunkBuffer, chunkTotalSize, chunkOffset,
// chunkLength) and advances the assembler. Call for every packet in decoding order, after the
// port attribution. Every packet's chunkBuffer is shared, so it stays valid whichever packets
// are removed first.
void AssembleChunks(ChunkAssembler& assembler, CCCPacket& packet);

// The packet belongs to no reassembled block: no chunk start, no buffer, sizes 0.
void ClearChunkFields(CCCPacket& packet);

// The packet's reassembled block as far as it is published, at most its Data Size; empty when
// the packet has none.
std::span<const uint8_t> ReassembledBytes(const CCCPacket& packet);
