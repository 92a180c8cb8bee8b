#include "pd/chunk_assembler.h"

#include <algorithm>
#include <new>

#include "pd/message_header.h"

namespace {

// Extended data starts behind the message header and the extended header.
constexpr int kDataStart = 4;
// Data bytes carried by one full chunk.
constexpr int kFullChunkBytes = 26;
// Largest Data Size that is reassembled from chunks.
constexpr int kMaxReassembledSize = 260;
// Chunk numbers run from 0 to 9: more than ten chunks end the message.
constexpr int kLastChunkNumber = 9;

// Ends the message in progress. The packets that received the buffer keep it alive; what was not
// received reads as zero.
void Abandon(ChunkAssembler& assembler) {
    if (assembler.buffer) {
        assembler.buffer->PublishAll();
    }
    assembler.buffer.reset();
    assembler.expectedChunk = -1;
    assembler.totalSize = 0;
    assembler.received = 0;
}

// Appends `count` data bytes of the packet to the block. Only assembled bytes are taken: what
// lies behind messageByteCount (the CRC, or nothing) stays zero in the block.
void AppendData(const CCCPacket& packet, int count, ChunkBlock& block) {
    const int held =
        std::min<int>(packet.messageByteCount, static_cast<int>(packet.messageBytes.size()));
    const int available = std::max(held - kDataStart, 0);
    block.Append(std::span(packet.messageBytes.data() + kDataStart,
                           static_cast<size_t>(std::min(count, available))),
                 static_cast<size_t>(count));
}

ChunkBuffer AllocateBlock(int size) {
    try {
        return std::make_shared<ChunkBlock>(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The whole block is in this one packet.
void TakeSinglePacket(ChunkAssembler& assembler, CCCPacket& packet, int dataSize) {
    if (dataSize == 0) {
        Abandon(assembler);
        return;
    }
    ChunkBuffer block = AllocateBlock(dataSize);
    if (block) {
        AppendData(packet, dataSize, *block);
        packet.chunkStart = false;
        packet.chunkBuffer = std::move(block);
        packet.chunkTotalSize = dataSize;
        packet.chunkOffset = 0;
        packet.chunkLength = dataSize;
    }
    Abandon(assembler);
}

}  // namespace

std::span<const uint8_t> ReassembledBytes(const CCCPacket& packet) {
    if (!packet.chunkBuffer || packet.chunkTotalSize <= 0) {
        return {};
    }
    const std::span<const uint8_t> bytes = packet.chunkBuffer->Bytes();
    return bytes.first(std::min(bytes.size(), static_cast<size_t>(packet.chunkTotalSize)));
}

void ClearChunkFields(CCCPacket& packet) {
    packet.chunkStart = false;
    packet.chunkBuffer.reset();
    packet.chunkTotalSize = 0;
    packet.chunkOffset = 0;
    packet.chunkLength = 0;
}

void AssembleChunks(ChunkAssembler& assembler, CCCPacket& packet) {
    ClearChunkFields(packet);
    if (IsReset(packet)) {
        Abandon(assembler);
        return;
    }
    if (!IsExtended(packet)) {
        return;
    }
    const int dataSize = ExtDataSize(packet);
    const int chunkNumber = ExtChunkNumber(packet);
    if (!ExtChunked(packet)) {
        TakeSinglePacket(assembler, packet, dataSize);
        return;
    }
    if (ExtRequestChunk(packet)) {
        return;  // a chunk request carries no data
    }
    if (dataSize < kFullChunkBytes) {
        TakeSinglePacket(assembler, packet, dataSize);
        return;
    }
    // Data objects count the extended header too, padded to 32 bits.
    int length = 4 * DataObjectCount(packet) - 2;
    if (dataSize > kMaxReassembledSize || dataSize < length || length <= 0) {
        Abandon(assembler);
        return;
    }
    if (assembler.buffer &&
        (chunkNumber != assembler.expectedChunk || dataSize != assembler.totalSize)) {
        Abandon(assembler);  // a missing or repeated chunk, or another message
    }
    if (!assembler.buffer) {
        if (chunkNumber != 0) {
            return;  // a chunk whose start was not seen
        }
        ChunkBuffer block = AllocateBlock(dataSize);
        if (!block) {
            return;
        }
        assembler.buffer = std::move(block);
        assembler.totalSize = dataSize;
        assembler.received = 0;
        assembler.expectedChunk = 0;
        packet.chunkStart = true;
    } else {
        length = std::min(length, assembler.totalSize - assembler.received);
        if (length <= 0) {
            Abandon(assembler);
            return;
        }
        packet.chunkStart = false;
    }
    packet.chunkBuffer = assembler.buffer;
    packet.chunkTotalSize = assembler.totalSize;
    packet.chunkOffset = assembler.received;
    packet.chunkLength = length;
    AppendData(packet, length, *assembler.buffer);
    assembler.received += length;

    if (assembler.received >= assembler.totalSize) {
        Abandon(assembler);  // complete: the block lives on in its packets
        return;
    }
    assembler.expectedChunk += 1;
    if (assembler.expectedChunk > kLastChunkNumber) {
        Abandon(assembler);  // more than ten chunks
    }
}
