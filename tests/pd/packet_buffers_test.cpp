// The packet's compact buffers: packed bits and exactly sized message bytes, and what a decoded
// packet keeps of them.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/symbols.h"

TEST(PackedBits, HoldsEveryBitAndReadsZeroBeyond) {
    PackedBits bits;
    const std::vector<uint8_t> pattern = {1, 0, 1, 1, 0, 0, 0, 1, 1, 1, 0, 1};
    for (uint8_t bit : pattern) {
        bits.push_back(bit);
    }
    EXPECT_EQ(bits, pattern);
    EXPECT_EQ(bits.size(), pattern.size());
    EXPECT_EQ(bits[pattern.size()], 0);
    EXPECT_EQ(bits[100000], 0);

    PackedBits copy = bits;  // a copy is independent and holds exactly the bits
    copy.push_back(1);
    EXPECT_EQ(bits, pattern);
    EXPECT_EQ(copy.size(), pattern.size() + 1);
    EXPECT_EQ(copy[pattern.size()], 1);

    bits.resize(3);
    EXPECT_EQ(bits, (std::vector<uint8_t>{1, 0, 1}));
    bits.resize(6, 1);
    EXPECT_EQ(bits, (std::vector<uint8_t>{1, 0, 1, 1, 1, 1}));
    bits = {0, 1};
    EXPECT_EQ(bits, (std::vector<uint8_t>{0, 1}));
    bits.clear();
    EXPECT_TRUE(bits.empty());
}

TEST(PackedBits, GrowsPastItsReservationAndShrinksToItsBits) {
    PackedBits bits;
    bits.reserve(10);
    for (int i = 0; i < 1000; ++i) {
        bits.push_back(static_cast<uint8_t>(i % 3 == 0));
    }
    bits.shrink_to_fit();
    EXPECT_EQ(bits.capacity(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(bits[static_cast<size_t>(i)], i % 3 == 0 ? 1 : 0) << i;
    }
}

// Up to 64 bits are held in place and more on the heap: every way between the two (growing,
// shrinking, copying and moving either way) keeps the bits.
TEST(PackedBits, KeepsItsBitsAcrossThePlaceAndTheHeap) {
    std::mt19937 random(5);
    for (size_t length : {0u, 1u, 63u, 64u, 65u, 130u}) {
        std::vector<uint8_t> pattern(length);
        for (uint8_t& bit : pattern) {
            bit = static_cast<uint8_t>(random() % 2);
        }
        PackedBits bits;
        bits.reserve(length + 100);  // on the heap while decoding
        for (uint8_t bit : pattern) {
            bits.push_back(bit);
        }
        bits.shrink_to_fit();  // in place again when short
        EXPECT_EQ(bits, pattern) << length;
        EXPECT_EQ(bits.capacity(), length);

        PackedBits copy = bits;
        PackedBits moved = std::move(bits);
        EXPECT_EQ(copy, pattern) << length;
        EXPECT_EQ(moved, pattern) << length;
        EXPECT_TRUE(bits.empty());  // NOLINT(bugprone-use-after-move): a move leaves it empty

        PackedBits assigned;
        assigned.reserve(200);
        assigned.push_back(1);
        assigned = std::move(moved);  // the heap bytes it held are given back
        EXPECT_EQ(assigned, pattern) << length;
        copy.push_back(1);
        assigned = copy;
        EXPECT_EQ(assigned.size(), length + 1);
        EXPECT_EQ(assigned[length], 1);
    }
}

TEST(PackedBits, AppendedWordsEqualTheBitsOneByOne) {
    // Words of every length from every starting position within a byte, across the growth of
    // the buffer; bits above the count are ignored.
    std::mt19937_64 random(3);
    PackedBits words;
    std::vector<uint8_t> expected;
    for (int round = 0; round < 400; ++round) {
        const uint64_t word = random();
        const size_t count = round % 65;
        words.Append(word, count);
        for (size_t i = 0; i < count; ++i) {
            expected.push_back(static_cast<uint8_t>((word >> i) & 1));
        }
        ASSERT_EQ(words.size(), expected.size()) << round;
    }
    EXPECT_EQ(words, expected);

    // After push_back and after a shrink, too.
    PackedBits mixed;
    mixed.push_back(1);
    mixed.push_back(0);
    mixed.push_back(1);
    mixed.shrink_to_fit();
    mixed.Append(~uint64_t{0}, 64);
    mixed.Append(0, 5);
    std::vector<uint8_t> mixedExpected = {1, 0, 1};
    mixedExpected.insert(mixedExpected.end(), 64, 1);
    mixedExpected.insert(mixedExpected.end(), 5, 0);
    EXPECT_EQ(mixed, mixedExpected);
}

TEST(PackedBits, FieldsReadTheBitsInOrderAndZeroBeyond) {
    PackedBits bits;
    std::vector<uint8_t> plain;
    std::mt19937 random(4);
    for (int i = 0; i < 75; ++i) {
        plain.push_back(static_cast<uint8_t>(random() & 1));
        bits.push_back(plain.back());
    }
    for (size_t at = 0; at < 80; ++at) {
        for (unsigned count = 0; count <= 25; ++count) {
            uint32_t expected = 0;
            for (unsigned k = 0; k < count; ++k) {
                expected |= static_cast<uint32_t>(at + k < plain.size() ? plain[at + k] : 0) << k;
            }
            ASSERT_EQ(bits.Field(at, count), expected) << at << "+" << count;
        }
    }
}

TEST(MessageBytes, HoldsWhatWasAssignedAndReadsZeroBeyond) {
    MessageBytes bytes;
    EXPECT_EQ(bytes.size(), 0u);
    EXPECT_EQ(bytes[0], 0);
    bytes.Assign({0xA1, 0x0B, 0x7F});
    EXPECT_EQ(bytes.size(), 3u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
              (std::vector<uint8_t>{0xA1, 0x0B, 0x7F}));
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(bytes[kMaxMessageBytes - 1], 0);
    MessageBytes copy = bytes;
    bytes.Clear();
    EXPECT_EQ(bytes.size(), 0u);
    EXPECT_EQ(copy.size(), 3u);
    EXPECT_EQ(copy[1], 0x0B);
}

TEST(DecodedPacket, KeepsItsBitsPackedAndItsBytesExactlySized) {
    CCCPacket packet = bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::SourceCapsBytes()));
    DecodePacket(packet, 0);
    ASSERT_TRUE(packet.crcOk);
    EXPECT_EQ(packet.bits.capacity(), static_cast<size_t>(packet.bitCount));
    // The assembled bytes with their CRC, nothing more.
    EXPECT_EQ(packet.messageBytes.size(), static_cast<size_t>(packet.messageByteCount) + 4);
    EXPECT_EQ(std::vector<uint8_t>(packet.messageBytes.begin(),
                                   packet.messageBytes.begin() + packet.messageByteCount),
              bmc::SourceCapsBytes());
    // The symbols are read from the bits: Sync-1 three times, Sync-2, then the header nibbles.
    EXPECT_EQ(SymbolAt(packet, 0), kSymSync1);
    EXPECT_EQ(SymbolAt(packet, 3), kSymSync2);
    EXPECT_EQ(SymbolAt(packet, 4), bmc::SourceCapsBytes()[0] & 0xF);
    EXPECT_EQ(SymbolAt(packet, packet.symbolCount - 1), kSymEop);
    EXPECT_EQ(SymbolAt(packet, packet.symbolCount), kSymInvalid);
    EXPECT_EQ(SymbolAt(packet, -1), kSymInvalid);
}

TEST(DecodedPacket, AFailedAssemblyKeepsTheBytesBeforeTheFailure) {
    // An EOP in the high-nibble position after two whole bytes.
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSop);
    bmc::AppendByte(bits, 0x41);
    bmc::AppendByte(bits, 0x02);
    bmc::AppendLine(bits, bmc::kNibbleLine[3]);
    bmc::AppendLine(bits, bmc::kEop);
    for (int i = 0; i < 6; ++i) {
        bmc::AppendLine(bits, bmc::kNibbleLine[0]);
    }
    bmc::AppendLine(bits, bmc::kEop);
    CCCPacket packet = bmc::BitsPacket(bits);
    DecodePacket(packet, 0);
    EXPECT_EQ(packet.orderedSetKind, kOsSop);
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_EQ(packet.messageByteCount, 2);
    EXPECT_EQ(packet.messageBytes.size(), 2u);
    EXPECT_EQ(packet.messageBytes[0], 0x41);
    EXPECT_EQ(packet.messageBytes[1], 0x02);
}
