// Block format of the synthesized stream: CC edge blocks with timer captures, wrap markers,
// burst and sequence numbers and block timestamps; sample blocks; the leading InfoBlock. The
// record stream parser reads every stream back.
#include <gtest/gtest.h>

#include <map>

#include "capture/byte_order.h"
#include "capture/collecting_sink.h"
#include "capture/record_stream.h"
#include "capture/scale_current.h"
#include "device/sim/block_packer.h"

namespace {

std::vector<uint8_t> CapturesOf(const TimedBlock& timed) {
    return std::vector<uint8_t>(timed.block.bytes.begin() + kEdgeBytesOffset,
                                timed.block.bytes.end());
}

// True when the edge parser reads `next` as the continuation of `previous`.
bool Continues(const TimedBlock& previous, const TimedBlock& next) {
    EdgeBlockHeader a = ReadEdgeBlockHeader(previous.block.bytes.data());
    EdgeBlockHeader b = ReadEdgeBlockHeader(next.block.bytes.data());
    return (b.burst == a.burst && b.sequence == (a.sequence + 1) % 8) ||
           (b.burst == (a.burst + 1) % 256 && b.sequence == 0 && a.sequence == 7);
}

// A script of messages given as transition times (ns) from their starts.
ScenarioScript ScriptOf(const std::vector<std::pair<int64_t, std::vector<int64_t>>>& packets,
                        int ccLine = 0) {
    ScenarioScript script;
    for (const auto& [start, transitions] : packets) {
        BuiltMessage message;
        message.plannedNs = start;
        message.ccLine = ccLine;
        script.messages.push_back(message);
        script.transitionsNs.push_back(transitions);
        script.endNs = start + transitions.back();
    }
    return script;
}

std::vector<int64_t> Evenly(int count, int64_t stepNs) {
    std::vector<int64_t> times;
    for (int i = 0; i < count; ++i) {
        times.push_back(i * stepNs);
    }
    return times;
}

CollectingSink ParseAll(const std::vector<uint8_t>& stream) {
    CollectingSink sink;
    RecordStreamParser parser;
    parser.Feed(stream, sink);
    return sink;
}

}  // namespace

TEST(SimEdgeBlocks, FirstBlockOfABurst) {
    std::vector<TimedBlock> blocks;
    EdgeBlockWriter writer(20, blocks);
    const uint64_t first = 2'400'005;  // about 1000002 us at 2.4 ticks per us
    writer.StartBurst(1, first);
    for (uint64_t t = first; t < first + 40; t += 4) {
        writer.Transition(t);
    }
    writer.EndBurst();
    ASSERT_EQ(blocks.size(), 1u);
    const uint8_t* block = blocks[0].block.bytes.data();
    EXPECT_EQ(ReadU16(block), 0x4000);  // CC2, burst 0, sequence 0, bit 13 clear
    uint32_t timestamp = ReadU32(block + 2);
    uint64_t reference = uint64_t{timestamp} * 48 / 20;
    EXPECT_LT(reference, first);
    EXPECT_GT(reference + 10, first);
    EXPECT_EQ(ReadU16(block + 6), 19);  // divider 20
    std::vector<uint8_t> captures = CapturesOf(blocks[0]);
    EXPECT_EQ(captures[0], reference & 0xFF);  // the reference, not a transition
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(captures[1 + i], (first + 4 * i) & 0xFF);
    }
    // The rest are wrap markers: repeats of the last capture.
    for (size_t i = 11; i < captures.size(); ++i) {
        EXPECT_EQ(captures[i], captures[10]) << i;
    }
    EXPECT_EQ(blocks[0].timeUs, timestamp);
}

TEST(SimEdgeBlocks, ClockSettingSaysEveryDivider) {
    // A setting of 0 means the default of 20: divider 1 is written as 0x100 (low byte 0).
    EXPECT_EQ(ClockSettingOf(1), 0x100);
    EXPECT_EQ(ClockDividerOf(ClockSettingOf(1)), 1);
    for (int divider = 2; divider <= 256; ++divider) {
        EXPECT_EQ(ClockDividerOf(ClockSettingOf(divider)), divider) << divider;
    }
}

TEST(SimEdgeBlocks, WrapMarkersOfTheWorkedExample) {
    // Transitions at low bytes 10, 50 and, 482 ticks after 50, at 20: two markers in between.
    std::vector<TimedBlock> blocks;
    EdgeBlockWriter writer(20, blocks);
    const uint64_t base = 256 * 1000 + 10;
    writer.StartBurst(0, base);
    EXPECT_EQ(writer.Transition(base), base);
    EXPECT_EQ(writer.Transition(base + 40), base + 40);
    EXPECT_EQ(writer.Transition(base + 40 + 482), base + 40 + 482);
    writer.EndBurst();
    std::vector<uint8_t> captures = CapturesOf(blocks.at(0));
    EXPECT_EQ(std::vector<uint8_t>(captures.begin() + 1, captures.begin() + 6),
              (std::vector<uint8_t>{10, 50, 50, 50, 20}));
}

TEST(SimEdgeBlocks, TicksTheCapturesCannotExpressMoveOnByOne) {
    std::vector<TimedBlock> blocks;
    EdgeBlockWriter writer(20, blocks);
    const uint64_t base = 256 * 2000 + 77;
    writer.StartBurst(0, base);
    writer.Transition(base);
    // 512 ticks later the low byte repeats the last capture, which would read as a marker.
    EXPECT_EQ(writer.Transition(base + 512), base + 513);
    // A transition on the timer's zero right after a marker is expressible.
    uint64_t zero = (base + 513 + 600) / 256 * 256 + 256;
    EXPECT_EQ(writer.Transition(zero), zero);
    writer.EndBurst();
}

TEST(SimEdgeBlocks, SequenceNumbersRollIntoTheBurstNumberAndNewBurstsNeverContinue) {
    std::vector<TimedBlock> blocks;
    EdgeBlockWriter writer(20, blocks);
    std::vector<size_t> burstStarts;
    uint64_t tick = 3'000'000;
    bool endedAtSeven = false;
    for (int count = 40; count < 700; count += 37) {
        burstStarts.push_back(blocks.size());
        writer.StartBurst(count % 2, tick);
        for (int i = 0; i < count; ++i, tick += 4) {
            writer.Transition(tick);
        }
        writer.EndBurst();
        endedAtSeven |= ReadEdgeBlockHeader(blocks.back().block.bytes.data()).sequence == 7;
        tick += 100'000;
    }
    EXPECT_TRUE(endedAtSeven);
    size_t nextStart = 1;
    for (size_t i = 1; i < blocks.size(); ++i) {
        bool startsBurst = nextStart < burstStarts.size() && burstStarts[nextStart] == i;
        if (startsBurst) {
            ++nextStart;
        }
        EXPECT_EQ(Continues(blocks[i - 1], blocks[i]), !startsBurst) << i;
        EXPECT_EQ(
            ReadEdgeBlockHeader(blocks[i].block.bytes.data()).sequence == 0,
            startsBurst || ReadEdgeBlockHeader(blocks[i - 1].block.bytes.data()).sequence == 7)
            << i;
    }
}

TEST(SimEdgeBlocks, ParserReadsBackEveryIntervalAndStartTime) {
    // Packets with short and long gaps on one line (same burst with wrap markers, new bursts, a
    // burst longer than eight blocks), then one on the other line.
    // Irregular spacing, two transitions within one tick, gaps just under ten microseconds.
    std::vector<int64_t> odd = {0,      417,    834,    9'000,  9'417, 18'000,
                                18'001, 26'000, 27'000, 27'500, 28'000};
    ScenarioScript script = ScriptOf({{1'000'000, Evenly(300, 1650)},
                                      {1'600'000, Evenly(120, 3300)},
                                      {2'400'000, odd},
                                      {9'000'000, Evenly(80, 1650)},
                                      {20'000'000, Evenly(700, 1650)}});
    BuiltMessage other = script.messages.back();
    other.ccLine = 1;
    other.plannedNs = 30'000'000;
    script.messages.push_back(other);
    script.transitionsNs.push_back(Evenly(90, 3300));

    PackOptions options;
    options.intervalMs = 5;
    StreamOutput output;
    WriteStream(script, options, 40'000'000, output);
    CollectingSink sink = ParseAll(output.Memory());
    ASSERT_EQ(sink.packets.size(), script.messages.size());
    for (size_t i = 0; i < script.messages.size(); ++i) {
        const BuiltMessage& message = script.messages[i];
        const CCCPacket& packet = *sink.packets[i];
        EXPECT_EQ(packet.ccLine, message.ccLine) << i;
        EXPECT_EQ(packet.startTime, message.startTimeUs) << i;
        EXPECT_EQ(packet.clockDivider, 20) << i;
        EXPECT_EQ(EntriesOf(packet), message.edgeTicks) << i;
        EXPECT_EQ(message.edgeTicks.size() + 1, script.transitionsNs[i].size()) << i;
        // The start time is the planned one on the device clock, give or take a tick.
        int64_t planned = static_cast<int64_t>(options.clockStartUs) + message.plannedNs / 1000;
        EXPECT_NEAR(static_cast<double>(message.startTimeUs), static_cast<double>(planned), 1.0);
    }
}

TEST(SimEdgeBlocks, OtherDividersAndTheWrapOfTheDeviceClock) {
    for (int divider : {1, 2, 7, 13, 20}) {
        ScenarioScript script = ScriptOf({{100'000'000, Evenly(200, 1650)},
                                          {2'100'000'000, Evenly(200, 3300)},
                                          {3'900'000'000, {0, 1650, 4950, 6600, 9900}}});
        PackOptions options;
        options.clockDivider = divider;
        options.intervalMs = 1;
        options.clockStartUs = (uint64_t{1} << 32) - 2'000'000;  // the 32-bit clock wraps
        StreamOutput output;
        WriteStream(script, options, 5'000'000'000, output);
        CollectingSink sink = ParseAll(output.Memory());
        ASSERT_EQ(sink.packets.size(), 3u) << divider;
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(sink.packets[i]->startTime, script.messages[i].startTimeUs) << divider;
            EXPECT_EQ(sink.packets[i]->clockDivider, divider);
            EXPECT_EQ(EntriesOf(*sink.packets[i]), script.messages[i].edgeTicks) << divider;
        }
        EXPECT_GT(script.messages[2].startTimeUs, int64_t{1} << 32);
        ASSERT_EQ(sink.samples.size(), 5001u);
        EXPECT_EQ(sink.samples.back().time,
                  5'000'000);  // us, widened across the wrap  // widened across the wrap
    }
}

TEST(SimSampleBlocks, ThreeSamplesPerBlockAtTheInterval) {
    ScenarioScript script;
    script.electrical.Ramp(0, Channel::kVbus, 5000, 0);
    script.electrical.Ramp(0, Channel::kLoad, 1500, 0);
    script.electrical.Ramp(0, Channel::kCc1Volts, kCc3A0Millivolts, 0);
    script.electrical.Ramp(0, Channel::kCc2Volts, kVconnMillivolts, 0);
    script.electrical.Ramp(0, Channel::kCc2Amps, 20, 0);
    PackOptions options;
    options.intervalMs = 10;
    options.recordFile = false;
    StreamOutput output;
    PackCounts counts = WriteStream(script, options, 95'000'000, output);
    EXPECT_EQ(counts.samples, 10u);
    EXPECT_EQ(counts.sampleBlocks, 4u);
    EXPECT_EQ(counts.edgeBlocks, 0u);
    const std::vector<uint8_t>& stream = output.Memory();
    ASSERT_EQ(stream.size(), 4 * kBlockSize);
    for (size_t b = 0; b < 4; ++b) {
        const uint8_t* block = stream.data() + b * kBlockSize;
        EXPECT_EQ(ReadU16(block), b < 3 ? 0x2003 : 0x2001);
        int inBlock = b < 3 ? 3 : 1;
        for (int i = 0; i < inBlock; ++i) {
            const uint8_t* sample = block + 2 + 16 * i;
            uint64_t index = b * 3 + static_cast<uint64_t>(i);
            EXPECT_EQ(ReadU32(sample), options.clockStartUs + index * 10'000);
            EXPECT_NEAR(ReadU16(sample + 4), 5000, 10);
            EXPECT_NEAR(ScaleCurrent(static_cast<int16_t>(ReadU16(sample + 6))), 1500, 8);
            EXPECT_NEAR(ReadU16(sample + 8), kCc3A0Millivolts, 6);
            EXPECT_NEAR(ReadU16(sample + 12), kVconnMillivolts, 6);
            EXPECT_NEAR(ScaleCurrent(static_cast<int16_t>(ReadU16(sample + 14))), 20, 3);
        }
        for (size_t unused = 2 + 16 * static_cast<size_t>(inBlock); unused < kBlockSize; ++unused) {
            EXPECT_EQ(block[unused], 0);
        }
    }
}

TEST(SimSampleBlocks, RawCurrentsReadBackThroughScaleCurrent) {
    for (int milliamps = 2; milliamps <= 30000; ++milliamps) {
        ASSERT_EQ(ScaleCurrent(RawCurrent(milliamps)), milliamps);
        ASSERT_EQ(ScaleCurrent(RawCurrent(-milliamps)), -milliamps);
    }
    // One milliampere lies inside the analyzer's dead band.
    EXPECT_EQ(ScaleCurrent(RawCurrent(1)), 0);
    EXPECT_EQ(RawCurrent(0), 0);
    EXPECT_EQ(RawCurrent(100000), 32767);
}

TEST(SimRecordFile, LeadingInfoBlockIsFinishedWithTheByteCount) {
    ScenarioScript script = ScriptOf({{50'000'000, Evenly(200, 1650)}});
    PackOptions options;
    options.intervalMs = 7;
    StreamOutput output;
    WriteStream(script, options, 100'000'000, output);
    const std::vector<uint8_t>& file = output.Memory();
    ASSERT_EQ(file.size() % kBlockSize, 0u);
    const std::vector<uint8_t> head = {0xF0, 0xFF, 0x01, 0x02, 0x07, 0x01,
                                       0x02, 0x02, 0x23, 0x01, 0x03, 0x0C};
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 12), head);
    EXPECT_EQ(file[24], 0x04);
    EXPECT_EQ(file[25], 0x08);
    EXPECT_EQ(ReadU64(file.data() + 26), file.size() - kBlockSize);
    EXPECT_EQ(file[34], 0xFF);
    for (size_t i = 35; i < kBlockSize; ++i) {
        EXPECT_EQ(file[i], 0) << i;
    }
}

TEST(SimRecordFile, BlocksStayInTimeOrderPerStream) {
    ScenarioScript script =
        ScriptOf({{20'000'000, Evenly(500, 1650)}, {60'000'000, Evenly(300, 3300)}});
    PackOptions options;
    options.intervalMs = 1;
    StreamOutput output;
    WriteStream(script, options, 100'000'000, output);
    const std::vector<uint8_t>& file = output.Memory();
    uint32_t lastSample = 0;
    uint32_t lastEdge = 0;
    uint32_t lastAny = 0;
    for (size_t at = kBlockSize; at < file.size(); at += kBlockSize) {
        const uint8_t* block = file.data() + at;
        uint16_t kind = ReadU16(block);
        ASSERT_NE(kind, kInfoKindWord);
        uint32_t time = HasSampleBit(kind) ? ReadU32(block + 2 + 16 * (SampleCount(kind) - 1))
                                           : ReadU32(block + 2);
        uint32_t& last = HasSampleBit(kind) ? lastSample : lastEdge;
        EXPECT_GE(time, last);
        last = time;
        EXPECT_GE(time, lastAny);  // edge blocks go out between the samples around them
        lastAny = time;
    }
}
