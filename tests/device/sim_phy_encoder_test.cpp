// 4b5b line code, packet bit layout and BMC timing of the synthesizer.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "device/sim/phy_encoder.h"

namespace {

// The 4b5b table as a receiver reads it: the 5-bit value (first bit received = least
// significant) and what it stands for: 0-15 data, 17/18/19 Sync-1/2/3, 33/34 RST-1/2, 48 EOP.
const std::map<int, int> kReceiverTable = {
    {30, 0x0}, {9, 0x1},  {20, 0x2}, {21, 0x3}, {10, 0x4}, {11, 0x5}, {14, 0x6}, {15, 0x7},
    {18, 0x8}, {19, 0x9}, {22, 0xA}, {23, 0xB}, {26, 0xC}, {27, 0xD}, {28, 0xE}, {29, 0xF},
    {24, 17},  {17, 18},  {6, 19},   {7, 33},   {25, 34},  {13, 48},
};

int ReceiverCode(uint8_t fiveBits) {
    auto found = kReceiverTable.find(fiveBits);
    return found == kReceiverTable.end() ? 255 : found->second;
}

int ValueAt(const std::vector<uint8_t>& bits, size_t offset) {
    int value = 0;
    for (int i = 0; i < 5; ++i) {
        value |= bits.at(offset + static_cast<size_t>(i)) << i;
    }
    return value;
}

std::vector<int> SymbolsAfterPreamble(const std::vector<uint8_t>& bits) {
    std::vector<int> codes;
    for (size_t at = kPreambleBits; at + 5 <= bits.size(); at += 5) {
        codes.push_back(ReceiverCode(static_cast<uint8_t>(ValueAt(bits, at))));
    }
    return codes;
}

}  // namespace

TEST(Sim4b5b, EveryNibbleMapsBackThroughTheReceiverTable) {
    std::set<uint8_t> used;
    for (int nibble = 0; nibble < 16; ++nibble) {
        uint8_t code = NibbleCode(nibble);
        EXPECT_EQ(ReceiverCode(code), nibble) << nibble;
        used.insert(code);
    }
    EXPECT_EQ(used.size(), 16u);
    EXPECT_EQ(NibbleCode(0x13), NibbleCode(0x3));  // only the low nibble counts
}

TEST(Sim4b5b, KCodesMapBackThroughTheReceiverTable) {
    EXPECT_EQ(ReceiverCode(KCodeBits(KCode::kSync1)), 17);
    EXPECT_EQ(ReceiverCode(KCodeBits(KCode::kSync2)), 18);
    EXPECT_EQ(ReceiverCode(KCodeBits(KCode::kSync3)), 19);
    EXPECT_EQ(ReceiverCode(KCodeBits(KCode::kRst1)), 33);
    EXPECT_EQ(ReceiverCode(KCodeBits(KCode::kRst2)), 34);
    EXPECT_EQ(ReceiverCode(KCodeBits(KCode::kEop)), 48);
}

TEST(SimOrderedSets, SevenKindsWithTheirKCodes) {
    const std::map<int32_t, std::vector<int>> expected = {
        {kOsSop, {17, 17, 17, 18}},
        {kOsSopPrime, {17, 17, 19, 19}},
        {kOsSopDoublePrime, {17, 19, 17, 19}},
        {kOsHardReset, {33, 33, 33, 34}},
        {kOsCableReset, {33, 17, 33, 19}},
        {kOsSopPrimeDebug, {17, 34, 34, 19}},
        {kOsSopDoublePrimeDebug, {17, 34, 19, 18}},
    };
    for (const auto& [kind, codes] : expected) {
        auto set = OrderedSetCodes(kind);
        ASSERT_TRUE(set.has_value()) << kind;
        std::vector<int> got;
        for (KCode code : *set) {
            got.push_back(ReceiverCode(KCodeBits(code)));
        }
        EXPECT_EQ(got, codes) << kind;
    }
    EXPECT_FALSE(OrderedSetCodes(0).has_value());
    EXPECT_FALSE(OrderedSetCodes(kOsUnrecognised).has_value());
}

TEST(SimPacketBits, GoodCrcHas17SymbolsAfterA64BitPreamble) {
    LineCodeInput input{kOsSop, {0x41, 0x02}, 0x12345678u, PhyFault::kNone};
    std::vector<uint8_t> bits = EncodePacketBits(input);
    ASSERT_EQ(bits.size(), 64u + 17 * 5);
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(bits[i], i % 2) << i;  // alternating, starting with 0, ending with 1
    }
    // Sync-1 goes out least significant bit first: 0 0 0 1 1.
    EXPECT_EQ(std::vector<uint8_t>(bits.begin() + 64, bits.begin() + 69),
              (std::vector<uint8_t>{0, 0, 0, 1, 1}));
    std::vector<int> symbols = SymbolsAfterPreamble(bits);
    EXPECT_EQ(symbols, (std::vector<int>{17, 17, 17, 18, 0x1, 0x4, 0x2, 0x0, 0x8, 0x7, 0x6, 0x5,
                                         0x4, 0x3, 0x2, 0x1, 48}));
}

TEST(SimPacketBits, ResetsEndAfterTheOrderedSet) {
    LineCodeInput input{kOsHardReset, {}, 0, PhyFault::kNone};
    std::vector<uint8_t> bits = EncodePacketBits(input);
    ASSERT_EQ(bits.size(), 64u + 20);
    EXPECT_EQ(SymbolsAfterPreamble(bits), (std::vector<int>{33, 33, 33, 34}));
    input.orderedSet = kOsCableReset;
    EXPECT_EQ(SymbolsAfterPreamble(EncodePacketBits(input)), (std::vector<int>{33, 17, 33, 19}));
}

TEST(SimPacketBits, FaultsChangeOnlyWhatTheyName) {
    LineCodeInput input{kOsSopPrime, {0x01, 0x00}, 0xCAFEBABEu, PhyFault::kMissingEop};
    std::vector<int> noEop = SymbolsAfterPreamble(EncodePacketBits(input));
    ASSERT_EQ(noEop.size(), 16u);
    EXPECT_NE(noEop.back(), 48);

    input.fault = PhyFault::kDamagedOrderedSet;
    std::vector<int> damaged = SymbolsAfterPreamble(EncodePacketBits(input));
    EXPECT_EQ(std::vector<int>(damaged.begin(), damaged.begin() + 4),
              (std::vector<int>{17, 17, 19, 33}));
    EXPECT_EQ(damaged.back(), 48);
}

TEST(SimBmc, ZerosTakeOneIntervalAndOnesTwoHalves) {
    SimRandom random(1);
    std::vector<int64_t> times = BmcTransitions({0, 1, 1, 0}, 3.3, 0.0, random);
    // A transition at every bit start, in the middle of each one, and one closing the last bit.
    EXPECT_EQ(times, (std::vector<int64_t>{0, 3300, 4950, 6600, 8250, 9900, 13200}));
}

TEST(SimBmc, JitterStaysWithinItsBoundAndTimesKeepRising) {
    SimRandom random(42);
    std::vector<uint8_t> bits(400);
    for (size_t i = 0; i < bits.size(); ++i) {
        bits[i] = static_cast<uint8_t>((i * 7 / 3) % 2);
    }
    std::vector<int64_t> plain = BmcTransitions(bits, 3.3, 0.0, random);
    std::vector<int64_t> jittered = BmcTransitions(bits, 3.3, 0.1, random);
    ASSERT_EQ(plain.size(), jittered.size());
    EXPECT_EQ(jittered.front(), 0);
    for (size_t i = 1; i < plain.size(); ++i) {
        EXPECT_LE(std::abs(jittered[i] - plain[i]), 101) << i;
        EXPECT_GT(jittered[i], jittered[i - 1]) << i;
    }
}

TEST(SimBmc, GlitchesAddShortSpikesBetweenPreambleAndCrc) {
    SimRandom random(7);
    LineCodeInput input{kOsSop, std::vector<uint8_t>(30, 0x00), 0, PhyFault::kGlitch};
    std::vector<int64_t> times = BmcTransitions(EncodePacketBits(input), 3.3, 0.0, random);
    std::vector<int64_t> glitched = times;
    InsertGlitches(glitched, 400, random);
    size_t added = glitched.size() - times.size();
    EXPECT_TRUE(added == 4 || added == 6) << added;
    int spikes = 0;
    for (size_t i = 1; i < glitched.size(); ++i) {
        ASSERT_GT(glitched[i], glitched[i - 1]);
        if (glitched[i] - glitched[i - 1] == 400) {
            ++spikes;
            EXPECT_GT(i, static_cast<size_t>(kPreambleBits) * 3 / 2);
            EXPECT_LT(i, glitched.size() - 60);
        }
    }
    EXPECT_EQ(spikes * 2, static_cast<int>(added));
}

TEST(SimPhyFault, NamesAreStable) {
    EXPECT_STREQ(PhyFaultName(PhyFault::kNone), "none");
    EXPECT_STREQ(PhyFaultName(PhyFault::kGlitch), "glitch");
    EXPECT_STREQ(PhyFaultName(PhyFault::kBadCrc), "bad-crc");
    EXPECT_STREQ(PhyFaultName(PhyFault::kMissingEop), "missing-eop");
    EXPECT_STREQ(PhyFaultName(PhyFault::kDamagedOrderedSet), "damaged-ordered-set");
    EXPECT_STREQ(PhyFaultName(PhyFault::kUnitIntervalOutOfRange), "unit-interval");
    EXPECT_STREQ(PhyFaultName(PhyFault::kTruncated), "truncated");
}
