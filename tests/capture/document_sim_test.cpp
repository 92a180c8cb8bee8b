// Round trip through the synthesizer: every scenario's record file opens to the packets and
// samples its script built.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture/document.h"
#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"
#include "pd/message_header.h"
#include "temp_files.h"

namespace {

void CheckScenario(const std::string& name, double seconds, const TempDir& dir) {
    SCOPED_TRACE(name);
    SimulationOptions options;
    options.scenario = name;
    options.seconds = seconds;
    options.intervalMs = 1;
    std::string path = dir.File(name + ".zaz");
    std::string error;
    std::optional<SimulationResult> result = SimulateToFile(options, path, error);
    ASSERT_TRUE(result) << error;

    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    EXPECT_EQ(doc.CaptureStartTime(), result->captureStartTimeUs);
    EXPECT_EQ(doc.SampleCount(), result->samples);
    EXPECT_EQ(doc.LastSampleTime(), result->endTimeUs);

    // Every message put on the wire after the first sample, in time order.
    std::vector<const BuiltMessage*> expected;
    for (const BuiltMessage& message : result->messages) {
        if (message.startTimeUs >= result->captureStartTimeUs) {
            expected.push_back(&message);
        }
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto* a, const auto* b) { return a->startTimeUs < b->startTimeUs; });
    EXPECT_GT(expected.size(), 0u);
    ASSERT_EQ(doc.PacketCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const BuiltMessage& message = *expected[i];
        const CCCPacket& packet = *doc.PacketAt(i);
        EXPECT_EQ(packet.relTime, message.startTimeUs - result->captureStartTimeUs);
        EXPECT_EQ(packet.ccLine, message.ccLine);
        EXPECT_EQ(packet.edgeCount,
                  static_cast<int32_t>(std::min<size_t>(message.edgeTicks.size(), kMaxEdges)));
        if (DecodesCleanly(message)) {
            EXPECT_EQ(packet.orderedSetKind, message.orderedSet);
            if (!message.bytes.empty()) {
                EXPECT_TRUE(packet.crcOk);
                ASSERT_GE(packet.messageByteCount, static_cast<int32_t>(message.bytes.size()));
                EXPECT_TRUE(std::equal(message.bytes.begin(), message.bytes.end(),
                                       packet.messageBytes.begin()));
            }
        }
        // The snapshot is the latest sample at or before the packet (the first when all are
        // later), taken only for packets before the last sample.
        if (packet.startTime < doc.LastSampleTime()) {
            ASSERT_TRUE(packet.vbusValid);
            size_t s = 0;
            while (s + 1 < doc.SampleCount() && doc.SampleTime(s + 1) <= packet.relTime) {
                ++s;
            }
            CVbusInfo sample = *doc.SampleAt(s);
            EXPECT_EQ(packet.vbusVoltage, sample.vbusVoltage);
            EXPECT_EQ(packet.vbusCurrent, sample.vbusCurrent);
            EXPECT_EQ(packet.cc1Voltage, sample.cc1Voltage);
            EXPECT_EQ(packet.cc2Voltage, sample.cc2Voltage);
            EXPECT_EQ(packet.cc1Current, sample.cc1Current);
            EXPECT_EQ(packet.cc2Current, sample.cc2Current);
        } else {
            EXPECT_FALSE(packet.vbusValid);
        }
    }
    EXPECT_EQ(doc.Statistics().total, expected.size());
}

}  // namespace

TEST(DocumentRoundTrip, EveryScenarioOpensToWhatItsScriptBuilt) {
    TempDir dir;
    for (const ScenarioInfo& scenario : Scenarios()) {
        // The size scenarios are cut short here; their full length is for the benchmarks.
        double seconds = std::string(scenario.name) == "long"    ? 20.0
                         : std::string(scenario.name) == "mixed" ? 0.0
                                                                 : 0.0;
        CheckScenario(scenario.name, seconds, dir);
    }
}
