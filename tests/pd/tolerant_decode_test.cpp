// The tolerant pass on the three kinds of real-world bursts the strict decoder rejects, made by
// the synthesizer at edge-timer dividers 10 and 20, and its limits: resets, strict results.
#include <gtest/gtest.h>

#include "device/sim/block_packer.h"
#include "device/sim/simulator.h"
#include "pd/bmc_decoder.h"
#include "pd/bmc_encoding.h"
#include "pd/tolerant_decoder.h"

namespace {

CCCPacket FromTicks(const std::vector<uint8_t>& ticks, int divider) {
    CCCPacket packet = bmc::Packet(ticks, divider);
    return packet;
}

// A message after `preamble` alternating bits: ordered set, bytes, CRC and EOP.
bmc::Bits MessageAfter(int preamble, const bmc::OrderedSet& set,
                       const std::vector<uint8_t>& bytes) {
    bmc::Bits bits = bmc::Preamble(preamble);
    bmc::AppendOrderedSet(bits, set);
    for (uint8_t byte : bmc::WithCrc(bytes)) {
        bmc::AppendByte(bits, byte);
    }
    bmc::AppendLine(bits, bmc::kEop);
    return bits;
}

// The spr scenario's packets with their exact edge intervals at `divider`.
std::vector<BuiltMessage> Scenario(const PhyDistortion& distortion, int divider,
                                   const char* name = "spr") {
    SimulationOptions options;
    options.scenario = name;
    options.clockDivider = divider;
    options.distortion = distortion;
    std::optional<ScenarioScript> script = BuildScenarioScript(options);
    EXPECT_TRUE(script);
    PackOptions pack;
    pack.clockDivider = divider;
    PackEdges(*script, pack);
    return script->messages;
}

struct Tally {
    int messages = 0;
    int strictAccepted = 0;
    int recoveredRight = 0;
    int wrong = 0;
};

Tally DecodeBoth(const std::vector<BuiltMessage>& messages, int divider) {
    Tally tally;
    TolerantScratch scratch;
    for (const BuiltMessage& message : messages) {
        if (message.orderedSet == kOsHardReset || message.orderedSet == kOsCableReset) {
            continue;
        }
        ++tally.messages;
        CCCPacket packet = FromTicks(message.edgeTicks, divider);
        const TolerantOutcome outcome =
            DecodePacketTolerant(packet, 0, TolerantMode::kApply, scratch);
        if (outcome == TolerantOutcome::kStrictAccepted) {
            ++tally.strictAccepted;
            continue;
        }
        const std::vector<uint8_t> bytes(packet.messageBytes.begin(),
                                         packet.messageBytes.begin() + packet.messageByteCount);
        if (outcome == TolerantOutcome::kRecovered && packet.recovered && packet.crcOk &&
            bytes == message.bytes && packet.orderedSetKind == message.orderedSet) {
            ++tally.recoveredRight;
        } else if (outcome == TolerantOutcome::kRecovered) {
            ++tally.wrong;
        }
    }
    return tally;
}

class TolerantCauses : public testing::TestWithParam<int> {};

TEST_P(TolerantCauses, DutyCycleDistortionFailsStrictAndDecodesTolerant) {
    PhyDistortion distortion;
    distortion.levelSkewUs = 0.6;  // halves of 1.05 and 2.25 us, fulls of 2.7 and 3.9 us
    const Tally tally = DecodeBoth(Scenario(distortion, GetParam()), GetParam());
    ASSERT_GT(tally.messages, 10);
    EXPECT_EQ(tally.strictAccepted, 0);
    EXPECT_EQ(tally.recoveredRight, tally.messages);
    EXPECT_EQ(tally.wrong, 0);
}

TEST_P(TolerantCauses, TruncatedPreambleFailsStrictAndDecodesTolerant) {
    PhyDistortion distortion;
    distortion.preambleBits = 37;
    const Tally tally = DecodeBoth(Scenario(distortion, GetParam()), GetParam());
    ASSERT_GT(tally.messages, 10);
    EXPECT_EQ(tally.strictAccepted, 0);
    EXPECT_EQ(tally.recoveredRight, tally.messages);
}

TEST_P(TolerantCauses, DamagedKCodeFailsStrictAndDecodesTolerant) {
    for (int kcode = 1; kcode <= 4; ++kcode) {
        PhyDistortion distortion;
        distortion.damagedKCode = kcode;
        const Tally tally = DecodeBoth(Scenario(distortion, GetParam()), GetParam());
        ASSERT_GT(tally.messages, 10);
        EXPECT_EQ(tally.strictAccepted, 0) << kcode;
        EXPECT_EQ(tally.recoveredRight, tally.messages) << kcode;
    }
}

TEST_P(TolerantCauses, AllThreeTogetherAndCleanTrafficUntouched) {
    PhyDistortion all;
    all.levelSkewUs = -0.5;
    all.preambleBits = 20;
    all.damagedKCode = 2;
    const Tally distorted = DecodeBoth(Scenario(all, GetParam()), GetParam());
    EXPECT_EQ(distorted.strictAccepted, 0);
    EXPECT_EQ(distorted.recoveredRight, distorted.messages);

    // Clean traffic never reaches the tolerant pass.
    const Tally clean = DecodeBoth(Scenario({}, GetParam()), GetParam());
    EXPECT_EQ(clean.strictAccepted, clean.messages);
}

INSTANTIATE_TEST_SUITE_P(Dividers, TolerantCauses, testing::Values(10, 20));

TEST(TolerantPass, NeverAcceptsAResetAndLeavesStrictResultsAlone) {
    TolerantScratch scratch;
    // A Hard Reset with its last K-code damaged stays unrecognised.
    bmc::Bits bits = bmc::Preamble(40);
    bmc::AppendOrderedSet(bits, {bmc::kRst1, bmc::kRst1, bmc::kRst1, bmc::kNibbleLine[0]});
    CCCPacket reset = FromTicks(bmc::Intervals(bits), 20);
    EXPECT_EQ(DecodePacketTolerant(reset, 0, TolerantMode::kApply, scratch),
              TolerantOutcome::kRejected);
    EXPECT_FALSE(reset.recovered);
    EXPECT_EQ(reset.orderedSetKind, kOsNotDecoded);

    // A strictly decoded Hard Reset is accepted by the strict pass.
    CCCPacket hard = FromTicks(bmc::Intervals(bmc::ResetBits(bmc::kHardReset)), 20);
    EXPECT_EQ(DecodePacketTolerant(hard, 0, TolerantMode::kApply, scratch),
              TolerantOutcome::kStrictAccepted);
    EXPECT_EQ(hard.orderedSetKind, kOsHardReset);
}

TEST(TolerantPass, CountModeChangesNothing) {
    TolerantScratch scratch;
    const bmc::Bits bits = MessageAfter(30, bmc::kSop, bmc::GoodCrcBytes());
    CCCPacket counted = FromTicks(bmc::Intervals(bits), 20);
    EXPECT_EQ(DecodePacketTolerant(counted, 0, TolerantMode::kCount, scratch),
              TolerantOutcome::kRecoverable);
    EXPECT_FALSE(counted.recovered);
    EXPECT_FALSE(counted.crcOk);
    EXPECT_FALSE(counted.preambleFound);  // 30 alternating bits are no strict preamble

    CCCPacket applied = FromTicks(bmc::Intervals(bits), 20);
    EXPECT_EQ(DecodePacketTolerant(applied, 0, TolerantMode::kApply, scratch),
              TolerantOutcome::kRecovered);
    EXPECT_TRUE(applied.recovered);
    EXPECT_TRUE(applied.crcOk);
    EXPECT_EQ(applied.preambleLength, 30);
    EXPECT_EQ(applied.preambleStartBit, 0);
    EXPECT_EQ(applied.sopStartBit, 30);
    EXPECT_EQ(applied.messageByteCount, 2);
    EXPECT_EQ(applied.orderedSetKind, kOsSop);
    // 8 and 4 ticks at divider 20: a unit interval of 8 x 20 / 48 us.
    EXPECT_NEAR(applied.averageUnitInterval, 8 * 20 / 48.0, 1e-4);
    EXPECT_TRUE(applied.edges.empty());  // released as after every decode

    CCCPacket off = FromTicks(bmc::Intervals(bits), 20);
    EXPECT_EQ(DecodePacketTolerant(off, 0, TolerantMode::kOff, scratch),
              TolerantOutcome::kRejected);
}

TEST(TolerantPass, AmbiguousDamagedOrderedSetIsNotGuessed) {
    // Sync-1 Sync-1 Sync-1 Sync-3 is SOP with its last K-code damaged or SOP' with its third.
    TolerantScratch scratch;
    const bmc::Bits bits =
        MessageAfter(64, {bmc::kSync1, bmc::kSync1, bmc::kSync1, bmc::kSync3}, bmc::GoodCrcBytes());
    CCCPacket packet = FromTicks(bmc::Intervals(bits), 20);
    EXPECT_EQ(DecodePacketTolerant(packet, 0, TolerantMode::kApply, scratch),
              TolerantOutcome::kRejected);
}

TEST(TolerantPass, ByteCountMustMatchTheHeader) {
    EXPECT_EQ(ExpectedMessageBytes(std::vector<uint8_t>{0xA1, 0x0B}), 2);
    EXPECT_EQ(ExpectedMessageBytes(std::vector<uint8_t>{0xA1, 0x71}), 30);  // seven objects
    EXPECT_EQ(ExpectedMessageBytes(bmc::ExtendedChunkBytes()), 30);         // chunk: objects
    // Unchunked extended, no data objects: extended header and 40 data bytes.
    EXPECT_EQ(ExpectedMessageBytes(std::vector<uint8_t>{0xB1, 0x81, 0x28, 0x00}), 44);
    EXPECT_EQ(ExpectedMessageBytes(std::vector<uint8_t>{0xA1}), 0);

    // A CRC-correct message whose header claims two data objects but carries one.
    TolerantScratch scratch;
    const bmc::Bits bits = MessageAfter(40, bmc::kSop, {0xA1, 0x21, 1, 2, 3, 4});
    CCCPacket packet = FromTicks(bmc::Intervals(bits), 20);
    EXPECT_EQ(DecodePacketTolerant(packet, 0, TolerantMode::kApply, scratch),
              TolerantOutcome::kRejected);
}

}  // namespace
