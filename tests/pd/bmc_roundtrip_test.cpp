// Round trip through the synthesizer: every message of every scenario, from its edge intervals
// and from the packed record stream, decodes to what was built, and every injected fault gives
// the outcome the decoder predicts for it.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "capture/collecting_sink.h"
#include "capture/record_stream.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"
#include "pd/bmc_decoder.h"
#include "pd/symbols.h"

namespace {

bool IsReset(int32_t orderedSet) {
    return orderedSet == kOsHardReset || orderedSet == kOsCableReset;
}

CCCPacket PacketOf(const BuiltMessage& message, const std::vector<uint8_t>& ticks) {
    CCCPacket packet;
    packet.clockDivider = message.clockDivider;
    packet.startTime = message.startTimeUs;
    packet.ccLine = message.ccLine;
    packet.edgeCount = static_cast<int32_t>(ticks.size());
    packet.edges.resize(ticks.size());
    for (size_t i = 0; i < ticks.size(); ++i) {
        packet.edges[i].ticks = ticks[i];
    }
    return packet;
}

std::vector<uint8_t> BytesOf(const CCCPacket& packet) {
    return {packet.messageBytes.begin(), packet.messageBytes.begin() + packet.messageByteCount};
}

std::string Where(const std::string& scenario, size_t index, const BuiltMessage& message) {
    return scenario + " #" + std::to_string(index) + " " + message.label + " fault " +
           PhyFaultName(message.fault);
}

// A message that reaches the receiver intact: its ordered set and, for messages, its bytes with
// a good CRC.
void ExpectBuilt(const CCCPacket& packet, const BuiltMessage& message, const std::string& where) {
    EXPECT_TRUE(packet.preambleFound) << where;
    EXPECT_EQ(packet.orderedSetKind, message.orderedSet) << where;
    if (IsReset(message.orderedSet)) {
        EXPECT_FALSE(packet.crcOk) << where;
        EXPECT_EQ(packet.messageByteCount, 0) << where;
        return;
    }
    EXPECT_TRUE(packet.crcOk) << where;
    EXPECT_EQ(packet.receivedCrc, message.crc) << where;
    EXPECT_EQ(BytesOf(packet), message.bytes) << where;
}

// The outcome each fault must produce.
void ExpectOutcome(const CCCPacket& packet, const BuiltMessage& message, const std::string& where) {
    switch (message.fault) {
        case PhyFault::kNone:
            ExpectBuilt(packet, message, where);
            EXPECT_FALSE(UnitIntervalOutOfRange(packet)) << where;
            break;
        case PhyFault::kUnitIntervalOutOfRange:
            ExpectBuilt(packet, message, where);
            EXPECT_TRUE(UnitIntervalOutOfRange(packet)) << where;
            EXPECT_NEAR(packet.averageUnitInterval, message.unitIntervalUs, 0.1) << where;
            break;
        case PhyFault::kGlitch:
            // Glitches are holes in the bit sequence: no bits past them, so no preamble result.
            EXPECT_FALSE(packet.crcOk) << where;
            EXPECT_FALSE(packet.preambleFound) << where;
            EXPECT_EQ(packet.orderedSetKind, kOsNotDecoded) << where;
            EXPECT_GT(packet.shortCount, 0) << where;
            break;
        case PhyFault::kBadCrc:
            EXPECT_EQ(packet.orderedSetKind, message.orderedSet) << where;
            EXPECT_TRUE(packet.bytesAssembled) << where;
            EXPECT_FALSE(packet.crcOk) << where;
            EXPECT_EQ(packet.receivedCrc, message.crc) << where;
            EXPECT_EQ(BytesOf(packet), message.bytes) << where;
            break;
        case PhyFault::kMissingEop:
            EXPECT_EQ(packet.orderedSetKind, message.orderedSet) << where;
            EXPECT_FALSE(packet.eopFound) << where;
            EXPECT_FALSE(packet.crcOk) << where;
            EXPECT_FALSE(packet.bytesAssembled) << where;
            break;
        case PhyFault::kDamagedOrderedSet:
            EXPECT_TRUE(packet.preambleFound) << where;
            EXPECT_EQ(packet.orderedSetKind, kOsUnrecognised) << where;
            EXPECT_FALSE(packet.crcOk) << where;
            EXPECT_EQ(packet.messageByteCount, 0) << where;
            break;
        case PhyFault::kTruncated:
            if (IsReset(message.orderedSet)) {
                ExpectBuilt(packet, message, where);  // too short to be cut
            } else {
                EXPECT_FALSE(packet.eopFound) << where;
                EXPECT_FALSE(packet.crcOk) << where;
            }
            break;
    }
}

SimulationResult Simulated(const std::string& scenario, uint64_t seed = 7, int divider = 20) {
    SimulationOptions options;
    options.scenario = scenario;
    options.seed = seed;
    options.clockDivider = divider;
    options.recordFile = false;
    if (scenario == "long") {
        options.seconds = 20.0;
    }
    std::optional<SimulationResult> result = Simulate(options);
    EXPECT_TRUE(result.has_value()) << scenario;
    return result ? std::move(*result) : SimulationResult{};
}

class ScenarioRoundTrip : public testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(ScenarioRoundTrip, EdgeIntervalsDecodeToTheBuiltMessages) {
    // Several seeds, and edge-timer dividers from the default 20 down to a finer 4.
    const std::pair<uint64_t, int> runs[] = {{7, 20}, {1, 20}, {2024, 20}, {3, 10}, {5, 4}};
    for (const auto& [seed, divider] : runs) {
        const SimulationResult result = Simulated(GetParam(), seed, divider);
        ASSERT_FALSE(result.messages.empty());
        for (size_t i = 0; i < result.messages.size(); ++i) {
            const BuiltMessage& message = result.messages[i];
            ASSERT_EQ(message.clockDivider, divider);
            CCCPacket packet = PacketOf(message, message.edgeTicks);
            AmbiguitySearch search;
            DecodePacket(packet, 0, search);
            ExpectOutcome(packet, message,
                          Where(GetParam(), i, message) + " seed " + std::to_string(seed));
            EXPECT_FALSE(search.exhausted);
        }
    }
}

TEST_P(ScenarioRoundTrip, CleanMessagesSurviveOneTickOfJitterAtTheNominalUnitInterval) {
    // Every interval is put at its nominal length (4 ticks for a half, 8 for a full unit interval
    // at divider 20) and moved by -1, 0 or +1 tick.
    const SimulationResult result = Simulated(GetParam());
    std::mt19937 random(99);
    std::uniform_int_distribution<int> jitter(-1, 1);
    int checked = 0;
    for (size_t i = 0; i < result.messages.size(); ++i) {
        const BuiltMessage& message = result.messages[i];
        if (message.fault != PhyFault::kNone || message.clockDivider != 20) {
            continue;
        }
        for (int round = 0; round < 4; ++round) {
            std::vector<uint8_t> ticks = message.edgeTicks;
            for (uint8_t& t : ticks) {
                t = static_cast<uint8_t>((t <= 6 ? 4 : 8) + jitter(random));
            }
            CCCPacket packet = PacketOf(message, ticks);
            DecodePacket(packet, 0);
            ExpectBuilt(packet, message, Where(GetParam(), i, message));
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_P(ScenarioRoundTrip, RecordStreamPacketsDecodeLikeTheirMessages) {
    // Through the edge parser: every packet of the stream belongs to one built message (same
    // line and start time), carries its intervals, and decodes with the same outcome.
    const SimulationResult result = Simulated(GetParam());
    RecordStreamParser parser;
    CollectingSink sink;
    parser.Feed(result.stream, sink);
    std::map<std::pair<int32_t, int64_t>, const BuiltMessage*> byStart;
    for (const BuiltMessage& message : result.messages) {
        byStart[{message.ccLine, message.startTimeUs}] = &message;
    }
    size_t matched = 0;
    for (const PacketPtr& packet : sink.packets) {
        const auto found = byStart.find({packet->ccLine, packet->startTime});
        ASSERT_NE(found, byStart.end()) << "packet at " << packet->startTime;
        const BuiltMessage& message = *found->second;
        EXPECT_EQ(EntriesOf(*packet), message.edgeTicks) << message.label;
        DecodePacket(*packet, result.captureStartTimeUs);
        EXPECT_EQ(packet->relTime, packet->startTime - result.captureStartTimeUs);
        ExpectOutcome(*packet, message, GetParam() + " stream " + message.label);
        ++matched;
    }
    EXPECT_EQ(matched, result.messages.size());
}

namespace {

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    for (const ScenarioInfo& scenario : Scenarios()) {
        names.push_back(scenario.name);
    }
    return names;
}

std::string TestName(const testing::TestParamInfo<std::string>& param) {
    std::string name = param.param;
    for (char& c : name) {
        c = (c == '-') ? '_' : c;
    }
    return name;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Scenarios, ScenarioRoundTrip, testing::ValuesIn(ScenarioNames()),
                         TestName);
