#include "pd/chunk_assembler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pd/extended_text.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"
#include "pd/port_state.h"

namespace {

using hand::Counting;

// A chunk of an EPR_Source_Capabilities message of `dataSize` bytes.
PacketPtr EprChunk(int dataSize, int chunk, const std::vector<uint8_t>& data, int objects = -1) {
    return hand::Extended(kOsSop,
                          {.type = kExtEprSourceCapabilities,
                           .dataSize = dataSize,
                           .chunk = chunk,
                           .objects = objects},
                          data);
}

PacketPtr ChunkRequest(int dataSize, int chunk) {
    return hand::Extended(kOsSop,
                          {.type = kExtEprSourceCapabilities,
                           .dataSize = dataSize,
                           .chunk = chunk,
                           .requestChunk = true,
                           .source = false,
                           .dfp = false},
                          {0, 0});
}

// The bytes of the packet's block that readers see.
std::vector<uint8_t> Published(const CCCPacket& packet) {
    const std::span<const uint8_t> bytes = packet.chunkBuffer->Bytes();
    return {bytes.begin(), bytes.end()};
}

PacketPtr Assemble(ChunkAssembler& assembler, PacketPtr packet) {
    AssembleChunks(assembler, *packet);
    return packet;
}

void ExpectNoBlock(const CCCPacket& packet) {
    EXPECT_FALSE(packet.chunkBuffer);
    EXPECT_FALSE(packet.chunkStart);
    EXPECT_EQ(packet.chunkTotalSize, 0);
    EXPECT_EQ(packet.chunkOffset, 0);
    EXPECT_EQ(packet.chunkLength, 0);
}

TEST(ChunkReassembly, FortyByteEprSourceCapsShareOneBuffer) {
    ChunkAssembler assembler;
    const auto first = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    EXPECT_EQ(assembler.expectedChunk, 1);
    EXPECT_EQ(assembler.received, 26);
    // Chunk 1 carries a full 26-byte chunk; only the 14 missing bytes are taken.
    const auto second = Assemble(assembler, EprChunk(40, 1, Counting(26, 27)));

    ASSERT_TRUE(first->chunkBuffer);
    EXPECT_EQ(first->chunkBuffer, second->chunkBuffer);
    EXPECT_EQ(first->chunkBuffer->Size(), 40u);
    EXPECT_EQ(Published(*first), Counting(40, 1));
    EXPECT_TRUE(first->chunkStart);
    EXPECT_FALSE(second->chunkStart);
    EXPECT_EQ(first->chunkTotalSize, 40);
    EXPECT_EQ(second->chunkTotalSize, 40);
    EXPECT_EQ(first->chunkOffset, 0);
    EXPECT_EQ(first->chunkLength, 26);
    EXPECT_EQ(second->chunkOffset, 26);
    EXPECT_EQ(second->chunkLength, 14);
    // The message is complete and nothing is in progress any more.
    EXPECT_FALSE(assembler.buffer);
    EXPECT_EQ(assembler.expectedChunk, -1);
    EXPECT_EQ(assembler.totalSize, 0);
    EXPECT_EQ(assembler.received, 0);
}

TEST(ChunkReassembly, ShortLastChunkWithPaddedDataObjects) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto last = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    EXPECT_EQ(last->chunkOffset, 26);
    EXPECT_EQ(last->chunkLength, 14);
    EXPECT_EQ(Published(*last), Counting(40, 1));
}

TEST(ChunkReassembly, GoodCrcAndChunkRequestsMayInterleave) {
    ChunkAssembler assembler;
    const auto first = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto goodCrc = Assemble(assembler, hand::Control(kCtrlGoodCrc, false, false));
    const auto request = Assemble(assembler, ChunkRequest(40, 1));
    const auto second = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    ExpectNoBlock(*goodCrc);
    ExpectNoBlock(*request);
    EXPECT_EQ(second->chunkBuffer, first->chunkBuffer);
    EXPECT_EQ(Published(*second), Counting(40, 1));
}

TEST(ChunkReassembly, OwnerRemovedFirstLeavesTheBufferWithTheOtherChunks) {
    ChunkAssembler assembler;
    auto first = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto second = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    first.reset();  // auto-remove drops the owner
    ASSERT_TRUE(second->chunkBuffer);
    EXPECT_EQ(Published(*second), Counting(40, 1));
}

TEST(ChunkReassembly, ChunkOneWithoutChunkZeroIsIgnored) {
    ChunkAssembler assembler;
    const auto orphan = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    ExpectNoBlock(*orphan);
    EXPECT_FALSE(assembler.buffer);
}

TEST(ChunkReassembly, ReadersSeeTheBytesReceivedSoFar) {
    ChunkAssembler assembler;
    const auto first = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    // The first chunk's packet is stored before chunk 1 arrives: it shows what came.
    EXPECT_EQ(Published(*first), Counting(26, 1));
    EXPECT_EQ(ReassembledBytes(*first).size(), 26u);
    Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    EXPECT_EQ(Published(*first), Counting(40, 1));
    EXPECT_EQ(ReassembledBytes(*first).size(), 40u);
}

TEST(ChunkReassembly, SoftResetBetweenChunksEndsTheMessage) {
    ChunkAssembler assembler;
    const auto first = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    Assemble(assembler, hand::Control(kCtrlSoftReset, true, true));
    EXPECT_FALSE(assembler.buffer);
    const auto next = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    ExpectNoBlock(*next);
    // The first chunk keeps its partial block: 26 bytes, the rest still zero.
    std::vector<uint8_t> partial = Counting(26, 1);
    partial.resize(40, 0);
    EXPECT_EQ(Published(*first), partial);
}

TEST(ChunkReassembly, HardResetEndsTheMessage) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    Assemble(assembler, hand::Raw(kOsHardReset, {}));
    EXPECT_FALSE(assembler.buffer);
    EXPECT_EQ(assembler.expectedChunk, -1);
}

TEST(ChunkReassembly, SoftResetOnDebugOrderedSetDoesNotEndTheMessage) {
    ChunkAssembler assembler;
    const auto first = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    Assemble(assembler, hand::Message(kOsSopPrimeDebug, {.type = kCtrlSoftReset}));
    const auto second = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    EXPECT_EQ(second->chunkBuffer, first->chunkBuffer);
}

TEST(ChunkReassembly, RepeatedChunkZeroStartsAFreshMessage) {
    ChunkAssembler assembler;
    const auto stale = Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto retry = Assemble(assembler, EprChunk(40, 0, Counting(26, 101)));
    const auto last = Assemble(assembler, EprChunk(40, 1, Counting(14, 127)));
    EXPECT_NE(stale->chunkBuffer, retry->chunkBuffer);
    EXPECT_TRUE(retry->chunkStart);
    EXPECT_EQ(last->chunkBuffer, retry->chunkBuffer);
    EXPECT_EQ(Published(*last), Counting(40, 101));
}

TEST(ChunkReassembly, ChangedDataSizeEndsTheMessage) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto other = Assemble(assembler, EprChunk(44, 1, Counting(18, 27)));
    ExpectNoBlock(*other);
    EXPECT_FALSE(assembler.buffer);
}

TEST(ChunkReassembly, DataSizeAbove260IsNotReassembled) {
    ChunkAssembler assembler;
    const auto first = Assemble(assembler, EprChunk(261, 0, Counting(26, 1)));
    ExpectNoBlock(*first);
    EXPECT_FALSE(assembler.buffer);
    // It also ends a message in progress.
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    Assemble(assembler, EprChunk(300, 1, Counting(26, 1)));
    EXPECT_FALSE(assembler.buffer);
}

TEST(ChunkReassembly, MoreThanTenChunksAreAbandoned) {
    ChunkAssembler assembler;
    std::vector<PacketPtr> chunks;
    // 260 bytes in 10-byte chunks would need 26 chunks.
    for (int chunk = 0; chunk < 10; ++chunk) {
        chunks.push_back(Assemble(assembler, EprChunk(260, chunk, Counting(10, 10 * chunk))));
        ASSERT_EQ(chunks.back()->chunkBuffer, chunks.front()->chunkBuffer) << chunk;
        EXPECT_EQ(chunks.back()->chunkOffset, 10 * chunk);
        EXPECT_EQ(chunks.back()->chunkLength, 10);
    }
    EXPECT_FALSE(assembler.buffer);
    EXPECT_EQ(assembler.expectedChunk, -1);
    const auto eleventh = Assemble(assembler, EprChunk(260, 10, Counting(10, 100)));
    ExpectNoBlock(*eleventh);
}

TEST(ChunkReassembly, TenFullChunksComplete260Bytes) {
    ChunkAssembler assembler;
    PacketPtr last;
    for (int chunk = 0; chunk < 10; ++chunk) {
        last = Assemble(assembler, EprChunk(260, chunk, Counting(26, 26 * chunk)));
    }
    EXPECT_EQ(last->chunkOffset, 234);
    EXPECT_EQ(last->chunkLength, 26);
    EXPECT_EQ(Published(*last), Counting(260, 0));
    EXPECT_FALSE(assembler.buffer);
}

TEST(ChunkReassembly, ChunkWithoutDataObjectsIsNotReassembled) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto empty = Assemble(assembler, EprChunk(40, 1, {}, 0));
    ExpectNoBlock(*empty);
    EXPECT_FALSE(assembler.buffer);
    const auto emptyStart = Assemble(assembler, EprChunk(40, 0, {}, 0));
    ExpectNoBlock(*emptyStart);
}

TEST(ChunkReassembly, ChunkShorterThanItsDataObjectsCopiesOnlyAssembledBytes) {
    ChunkAssembler assembler;
    auto chunk = EprChunk(40, 0, Counting(26, 1));
    chunk->messageByteCount = 10;  // assembly stopped after six data bytes
    Assemble(assembler, chunk);
    ASSERT_TRUE(chunk->chunkBuffer);
    EXPECT_EQ(chunk->chunkLength, 26);
    // The chunk's 26 bytes are received: six assembled ones, then zeros.
    std::vector<uint8_t> expected = Counting(6, 1);
    expected.resize(26, 0);
    EXPECT_EQ(Published(*chunk), expected);
}

TEST(SinglePacketBlocks, UnchunkedMessageHoldsItsOwnBlock) {
    ChunkAssembler assembler;
    const auto p = Assemble(
        assembler,
        hand::Extended(kOsSop,
                       {.type = kExtSourceCapabilitiesExtended, .dataSize = 25, .chunked = false},
                       Counting(25, 1)));
    ASSERT_TRUE(p->chunkBuffer);
    EXPECT_FALSE(p->chunkStart);
    EXPECT_EQ(Published(*p), Counting(25, 1));
    EXPECT_EQ(p->chunkTotalSize, 25);
    EXPECT_EQ(p->chunkOffset, 0);
    EXPECT_EQ(p->chunkLength, 25);
}

TEST(SinglePacketBlocks, ChunkedMessageBelow26BytesFitsOneChunk) {
    ChunkAssembler assembler;
    const auto p = Assemble(
        assembler, hand::Extended(kOsSop, {.type = kExtSourceCapabilitiesExtended, .dataSize = 25},
                                  Counting(25, 1)));
    ASSERT_TRUE(p->chunkBuffer);
    EXPECT_EQ(Published(*p), Counting(25, 1));
    EXPECT_EQ(p->chunkLength, 25);
    EXPECT_FALSE(assembler.buffer);
}

TEST(SinglePacketBlocks, SinglePacketMessageEndsAMessageInProgress) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    Assemble(assembler,
             hand::Extended(kOsSop, {.type = kExtExtendedControl, .dataSize = 2}, {3, 0}));
    EXPECT_FALSE(assembler.buffer);
    const auto next = Assemble(assembler, EprChunk(40, 1, Counting(14, 27)));
    ExpectNoBlock(*next);
}

TEST(SinglePacketBlocks, ZeroDataSizeGivesNoBlockAndEndsAMessage) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    const auto p =
        Assemble(assembler, hand::Extended(kOsSop, {.type = kExtStatus, .chunked = false}, {}));
    ExpectNoBlock(*p);
    EXPECT_FALSE(assembler.buffer);
}

TEST(SinglePacketBlocks, DataSizeBeyondTheReceivedBytesIsZeroFilled) {
    // An unchunked header announcing 511 bytes in a packet of 12 data bytes: the block has the
    // announced size, but only the received bytes are copied (never the CRC behind them).
    ChunkAssembler assembler;
    auto p = hand::Extended(kOsSop, {.type = kExtStatus, .dataSize = 511, .chunked = false},
                            Counting(12, 1));
    p->messageByteCount = 16;
    hand::SetMessageByte(*p, 16, 0xEE);  // CRC byte behind the data
    Assemble(assembler, p);
    ASSERT_TRUE(p->chunkBuffer);
    ASSERT_EQ(p->chunkBuffer->Size(), 511u);
    EXPECT_EQ(p->chunkTotalSize, 511);
    std::vector<uint8_t> expected = Counting(12, 1);
    expected.resize(511, 0);
    EXPECT_EQ(Published(*p), expected);
}

TEST(NonExtendedTraffic, LeavesTheAssemblerAndPacketAlone) {
    ChunkAssembler assembler;
    Assemble(assembler, EprChunk(40, 0, Counting(26, 1)));
    for (const PacketPtr& p :
         {hand::Data(kDataSourceCapabilities, true, true, {0x0801912C}),
          hand::Control(kCtrlAccept, true, true), hand::Raw(kOsNotDecoded, {}),
          hand::Message(kOsSop, {.type = kExtStatus, .revision = 1, .extended = true})}) {
        Assemble(assembler, p);
        ExpectNoBlock(*p);
    }
    EXPECT_TRUE(assembler.buffer);
    EXPECT_EQ(assembler.expectedChunk, 1);
    EXPECT_EQ(assembler.received, 26);
}

TEST(NonExtendedTraffic, StaleChunkFieldsOfAReusedPacketAreCleared) {
    ChunkAssembler assembler;
    auto p = hand::Control(kCtrlAccept, true, true);
    p->chunkBuffer = hand::WholeBlock(std::vector<uint8_t>(4));
    p->chunkTotalSize = 4;
    p->chunkLength = 4;
    p->chunkStart = true;
    Assemble(assembler, p);
    ExpectNoBlock(*p);
}

// Arbitrary bytes behind every ordered set: the state stays within its ranges, every block
// reference stays inside its buffer, and every text is computed without reading out of bounds.
TEST(Robustness, RandomMessagesKeepStateAndBlocksConsistent) {
    std::mt19937 random(12345);
    PdPortState ports;
    ChunkAssembler assembler;
    std::vector<PacketPtr> kept;
    const int32_t kinds[] = {
        kOsSop,       kOsSopPrime,   kOsSopDoublePrime, kOsSopPrimeDebug, kOsSopDoublePrimeDebug,
        kOsHardReset, kOsCableReset, kOsNotDecoded,     kOsUnrecognised};
    for (int i = 0; i < 20000; ++i) {
        auto packet = std::make_shared<CCCPacket>();
        packet->orderedSetKind = kinds[random() % std::size(kinds)];
        std::vector<uint8_t> bytes(kMaxMessageBytes);
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        // Favour extended headers and chunk numbers the assembler follows.
        if (random() % 2 == 0) {
            bytes[1] |= 0x80;
            bytes[0] = static_cast<uint8_t>((bytes[0] & 0x3F) | 0x80);
            bytes[3] = static_cast<uint8_t>((bytes[3] & 0x87) | ((random() % 3) << 3));
        }
        packet->messageBytes.Assign(bytes);
        const int counts[] = {0, 1, 2, 5, 30, static_cast<int>(random() % 300) - 10};
        packet->messageByteCount = counts[random() % std::size(counts)];
        packet->crcOk = random() % 2 == 0;

        AttributePort(ports, packet);
        AssembleChunks(assembler, *packet);
        ASSERT_GE(packet->port, 0);
        ASSERT_LE(packet->port, 3);
        ASSERT_TRUE(ports.sourcePort == 1 || ports.sourcePort == 2);
        ASSERT_TRUE(ports.sinkPort == 1 || ports.sinkPort == 2);
        if (packet->chunkBuffer) {
            ASSERT_EQ(static_cast<int>(packet->chunkBuffer->Size()), packet->chunkTotalSize);
            ASSERT_GE(packet->chunkOffset, 0);
            ASSERT_GT(packet->chunkLength, 0);
            ASSERT_LE(packet->chunkOffset + packet->chunkLength, packet->chunkTotalSize);
        }
        if (assembler.buffer) {
            ASSERT_LE(assembler.received, static_cast<int>(assembler.buffer->Size()));
            ASSERT_GE(assembler.expectedChunk, 1);
            ASSERT_LE(assembler.expectedChunk, 9);
        }
        const std::string texts = MessageName(*packet) + RevisionText(*packet) +
                                  SourceCapsExtText(*packet) + SinkCapsExtText(*packet) +
                                  ExtendedControlText(*packet);
        ASSERT_FALSE(texts.empty());
        for (int object = -1; object <= 8; ++object) {
            DataObject(*packet, object);
        }
        if (i % 97 == 0) {
            kept.push_back(packet);
        }
        if (kept.size() > 20) {
            kept.erase(kept.begin());  // packets leave in any order, like auto-remove
        }
    }
}

}  // namespace
