// The decode driver: outcomes, noise gate, ambiguity search and its bound, edge release,
// derived values and jitter tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/symbols.h"

namespace {

// Index of the first interval of bit `bit` in bmc::Intervals(bits).
size_t FirstIntervalOfBit(const bmc::Bits& bits, size_t bit) {
    size_t interval = 0;
    for (size_t i = 0; i < bit; ++i) {
        interval += bits[i] ? 2 : 1;
    }
    return interval;
}

std::vector<uint8_t> MessageBytesOf(const CCCPacket& packet) {
    return {packet.messageBytes.begin(), packet.messageBytes.begin() + packet.messageByteCount};
}

// A GoodCRC message followed by `count` isolated glitches of `ticks`, each after a zero.
std::vector<uint8_t> GoodCrcWithTrailingGlitches(int count, uint8_t ticks) {
    std::vector<uint8_t> intervals =
        bmc::Intervals(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
    for (int i = 0; i < count; ++i) {
        intervals.push_back(ticks);
        intervals.push_back(8);
    }
    return intervals;
}

bool SameEdges(const std::vector<CcEdge>& a, const std::vector<CcEdge>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(CcEdge)) == 0;
}

}  // namespace

TEST(DecodeOutcome, NoEdgesIsNoDecode) {
    CCCPacket packet;
    packet.startTime = 5000;
    DecodePacket(packet, 1000);
    EXPECT_EQ(packet.relTime, 4000);
    EXPECT_FALSE(packet.preambleFound);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
    EXPECT_EQ(packet.bitCount, 0);
    EXPECT_EQ(packet.receivedCrc, 0xFFFFFFFFu);
}

TEST(DecodeOutcome, UnresolvedRunWithoutAmbiguityIsNoDecode) {
    // Two glitches side by side inside the message form a run no rule can place, and there is
    // no ambiguous interval to search over: no bits at all.
    bmc::Bits bits = bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes());
    std::vector<uint8_t> intervals = bmc::Intervals(bits);
    const size_t at = FirstIntervalOfBit(bits, 66);  // a zero inside Sync-1
    intervals.insert(intervals.begin() + at, {2, 2});
    CCCPacket packet = bmc::Packet(intervals);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_EQ(packet.bitCount, 0);
    EXPECT_FALSE(packet.preambleFound);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
    EXPECT_EQ(search.leaves, 0);
    EXPECT_EQ(packet.shortCount, 2);
}

TEST(DecodeOutcome, BitsWithoutPreamble) {
    CCCPacket packet = bmc::BitsPacket({0, 1, 0, 1, 1, 0, 0, 1, 0, 1, 0});
    DecodePacket(packet, 0);
    EXPECT_EQ(packet.bitCount, 11);
    EXPECT_FALSE(packet.preambleFound);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
}

TEST(DecodeOutcome, PreambleWithoutOrderedSet) {
    CCCPacket tooShort = bmc::BitsPacket(bmc::Preamble(80));
    DecodePacket(tooShort, 0);
    EXPECT_TRUE(tooShort.preambleFound);
    EXPECT_EQ(tooShort.orderedSetKind, kOsNotDecoded);

    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, {bmc::kSync2, bmc::kSync2, bmc::kSync2, bmc::kSync2});
    CCCPacket unknown = bmc::BitsPacket(bits);
    DecodePacket(unknown, 0);
    EXPECT_TRUE(unknown.preambleFound);
    EXPECT_EQ(unknown.orderedSetKind, kOsUnrecognised);
}

TEST(DecodeOutcome, ResetsCarryNoMessage) {
    for (const bmc::OrderedSet& set : {bmc::kHardReset, bmc::kCableReset}) {
        CCCPacket packet = bmc::BitsPacket(bmc::ResetBits(set));
        // whatever a previous owner left there
        packet.messageBytes.Assign(std::vector<uint8_t>(kMaxMessageBytes, 0xEE));
        DecodePacket(packet, 0);
        EXPECT_EQ(packet.orderedSetKind, set == bmc::kHardReset ? kOsHardReset : kOsCableReset);
        EXPECT_FALSE(packet.crcOk);
        EXPECT_EQ(packet.messageByteCount, 0);
        EXPECT_EQ(packet.messageBytes[0], 0);
        EXPECT_EQ(packet.messageBytes[1], 0);
    }
}

TEST(DecodeOutcome, BadOrMissingCrc) {
    std::vector<uint8_t> bytes = bmc::WithCrc(bmc::GoodCrcBytes());
    bytes.back() ^= 0x01;
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSopPrime);
    for (uint8_t byte : bytes) {
        bmc::AppendByte(bits, byte);
    }
    bmc::AppendLine(bits, bmc::kEop);
    CCCPacket bad = bmc::BitsPacket(bits);
    AmbiguitySearch search;
    DecodePacket(bad, 0, search);
    EXPECT_EQ(bad.orderedSetKind, kOsSopPrime);
    EXPECT_FALSE(bad.crcOk);
    EXPECT_TRUE(bad.bytesAssembled);
    EXPECT_EQ(search.steps, 0);  // a complete assignment with a bad CRC is not retried

    bmc::Bits noEop = bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes());
    noEop.erase(noEop.end() - 5, noEop.end());  // cut into the EOP
    CCCPacket missing = bmc::BitsPacket(noEop);
    DecodePacket(missing, 0);
    EXPECT_EQ(missing.orderedSetKind, kOsSop);
    EXPECT_FALSE(missing.eopFound);
    EXPECT_FALSE(missing.crcOk);
    EXPECT_EQ(CrcText(missing), "FFFFFFFFh(Bad)");
}

TEST(DecodeOutcome, GoodMessagesOfEveryKind) {
    for (const bmc::OrderedSet& set : {bmc::kSop, bmc::kSopPrime, bmc::kSopDoublePrime,
                                       bmc::kSopPrimeDebug, bmc::kSopDoublePrimeDebug}) {
        CCCPacket packet = bmc::BitsPacket(bmc::MessageBits(set, bmc::SourceCapsBytes()));
        DecodePacket(packet, 0);
        EXPECT_TRUE(packet.crcOk);
        EXPECT_TRUE(IsSopKind(packet.orderedSetKind));
        EXPECT_EQ(MessageBytesOf(packet), bmc::SourceCapsBytes());
    }
}

TEST(DecodeOutcome, MessageBytesAreZeroAtCreationAndAfterAFailedDecode) {
    const CCCPacket fresh;
    for (int i = 0; i < kMaxMessageBytes; ++i) {
        ASSERT_EQ(fresh.messageBytes[i], 0);
    }
    CCCPacket failed = bmc::BitsPacket({0, 1, 0});
    failed.messageBytes.Assign(std::vector<uint8_t>(kMaxMessageBytes, 0x77));
    DecodePacket(failed, 0);
    for (int i = 0; i < kMaxMessageBytes; ++i) {
        ASSERT_EQ(failed.messageBytes[i], 0);
    }
}

TEST(NoiseGate, TenShortIntervalsStillResolveElevenDoNot) {
    CCCPacket ten = bmc::Packet(GoodCrcWithTrailingGlitches(10, 2));
    DecodePacket(ten, 0);
    EXPECT_EQ(ten.shortCount, 10);
    EXPECT_GT(ten.bitCount, 0);  // resolved; the first glitch is a hole in the bits

    CCCPacket eleven = bmc::Packet(GoodCrcWithTrailingGlitches(11, 2));
    DecodePacket(eleven, 0);
    EXPECT_EQ(eleven.shortCount, 11);
    EXPECT_EQ(eleven.bitCount, 0);
    EXPECT_FALSE(eleven.preambleFound);
    EXPECT_EQ(eleven.orderedSetKind, kOsNotDecoded);
    // Length and edge count are still known.
    EXPECT_EQ(eleven.edgeCount, static_cast<int32_t>(GoodCrcWithTrailingGlitches(11, 2).size()));
    int32_t ticks = 0;
    for (uint8_t t : GoodCrcWithTrailingGlitches(11, 2)) {
        ticks += t;
    }
    EXPECT_EQ(eleven.totalTicks, ticks);
}

TEST(NoiseGate, TenLongIntervalsStillResolveElevenDoNot) {
    CCCPacket ten = bmc::Packet(GoodCrcWithTrailingGlitches(10, 40));
    DecodePacket(ten, 0);
    EXPECT_EQ(ten.longCount, 10);
    EXPECT_GT(ten.bitCount, 0);

    CCCPacket eleven = bmc::Packet(GoodCrcWithTrailingGlitches(11, 40));
    DecodePacket(eleven, 0);
    EXPECT_EQ(eleven.longCount, 11);
    EXPECT_EQ(eleven.bitCount, 0);
}

TEST(AmbiguitySearch, IsolatedAmbiguousIntervalNeedsNoSearch) {
    bmc::Bits bits = bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes());
    std::vector<uint8_t> intervals = bmc::Intervals(bits);
    intervals[FirstIntervalOfBit(bits, 66)] = 6;  // the third zero of the first Sync-1
    CCCPacket packet = bmc::Packet(intervals);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_TRUE(packet.crcOk);
    EXPECT_EQ(search.steps, 0);
}

TEST(AmbiguitySearch, FullIsTriedAfterHalfIsRejected) {
    // Bits 64 and 65 (the first two zeros of Sync-1) stretched to ambiguous: read as one bit
    // they shift the ordered set, read as two zeros they give the message.
    bmc::Bits bits = bmc::MessageBits(bmc::kSop, bmc::SourceCapsBytes());
    std::vector<uint8_t> intervals = bmc::Intervals(bits);
    intervals[FirstIntervalOfBit(bits, 64)] = 6;
    intervals[FirstIntervalOfBit(bits, 65)] = 6;
    CCCPacket packet = bmc::Packet(intervals);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_TRUE(packet.crcOk);
    EXPECT_EQ(MessageBytesOf(packet), bmc::SourceCapsBytes());
    EXPECT_EQ(search.steps, 2);
    EXPECT_EQ(search.leaves, 2);
    EXPECT_FALSE(search.exhausted);
}

TEST(AmbiguitySearch, HalfWinsWhenBothAreAccepted) {
    // After a Hard Reset anything goes: two ambiguous intervals then a zero. Half pairs them into
    // one bit and is accepted first.
    bmc::Bits bits = bmc::ResetBits(bmc::kHardReset);
    const size_t first = bits.size();
    bits.insert(bits.end(), {0, 0, 0});
    std::vector<uint8_t> intervals = bmc::Intervals(bits);
    intervals[FirstIntervalOfBit(bits, first)] = 6;
    intervals[FirstIntervalOfBit(bits, first + 1)] = 6;
    CCCPacket packet = bmc::Packet(intervals);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_EQ(packet.orderedSetKind, kOsHardReset);
    EXPECT_EQ(packet.bitCount, static_cast<int32_t>(first) + 2);
    EXPECT_EQ(packet.bits[first], 1);
    EXPECT_EQ(search.steps, 1);
    EXPECT_EQ(search.leaves, 1);
}

TEST(AmbiguitySearch, FailedSearchRestoresEdgesAndKeepsTheLastAttempt) {
    std::vector<uint8_t> bytes = bmc::WithCrc(bmc::GoodCrcBytes());
    bytes[0] ^= 0x10;  // bad CRC: no assignment can be accepted
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSop);
    for (uint8_t byte : bytes) {
        bmc::AppendByte(bits, byte);
    }
    bmc::AppendLine(bits, bmc::kEop);
    std::vector<uint8_t> intervals = bmc::Intervals(bits);
    intervals[FirstIntervalOfBit(bits, 64)] = 6;
    intervals[FirstIntervalOfBit(bits, 65)] = 6;
    CCCPacket packet = bmc::Packet(intervals);
    ASSERT_TRUE(ClassifyEdges(packet));
    ASSERT_EQ(ResolveEdges(packet), 2);
    const std::vector<CcEdge> before = packet.edges;

    AmbiguitySearch search;
    EXPECT_FALSE(TryAmbiguous(packet, EdgeClass::kHalfResolved, search));
    EXPECT_TRUE(SameEdges(packet.edges, before));
    EXPECT_FALSE(TryAmbiguous(packet, EdgeClass::kFullResolved, search));
    EXPECT_TRUE(SameEdges(packet.edges, before));
    EXPECT_EQ(search.leaves, 2);
    // The last attempt (both zeros) decoded the message up to its bad CRC.
    EXPECT_EQ(packet.orderedSetKind, kOsSop);
    EXPECT_TRUE(packet.bytesAssembled);
    EXPECT_FALSE(packet.crcOk);
}

TEST(AmbiguitySearch, RejectedAttemptLeavesNoOrderedSetOrBytesBehind) {
    // The two halves of preamble bit 41 stretched to ambiguous, and a bad CRC. Half first: the
    // message decodes as SOP with its bytes and is rejected for the CRC. Full: two zeros break
    // the preamble, so the last attempt has bits but no preamble, and the packet must read as
    // such, not as the SOP message of the attempt before.
    std::vector<uint8_t> bytes = bmc::WithCrc(bmc::GoodCrcBytes());
    bytes.back() ^= 0x80;
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSop);
    for (uint8_t byte : bytes) {
        bmc::AppendByte(bits, byte);
    }
    bmc::AppendLine(bits, bmc::kEop);
    std::vector<uint8_t> intervals = bmc::Intervals(bits);
    const size_t half = FirstIntervalOfBit(bits, 41);
    intervals[half] = 6;
    intervals[half + 1] = 6;
    CCCPacket packet = bmc::Packet(intervals);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_EQ(search.leaves, 2);
    EXPECT_GT(packet.bitCount, 0);
    EXPECT_FALSE(packet.preambleFound);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
    EXPECT_EQ(packet.symbolCount, 0);
    EXPECT_FALSE(packet.bytesAssembled);
    EXPECT_EQ(packet.messageByteCount, 0);
    EXPECT_EQ(packet.messageBytes[0], 0);
    EXPECT_EQ(packet.receivedCrc, 0xFFFFFFFFu);
}

TEST(AmbiguitySearch, AllAmbiguousMaximalPacketGivesUpWithinTheBudget) {
    // 4999 ambiguous intervals after a full one: an exhaustive search would need 2^2500 leaves.
    std::vector<uint8_t> ticks(kMaxEdges, 6);
    ticks[0] = 8;
    CCCPacket packet = bmc::Packet(ticks);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_TRUE(search.exhausted);
    EXPECT_LE(static_cast<int64_t>(search.steps), kAmbiguitySearchBudget / kMaxEdges);
    EXPECT_GT(search.steps, 0);
    EXPECT_EQ(search.leaves, 0);
    EXPECT_EQ(packet.bitCount, 0);
    EXPECT_FALSE(packet.preambleFound);
    EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded);
    EXPECT_TRUE(packet.edges.empty());
}

TEST(AmbiguitySearch, SmallAllAmbiguousPacketIsSearchedExhaustively) {
    // Eight ambiguous intervals between zeros: every assignment is tried and none accepted.
    std::vector<uint8_t> ticks = {8, 8, 6, 6, 6, 6, 6, 6, 6, 6, 8};
    CCCPacket packet = bmc::Packet(ticks);
    ASSERT_TRUE(ClassifyEdges(packet));
    ASSERT_EQ(ResolveEdges(packet), 8);
    AmbiguitySearch search;
    EXPECT_FALSE(TryAmbiguous(packet, EdgeClass::kHalfResolved, search));
    EXPECT_FALSE(TryAmbiguous(packet, EdgeClass::kFullResolved, search));
    EXPECT_FALSE(search.exhausted);
    EXPECT_EQ(search.leaves, 34);   // the ways to cut eight intervals into ones and zeros
    EXPECT_GT(packet.bitCount, 0);  // the last leaf's bits stay
    EXPECT_FALSE(packet.preambleFound);

    // Decoded, the packet gets the budget of its size: 16 visits per interval.
    CCCPacket decoded = bmc::Packet(ticks);
    AmbiguitySearch bounded;
    DecodePacket(decoded, 0, bounded);
    EXPECT_TRUE(bounded.exhausted);
    EXPECT_GT(bounded.leaves, 1);
    EXPECT_LT(bounded.leaves, 34);
    EXPECT_GT(decoded.bitCount, 0);
    EXPECT_FALSE(decoded.preambleFound);
}

TEST(AmbiguitySearch, BudgetIsSharedAndStopsTheSearch) {
    std::vector<uint8_t> ticks = {8, 8, 6, 6, 6, 6, 6, 6, 6, 6, 8};
    CCCPacket packet = bmc::Packet(ticks);
    AmbiguitySearch search;
    search.edgeVisitsLeft = 3 * static_cast<int64_t>(ticks.size());
    DecodePacket(packet, 0, search);
    EXPECT_TRUE(search.exhausted);
    EXPECT_EQ(search.leaves, 0);  // spent on the steps before the first complete assignment
    EXPECT_GE(search.edgeVisitsLeft, 0);
}

TEST(EdgeRelease, EdgesAreGoneAfterDecodingAndLaterCallsAreHarmless) {
    CCCPacket packet = bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
    const int32_t edgeCount = packet.edgeCount;
    DecodePacket(packet, 0);
    EXPECT_TRUE(packet.crcOk);
    EXPECT_TRUE(packet.edges.empty());
    EXPECT_EQ(packet.edges.capacity(), 0u);
    EXPECT_EQ(packet.edgeCount, edgeCount);
    EXPECT_FALSE(HasEdgeList(packet));

    EXPECT_FALSE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    AmbiguitySearch search;
    EXPECT_FALSE(TryAmbiguous(packet, EdgeClass::kHalfResolved, search));
    EXPECT_FALSE(RecoverBits(packet));
}

TEST(DerivedValues, PacketLengthInMicroseconds) {
    CCCPacket packet = bmc::Packet({200, 200, 200, 200, 200});
    DecodePacket(packet, 0);
    EXPECT_EQ(packet.totalTicks, 1000);
    EXPECT_EQ(PacketLengthUs(packet), 416);  // 1000 x 20 / 48 = 416.67
    packet.clockDivider = 48;
    EXPECT_EQ(PacketLengthUs(packet), 1000);
}

TEST(DerivedValues, UnitIntervalRange) {
    CCCPacket packet;
    const auto outOfRange = [&](float ui) {
        packet.averageUnitInterval = ui;
        return UnitIntervalOutOfRange(packet);
    };
    EXPECT_FALSE(outOfRange(3.03f));
    EXPECT_FALSE(outOfRange(3.7f));
    EXPECT_FALSE(outOfRange(3.3f));
    EXPECT_TRUE(outOfRange(3.029f));
    EXPECT_TRUE(outOfRange(3.701f));
    EXPECT_TRUE(outOfRange(0.0f));
    EXPECT_TRUE(outOfRange(std::numeric_limits<float>::quiet_NaN()));

    CCCPacket decoded = bmc::BitsPacket(bmc::MessageBits(bmc::kSop, bmc::GoodCrcBytes()));
    DecodePacket(decoded, 0);
    EXPECT_NEAR(decoded.averageUnitInterval, 3.333f, 0.001f);
    EXPECT_FALSE(UnitIntervalOutOfRange(decoded));
}

TEST(Jitter, TypicalMessagesDecodeWithOneTickOfJitter) {
    const std::vector<uint8_t> messages[] = {bmc::GoodCrcBytes(), bmc::SourceCapsBytes(),
                                             bmc::ExtendedChunkBytes()};
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> jitter(-1, 1);
    for (const std::vector<uint8_t>& bytes : messages) {
        const std::vector<uint8_t> clean = bmc::Intervals(bmc::MessageBits(bmc::kSop, bytes));
        for (int round = 0; round < 200; ++round) {
            std::vector<uint8_t> ticks = clean;
            for (uint8_t& t : ticks) {
                t = static_cast<uint8_t>(t + jitter(random));
            }
            CCCPacket packet = bmc::Packet(ticks);
            DecodePacket(packet, 0);
            ASSERT_TRUE(packet.crcOk) << "round " << round;
            ASSERT_EQ(MessageBytesOf(packet), bytes);
            ASSERT_FALSE(UnitIntervalOutOfRange(packet));
        }
    }
}

// The tolerant decoder reads the ticks back after a failed strict decode: clean packets, packets
// with ambiguous, short and long intervals (the search included) and noise keep their ticks.
TEST(DecodePacketKeepingEdges, LeavesTheTicksAsTheyCame) {
    std::mt19937 random(3);
    const uint8_t choices[] = {4, 4, 4, 8, 8, 8, 6, 6, 1, 20, 5, 7};
    for (int n = 0; n < 500; ++n) {
        std::vector<uint8_t> ticks(4 + random() % 300);
        for (uint8_t& tick : ticks) {
            tick = choices[random() % (n % 2 == 0 ? 6 : std::size(choices))];
        }
        CCCPacket packet = bmc::Packet(ticks);
        AmbiguitySearch search;
        DecodePacketKeepingEdges(packet, 0, search);
        ASSERT_EQ(packet.edges.size(), ticks.size());
        for (size_t i = 0; i < ticks.size(); ++i) {
            ASSERT_EQ(packet.edges[i].ticks, ticks[i]) << n << " " << i;
        }
        ReleaseEdges(packet);
        EXPECT_TRUE(packet.edges.empty());
    }
}
