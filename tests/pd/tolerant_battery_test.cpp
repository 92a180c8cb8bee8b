// No false messages from the tolerant pass: random intervals, random BMC with distortion and
// mutated good packets, tens of thousands of trials, must never yield a message whose bytes or
// ordered set differ from what was sent.
#include <gtest/gtest.h>

#include "device/sim/block_packer.h"
#include "device/sim/phy_encoder.h"
#include "device/sim/sim_random.h"
#include "device/sim/simulator.h"
#include "pd/bmc_encoding.h"
#include "pd/tolerant_decoder.h"

namespace {

constexpr int kTrials = 10000;

std::vector<uint8_t> DecodedBytes(const CCCPacket& packet) {
    return {packet.messageBytes.begin(), packet.messageBytes.begin() + packet.messageByteCount};
}

// Intervals of BMC bits at `tickNs` per tick with per-level skew and jitter.
std::vector<uint8_t> Ticks(const std::vector<uint8_t>& bits, double tickNs, double skewUs,
                           SimRandom& random) {
    std::vector<int64_t> times = BmcTransitions(bits, 3.3, 0.08, random);
    ApplyLevelSkew(times, skewUs);
    std::vector<uint8_t> ticks;
    for (size_t i = 1; i < times.size(); ++i) {
        const auto a = static_cast<int64_t>(times[i - 1] / tickNs);
        const auto b = static_cast<int64_t>(times[i] / tickNs);
        ticks.push_back(static_cast<uint8_t>(std::max<int64_t>(b - a, 1) & 0xFF));
    }
    return ticks;
}

TEST(TolerantBattery, RandomIntervalsNeverMakeAMessage) {
    SimRandom random(2301);
    int accepted = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        const int divider = trial % 2 == 0 ? 10 : 20;
        const int count = static_cast<int>(random.Between(40, 800));
        const int maxTicks = static_cast<int>(random.Between(6, 40));
        std::vector<uint8_t> ticks(static_cast<size_t>(count));
        for (uint8_t& t : ticks) {
            t = static_cast<uint8_t>(random.Between(1, maxTicks));
        }
        accepted += RecoverTolerant(ticks, divider, nullptr) ? 1 : 0;
    }
    EXPECT_EQ(accepted, 0);
}

TEST(TolerantBattery, RandomDistortedBmcNeverMakesAMessage) {
    SimRandom random(2302);
    int accepted = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        const int divider = trial % 2 == 0 ? 10 : 20;
        // A real preamble and ordered set, then random bits where the message would be.
        std::vector<uint8_t> bits = bmc::Preamble(static_cast<int>(random.Between(10, 64)));
        bmc::AppendOrderedSet(bits, bmc::kSop);
        const int64_t length = random.Between(20, 600);
        for (int64_t i = 0; i < length; ++i) {
            bits.push_back(static_cast<uint8_t>(random.Between(0, 1)));
        }
        const double skew = random.Symmetric() * 0.6;
        const std::vector<uint8_t> ticks = Ticks(bits, divider * 1000.0 / 48.0, skew, random);
        accepted += RecoverTolerant(ticks, divider, nullptr) ? 1 : 0;
    }
    EXPECT_EQ(accepted, 0);
}

// Changes one to four intervals of a good packet: a tick more or less, a split interval, two
// merged intervals, a spike, a removed interval.
void Mutate(std::vector<uint8_t>& ticks, SimRandom& random) {
    const int64_t changes = random.Between(1, 4);
    for (int64_t c = 0; c < changes && ticks.size() > 4; ++c) {
        const auto at =
            static_cast<size_t>(random.Between(0, static_cast<int64_t>(ticks.size()) - 2));
        switch (random.Between(0, 5)) {
            case 0:
                ticks[at] = static_cast<uint8_t>(ticks[at] + random.Between(1, 3));
                break;
            case 1:
                ticks[at] = static_cast<uint8_t>(std::max<int>(1, ticks[at] - 2));
                break;
            case 2: {
                const auto part = static_cast<uint8_t>(std::max<int>(1, ticks[at] / 2));
                ticks[at] = static_cast<uint8_t>(std::max<int>(1, ticks[at] - part));
                ticks.insert(ticks.begin() + static_cast<ptrdiff_t>(at), part);
                break;
            }
            case 3:
                ticks[at] = static_cast<uint8_t>(ticks[at] + ticks[at + 1]);
                ticks.erase(ticks.begin() + static_cast<ptrdiff_t>(at) + 1);
                break;
            case 4:
                ticks.insert(ticks.begin() + static_cast<ptrdiff_t>(at), {1, 1});
                break;
            default:
                ticks.erase(ticks.begin() + static_cast<ptrdiff_t>(at));
                break;
        }
    }
}

TEST(TolerantBattery, MutatedGoodPacketsNeverDecodeToWrongBytes) {
    // Genuine packets of several kinds with distortion, at both dividers.
    struct Source {
        std::vector<BuiltMessage> messages;
        int divider;
    };
    std::vector<Source> sources;
    for (const int divider : {10, 20}) {
        SimulationOptions options;
        options.scenario = "catalog";
        options.clockDivider = divider;
        options.distortion.levelSkewUs = divider == 10 ? 0.4 : -0.3;
        options.distortion.preambleBits = 40;
        std::optional<ScenarioScript> script = BuildScenarioScript(options);
        ASSERT_TRUE(script);
        PackOptions pack;
        pack.clockDivider = divider;
        PackEdges(*script, pack);
        sources.push_back({script->messages, divider});
    }
    SimRandom random(2303);
    int recovered = 0;
    int wrong = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        const Source& source = sources[static_cast<size_t>(trial) % sources.size()];
        const BuiltMessage& message = source.messages[static_cast<size_t>(
            random.Between(0, static_cast<int64_t>(source.messages.size()) - 1))];
        std::vector<uint8_t> ticks = message.edgeTicks;
        Mutate(ticks, random);
        CCCPacket packet = bmc::Packet(ticks, source.divider);
        if (!RecoverTolerant(ticks, source.divider, &packet)) {
            continue;
        }
        ++recovered;
        if (DecodedBytes(packet) != message.bytes || packet.orderedSetKind != message.orderedSet ||
            !packet.crcOk) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    // Mutations outside the message (preamble, trailing edge) still decode.
    EXPECT_GT(recovered, 0);
    std::printf("mutated packets recovered to their own bytes: %d of %d, wrong: %d\n", recovered,
                kTrials, wrong);
}

}  // namespace
