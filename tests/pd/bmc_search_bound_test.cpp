// The ambiguity search's work per packet: at most sixteen edge visits per interval whatever the
// intervals are, no search at all for packets that need none, and the results of every packet
// whose search fits its budget unchanged.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "capture/hostile_streams.h"
#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"

namespace {

// Decodes the intervals with a caller's budget far above any packet's own and returns the
// visits the search used: the packet's budget minus what is left of it.
int64_t VisitsOf(const std::vector<uint8_t>& ticks, AmbiguitySearch& search) {
    search.edgeVisitsLeft = int64_t{1} << 40;
    CCCPacket packet = bmc::Packet(ticks);
    DecodePacket(packet, 0, search);
    EXPECT_LE(search.edgeVisitsLeft, kSearchVisitsPerEdge * packet.edgeCount);
    EXPECT_GE(search.edgeVisitsLeft, 0);
    return kSearchVisitsPerEdge * packet.edgeCount - search.edgeVisitsLeft;
}

}  // namespace

TEST(SearchBound, CraftedBurstsOfEveryLengthStayWithinSixteenVisitsPerInterval) {
    std::mt19937 random(14);
    for (int round = 0; round < 300; ++round) {
        const size_t count = 5 + random() % (round < 200 ? 60 : kMaxEdges - 5);
        std::vector<uint8_t> ticks{hostile::kFull};
        while (ticks.size() < count) {
            ticks.push_back(random() % 5 == 0 ? hostile::kHalf : hostile::kAmbiguous);
        }
        AmbiguitySearch search;
        const int64_t visits = VisitsOf(ticks, search);
        EXPECT_GT(visits, 0) << count;
        // Every step and every leaf is paid for: at most one of them per visit.
        EXPECT_LE(search.steps + search.leaves, visits) << count;
    }
}

TEST(SearchBound, MaximalBranchingPacketGetsItsBudgetAndNoMore) {
    // Pairs of ambiguous intervals after a preamble: 2^1226 complete assignments, each a bit
    // recovery of all 5000 intervals.
    std::vector<uint8_t> ticks;
    for (uint8_t t = hostile::kFull; ticks.size() < 96;) {
        ticks.push_back(t);
        if (t == hostile::kHalf) {
            ticks.push_back(t);
        }
        t = t == hostile::kFull ? hostile::kHalf : hostile::kFull;
    }
    while (ticks.size() + 4 <= kMaxEdges) {
        ticks.insert(ticks.end(),
                     {hostile::kFull, hostile::kAmbiguous, hostile::kAmbiguous, hostile::kFull});
    }
    AmbiguitySearch search;
    VisitsOf(ticks, search);
    EXPECT_TRUE(search.exhausted);
    EXPECT_LE(search.leaves, kSearchVisitsPerEdge);  // a leaf costs the whole edge list
    EXPECT_GT(search.leaves, 1);
}

TEST(SearchBound, ACallersSmallerBudgetIsKept) {
    std::vector<uint8_t> ticks(200, hostile::kAmbiguous);
    ticks[0] = hostile::kFull;
    AmbiguitySearch search;
    search.edgeVisitsLeft = 500;
    CCCPacket packet = bmc::Packet(ticks);
    DecodePacket(packet, 0, search);
    EXPECT_TRUE(search.exhausted);
    EXPECT_GE(search.edgeVisitsLeft, 0);
    EXPECT_LE(search.edgeVisitsLeft, 500);
}

TEST(SearchBound, MessagesWithAFewAmbiguousIntervalsStillDecode) {
    // A Source_Capabilities message with both halves of every fortieth bit 1 after the preamble
    // pushed to the ambiguous length: no rule can place them, the search must find the message.
    const bmc::Bits bits = bmc::MessageBits(bmc::kSop, bmc::SourceCapsBytes());
    std::vector<uint8_t> ticks = bmc::Intervals(bits);
    int pushed = 0;
    size_t interval = 0;
    for (size_t bit = 0; bit < bits.size(); ++bit) {
        if (bits[bit] == 1 && bit >= 120 && bit % 40 < 2) {
            ticks[interval] = ticks[interval + 1] = hostile::kAmbiguous;
            ++pushed;
        }
        interval += bits[bit] == 1 ? 2 : 1;
    }
    ASSERT_GT(pushed, 3);
    CCCPacket packet = bmc::Packet(ticks);
    AmbiguitySearch search;
    DecodePacket(packet, 0, search);
    EXPECT_TRUE(packet.crcOk);
    EXPECT_FALSE(search.exhausted);
    EXPECT_GE(search.steps, pushed);
}
