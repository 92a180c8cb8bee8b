// Message headers, extended headers, chunking and MessageID counting of the synthesizer.
#include <gtest/gtest.h>

#include <string>

#include "device/sim/conversation.h"
#include "device/sim/data_objects.h"
#include "device/sim/message_builder.h"
#include "pd/crc32.h"

namespace {

uint16_t HeaderOf(const PdMessage& message) {
    return static_cast<uint16_t>(message.bytes.at(0) | (message.bytes.at(1) << 8));
}

uint16_t ExtendedHeaderOf(const PdMessage& message) {
    return static_cast<uint16_t>(message.bytes.at(2) | (message.bytes.at(3) << 8));
}

MessageOrigin SourceDfp() {
    MessageOrigin origin;
    origin.dataRoleDfp = true;
    origin.powerRoleSource = true;
    return origin;
}

}  // namespace

TEST(SimCrc, KnownAnswerOfTheSharedCrc) {
    const std::string text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
}

TEST(SimHeader, EveryFieldLandsOnItsBits) {
    HeaderFields fields;
    fields.messageType = 0x1F;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x001F | (2 << 6));
    fields = {};
    fields.specRevision = 0;
    fields.dataRoleDfp = true;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x0020);
    fields.dataRoleDfp = false;
    fields.bit8 = true;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x0100);
    fields.bit8 = false;
    fields.messageId = 7;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x0E00);
    fields.messageId = 0;
    fields.objectCount = 7;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x7000);
    fields.objectCount = 0;
    fields.extended = true;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x8000);
    fields.extended = false;
    fields.specRevision = 3;
    EXPECT_EQ(EncodeMessageHeader(fields), 0x00C0);
}

TEST(SimHeader, SourceCapabilitiesFromSourceDfpRevision30) {
    std::vector<uint32_t> pdos(5, 0x0401912Cu);
    PdMessage message = DataMessage(SourceDfp(), 0, 1, pdos);
    // Type 1, DFP, revision 3.0, Source, MessageID 0, five data objects.
    EXPECT_EQ(HeaderOf(message), 0x51A1);
    ASSERT_EQ(message.bytes.size(), 2u + 5 * 4);
    EXPECT_EQ(message.bytes[2], 0x2C);
    EXPECT_EQ(message.bytes[5], 0x04);
    EXPECT_EQ(message.orderedSet, kOsSop);
}

TEST(SimHeader, CableMessagesCarryTheCablePlugBitAndNoDataRole) {
    MessageOrigin plug;
    plug.orderedSet = kOsSopPrime;
    plug.cablePlug = true;
    plug.dataRoleDfp = true;       // ignored on SOP'
    plug.powerRoleSource = false;  // bit 8 is the cable plug bit here
    PdMessage reply = ControlMessage(plug, 5, 1);
    EXPECT_EQ(HeaderOf(reply), 0x0001 | (2 << 6) | 0x0100 | (5 << 9));
    EXPECT_EQ(reply.orderedSet, kOsSopPrime);
}

TEST(SimHeader, MoreThanSevenDataObjectsAreCut) {
    std::vector<uint32_t> objects(9, 1u);
    PdMessage message = DataMessage(SourceDfp(), 0, 15, objects);
    EXPECT_EQ((HeaderOf(message) >> 12) & 7, 7);
    EXPECT_EQ(message.bytes.size(), 2u + 7 * 4);
}

TEST(SimExtended, ExtendedHeaderBits) {
    ExtendedHeaderFields fields;
    fields.dataSize = 40;
    fields.chunkNumber = 1;
    fields.chunked = true;
    EXPECT_EQ(EncodeExtendedHeader(fields), 0x8828);
    fields = {};
    fields.requestChunk = true;
    fields.chunkNumber = 1;
    fields.chunked = true;
    EXPECT_EQ(EncodeExtendedHeader(fields), 0x8C00);
    fields = {};
    fields.dataSize = 0x1FF;
    EXPECT_EQ(EncodeExtendedHeader(fields), 0x01FF);
}

TEST(SimExtended, FortyByteEprSourceCapabilitiesSplitInto26And14) {
    std::vector<uint8_t> block(40);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i + 1);
    }
    ASSERT_EQ(ChunkCount(40), 2);
    PdMessage first = ExtendedChunk(SourceDfp(), 3, 17, block, 0);
    PdMessage second = ExtendedChunk(SourceDfp(), 4, 17, block, 1);

    EXPECT_EQ(HeaderOf(first) & 0x1F, 17);
    EXPECT_EQ(HeaderOf(first) >> 15, 1);
    EXPECT_EQ((HeaderOf(first) >> 12) & 7, 7);  // 2 + 26 bytes = seven data objects
    EXPECT_EQ(ExtendedHeaderOf(first), 0x8000 | 40);
    ASSERT_EQ(first.bytes.size(), 2u + 28);
    EXPECT_EQ(std::vector<uint8_t>(first.bytes.begin() + 4, first.bytes.end()),
              std::vector<uint8_t>(block.begin(), block.begin() + 26));

    EXPECT_EQ((HeaderOf(second) >> 12) & 7, 4);  // 2 + 14 bytes = four data objects
    EXPECT_EQ(ExtendedHeaderOf(second), 0x8000 | (1 << 11) | 40);
    ASSERT_EQ(second.bytes.size(), 2u + 16);
    EXPECT_EQ(std::vector<uint8_t>(second.bytes.begin() + 4, second.bytes.end()),
              std::vector<uint8_t>(block.begin() + 26, block.end()));
}

TEST(SimExtended, ShortBlocksArePaddedToWholeDataObjects) {
    PdMessage keepAlive = ExtendedChunk(SourceDfp(), 0, 16, ExtendedControlBlock(3, 0), 0);
    EXPECT_EQ((HeaderOf(keepAlive) >> 12) & 7, 1);
    EXPECT_EQ(ExtendedHeaderOf(keepAlive), 0x8002);
    EXPECT_EQ(keepAlive.bytes, (std::vector<uint8_t>{keepAlive.bytes[0], keepAlive.bytes[1], 0x02,
                                                     0x80, 0x03, 0x00}));
    std::vector<uint8_t> seven(7, 0xAA);
    PdMessage status = ExtendedChunk(SourceDfp(), 0, 2, seven, 0);
    EXPECT_EQ((HeaderOf(status) >> 12) & 7, 3);  // 9 bytes padded to 12
    EXPECT_EQ(status.bytes.size(), 2u + 12);
    EXPECT_EQ(status.bytes.back(), 0);
}

TEST(SimExtended, ChunkRequestAndUnchunkedMessages) {
    PdMessage request = ChunkRequest(SourceDfp(), 2, 17, 1);
    EXPECT_EQ((HeaderOf(request) >> 12) & 7, 1);
    EXPECT_EQ(ExtendedHeaderOf(request), 0x8C00);
    EXPECT_EQ(request.bytes.size(), 6u);

    std::vector<uint8_t> big(40, 0x5A);
    PdMessage unchunked = UnchunkedExtended(SourceDfp(), 0, 30, big);
    EXPECT_EQ(ExtendedHeaderOf(unchunked), 40);     // Chunked clear
    EXPECT_EQ((HeaderOf(unchunked) >> 12) & 7, 0);  // more than seven objects: count unused
    EXPECT_EQ(unchunked.bytes.size(), 4u + 40);

    std::vector<uint8_t> tooBig(300, 1);
    EXPECT_EQ(UnchunkedExtended(SourceDfp(), 0, 30, tooBig).bytes.size(), 4u + 260);
    // A chunk past the end carries no data, only the padding of one data object.
    EXPECT_EQ(ExtendedChunk(SourceDfp(), 0, 30, tooBig, 10).bytes.size(), 6u);
    EXPECT_EQ(ChunkCount(260), 10);
    EXPECT_EQ(ChunkCount(0), 1);
}

TEST(SimMessageId, CountersPerOrderedSetWrapAtEight) {
    MessageIdCounters ids;
    for (int i = 0; i < 9; ++i) {
        ids.Advance(kOsSop);
    }
    ids.Advance(kOsSopPrime);
    EXPECT_EQ(ids.Current(kOsSop), 1);
    EXPECT_EQ(ids.Current(kOsSopPrime), 1);
    EXPECT_EQ(ids.Current(kOsSopDoublePrime), 0);
    EXPECT_EQ(ids.Current(-3), 0);  // no such ordered set
    ids.Advance(99);
    ids.Reset();
    EXPECT_EQ(ids.Current(kOsSop), 0);
}

TEST(SimMessageId, ConversationCountsAcknowledgedMessagesAndEchoesThemInGoodCrc) {
    ScenarioScript script;
    SimRandom random(3);
    Conversation talk(script, random, ConversationSettings{});
    Party source;
    source.powerSource = true;
    source.dataDfp = true;
    Party sink;
    for (int i = 0; i < 9; ++i) {
        talk.Control(source, sink, kCtrlPing, "Ping");
    }
    talk.Control(sink, source, kCtrlGetSinkCap, "Get_Sink_Cap");
    Party plug;
    plug.cablePlug = true;
    talk.Control(source, plug, kCtrlGetStatus, "Get_Status", kOsSopPrime);

    ASSERT_EQ(script.messages.size(), 22u);
    for (int i = 0; i < 9; ++i) {
        const BuiltMessage& ping = script.messages[static_cast<size_t>(2 * i)];
        const BuiltMessage& ack = script.messages[static_cast<size_t>(2 * i + 1)];
        int id = (ping.bytes[1] >> 1) & 7;
        EXPECT_EQ(id, i % 8);
        EXPECT_EQ(ack.label, "GoodCRC");
        EXPECT_EQ((ack.bytes[1] >> 1) & 7, id);
        EXPECT_EQ(ack.bytes[0] & 0x1F, 1);
        EXPECT_EQ(ack.bytes[1] & 1, 0);  // the sink answers as Sink
    }
    EXPECT_EQ((script.messages[18].bytes[1] >> 1) & 7, 0);  // the sink's own counter
    EXPECT_EQ(script.messages[20].orderedSet, kOsSopPrime);
    EXPECT_EQ((script.messages[20].bytes[1] >> 1) & 7, 0);  // SOP' counts separately
    EXPECT_EQ(script.messages[21].bytes[1] & 1, 1);         // reply from the cable plug
}

TEST(SimMessageId, UnreadableMessageIsRetriedWithTheSameId) {
    ScenarioScript script;
    SimRandom random(5);
    Conversation talk(script, random, ConversationSettings{});
    Party source;
    source.powerSource = true;
    Party sink;
    talk.Control(source, sink, kCtrlPing, "Ping");
    talk.Control(source, sink, kCtrlPing, "Ping", kOsSop, PhyFault::kBadCrc);
    ASSERT_EQ(script.messages.size(), 5u);
    EXPECT_EQ(script.messages[2].fault, PhyFault::kBadCrc);
    EXPECT_NE(script.messages[2].crc,
              Crc32(script.messages[2].bytes.data(), script.messages[2].bytes.size()));
    EXPECT_EQ(script.messages[3].fault, PhyFault::kNone);
    EXPECT_EQ(script.messages[3].bytes, script.messages[2].bytes);
    EXPECT_EQ(script.messages[3].crc,
              Crc32(script.messages[3].bytes.data(), script.messages[3].bytes.size()));
    EXPECT_EQ((script.messages[3].bytes[1] >> 1) & 7, 1);
    EXPECT_EQ(script.messages[4].label, "GoodCRC");
    // The retry waits for the GoodCRC that never came.
    EXPECT_GE(script.messages[3].plannedNs - script.messages[2].plannedNs, 900'000);
}

TEST(SimMessageId, ResetsCarryNoBytesAndRestartTheCounters) {
    ScenarioScript script;
    SimRandom random(9);
    Conversation talk(script, random, ConversationSettings{});
    Party source;
    Party sink;
    talk.Control(source, sink, kCtrlPing, "Ping");
    Party* both[] = {&source, &sink};
    talk.Reset(kOsHardReset, both);
    talk.Reset(kOsCableReset, both);
    EXPECT_EQ(source.ids.Current(kOsSop), 0);
    ASSERT_EQ(script.messages.size(), 4u);
    EXPECT_EQ(script.messages[2].orderedSet, kOsHardReset);
    EXPECT_TRUE(script.messages[2].bytes.empty());
    EXPECT_EQ(script.messages[2].label, "Hard Reset");
    EXPECT_EQ(script.messages[3].orderedSet, kOsCableReset);
    EXPECT_EQ(script.messages[3].label, "Cable Reset");
}
