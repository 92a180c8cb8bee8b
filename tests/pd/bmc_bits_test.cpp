// Bit recovery: bits from roles, holes, the preamble and the average unit interval.
#include <gtest/gtest.h>

#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"

namespace {

// Classifies, resolves (which must leave nothing open) and recovers the bits.
bool Recover(CCCPacket& packet) {
    EXPECT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    return RecoverBits(packet);
}

bmc::Bits Alternating(int count, uint8_t first) {
    bmc::Bits bits;
    for (int i = 0; i < count; ++i) {
        bits.push_back(static_cast<uint8_t>((first + i) & 1));
    }
    return bits;
}

}  // namespace

TEST(RecoverBits, BitsAndBitIndicesFollowTheRoles) {
    CCCPacket packet = bmc::BitsPacket({0, 1, 1, 0});
    EXPECT_FALSE(Recover(packet));  // no preamble
    EXPECT_EQ(packet.bitCount, 4);
    EXPECT_EQ(packet.bits, (std::vector<uint8_t>{0, 1, 1, 0}));
    const uint16_t expected[] = {0, 1, kNoBit, 2, kNoBit, 3};
    ASSERT_EQ(packet.edgeCount, 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(packet.edges[i].bitIndex, expected[i]) << i;
    }
}

TEST(RecoverBits, LongBitRunsKeepEveryBitAndIndex) {
    // Hundreds of bits: every bit and every edge's bit index, across many words of bits. The
    // first 100 bits alternate, so that the unit interval measured over them is the nominal one.
    bmc::Bits pattern = Alternating(100, 0);
    for (int i = 100; i < 700; ++i) {
        pattern.push_back(static_cast<uint8_t>((i * 7 + i / 5) % 3 == 0));
    }
    CCCPacket packet = bmc::BitsPacket(pattern);
    Recover(packet);
    ASSERT_EQ(packet.bitCount, 700);
    EXPECT_EQ(packet.bits, pattern);
    int32_t bit = 0;
    bool secondHalf = false;
    for (int32_t i = 0; i < packet.edgeCount; ++i) {
        if (secondHalf) {
            ASSERT_EQ(packet.edges[i].bitIndex, kNoBit) << i;
            secondHalf = false;
            continue;
        }
        ASSERT_EQ(packet.edges[i].bitIndex, bit) << i;
        secondHalf = pattern[static_cast<size_t>(bit)] == 1;
        ++bit;
    }
    EXPECT_EQ(bit, 700);
}

TEST(RecoverBits, HoleAfterManyBitsKeepsTheBitsBeforeIt) {
    bmc::Bits pattern(150, 0);
    CCCPacket packet = bmc::BitsPacket(pattern);
    // A lone half after bit 99 (edge 100): the bits before it stay, no later edge gets a bit.
    packet.edges[100].ticks = 4;
    EXPECT_FALSE(Recover(packet));
    EXPECT_EQ(packet.bitCount, 100);
    EXPECT_EQ(packet.bits, bmc::Bits(100, 0));
    for (int32_t i = 100; i < packet.edgeCount; ++i) {
        ASSERT_EQ(packet.edges[i].bitIndex, kNoBit) << i;
    }
}

TEST(RecoverBits, LoneHalfIsAHoleExceptAtTheEnds) {
    // Between two zeros after the first bit: the recovery stops there.
    CCCPacket hole = bmc::Packet({8, 8, 4, 8, 8});
    EXPECT_FALSE(Recover(hole));
    EXPECT_EQ(hole.bitCount, 2);
    EXPECT_EQ(hole.edges[3].bitIndex, kNoBit);
    EXPECT_EQ(hole.edges[4].bitIndex, kNoBit);

    // As the last edge it is tolerated.
    CCCPacket last = bmc::Packet({8, 8, 8, 4});
    ASSERT_TRUE(ClassifyEdges(last));
    EXPECT_EQ(ResolveEdges(last), 0);
    RecoverBits(last);
    EXPECT_EQ(last.bitCount, 3);

    // Before the first bit (edge 0 is a lone half) it is tolerated as well.
    CCCPacket first = bmc::Packet({4, 8, 8});
    ASSERT_TRUE(ClassifyEdges(first));
    EXPECT_EQ(ResolveEdges(first), 0);
    RecoverBits(first);
    EXPECT_EQ(first.bitCount, 2);
    EXPECT_EQ(first.edges[1].bitIndex, 0);
}

TEST(RecoverBits, HoleLeavesThePreambleFieldsUntouched) {
    bmc::Bits bits = bmc::Preamble();
    CCCPacket packet = bmc::BitsPacket(bits);
    ASSERT_TRUE(ClassifyEdges(packet));
    ASSERT_EQ(ResolveEdges(packet), 0);
    RecoverBits(packet);
    ASSERT_TRUE(packet.preambleFound);

    // Turn edge 3 (a zero) into an invalid interval: the next run finds a hole.
    packet.edges[3].bitRole = static_cast<uint8_t>(BitRole::kInvalid);
    EXPECT_FALSE(RecoverBits(packet));
    EXPECT_EQ(packet.bitCount, 2);
    EXPECT_TRUE(packet.preambleFound);
    EXPECT_EQ(packet.preambleStartBit, 0);
}

TEST(RecoverBits, PreambleNeedsSixtyOneAlternatingBits) {
    // 60 alternating bits, then a repeated bit: 59 alternations are not enough.
    bmc::Bits sixty = Alternating(60, 0);
    sixty.insert(sixty.end(), {1, 1});
    CCCPacket short60 = bmc::BitsPacket(sixty);
    Recover(short60);
    EXPECT_FALSE(short60.preambleFound);
    EXPECT_EQ(short60.preambleStartBit, -1);
    EXPECT_EQ(short60.sopStartBit, -1);
    EXPECT_EQ(short60.preambleLength, 0);

    // 61 alternating bits 0,1,...,0, then a repeated bit. The preamble ends with its last one
    // bit, bit 59.
    bmc::Bits sixtyOne = Alternating(61, 0);
    sixtyOne.push_back(0);
    CCCPacket long61 = bmc::BitsPacket(sixtyOne);
    Recover(long61);
    EXPECT_TRUE(long61.preambleFound);
    EXPECT_EQ(long61.preambleStartBit, 0);
    EXPECT_EQ(long61.sopStartBit, 60);
    EXPECT_EQ(long61.preambleLength, 60);
}

TEST(RecoverBits, PreambleStartsAfterARepeatedBit) {
    // Bit 0 equals bit 1; bits 1..62 alternate 0,1,...,1; bit 63 repeats bit 62.
    bmc::Bits bits = {0};
    for (uint8_t b : Alternating(62, 0)) {
        bits.push_back(b);
    }
    bits.push_back(1);
    CCCPacket packet = bmc::BitsPacket(bits);
    Recover(packet);
    EXPECT_TRUE(packet.preambleFound);
    EXPECT_EQ(packet.preambleStartBit, 1);
    EXPECT_EQ(packet.sopStartBit, 63);
    EXPECT_EQ(packet.preambleLength, 62);
}

TEST(RecoverBits, LeadingOneLosesItsFirstHalf) {
    // Edge 0 is never examined: a packet opening with a one bit starts at the next bit.
    CCCPacket packet = bmc::BitsPacket({1, 0, 1, 0});
    Recover(packet);
    EXPECT_EQ(packet.bits, (std::vector<uint8_t>{0, 1, 0}));
}

TEST(RecoverBits, BrokenRunStartsOver) {
    // 40 alternating bits, a repeated bit, then 59 alternating: no run reaches 61 bits.
    bmc::Bits bits = Alternating(40, 0);
    bits.push_back(bits.back());
    for (uint8_t b : Alternating(59, static_cast<uint8_t>(bits.back() ^ 1))) {
        bits.push_back(b);
    }
    bits.push_back(bits.back());
    CCCPacket packet = bmc::BitsPacket(bits);
    Recover(packet);
    EXPECT_FALSE(packet.preambleFound);

    // A second, longer run after the break is found, and starts where it starts.
    bmc::Bits later = Alternating(40, 0);
    later.push_back(later.back());
    const int restart = static_cast<int>(later.size()) - 1;
    for (uint8_t b : Alternating(70, static_cast<uint8_t>(later.back() ^ 1))) {
        later.push_back(b);
    }
    later.push_back(later.back());
    CCCPacket found = bmc::BitsPacket(later);
    Recover(found);
    EXPECT_TRUE(found.preambleFound);
    EXPECT_EQ(found.preambleStartBit, restart);
}

TEST(RecoverBits, PreambleEndsAtTheLastOneBitOfARunIntoTheOrderedSet) {
    // Preamble 0101...01 followed by 0, 1, 1: the alternation goes on for two more bits.
    bmc::Bits bits = bmc::Preamble();
    bits.insert(bits.end(), {0, 1, 1, 0, 0});
    CCCPacket packet = bmc::BitsPacket(bits);
    Recover(packet);
    EXPECT_TRUE(packet.preambleFound);
    EXPECT_EQ(packet.preambleStartBit, 0);
    EXPECT_EQ(packet.sopStartBit, 66);
    EXPECT_EQ(packet.preambleLength, 66);

    // A preamble followed directly by Sync-1 (0,0,0,1,1) ends at bit 63.
    bmc::Bits sop = bmc::Preamble();
    bmc::AppendLine(sop, bmc::kSync1);
    CCCPacket sopPacket = bmc::BitsPacket(sop);
    Recover(sopPacket);
    EXPECT_EQ(sopPacket.sopStartBit, 64);
    EXPECT_EQ(sopPacket.preambleLength, 64);
}

TEST(RecoverBits, AverageUnitIntervalOverThePreambleWithoutItsFirstBit) {
    // 8 ticks per unit interval at divider 20: 63 x 8 ticks over 63 bits = 3.333 us.
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendLine(bits, bmc::kSync1);
    CCCPacket packet = bmc::BitsPacket(bits);
    packet.edges[0].ticks = 30;  // the first bit is left out of the average
    Recover(packet);
    ASSERT_TRUE(packet.preambleFound);
    EXPECT_FLOAT_EQ(packet.averageUnitInterval, 20.0f * 504 / 63 / 48);

    // Stretched halves (5 + 5 ticks per one bit) raise the average.
    bmc::Bits wide = bmc::Preamble();
    bmc::AppendLine(wide, bmc::kSync1);
    CCCPacket stretched = bmc::Packet(bmc::Intervals(wide, 8, 5));
    Recover(stretched);
    // Bits 1..63: 32 ones of 10 ticks and 31 zeros of 8 ticks.
    EXPECT_FLOAT_EQ(stretched.averageUnitInterval, 20.0f * (32 * 10 + 31 * 8) / 63 / 48);
}

TEST(RecoverBits, UnitIntervalStaysZeroWithoutABitAfterThePreamble) {
    CCCPacket packet = bmc::BitsPacket(bmc::Preamble());
    Recover(packet);
    EXPECT_TRUE(packet.preambleFound);
    EXPECT_EQ(packet.sopStartBit, 64);
    EXPECT_EQ(packet.averageUnitInterval, 0.0f);
}
