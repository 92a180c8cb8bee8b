// Scenarios: every one builds, is deterministic for a seed, keeps its messages in time order
// and carries what its description promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>

#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"
#include "pd/crc32.h"

namespace {

SimulationOptions OptionsFor(const std::string& scenario, uint64_t seed = 1) {
    SimulationOptions options;
    options.scenario = scenario;
    options.seed = seed;
    options.intervalMs = 10;
    if (scenario == "long") {
        options.seconds = 40.0;
    }
    return options;
}

int TypeOf(const BuiltMessage& message) {
    return message.bytes.at(0) & 0x1F;
}

bool IsExtended(const BuiltMessage& message) {
    return (message.bytes.at(1) & 0x80) != 0;
}

}  // namespace

TEST(SimScenarios, ListNamesEveryScenarioOnce) {
    std::vector<std::string> names;
    for (const ScenarioInfo& info : Scenarios()) {
        names.push_back(info.name);
        EXPECT_GT(info.defaultSeconds, 0.0);
        EXPECT_NE(std::string(info.summary), "");
        EXPECT_EQ(FindScenario(info.name), &info);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"spr", "epr", "pr-swap", "alt-mode", "hard-reset",
                                               "noisy", "catalog", "long", "mixed", "faults"}));
    EXPECT_EQ(FindScenario("SPR"), nullptr);
    EXPECT_EQ(FindScenario(""), nullptr);
}

TEST(SimScenarios, OptionsAreChecked) {
    SimulationOptions options;
    EXPECT_FALSE(CheckSimulationOptions(options).has_value());
    options.scenario = "nope";
    EXPECT_TRUE(CheckSimulationOptions(options).has_value());
    EXPECT_FALSE(Simulate(options).has_value());
    options = {};
    for (int bad : {0, 1001}) {
        options.intervalMs = bad;
        EXPECT_TRUE(CheckSimulationOptions(options).has_value()) << bad;
    }
    options = {};
    for (int bad : {0, 257, -20}) {  // the block's clock setting says 1-256
        options.clockDivider = bad;
        EXPECT_TRUE(CheckSimulationOptions(options).has_value()) << bad;
    }
    options = {};
    for (double bad : {-1.0, 36001.0}) {
        options.seconds = bad;
        EXPECT_TRUE(CheckSimulationOptions(options).has_value()) << bad;
    }
    options = {};
    options.jitterUs = 0.25;  // clean messages would no longer decode
    EXPECT_TRUE(CheckSimulationOptions(options).has_value());
    for (double bad : {3.0, 3.71}) {
        options = {};
        options.unitIntervalUs = bad;
        EXPECT_TRUE(CheckSimulationOptions(options).has_value()) << bad;
    }
    options.unitIntervalUs = 3.7;
    EXPECT_FALSE(CheckSimulationOptions(options).has_value());
    options = {};
    options.clockStartUs = uint64_t{1} << 32;
    EXPECT_TRUE(CheckSimulationOptions(options).has_value());
}

TEST(SimScenarios, SameSeedSameStreamOtherSeedOtherStream) {
    for (const char* name : {"spr", "noisy", "alt-mode"}) {
        std::optional<SimulationResult> a = Simulate(OptionsFor(name, 11));
        std::optional<SimulationResult> b = Simulate(OptionsFor(name, 11));
        std::optional<SimulationResult> c = Simulate(OptionsFor(name, 12));
        ASSERT_TRUE(a && b && c);
        EXPECT_EQ(a->stream, b->stream) << name;
        ASSERT_EQ(a->messages.size(), b->messages.size());
        for (size_t i = 0; i < a->messages.size(); ++i) {
            EXPECT_EQ(a->messages[i].bytes, b->messages[i].bytes);
            EXPECT_EQ(a->messages[i].edgeTicks, b->messages[i].edgeTicks);
            EXPECT_EQ(a->messages[i].startTimeUs, b->messages[i].startTimeUs);
        }
        EXPECT_NE(a->stream, c->stream) << name;
    }
}

TEST(SimScenarios, EveryScenarioKeepsItsPacketsApartAndInOrder) {
    for (const ScenarioInfo& info : Scenarios()) {
        std::optional<SimulationResult> result = Simulate(OptionsFor(info.name));
        ASSERT_TRUE(result) << info.name;
        const std::vector<BuiltMessage>& messages = result->messages;
        ASSERT_FALSE(messages.empty()) << info.name;
        EXPECT_EQ(result->stream.size(), 64 + result->streamBytes);
        EXPECT_EQ(result->stream.size() % 64, 0u);
        EXPECT_GT(messages.front().startTimeUs, result->captureStartTimeUs) << info.name;
        EXPECT_LT(messages.back().startTimeUs, result->endTimeUs) << info.name;
        for (size_t i = 0; i < messages.size(); ++i) {
            const BuiltMessage& m = messages[i];
            EXPECT_EQ(m.clockDivider, 20);
            EXPECT_GT(m.edgeTicks.size(), 100u) << info.name << " " << i;
            EXPECT_LT(m.edgeTicks.size(), 5000u);
            if (i > 0) {
                // Later than the previous packet's length after its start.
                const BuiltMessage& previous = messages[i - 1];
                int64_t ticks = 0;
                for (uint8_t interval : previous.edgeTicks) {
                    ticks += interval;
                }
                EXPECT_GT(m.startTimeUs, previous.startTimeUs + ticks * 20 / 48 + 25)
                    << info.name << " " << i;
            }
            bool reset = m.orderedSet == kOsHardReset || m.orderedSet == kOsCableReset;
            EXPECT_EQ(m.bytes.empty(), reset);
            if (!reset && m.fault != PhyFault::kBadCrc) {
                EXPECT_EQ(m.crc, Crc32(m.bytes.data(), m.bytes.size()));
            }
        }
    }
}

TEST(SimScenarios, NoisyHasEveryFaultOnBothLinesEachFollowedByAGoodRetry) {
    std::optional<SimulationResult> result = Simulate(OptionsFor("noisy", 3));
    ASSERT_TRUE(result);
    std::set<std::pair<int, PhyFault>> seen;
    const std::vector<BuiltMessage>& messages = result->messages;
    for (size_t i = 0; i < messages.size(); ++i) {
        const BuiltMessage& m = messages[i];
        if (m.fault == PhyFault::kNone) {
            continue;
        }
        seen.insert({m.ccLine, m.fault});
        ASSERT_LT(i + 1, messages.size());
        if (!DecodesCleanly(m)) {
            EXPECT_EQ(messages[i + 1].fault, PhyFault::kNone);
            EXPECT_EQ(messages[i + 1].bytes, m.bytes);  // the retry
        } else {
            EXPECT_EQ(m.unitIntervalUs, kOutOfRangeUnitIntervalUs);
            EXPECT_EQ(messages[i + 1].label, "GoodCRC");
        }
    }
    EXPECT_EQ(seen.size(), 12u);
}

TEST(SimScenarios, EprSendsFortyByteCapabilitiesInTwoChunksAndRequestsAtLeast28V) {
    std::optional<SimulationResult> result = Simulate(OptionsFor("epr"));
    ASSERT_TRUE(result);
    std::vector<const BuiltMessage*> chunks;
    const BuiltMessage* eprRequest = nullptr;
    int keepAlives = 0;
    for (const BuiltMessage& m : result->messages) {
        if (m.bytes.size() >= 4 && IsExtended(m) && TypeOf(m) == 17 && (m.bytes[3] & 0x04) == 0) {
            chunks.push_back(&m);
        }
        if (!m.bytes.empty() && !IsExtended(m) && TypeOf(m) == 9 && ((m.bytes[1] >> 4) & 7) == 2) {
            eprRequest = &m;
        }
        keepAlives += m.label == "EPR_KeepAlive" ? 1 : 0;
    }
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0]->bytes.size(), 4u + 26);
    EXPECT_EQ(chunks[1]->bytes.size(), 4u + 14);
    EXPECT_EQ(chunks[0]->bytes[2], 40);
    ASSERT_NE(eprRequest, nullptr);
    uint32_t pdo = eprRequest->bytes[6] | (eprRequest->bytes[7] << 8) |
                   (eprRequest->bytes[8] << 16) | (uint32_t{eprRequest->bytes[9]} << 24);
    EXPECT_GE(((pdo >> 10) & 0x3FF) * 50, 28000u);
    EXPECT_GE(keepAlives, 3);
}

TEST(SimScenarios, AltModeDiscoversTheCableOnSopPrimeWithACableVdo) {
    for (uint64_t seed : {1, 2, 3, 4}) {
        std::optional<SimulationResult> result = Simulate(OptionsFor("alt-mode", seed));
        ASSERT_TRUE(result);
        const BuiltMessage* cableAck = nullptr;
        std::set<int> commands;
        for (const BuiltMessage& m : result->messages) {
            if (m.bytes.size() < 6 || TypeOf(m) != 15 || IsExtended(m)) {
                continue;
            }
            uint32_t vdm =
                m.bytes[2] | (m.bytes[3] << 8) | (m.bytes[4] << 16) | (uint32_t{m.bytes[5]} << 24);
            commands.insert(static_cast<int>(vdm & 0x1F));
            if (m.orderedSet == kOsSopPrime && ((vdm >> 6) & 3) == 1 && cableAck == nullptr) {
                cableAck = &m;
            }
        }
        ASSERT_NE(cableAck, nullptr);
        EXPECT_GE((cableAck->bytes[1] >> 4) & 7, 5);  // header + ID, cert, product, cable VDO
        int productType = (cableAck->bytes[9] >> 3) & 7;
        EXPECT_TRUE(productType == 3 || productType == 4) << productType;
        EXPECT_EQ(commands, (std::set<int>{1, 2, 3, 4, 5, 6, 16, 17}));
    }
}

TEST(SimScenarios, CatalogSendsEveryMessageType) {
    std::optional<SimulationResult> result = Simulate(OptionsFor("catalog"));
    ASSERT_TRUE(result);
    std::set<int> control;
    std::set<int> data;
    std::set<int> extended;
    std::set<int32_t> orderedSets;
    std::set<int> revisions;
    for (const BuiltMessage& m : result->messages) {
        orderedSets.insert(m.orderedSet);
        if (m.bytes.empty()) {
            continue;
        }
        revisions.insert((m.bytes[0] >> 6) & 3);
        int objects = (m.bytes[1] >> 4) & 7;
        (IsExtended(m) ? extended : objects == 0 ? control : data).insert(TypeOf(m));
    }
    for (int type = 1; type <= 24; ++type) {
        EXPECT_TRUE(control.count(type)) << "control " << type;
    }
    for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15}) {
        EXPECT_TRUE(data.count(type)) << "data " << type;
    }
    for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 30}) {
        EXPECT_TRUE(extended.count(type)) << "extended " << type;
    }
    EXPECT_TRUE(orderedSets.count(kOsSopPrimeDebug));
    EXPECT_TRUE(orderedSets.count(kOsSopDoublePrimeDebug));
    EXPECT_EQ(revisions, (std::set<int>{1, 2}));
}

TEST(SimScenarios, HardResetRestartsTheMessageIds) {
    std::optional<SimulationResult> result = Simulate(OptionsFor("hard-reset"));
    ASSERT_TRUE(result);
    const std::vector<BuiltMessage>& messages = result->messages;
    auto reset = std::find_if(messages.begin(), messages.end(),
                              [](const BuiltMessage& m) { return m.orderedSet == kOsHardReset; });
    ASSERT_NE(reset, messages.end());
    ASSERT_NE(reset + 1, messages.end());
    EXPECT_EQ((reset + 1)->label, "Source_Capabilities");
    EXPECT_EQ(((reset + 1)->bytes[1] >> 1) & 7, 0);
    // VBUS went to vSafe0V and came back before the new capabilities.
    EXPECT_GT((reset + 1)->startTimeUs - reset->startTimeUs, 600'000);
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(),
                            [](const BuiltMessage& m) { return m.orderedSet == kOsCableReset; }));
}

TEST(SimScenarios, ScriptTimesMatchTheWidenedClockAcrossItsWrap) {
    SimulationOptions options = OptionsFor("spr");
    options.clockStartUs = (uint64_t{1} << 32) - 1'000'000;
    std::optional<SimulationResult> result = Simulate(options);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->captureStartTimeUs, static_cast<int64_t>(options.clockStartUs));
    EXPECT_GT(result->messages.back().startTimeUs, int64_t{1} << 32);
}

TEST(SimScenarios, LongRunsForTheAskedTimeWithTrafficEveryFewSeconds) {
    SimulationOptions options = OptionsFor("long");
    options.seconds = 120.0;
    options.intervalMs = 1;
    std::optional<SimulationResult> result = Simulate(options);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->samples, 120'001u);
    EXPECT_EQ(result->endTimeUs - result->captureStartTimeUs, 120'000'000);
    int64_t longestQuiet = 0;
    for (size_t i = 1; i < result->messages.size(); ++i) {
        longestQuiet = std::max(
            longestQuiet, result->messages[i].startTimeUs - result->messages[i - 1].startTimeUs);
    }
    EXPECT_LT(longestQuiet, 7'000'000);
    EXPECT_GT(result->messages.size(), 40u);
}

namespace {

// The `n`th message (from 0) with that label, or null.
const BuiltMessage* NthMessage(const ScenarioScript& script, const std::string& label, int n) {
    for (const BuiltMessage& message : script.messages) {
        if (message.label == label && n-- == 0) {
            return &message;
        }
    }
    return nullptr;
}

ScenarioScript ScriptOf(const std::string& scenario) {
    std::optional<ScenarioScript> script = BuildScenarioScript(OptionsFor(scenario));
    EXPECT_TRUE(script) << scenario;
    return script ? std::move(*script) : ScenarioScript{};
}

constexpr int64_t kMs = 1'000'000;

}  // namespace

TEST(SimElectrical, VbusFollowsTheContractAndTheCcLinesShowRpRdAndVconn) {
    SimRandom noise(1);
    ScenarioScript spr = ScriptOf("spr");
    const BuiltMessage* caps = NthMessage(spr, "Source_Capabilities", 0);
    const BuiltMessage* ready = NthMessage(spr, "PS_RDY", 0);
    ASSERT_TRUE(caps && ready);
    const int line = caps->ccLine;
    ElectricalReading before = spr.electrical.At(caps->plannedNs, noise);
    EXPECT_NEAR(before.vbusMillivolts, 5000, 150);
    // Rp at 3.0 A against Rd: inside the sink's 1.31-2.04 V band; no VCONN without a cable.
    EXPECT_GE(before.ccMillivolts[line], 1310);
    EXPECT_LE(before.ccMillivolts[line], 2040);
    EXPECT_NEAR(before.ccMillivolts[1 - line], 0, 100);
    EXPECT_NEAR(spr.electrical.At(ready->plannedNs + 30 * kMs, noise).vbusMillivolts, 20000, 200);

    // The EPR cable is electronically marked: VCONN on the other line, and 28 V once in EPR.
    ScenarioScript epr = ScriptOf("epr");
    const BuiltMessage* eprCaps = NthMessage(epr, "Source_Capabilities", 0);
    const BuiltMessage* eprReady = NthMessage(epr, "PS_RDY", 1);
    const BuiltMessage* eprRequest = NthMessage(epr, "EPR_Request", 0);
    ASSERT_TRUE(eprCaps && eprReady && eprRequest);
    ASSERT_GT(eprReady->plannedNs, eprRequest->plannedNs);
    const int eprLine = eprCaps->ccLine;
    EXPECT_NEAR(epr.electrical.At(eprCaps->plannedNs, noise).ccMillivolts[1 - eprLine], 5000, 250);
    EXPECT_GE(epr.electrical.At(eprReady->plannedNs + 30 * kMs, noise).vbusMillivolts, 27800);
}

TEST(SimElectrical, HardResetDropsVbusToSafeZeroAndPowerRoleSwapReversesTheCurrent) {
    SimRandom noise(1);
    ScenarioScript reset = ScriptOf("hard-reset");
    const BuiltMessage* hardReset = NthMessage(reset, "Hard Reset", 0);
    ASSERT_NE(hardReset, nullptr);
    const BuiltMessage* recovered = nullptr;
    for (const BuiltMessage& message : reset.messages) {
        if (message.plannedNs > hardReset->plannedNs && message.label == "Source_Capabilities") {
            recovered = &message;
            break;
        }
    }
    ASSERT_NE(recovered, nullptr);
    int lowest = reset.electrical.At(hardReset->plannedNs, noise).vbusMillivolts;
    EXPECT_GT(lowest, 4500);  // the contract's voltage was still there
    for (int64_t ns = hardReset->plannedNs; ns < recovered->plannedNs; ns += kMs) {
        lowest = std::min(lowest, reset.electrical.At(ns, noise).vbusMillivolts);
    }
    EXPECT_LT(lowest, 800);  // vSafe0V
    EXPECT_NEAR(reset.electrical.At(recovered->plannedNs, noise).vbusMillivolts, 5000, 250);

    ScenarioScript swap = ScriptOf("pr-swap");
    const BuiltMessage* first = NthMessage(swap, "PS_RDY", 0);
    const BuiltMessage* last = NthMessage(swap, "PS_RDY", 3);
    ASSERT_TRUE(first && last);
    EXPECT_GT(swap.electrical.At(first->plannedNs + 50 * kMs, noise).vbusMilliamps, 500);
    EXPECT_LT(swap.electrical.At(last->plannedNs + 50 * kMs, noise).vbusMilliamps, -500);
}
