// Unit-interval estimate, interval classes and the resolve pass.
#include <gtest/gtest.h>

#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"

namespace {

EdgeClass ClassAt(const CCCPacket& packet, int i) {
    return static_cast<EdgeClass>(packet.edges[i].edgeClass);
}
BitRole RoleAt(const CCCPacket& packet, int i) {
    return static_cast<BitRole>(packet.edges[i].bitRole);
}

// Classifies `ticks` placed after a leading full interval, against the nominal unit interval.
EdgeClass ClassOfLaterInterval(uint8_t ticks) {
    CCCPacket packet = bmc::Packet({8, ticks});
    EXPECT_TRUE(ClassifyEdges(packet));
    return ClassAt(packet, 1);
}

EdgeClass ClassOfFirstInterval(uint8_t ticks) {
    CCCPacket packet = bmc::Packet({ticks, 8});
    EXPECT_TRUE(ClassifyEdges(packet));
    return ClassAt(packet, 0);
}

// The class rule for an interval after the first, straight from the tenths of a half unit
// interval, to hold the decoder's table against.
EdgeClass RuleClass(uint8_t ticks, float halfUiTicks) {
    const float tenths = static_cast<float>(ticks) * 10.0f / halfUiTicks;
    const int32_t t = !(tenths >= 0.0f)   ? 0
                      : tenths >= 1000.0f ? 1000
                                          : static_cast<int32_t>(tenths);
    if (t <= 5) {
        return EdgeClass::kShort;
    }
    if (t <= 12) {
        return EdgeClass::kHalf;
    }
    if (t <= 15) {
        return EdgeClass::kAmbiguous;
    }
    return t <= 25 ? EdgeClass::kFull : EdgeClass::kLong;
}

}  // namespace

TEST(ClassifyEdges, BoundariesAtDivider20AndNominalUnitInterval) {
    EXPECT_EQ(ClassOfLaterInterval(0), EdgeClass::kShort);
    EXPECT_EQ(ClassOfLaterInterval(2), EdgeClass::kShort);
    for (uint8_t ticks : {3, 4, 5}) {
        EXPECT_EQ(ClassOfLaterInterval(ticks), EdgeClass::kHalf) << int(ticks);
    }
    EXPECT_EQ(ClassOfLaterInterval(6), EdgeClass::kAmbiguous);
    for (uint8_t ticks : {7, 8, 9, 10}) {
        EXPECT_EQ(ClassOfLaterInterval(ticks), EdgeClass::kFull) << int(ticks);
    }
    EXPECT_EQ(ClassOfLaterInterval(11), EdgeClass::kLong);
    EXPECT_EQ(ClassOfLaterInterval(255), EdgeClass::kLong);
}

TEST(ClassifyEdges, FirstIntervalIsNeverAmbiguousNorLong) {
    EXPECT_EQ(ClassOfFirstInterval(2), EdgeClass::kShort);
    EXPECT_EQ(ClassOfFirstInterval(5), EdgeClass::kHalf);
    EXPECT_EQ(ClassOfFirstInterval(6), EdgeClass::kFull);
    EXPECT_EQ(ClassOfFirstInterval(11), EdgeClass::kFull);
    EXPECT_EQ(ClassOfFirstInterval(200), EdgeClass::kFull);
}

TEST(ClassifyEdges, UnitIntervalMeasuredFromEdgesOneTo150OnlyFrom151Edges) {
    // 8 ticks are a full interval at the nominal 3.3 us. Measured over 150 intervals of
    // 8 ticks the unit interval is 5 us, which makes 8 ticks ambiguous.
    CCCPacket nominal = bmc::Packet(std::vector<uint8_t>(150, 8));
    ASSERT_TRUE(ClassifyEdges(nominal));
    EXPECT_EQ(ClassAt(nominal, 1), EdgeClass::kFull);
    EXPECT_EQ(ClassAt(nominal, 149), EdgeClass::kFull);

    CCCPacket measured = bmc::Packet(std::vector<uint8_t>(151, 8));
    ASSERT_TRUE(ClassifyEdges(measured));
    EXPECT_EQ(ClassAt(measured, 0), EdgeClass::kFull);
    EXPECT_EQ(ClassAt(measured, 1), EdgeClass::kAmbiguous);
    EXPECT_EQ(ClassAt(measured, 150), EdgeClass::kAmbiguous);
}

TEST(ClassifyEdges, EdgeZeroDoesNotEnterTheEstimate) {
    // Edge 0 of 255 ticks and edges 1-150 alternating 4/4/8 (100 unit intervals of 8 ticks):
    // the estimate stays at 3.33 us, so a 6-tick interval is still ambiguous.
    std::vector<uint8_t> ticks = {255};
    for (int i = 0; i < 50; ++i) {
        ticks.insert(ticks.end(), {4, 4, 8});
    }
    ticks.push_back(6);
    CCCPacket packet = bmc::Packet(ticks);
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ClassAt(packet, 1), EdgeClass::kHalf);
    EXPECT_EQ(ClassAt(packet, 3), EdgeClass::kFull);
    EXPECT_EQ(ClassAt(packet, 151), EdgeClass::kAmbiguous);
}

TEST(ClassifyEdges, CountsTotalsAndInitialRoles) {
    CCCPacket packet = bmc::Packet({8, 2, 4, 4, 6, 12, 1, 8});
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(packet.totalTicks, 45);
    EXPECT_EQ(packet.shortCount, 2);
    EXPECT_EQ(packet.longCount, 1);
    EXPECT_EQ(RoleAt(packet, 0), BitRole::kZero);
    EXPECT_EQ(RoleAt(packet, 7), BitRole::kZero);
    for (int i : {1, 2, 3, 4, 5, 6}) {
        EXPECT_EQ(RoleAt(packet, i), BitRole::kUnassigned) << i;
    }
}

TEST(ClassifyEdges, RefusesMissingOrInconsistentEdgeLists) {
    CCCPacket missing = bmc::Packet({8, 8, 8});
    missing.edges.clear();
    EXPECT_FALSE(ClassifyEdges(missing));

    CCCPacket badDivider = bmc::Packet({8, 8, 8});
    badDivider.clockDivider = 0;
    EXPECT_FALSE(ClassifyEdges(badDivider));

    CCCPacket tooMany = bmc::Packet(std::vector<uint8_t>(kMaxEdges + 1, 8));
    EXPECT_FALSE(ClassifyEdges(tooMany));
}

TEST(ClassifyEdges, DegenerateEstimateStillClassifies) {
    // Edges 1-150 of zero ticks give a zero unit interval; nothing may divide into a crash.
    std::vector<uint8_t> ticks(160, 0);
    ticks[155] = 9;
    CCCPacket packet = bmc::Packet(ticks);
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ClassAt(packet, 1), EdgeClass::kShort);
    EXPECT_EQ(ClassAt(packet, 155), EdgeClass::kLong);
    EXPECT_EQ(packet.shortCount, 159);
}

TEST(ResolveEdges, PairsHalvesIntoOnesAndLeavesZeros) {
    CCCPacket packet = bmc::Packet({8, 4, 4, 8, 4, 4});
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    const BitRole expected[] = {BitRole::kZero, BitRole::kOneFirst, BitRole::kOneSecond,
                                BitRole::kZero, BitRole::kOneFirst, BitRole::kOneSecond};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(RoleAt(packet, i), expected[i]) << i;
    }
}

TEST(ResolveEdges, IsolatedAmbiguousIntervalBecomesZero) {
    CCCPacket packet = bmc::Packet({8, 8, 6, 8});
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    EXPECT_EQ(ClassAt(packet, 2), EdgeClass::kFullResolved);
    EXPECT_EQ(RoleAt(packet, 2), BitRole::kZero);
}

TEST(ResolveEdges, AmbiguousSecondHalfIsResolvedAsHalf) {
    // Front pairing: half then ambiguous.
    CCCPacket front = bmc::Packet({8, 4, 6, 8});
    ASSERT_TRUE(ClassifyEdges(front));
    EXPECT_EQ(ResolveEdges(front), 0);
    EXPECT_EQ(ClassAt(front, 2), EdgeClass::kHalfResolved);
    EXPECT_EQ(RoleAt(front, 1), BitRole::kOneFirst);
    EXPECT_EQ(RoleAt(front, 2), BitRole::kOneSecond);

    // Back pairing: ambiguous then half at the end of a run that cannot be paired from the front.
    CCCPacket back = bmc::Packet({8, 6, 4, 8});
    ASSERT_TRUE(ClassifyEdges(back));
    EXPECT_EQ(ResolveEdges(back), 0);
    EXPECT_EQ(ClassAt(back, 1), EdgeClass::kHalfResolved);
    EXPECT_EQ(RoleAt(back, 1), BitRole::kOneFirst);
    EXPECT_EQ(RoleAt(back, 2), BitRole::kOneSecond);
}

TEST(ResolveEdges, BackPairingShortensTheRunAndRetries) {
    // Run: short, half, half, half, half. The front fails on the short; the back takes two pairs
    // and leaves the short alone, which becomes invalid.
    CCCPacket packet = bmc::Packet({8, 2, 4, 4, 4, 4, 8});
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    EXPECT_EQ(RoleAt(packet, 1), BitRole::kInvalid);
    EXPECT_EQ(RoleAt(packet, 2), BitRole::kOneFirst);
    EXPECT_EQ(RoleAt(packet, 3), BitRole::kOneSecond);
    EXPECT_EQ(RoleAt(packet, 4), BitRole::kOneFirst);
    EXPECT_EQ(RoleAt(packet, 5), BitRole::kOneSecond);
}

TEST(ResolveEdges, LoneHalfBetweenZerosIsInvalid) {
    CCCPacket packet = bmc::Packet({8, 8, 4, 8, 8});
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    EXPECT_EQ(RoleAt(packet, 2), BitRole::kInvalid);
}

TEST(ResolveEdges, UnpairableRunsAreCountedAsUnresolved) {
    // Two ambiguous intervals between zeros: neither end is a half, so the run of two stays.
    CCCPacket twoAmbiguous = bmc::Packet({8, 8, 6, 6, 8});
    ASSERT_TRUE(ClassifyEdges(twoAmbiguous));
    EXPECT_EQ(ResolveEdges(twoAmbiguous), 2);
    EXPECT_EQ(RoleAt(twoAmbiguous, 2), BitRole::kUnassigned);
    EXPECT_EQ(RoleAt(twoAmbiguous, 3), BitRole::kUnassigned);

    // Two short intervals and a run of three role-less intervals at the end.
    CCCPacket shorts = bmc::Packet({8, 2, 2, 8, 6, 6, 6});
    ASSERT_TRUE(ClassifyEdges(shorts));
    EXPECT_EQ(ResolveEdges(shorts), 5);
}

TEST(ResolveEdges, EdgeZeroIsNeverExamined) {
    CCCPacket packet = bmc::Packet({4, 8, 8});
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    EXPECT_EQ(RoleAt(packet, 0), BitRole::kUnassigned);
}

TEST(ResolveEdges, LongRunsResolveInLinearPasses) {
    // A preamble-like start for the estimate, then 4849 halves: one front pairing after the
    // other, and the odd one out at the end is invalid.
    std::vector<uint8_t> ticks = {8};
    for (int i = 0; i < 50; ++i) {
        ticks.insert(ticks.end(), {4, 4, 8});
    }
    ticks.resize(kMaxEdges, 4);
    CCCPacket packet = bmc::Packet(ticks);
    ASSERT_TRUE(ClassifyEdges(packet));
    EXPECT_EQ(ResolveEdges(packet), 0);
    EXPECT_EQ(RoleAt(packet, 151), BitRole::kOneFirst);
    EXPECT_EQ(RoleAt(packet, 4997), BitRole::kOneFirst);
    EXPECT_EQ(RoleAt(packet, 4998), BitRole::kOneSecond);
    EXPECT_EQ(RoleAt(packet, 4999), BitRole::kInvalid);
}

TEST(ClassifyEdges, EveryTickCountUnderManyEstimatesAndDividers) {
    // 150 estimate intervals of `level` ticks, then one interval of every tick count; a level
    // of 0 makes the estimate 0, where only 0 ticks are short and everything else is long.
    for (int32_t divider : {1, 7, 20, 33, 100}) {
        for (uint8_t level : {0, 1, 3, 5, 8, 9, 13, 40, 255}) {
            std::vector<uint8_t> ticks(151, level);
            ticks[0] = 8;
            for (int t = 0; t < 256; ++t) {
                ticks.push_back(static_cast<uint8_t>(t));
            }
            CCCPacket packet = bmc::Packet(ticks, divider);
            ASSERT_TRUE(ClassifyEdges(packet));
            const auto d = static_cast<float>(divider);
            const float ui = d * static_cast<float>(150 * level) / 48.0f / 50.0f * 0.5f;
            const float halfUiTicks = ui * 48.0f / d * 0.5f;
            int32_t shorts = 0;
            int32_t longs = 0;
            for (int32_t i = 1; i < packet.edgeCount; ++i) {
                const EdgeClass expected = RuleClass(packet.edges[i].ticks, halfUiTicks);
                ASSERT_EQ(ClassAt(packet, i), expected)
                    << "divider " << divider << " level " << int(level) << " edge " << i;
                shorts += expected == EdgeClass::kShort ? 1 : 0;
                longs += expected == EdgeClass::kLong ? 1 : 0;
            }
            shorts += ClassAt(packet, 0) == EdgeClass::kShort ? 1 : 0;
            EXPECT_EQ(packet.shortCount, shorts);
            EXPECT_EQ(packet.longCount, longs);
        }
    }
}
