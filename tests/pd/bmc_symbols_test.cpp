// Symbols, ordered sets, byte assembly, CRC and their texts, on packets decoded from intervals.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/symbols.h"

namespace {

CCCPacket Decoded(const bmc::Bits& bits) {
    CCCPacket packet = bmc::BitsPacket(bits);
    DecodePacket(packet, 0);
    return packet;
}

// A packet whose symbols are set directly, as GroupSymbols leaves them: the bits from
// sopStartBit on are the 5-bit groups of the symbols (an invalid symbol as group 0).
CCCPacket WithSymbols(const std::vector<uint8_t>& symbols) {
    CCCPacket packet;
    packet.preambleFound = true;
    packet.sopStartBit = 0;
    for (uint8_t symbol : symbols) {
        unsigned group = 0;
        while (group < 32 && SymbolCodeOf(group) != symbol) {
            ++group;
        }
        for (int bit = 0; bit < 5; ++bit) {
            packet.bits.push_back(static_cast<uint8_t>(group < 32 ? (group >> bit) & 1 : 0));
        }
    }
    packet.bitCount = static_cast<int32_t>(packet.bits.size());
    packet.symbolCount = static_cast<int32_t>(symbols.size());
    packet.eopFound = true;
    packet.orderedSetKind = kOsSop;
    return packet;
}

std::vector<uint8_t> SopSymbols() {
    return {kSymSync1, kSymSync1, kSymSync1, kSymSync2};
}

void AppendByteSymbols(std::vector<uint8_t>& symbols, uint8_t byte) {
    symbols.push_back(byte & 0xF);
    symbols.push_back(byte >> 4);
}

}  // namespace

TEST(SymbolCode, FiveBitTable) {
    for (int nibble = 0; nibble < 16; ++nibble) {
        EXPECT_EQ(SymbolCodeOf(bmc::kNibbleLine[nibble]), nibble);
    }
    EXPECT_EQ(SymbolCodeOf(bmc::kSync1), kSymSync1);
    EXPECT_EQ(SymbolCodeOf(bmc::kSync2), kSymSync2);
    EXPECT_EQ(SymbolCodeOf(bmc::kSync3), kSymSync3);
    EXPECT_EQ(SymbolCodeOf(bmc::kRst1), kSymRst1);
    EXPECT_EQ(SymbolCodeOf(bmc::kRst2), kSymRst2);
    EXPECT_EQ(SymbolCodeOf(bmc::kEop), kSymEop);
    for (unsigned unused : {0u, 1u, 2u, 3u, 4u, 5u, 8u, 12u, 16u, 31u}) {
        EXPECT_EQ(SymbolCodeOf(unused), kSymInvalid) << unused;
    }
}

TEST(SymbolCode, Texts) {
    EXPECT_EQ(SymbolCodeText(0x0), "0");
    EXPECT_EQ(SymbolCodeText(0xA), "A");
    EXPECT_EQ(SymbolCodeText(0xF), "F");
    EXPECT_EQ(SymbolCodeText(kSymSync1), "[SYNC-1]");
    EXPECT_EQ(SymbolCodeText(kSymSync2), "[SYNC-2]");
    EXPECT_EQ(SymbolCodeText(kSymSync3), "[SYNC-3]");
    EXPECT_EQ(SymbolCodeText(kSymRst1), "[RST-1]");
    EXPECT_EQ(SymbolCodeText(kSymRst2), "[RST-2]");
    EXPECT_EQ(SymbolCodeText(kSymEop), "[EOP]");
    EXPECT_EQ(SymbolCodeText(kSymInvalid), "");
    EXPECT_EQ(SymbolCodeText(16), "");
}

TEST(GoodCrcMessage, SeventeenSymbolsTwoBytesAndItsTexts) {
    const CCCPacket packet = Decoded(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
    EXPECT_TRUE(packet.preambleFound);
    EXPECT_EQ(packet.orderedSetKind, kOsSop);
    EXPECT_EQ(packet.symbolCount, 17);
    EXPECT_EQ(packet.messageByteCount, 2);
    EXPECT_TRUE(packet.bytesAssembled);
    EXPECT_TRUE(packet.crcOk);
    EXPECT_TRUE(packet.eopFound);
    EXPECT_EQ(packet.eopStartBit, 64 + 16 * 5);
    EXPECT_EQ(packet.messageBytes[0], 0xA1);
    EXPECT_EQ(packet.messageBytes[1], 0x0B);
    const uint32_t crc = bmc::ReferenceCrc(bmc::GoodCrcBytes());
    EXPECT_EQ(packet.receivedCrc, crc);

    char crcText[16];
    std::snprintf(crcText, sizeof crcText, "%08Xh", crc);
    EXPECT_EQ(CrcText(packet), crcText);
    std::string crcNibbles;
    for (int i = 0; i < 4; ++i) {
        const unsigned byte = (crc >> (8 * i)) & 0xFF;
        crcNibbles += "0123456789ABCDEF"[byte & 0xF];
        crcNibbles += "0123456789ABCDEF"[byte >> 4];
    }
    EXPECT_EQ(SymbolText(packet), "[SYNC-1][SYNC-1][SYNC-1][SYNC-2]1AB0" + crcNibbles + "[EOP]");
    EXPECT_EQ(OrderedSetName(packet), "SOP");
}

TEST(OrderedSets, EveryKindIsRecognisedAndNamed) {
    struct Case {
        bmc::OrderedSet set;
        int32_t kind;
        const char* name;
    };
    const Case cases[] = {
        {bmc::kSop, kOsSop, "SOP"},
        {bmc::kSopPrime, kOsSopPrime, "SOP'"},
        {bmc::kSopDoublePrime, kOsSopDoublePrime, "SOP''"},
        {bmc::kSopPrimeDebug, kOsSopPrimeDebug, "Invalid"},
        {bmc::kSopDoublePrimeDebug, kOsSopDoublePrimeDebug, "Invalid"},
        {bmc::kHardReset, kOsHardReset, "Hard Reset"},
        {bmc::kCableReset, kOsCableReset, "Cable Reset"},
    };
    for (const Case& c : cases) {
        const CCCPacket packet = Decoded(bmc::MessageBits(c.set, bmc::GoodCrcBytes()));
        EXPECT_EQ(packet.orderedSetKind, c.kind) << c.name;
        EXPECT_EQ(OrderedSetName(packet), c.name);
        EXPECT_EQ(IsSopKind(c.kind), c.kind != kOsHardReset && c.kind != kOsCableReset);
    }
}

TEST(OrderedSets, ResetsAreAcceptedWithoutEopOrCrc) {
    const CCCPacket hard = Decoded(bmc::ResetBits(bmc::kHardReset));
    EXPECT_EQ(hard.orderedSetKind, kOsHardReset);
    EXPECT_EQ(hard.symbolCount, 4);
    EXPECT_FALSE(hard.eopFound);
    EXPECT_FALSE(hard.crcOk);
    EXPECT_FALSE(hard.bytesAssembled);
    EXPECT_EQ(hard.messageByteCount, 0);
    EXPECT_EQ(hard.receivedCrc, 0xFFFFFFFFu);
    EXPECT_EQ(CrcText(hard), "-");
    EXPECT_EQ(SymbolText(hard), "[RST-1][RST-1][RST-1][RST-2]");

    const CCCPacket cable = Decoded(bmc::ResetBits(bmc::kCableReset));
    EXPECT_EQ(cable.orderedSetKind, kOsCableReset);
    EXPECT_EQ(CrcText(cable), "-");
}

TEST(OrderedSets, ThreeSyncOnesAndADamagedFourthAreUnrecognised) {
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendLine(bits, bmc::kSync1);
    bmc::AppendLine(bits, bmc::kSync1);
    bmc::AppendLine(bits, bmc::kSync1);
    bmc::AppendLine(bits, 0b00000);  // not a code
    for (uint8_t byte : bmc::WithCrc(bmc::GoodCrcBytes())) {
        bmc::AppendByte(bits, byte);
    }
    bmc::AppendLine(bits, bmc::kEop);
    const CCCPacket packet = Decoded(bits);
    EXPECT_EQ(packet.orderedSetKind, kOsUnrecognised);
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_EQ(packet.messageByteCount, 0);
    EXPECT_EQ(OrderedSetName(packet), "Invalid");
    EXPECT_EQ(CrcText(packet), "-");
    // The invalid symbol adds no text.
    EXPECT_EQ(SymbolText(packet).rfind("[SYNC-1][SYNC-1][SYNC-1]1AB0", 0), 0u);

    // Three of four matching symbols of a reset are not a reset either.
    const CCCPacket partial = Decoded(bmc::ResetBits({bmc::kRst1, bmc::kRst1, bmc::kRst1, 0}));
    EXPECT_EQ(partial.orderedSetKind, kOsUnrecognised);
}

TEST(GroupSymbols, FewerThanFiveBitsAfterThePreambleGiveNoSymbols) {
    bmc::Bits bits = bmc::Preamble();
    bits.insert(bits.end(), {0, 0, 0, 1});
    const CCCPacket packet = Decoded(bits);
    EXPECT_TRUE(packet.preambleFound);
    EXPECT_EQ(packet.symbolCount, 0);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
    EXPECT_EQ(SymbolText(packet), "");
}

TEST(GroupSymbols, FewerThanFourSymbolsLeaveTheOrderedSetUndecoded) {
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendLine(bits, bmc::kSync1);
    bmc::AppendLine(bits, bmc::kSync1);
    bmc::AppendLine(bits, bmc::kSync1);
    const CCCPacket packet = Decoded(bits);
    EXPECT_EQ(packet.symbolCount, 3);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
}

TEST(GroupSymbols, SymbolsAfterTheFirstEopAreKeptAndTheLastEopCounts) {
    bmc::Bits bits = bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes());
    bmc::AppendLine(bits, bmc::kNibbleLine[0x5]);
    bmc::AppendLine(bits, bmc::kEop);
    const CCCPacket packet = Decoded(bits);
    EXPECT_EQ(packet.symbolCount, 19);
    EXPECT_EQ(packet.eopStartBit, 64 + 18 * 5);
    EXPECT_TRUE(packet.crcOk);  // assembly stops at the first EOP
    EXPECT_EQ(packet.messageByteCount, 2);
    const std::string text = SymbolText(packet);
    EXPECT_EQ(text.substr(text.size() - 11), "[EOP]5[EOP]");
}

TEST(CheckMessage, EopInTheHighNibblePositionFails) {
    // Header byte, one more nibble, EOP: an odd number of nibbles before the EOP.
    std::vector<uint8_t> symbols = SopSymbols();
    for (uint8_t byte : bmc::WithCrc(bmc::GoodCrcBytes())) {
        AppendByteSymbols(symbols, byte);
    }
    symbols.push_back(0x3);
    symbols.push_back(kSymEop);
    CCCPacket packet = WithSymbols(symbols);
    EXPECT_FALSE(CheckMessage(packet));
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_FALSE(packet.crcOk);
    EXPECT_EQ(packet.messageByteCount, 6);  // bytes assembled before the failure
    EXPECT_EQ(packet.receivedCrc, 0xFFFFFFFFu);
    EXPECT_EQ(CrcText(packet), "FFFFFFFFh(Bad)");
}

TEST(CheckMessage, OddNibbleCountFailsThroughTheWholeDecode) {
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSop);
    for (uint8_t byte : bmc::WithCrc(bmc::GoodCrcBytes())) {
        bmc::AppendByte(bits, byte);
    }
    bmc::AppendLine(bits, bmc::kNibbleLine[0x7]);
    bmc::AppendLine(bits, bmc::kEop);
    const CCCPacket packet = Decoded(bits);
    EXPECT_EQ(packet.orderedSetKind, kOsSop);
    EXPECT_TRUE(packet.eopFound);
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_EQ(packet.messageByteCount, 6);
}

TEST(CheckMessage, KCodeOrInvalidSymbolInsideTheMessageFails) {
    std::vector<uint8_t> symbols = SopSymbols();
    AppendByteSymbols(symbols, 0xA1);
    symbols.push_back(kSymSync2);
    symbols.push_back(0x1);
    for (int i = 0; i < 8; ++i) {
        symbols.push_back(0x0);
    }
    symbols.push_back(kSymEop);
    CCCPacket packet = WithSymbols(symbols);
    EXPECT_FALSE(CheckMessage(packet));
    EXPECT_EQ(packet.messageByteCount, 1);

    symbols[6] = kSymInvalid;
    packet = WithSymbols(symbols);
    EXPECT_FALSE(CheckMessage(packet));
    EXPECT_EQ(packet.messageByteCount, 1);
}

TEST(CheckMessage, MissingEopOrTooFewSymbolsFail) {
    std::vector<uint8_t> symbols = SopSymbols();
    for (uint8_t byte : bmc::WithCrc(bmc::GoodCrcBytes())) {
        AppendByteSymbols(symbols, byte);
    }
    CCCPacket noEop = WithSymbols(symbols);
    noEop.eopFound = false;
    EXPECT_FALSE(CheckMessage(noEop));
    EXPECT_EQ(noEop.messageByteCount, 0);

    // Ten symbols with an EOP: below the eleven needed.
    CCCPacket tooFew =
        WithSymbols({kSymSync1, kSymSync1, kSymSync1, kSymSync2, 1, 0, 2, 0, 3, kSymEop});
    EXPECT_FALSE(CheckMessage(tooFew));
    EXPECT_FALSE(tooFew.bytesAssembled);
}

TEST(CheckMessage, FewerThanFourBytesFail) {
    // Eleven symbols, but only three bytes before the EOP.
    CCCPacket packet =
        WithSymbols({kSymSync1, kSymSync1, kSymSync1, kSymSync2, 1, 0, 2, 0, 3, 0, kSymEop});
    EXPECT_FALSE(CheckMessage(packet));
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_EQ(packet.messageByteCount, 3);
}

TEST(CheckMessage, SymbolsRunningOutEndTheAssembly) {
    // The packet has seen an EOP, but none follows the bytes: the assembly ends with the
    // symbols and a complete CRC still passes.
    std::vector<uint8_t> symbols = SopSymbols();
    for (uint8_t byte : bmc::WithCrc(bmc::GoodCrcBytes())) {
        AppendByteSymbols(symbols, byte);
    }
    CCCPacket packet = WithSymbols(symbols);
    EXPECT_TRUE(CheckMessage(packet));
    EXPECT_EQ(packet.messageByteCount, 2);
}

TEST(CheckMessage, BadCrcShowsTheReceivedValueAndBad) {
    std::vector<uint8_t> bytes = bmc::WithCrc(bmc::SourceCapsBytes());
    bytes[5] ^= 0x40;  // damage a data byte after the CRC was computed
    std::vector<uint8_t> symbols = SopSymbols();
    for (uint8_t byte : bytes) {
        AppendByteSymbols(symbols, byte);
    }
    symbols.push_back(kSymEop);
    CCCPacket packet = WithSymbols(symbols);
    EXPECT_FALSE(CheckMessage(packet));
    EXPECT_TRUE(packet.bytesAssembled);
    EXPECT_EQ(packet.messageByteCount, 30);
    const uint32_t crc = bmc::ReferenceCrc(bmc::SourceCapsBytes());
    EXPECT_EQ(packet.receivedCrc, crc);
    char expected[24];
    std::snprintf(expected, sizeof expected, "%08Xh(Bad)", crc);
    EXPECT_EQ(CrcText(packet), expected);
}

TEST(CheckMessage, AssemblyStopsAtTheCapacityOfMessageBytes) {
    // 268 bytes fit; a 269th byte before the EOP fails the check instead of overrunning.
    std::vector<uint8_t> bytes(kMaxMessageBytes - 4, 0x5A);
    std::vector<uint8_t> symbols = SopSymbols();
    for (uint8_t byte : bmc::WithCrc(bytes)) {
        AppendByteSymbols(symbols, byte);
    }
    symbols.push_back(kSymEop);
    CCCPacket full = WithSymbols(symbols);
    EXPECT_TRUE(CheckMessage(full));
    EXPECT_EQ(full.messageByteCount, kMaxMessageBytes - 4);

    std::vector<uint8_t> tooLong = SopSymbols();
    for (int i = 0; i < 300; ++i) {
        AppendByteSymbols(tooLong, 0x11);
    }
    tooLong.push_back(kSymEop);
    CCCPacket over = WithSymbols(tooLong);
    EXPECT_FALSE(CheckMessage(over));
    EXPECT_FALSE(over.bytesAssembled);
    EXPECT_EQ(over.messageByteCount, kMaxMessageBytes);
}

TEST(CheckMessage, OverlongMessageThroughTheWholeDecode) {
    // 280 bytes of 0x11 (seven intervals per nibble) stay within the 5000-edge limit.
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSop);
    for (int i = 0; i < 280; ++i) {
        bmc::AppendByte(bits, 0x11);
    }
    bmc::AppendLine(bits, bmc::kEop);
    CCCPacket packet = bmc::BitsPacket(bits);
    ASSERT_LE(packet.edgeCount, kMaxEdges);
    DecodePacket(packet, 0);
    EXPECT_EQ(packet.orderedSetKind, kOsSop);
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_FALSE(packet.crcOk);
    EXPECT_EQ(packet.messageByteCount, kMaxMessageBytes);
}

TEST(CrcText, NonMessageKindsShowADash) {
    CCCPacket packet;
    for (int32_t kind : {kOsHardReset, kOsCableReset, kOsNotDecoded, kOsUnrecognised}) {
        packet.orderedSetKind = kind;
        EXPECT_EQ(CrcText(packet), "-") << kind;
    }
    packet.orderedSetKind = kOsSopPrimeDebug;
    packet.receivedCrc = 0x0000ABCDu;
    packet.crcOk = true;
    EXPECT_EQ(CrcText(packet), "0000ABCDh");
}
