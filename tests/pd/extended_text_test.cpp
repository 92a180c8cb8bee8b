#include "pd/extended_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "pd/chunk_assembler.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

// A single-packet extended message of `type` with `data`, run through the reassembly.
PacketPtr Decoded(int type, const std::vector<uint8_t>& data, int dataSize = -1) {
    auto p = hand::Extended(kOsSop,
                            {.type = type,
                             .dataSize = dataSize >= 0 ? dataSize : static_cast<int>(data.size()),
                             .chunked = false},
                            data);
    ChunkAssembler assembler;
    AssembleChunks(assembler, *p);
    return p;
}

std::vector<uint8_t> SourceCapsExt(int size, uint8_t spr, uint8_t epr) {
    std::vector<uint8_t> data(size, 0x11);
    if (size > 23) {
        data[23] = spr;
    }
    if (size > 24) {
        data[24] = epr;
    }
    return data;
}

TEST(SourceCapsExtText, TwentyFourBytesShowOnlyTheSprRating) {
    const auto p = Decoded(kExtSourceCapabilitiesExtended, SourceCapsExt(24, 0x80 | 45, 0));
    EXPECT_EQ(SourceCapsExtText(*p), "(SPR Source Rating=45[W])");
}

TEST(SourceCapsExtText, TwentyFiveBytesAddTheEprRating) {
    const auto p = Decoded(kExtSourceCapabilitiesExtended, SourceCapsExt(25, 100, 240));
    EXPECT_EQ(SourceCapsExtText(*p), "(SPR Source Rating=100[W])(EPR Source Rating=240[W])");
}

TEST(SourceCapsExtText, ShortBlockOrNoBlockGivesNoText) {
    EXPECT_EQ(SourceCapsExtText(*Decoded(kExtSourceCapabilitiesExtended, SourceCapsExt(23, 0, 0))),
              "");
    auto noBlock = hand::Extended(kOsSop, {.type = kExtSourceCapabilitiesExtended, .dataSize = 25},
                                  SourceCapsExt(25, 60, 0));
    EXPECT_EQ(SourceCapsExtText(*noBlock), "");
}

TEST(SourceCapsExtText, OnlyThePacketHoldingTheStartOfTheBlock) {
    auto p = Decoded(kExtSourceCapabilitiesExtended, SourceCapsExt(25, 60, 0));
    p->chunkOffset = 26;
    EXPECT_EQ(SourceCapsExtText(*p), "");
    p->chunkOffset = 0;
    p->chunkTotalSize = 0;
    EXPECT_EQ(SourceCapsExtText(*p), "");
}

TEST(SourceCapsExtText, DeclaredSizeLargerThanTheBufferReadsOnlyTheBuffer) {
    auto p = Decoded(kExtSourceCapabilitiesExtended, SourceCapsExt(24, 45, 0));
    p->chunkTotalSize = 200;
    EXPECT_EQ(SourceCapsExtText(*p), "(SPR Source Rating=45[W])");
}

std::vector<uint8_t> SinkCapsExt(int size) {
    std::vector<uint8_t> data(size, 0);
    const uint8_t pdp[] = {0x80 | 15, 45, 0x80 | 60, 100, 140, 240};
    for (int i = 0; i < 6 && 18 + i < size; ++i) {
        data[18 + i] = pdp[i];
    }
    return data;
}

TEST(SinkCapsExtText, TwentyOneBytesShowTheSprPdp) {
    const auto p = Decoded(kExtSinkCapabilitiesExtended, SinkCapsExt(21));
    EXPECT_EQ(SinkCapsExtText(*p), "(Sink Min/Ope/Max PDP=15/45/60[W])");
}

TEST(SinkCapsExtText, TwentyFourBytesAddTheEprPdp) {
    const auto p = Decoded(kExtSinkCapabilitiesExtended, SinkCapsExt(24));
    EXPECT_EQ(SinkCapsExtText(*p),
              "(Sink Min/Ope/Max PDP=15/45/60[W])(EPR Sink Min/Ope/Max PDP=100/140/240[W])");
}

TEST(SinkCapsExtText, TwentyBytesGiveNoText) {
    EXPECT_EQ(SinkCapsExtText(*Decoded(kExtSinkCapabilitiesExtended, SinkCapsExt(20))), "");
}

TEST(ExtendedControlText, NamesEveryControlType) {
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {1, 0})), "EPR_Get_Source_Cap");
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {2, 0})), "EPR_Get_Sink_Cap");
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {3, 0})), "EPR_KeepAlive");
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {4, 0})), "EPR_KeepAlive_Ack");
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {0, 0})), "(Invalid Type)");
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {5, 0})), "(Invalid Type)");
}

TEST(ExtendedControlText, NeedsTwoDataBytes) {
    EXPECT_EQ(ExtendedControlText(*Decoded(kExtExtendedControl, {3, 0}, 1)), "");
    // The Data Size promises the type byte, but the packet ended before it.
    auto cut = Decoded(kExtExtendedControl, {3, 0});
    cut->messageByteCount = 4;
    EXPECT_EQ(ExtendedControlText(*cut), "");
}

}  // namespace
