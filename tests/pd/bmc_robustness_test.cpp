// Arbitrary and damaged bursts: decoding never breaks the packet's own invariants.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/symbols.h"

namespace {

void ExpectConsistent(const CCCPacket& packet) {
    EXPECT_TRUE(packet.edges.empty());
    EXPECT_EQ(packet.bits.size(), static_cast<size_t>(packet.bitCount));
    EXPECT_LE(packet.bitCount, packet.edgeCount);
    EXPECT_LE(packet.symbolCount, (packet.bitCount + 4) / 5);
    if (packet.symbolCount > 0) {
        EXPECT_LE(packet.sopStartBit + 5 * packet.symbolCount, packet.bitCount);
    }
    EXPECT_GE(packet.messageByteCount, 0);
    EXPECT_LE(packet.messageByteCount, kMaxMessageBytes);
    if (packet.crcOk) {
        EXPECT_TRUE(IsSopKind(packet.orderedSetKind));
        EXPECT_TRUE(packet.bytesAssembled);
        EXPECT_TRUE(packet.eopFound);
        const std::vector<uint8_t> bytes(packet.messageBytes.begin(),
                                         packet.messageBytes.begin() + packet.messageByteCount);
        EXPECT_EQ(bmc::ReferenceCrc(bytes), packet.receivedCrc);
    }
    if (packet.preambleFound) {
        EXPECT_GE(packet.preambleLength, 60);
        EXPECT_EQ(packet.sopStartBit, packet.preambleStartBit + packet.preambleLength);
    }
}

}  // namespace

TEST(Robustness, RandomIntervalsOfEveryLength) {
    std::mt19937 random(77);
    std::uniform_int_distribution<int> length(0, kMaxEdges);
    std::uniform_int_distribution<int> tick(0, 255);
    for (int round = 0; round < 60; ++round) {
        std::vector<uint8_t> ticks(static_cast<size_t>(length(random)));
        for (uint8_t& t : ticks) {
            t = static_cast<uint8_t>(tick(random));
        }
        CCCPacket packet = bmc::Packet(ticks, 1 + round % 64);
        AmbiguitySearch search;
        DecodePacket(packet, 0, search);
        ExpectConsistent(packet);
    }
}

TEST(Robustness, DamagedMessagesAroundTheClassBoundaries) {
    // About one interval in sixty moved by up to two ticks: glitches, ambiguous halves and
    // fulls, and holes drive the resolve pass and the search through many shapes.
    const std::vector<uint8_t> clean =
        bmc::Intervals(bmc::MessageBits(bmc::kSop, bmc::SourceCapsBytes()));
    std::mt19937 random(4242);
    std::uniform_int_distribution<int> damage(0, 59);
    std::uniform_int_distribution<int> shift(-2, 2);
    int accepted = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> ticks = clean;
        for (uint8_t& t : ticks) {
            if (damage(random) == 0) {
                t = static_cast<uint8_t>(t + shift(random));
            }
        }
        CCCPacket packet = bmc::Packet(ticks);
        AmbiguitySearch search;
        DecodePacket(packet, 0, search);
        ExpectConsistent(packet);
        EXPECT_LE(search.edgeVisitsLeft, kAmbiguitySearchBudget);
        EXPECT_GE(search.edgeVisitsLeft, 0);
        accepted += packet.crcOk ? 1 : 0;
    }
    EXPECT_GT(accepted, 0);
}

TEST(Robustness, ExtremeDividersAndTicks) {
    for (int32_t divider : {1, 2, 255, 256, 1000, -5}) {
        CCCPacket packet = bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
        packet.clockDivider = divider;
        DecodePacket(packet, 0);
        ExpectConsistent(packet);
    }
    CCCPacket zeros = bmc::Packet(std::vector<uint8_t>(400, 0));
    DecodePacket(zeros, 0);
    ExpectConsistent(zeros);
    EXPECT_EQ(zeros.shortCount, 400);

    CCCPacket inconsistent = bmc::Packet({8, 4, 4, 8});
    inconsistent.edgeCount = 10;  // more than the list holds
    DecodePacket(inconsistent, 0);
    EXPECT_EQ(inconsistent.bitCount, 0);
    EXPECT_TRUE(inconsistent.edges.empty());
}
