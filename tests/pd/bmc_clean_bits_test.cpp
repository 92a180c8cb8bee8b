// The one-walk bit recovery of clean packets against the classify, resolve and recover path, and
// the interval class tables it shares with that path.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/clean_bits.h"
#include "pd/interval_classes.h"

namespace {

// Runs the walk and the full path on copies of the packet. When the walk takes the packet, its
// bits, bit indices and counters must be the full path's; returns whether it took it.
bool WalkMatchesFullPath(const CCCPacket& packet) {
    CCCPacket walked = packet;
    if (!AppendCleanBits(walked)) {
        return false;
    }
    CCCPacket full = packet;
    EXPECT_TRUE(ClassifyEdges(full));
    EXPECT_EQ(ResolveEdges(full), 0);
    RecoverBits(full);
    EXPECT_EQ(walked.bitCount, full.bitCount);
    EXPECT_EQ(walked.bits.size(), full.bits.size());
    for (size_t i = 0; i < full.bits.size(); ++i) {
        EXPECT_EQ(walked.bits[i], full.bits[i]) << "bit " << i;
    }
    EXPECT_EQ(walked.totalTicks, full.totalTicks);
    EXPECT_EQ(walked.shortCount, full.shortCount);
    EXPECT_EQ(walked.longCount, full.longCount);
    for (int32_t i = 0; i < packet.edgeCount; ++i) {
        EXPECT_EQ(walked.edges[i].bitIndex, full.edges[i].bitIndex) << "edge " << i;
    }
    return true;
}

// Intervals of random bits at divider 20 (a half unit interval is about 4 ticks), jittered by a
// tick, sometimes after an alternating preamble, sometimes with a stray interval of any length.
std::vector<uint8_t> RandomIntervals(std::mt19937& random) {
    std::vector<uint8_t> ticks = {static_cast<uint8_t>(1 + random() % 9)};
    const int bits = static_cast<int>(2 + random() % 400);
    const bool preamble = random() % 2 == 0;
    const bool stray = random() % 3 == 0;
    for (int bit = 0; bit < bits; ++bit) {
        const bool one = preamble && bit < 64 ? bit % 2 == 1 : random() % 2 == 0;
        const auto jitter = [&random] { return static_cast<uint8_t>(random() % 3); };
        if (one) {
            ticks.push_back(static_cast<uint8_t>(3 + jitter()));
            ticks.push_back(static_cast<uint8_t>(3 + jitter()));
        } else {
            ticks.push_back(static_cast<uint8_t>(7 + jitter()));
        }
        if (stray && random() % 200 == 0) {
            ticks.push_back(static_cast<uint8_t>(1 + random() % 20));
        }
    }
    return ticks;
}

}  // namespace

TEST(AppendCleanBits, GivesWhatTheFullPathGivesOnRandomPackets) {
    std::mt19937 random(11);
    int taken = 0;
    int left = 0;
    for (int n = 0; n < 3000; ++n) {
        const CCCPacket packet = bmc::Packet(RandomIntervals(random));
        (WalkMatchesFullPath(packet) ? taken : left) += 1;
    }
    // Both ways are exercised: most packets are clean, strays and skewed estimates are not.
    EXPECT_GT(taken, 1000);
    EXPECT_GT(left, 300);
}

TEST(AppendCleanBits, TakesEveryPacketOfWholeBits) {
    bmc::Bits bits = bmc::Preamble();
    bmc::AppendOrderedSet(bits, bmc::kSop);
    for (uint8_t byte : bmc::WithCrc(bmc::SourceCapsBytes())) {
        bmc::AppendByte(bits, byte);
    }
    EXPECT_TRUE(WalkMatchesFullPath(bmc::BitsPacket(bits)));
    EXPECT_TRUE(WalkMatchesFullPath(bmc::BitsPacket({0, 1, 1, 0})));
}

TEST(AppendCleanBits, LoneHalfIntervals) {
    // Before the first bit and as the last interval a lone half starts no bit and is allowed.
    EXPECT_TRUE(WalkMatchesFullPath(bmc::Packet({4, 4, 8, 4, 4, 8})));
    EXPECT_TRUE(WalkMatchesFullPath(bmc::Packet({8, 8, 4, 4, 4})));
    // Between bits it is a hole that ends the recovery: left to the full path.
    CCCPacket hole = bmc::Packet({8, 8, 4, 8, 8});
    EXPECT_FALSE(AppendCleanBits(hole));
    EXPECT_EQ(hole.totalTicks, 0);
    // Short, ambiguous and long intervals after the first are left to the full path too.
    for (uint8_t stray : {1, 6, 20}) {
        CCCPacket packet = bmc::Packet({8, 8, stray, 8});
        EXPECT_FALSE(AppendCleanBits(packet)) << int{stray};
    }
    // A short first interval is counted and starts no bit.
    CCCPacket shortFirst = bmc::Packet({1, 8, 4, 4});
    ASSERT_TRUE(WalkMatchesFullPath(shortFirst));
}

TEST(ClassTableFor, EachEstimateGetsItsOwnClassesWhateverCameBefore) {
    // Alternating estimates, a repeated one and a degenerate one: every table answers as the
    // class rule does for its own estimate.
    const float estimates[] = {3.96f, 4.5f, 3.96f, 3.96f, 0.0f, 7.25f, 4.5f};
    for (float halfUiTicks : estimates) {
        const ClassTable& table = ClassTableFor(halfUiTicks);
        for (int ticks = 0; ticks < 256; ++ticks) {
            const auto t = static_cast<uint8_t>(ticks);
            ASSERT_EQ(table.ClassOf(t), Classify(TenthsOfHalfUi(t, halfUiTicks), false))
                << halfUiTicks << " " << ticks;
        }
    }
}
