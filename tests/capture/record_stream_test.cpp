// The record stream: block kinds, samples, InfoBlocks and the CC edge packet rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>

#include "capture/cc_edge_parser.h"
#include "capture/info_block.h"
#include "capture/record_stream.h"
#include "collecting_sink.h"
#include "stream_builder.h"

namespace {

CollectingSink ParseAll(const std::vector<uint8_t>& bytes) {
    CollectingSink sink;
    RecordStreamParser parser;
    parser.Feed(bytes, sink);
    return sink;
}

// Edge block on CC1 of burst 0, sequence 0, with the given divider setting and bytes; the rest
// of the 56 bytes repeat the last one.
std::vector<uint8_t> FillBlock(std::vector<uint8_t> bytes) {
    while (bytes.size() < kEdgeBytesPerBlock) {
        bytes.push_back(bytes.back());
    }
    return bytes;
}

}  // namespace

TEST(BlockKinds, KindWordsSelectTheKind) {
    EXPECT_EQ(KindOf(0x2003), BlockKind::kSample);
    EXPECT_EQ(SampleCount(0x2003), 3);
    EXPECT_EQ(KindOf(0x4123), BlockKind::kCcEdge);
    EXPECT_EQ(EdgeCcLine(0x4123), 1);
    EXPECT_EQ(EdgeBurst(0x4123), 0x12);
    EXPECT_EQ(EdgeSequence(0x4123), 3);
    EXPECT_EQ(KindOf(0xFFF0), BlockKind::kInfo);
    EXPECT_EQ(SampleCount(0xFFF0), 0);  // InfoBlocks hold no samples
    EXPECT_EQ(SampleCount(0x200F), 3);
    EXPECT_EQ(ClockDividerOf(0), 20);
    EXPECT_EQ(ClockDividerOf(0x0113), 20);
    EXPECT_EQ(ClockDividerOf(0x0100), 1);
    EXPECT_EQ(ClockDividerOf(0x00FF), 256);
}

TEST(SampleParsing, FieldsScalingAndCounts) {
    StreamBuilder stream(false);
    RawSample s{1000, 5000, 100, 1700, -100, 300, 2};
    stream.AddSampleBlock(0x2000, {s});        // count 0: nothing
    stream.AddSampleBlock(0x200F, {s, s, s});  // count above 3: three
    stream.AddSampleBlock(0x2001, {{0x2000, 65535, 32767, 0xFFFF, -3, 7, 3}});
    CollectingSink sink = ParseAll(stream.Bytes());
    ASSERT_EQ(sink.samples.size(), 4u);
    const CVbusInfo& first = sink.samples[0];
    EXPECT_EQ(first.time, 0);
    EXPECT_EQ(first.vbusVoltage, 5000);
    EXPECT_EQ(first.vbusCurrent, 93);
    EXPECT_EQ(first.cc1Voltage, 1700);
    EXPECT_EQ(first.cc1Current, -93);
    EXPECT_EQ(first.cc2Voltage, 300);
    EXPECT_EQ(first.cc2Current, 0);
    EXPECT_EQ(first.blockOffset, 64u);
    const CVbusInfo& last = sink.samples[3];
    EXPECT_EQ(last.time, 0x2000 - 1000);
    EXPECT_EQ(last.vbusVoltage, 65535);
    EXPECT_EQ(last.vbusCurrent, 30757);
    EXPECT_EQ(last.cc1Voltage, -1);  // the u16 field kept in 16 bits
    EXPECT_EQ(last.cc1Current, -2);
    EXPECT_EQ(last.cc2Current, 2);
    EXPECT_EQ(last.blockOffset, 128u);
}

TEST(SampleParsing, TimestampWrapAdvancesBy32Microseconds) {
    StreamBuilder stream(false);
    stream.AddSampleBlock(0x2002, {{0xFFFFFFF0u}, {0x00000010u}});
    RecordStreamParser parser;
    CollectingSink sink;
    parser.Feed(stream.Bytes(), sink);
    ASSERT_EQ(sink.samples.size(), 2u);
    EXPECT_EQ(sink.samples[1].time - sink.samples[0].time, 32);
    EXPECT_EQ(parser.Samples().CaptureStartTime(), 0xFFFFFFF0ll);
    EXPECT_EQ(parser.Samples().LastSampleTime(), 0x100000010ll);
}

TEST(InfoBlocks, LeadingBlockOfFirmware123) {
    // While a capture writes the file its leading block is F0 FF and 62 zero bytes.
    RecordBlock placeholder = PlaceholderInfoBlock();
    std::vector<uint8_t> zeros(64, 0);
    zeros[0] = 0xF0;
    zeros[1] = 0xFF;
    EXPECT_EQ(std::vector<uint8_t>(placeholder.bytes.begin(), placeholder.bytes.end()), zeros);

    SerialNumber serial{'Z', 'D', '0', '0', '0', '1', '2', '3', '4', '5', '6', '7'};
    RecordBlock block = FinishedInfoBlock(0x0123, serial, 0x0102030405060708ull);
    std::vector<uint8_t> expected = {0xF0, 0xFF, 0x01, 0x02, 0x07, 0x01,
                                     0x02, 0x02, 0x23, 0x01, 0x03, 0x0C};
    expected.insert(expected.end(), serial.begin(), serial.end());
    expected.insert(expected.end(), {0x04, 0x08, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01});
    expected.push_back(0xFF);
    ASSERT_EQ(expected.size(), 35u);  // bytes 2-34 hold the entries
    expected.resize(64, 0);
    EXPECT_EQ(std::vector<uint8_t>(block.bytes.begin(), block.bytes.end()), expected);

    std::vector<std::string> names;
    ReadInfoBlock(block.bytes.data(), [&](const InfoEntry& entry) {
        names.push_back(InfoTypeName(entry.type) + "=" + InfoValueText(entry));
    });
    EXPECT_EQ(names,
              (std::vector<std::string>{"InfoFormatTag=07 01", "InfoFirmwareVersion=0x0123",
                                        "InfoSerialNumber=5A 44 30 30 30 31 32 33 34 35 36 37",
                                        "InfoByteCount=72623859790382856", "InfoEnd="}));
}

TEST(InfoBlocks, ReadingStopsAtEndAndAtOverlongEntries) {
    // A zero-filled block reads as empty type-0 entries up to byte 62.
    RecordBlock zero = PlaceholderInfoBlock();
    int count = 0;
    ReadInfoBlock(zero.bytes.data(), [&](const InfoEntry& entry) {
        EXPECT_EQ(entry.type, 0);
        ++count;
    });
    EXPECT_EQ(count, 31);

    // An entry whose length runs past byte 63 ends the block; the one before it is read.
    RecordBlock block = PlaceholderInfoBlock();
    block.bytes[2] = kInfoMarkerA;
    block.bytes[3] = 8;
    block.bytes[4] = 42;
    block.bytes[12] = kInfoMarkerB;
    block.bytes[13] = 51;  // 12 + 2 + 51 = 65 > 64
    std::vector<int64_t> values;
    ReadInfoBlock(block.bytes.data(),
                  [&](const InfoEntry& entry) { values.push_back(InfoValueI64(entry)); });
    EXPECT_EQ(values, std::vector<int64_t>{42});

    // Unknown types are skipped by their length; InfoEnd stops the reading.
    block = PlaceholderInfoBlock();
    block.bytes[2] = 0x77;
    block.bytes[3] = 3;
    block.bytes[7] = kInfoEnd;
    block.bytes[9] = kInfoMarkerA;
    block.bytes[10] = 8;
    std::vector<uint8_t> types;
    ReadInfoBlock(block.bytes.data(), [&](const InfoEntry& entry) { types.push_back(entry.type); });
    EXPECT_EQ(types, (std::vector<uint8_t>{0x77, kInfoEnd}));
}

TEST(InfoBlocks, MarkerBlocksFlushAfterPosition54) {
    MarkerRecord record;
    record.timeOrigin = -5;
    for (int i = 0; i < 6; ++i) {
        record.packets.push_back({kInfoMarkedPacket, 100 + i});
    }
    record.hasGraphMarkers = true;
    record.graphMarkerO = 7;
    record.graphMarkerX = 9;
    std::vector<RecordBlock> blocks = MarkerInfoBlocks(record);
    // First block: origin and clear (to 14), four packets (to 54), the fifth passes 54.
    ASSERT_EQ(blocks.size(), 2u);
    const auto& first = blocks[0].bytes;
    EXPECT_EQ(first[0], 0xF0);
    EXPECT_EQ(first[1], 0xFF);
    EXPECT_EQ(first[2], kInfoTimeOrigin);
    EXPECT_EQ(first[3], 8);
    EXPECT_EQ(first[12], kInfoClearMarks);
    EXPECT_EQ(first[13], 0);
    EXPECT_EQ(first[14], kInfoMarkedPacket);
    EXPECT_EQ(first[54], kInfoMarkedPacket);
    std::vector<int64_t> second;
    ReadInfoBlock(blocks[1].bytes.data(), [&](const InfoEntry& entry) {
        if (entry.type != kInfoEnd) {
            second.push_back(InfoValueI64(entry));
        }
    });
    EXPECT_EQ(second, (std::vector<int64_t>{105, 7, 9}));
}

// Tick arithmetic of the capture bytes: 10, 50, 50, 50, 20 with 10 a transition puts the
// transitions at 50 and 20 40 and 482 ticks after their predecessors.
TEST(EdgeParsing, WrapMarkersCountWholeTimerPeriods) {
    // Divider 48: one tick is one microsecond, so line times show the tick counts exactly.
    StreamBuilder stream(false);
    stream.AddEdgeBlock(0, 0, 0, 1000, 47, FillBlock({5, 10, 50, 50, 50, 20, 21, 22, 23, 24, 25}));
    stream.AddEdgeBlock(0, 9, 0, 0, 47, FillBlock({0}));  // breaks continuity: hand over
    CollectingSink sink = ParseAll(stream.Bytes());
    // 10 opens a packet at 1005 that the 40-tick gap ends (no entries, discarded); 50 opens one
    // at 1045 that the next wrap ends; 20 opens the one handed over at the break.
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0]->startTime, 1000 + 5 + 40 + 482);
    EXPECT_EQ(EntriesOf(*sink.packets[0]), (std::vector<uint8_t>{1, 1, 1, 1, 1}));
}

TEST(EdgeParsing, IntervalsOf40And482AtDivider1) {
    // Divider 1: ten microseconds are 480 ticks, so 40 stays inside the packet and 462 ticks
    // (two wraps) do not end it, but the 482nd tick does.
    StreamBuilder stream(false);
    stream.AddEdgeBlock(0, 0, 0, 1000, 0x0100,
                        FillBlock({100, 110, 120, 130, 140, 10, 50, 50, 50, 20, 30, 40, 50, 60}));
    stream.AddEdgeBlock(0, 9, 0, 0, 0x0100, FillBlock({0}));
    CollectingSink sink = ParseAll(stream.Bytes());
    ASSERT_EQ(sink.packets.size(), 2u);
    EXPECT_EQ(EntriesOf(*sink.packets[0]), (std::vector<uint8_t>{10, 10, 10, 126, 40}));
    EXPECT_EQ(EntriesOf(*sink.packets[1]), (std::vector<uint8_t>{10, 10, 10, 10}));
    // Start times: 1000 us + ticks / 48.
    EXPECT_EQ(sink.packets[0]->startTime, 1000 + 10 / 48);
    EXPECT_EQ(sink.packets[1]->startTime, 1000 + (10 + 10 + 10 + 10 + 126 + 40 + 482) / 48);
    EXPECT_EQ(sink.packets[0]->clockDivider, 1);
}

TEST(EdgeParsing, GeneratedPacketsMatchTheirIntervalsAndOffsets) {
    StreamBuilder stream;
    stream.AddEdgeBurst(0, 20, {100000, 101000, 140000},
                        {BmcLikeIntervals(30), BmcLikeIntervals(5), BmcLikeIntervals(100)});
    stream.AddEdgeBurst(1, 20, {150000}, {BmcLikeIntervals(7)});
    CollectingSink sink = ParseAll(stream.Bytes());
    const auto& expected = stream.Expected();
    ASSERT_EQ(sink.packets.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const CCCPacket& packet = *sink.packets[i];
        EXPECT_EQ(packet.ccLine, expected[i].ccLine);
        EXPECT_EQ(packet.startTime, expected[i].startTime);
        EXPECT_EQ(EntriesOf(packet), expected[i].entries);
        EXPECT_EQ(packet.edgeCount, static_cast<int>(expected[i].entries.size()));
        EXPECT_EQ(packet.firstBlockOffset, expected[i].firstBlockOffset);
        EXPECT_EQ(packet.lastBlockOffset, expected[i].lastBlockOffset);
        EXPECT_EQ(packet.clockDivider, 20);
        EXPECT_EQ(packet.messageBytes[0], 0);
    }
}

TEST(EdgeParsing, TenMicrosecondGapEndsAPacketMidBlockAndShortBurstsAreNoise) {
    // Divider 48 (1 tick = 1 us): gaps of 9 ticks stay in the packet, 10 ends it.
    StreamBuilder stream(false);
    stream.AddEdgeBlock(0, 0, 0, 0, 47,
                        FillBlock({1, 2, 11, 20, 29, 38, 48, 50, 52, 54, 64, 65, 66, 67, 68, 69}));
    stream.AddEdgeBlock(0, 9, 0, 0, 47, FillBlock({0}));
    CollectingSink sink = ParseAll(stream.Bytes());
    // Packet 1: 2, 11, 20, 29, 38 (4 entries of 9), ended at 48 -> kept.
    // Packet 2: 48, 50, 52, 54 (3 entries), ended at 64 -> discarded.
    // Packet 3: 64 ... 69 (5 entries), ended by the wrap after it -> kept.
    ASSERT_EQ(sink.packets.size(), 2u);
    EXPECT_EQ(EntriesOf(*sink.packets[0]), (std::vector<uint8_t>{9, 9, 9, 9}));
    // The first byte only sets the timer value: times count from byte 1.
    EXPECT_EQ(sink.packets[0]->startTime, 1);
    EXPECT_EQ(EntriesOf(*sink.packets[1]), (std::vector<uint8_t>{1, 1, 1, 1, 1}));
    EXPECT_EQ(sink.packets[1]->startTime, 63);
}

TEST(EdgeParsing, UnsynchronisedLineIgnoresBlocksWithNonZeroSequence) {
    StreamBuilder stream(false);
    // Sequence 3 on an unsynchronised line: its transitions are ignored entirely.
    stream.AddEdgeBlock(0, 0, 3, 0, 47, FillBlock({1, 2, 3, 4, 5, 6, 7}));
    stream.AddEdgeBlock(0, 0, 4, 0, 47, FillBlock({1, 2, 3, 4, 5, 6, 7}));
    CollectingSink sink = ParseAll(stream.Bytes());
    EXPECT_TRUE(sink.packets.empty());
}

namespace {

// 53 repeats of 7 (the line idles through timer wraps), then transitions at 8, 9, 10: a
// packet with two entries is still open when the block ends.
std::vector<uint8_t> OpenPacketAtEnd() {
    std::vector<uint8_t> bytes(53, 7);
    bytes.insert(bytes.end(), {8, 9, 10});
    return bytes;
}

}  // namespace

TEST(EdgeParsing, ContinuityBreakHandsOverBothLinesWhateverTheirEntryCount) {
    CollectingSink sink;
    RecordStreamParser parser;
    StreamBuilder first(false);
    first.AddEdgeBlock(0, 5, 0, 100, 47, OpenPacketAtEnd());  // CC1 synchronises
    first.AddEdgeBlock(1, 5, 1, 100, 47, OpenPacketAtEnd());  // CC2 seq 1: unsynced, ignored
    parser.Feed(first.Bytes(), sink);
    EXPECT_TRUE(sink.packets.empty());
    ASSERT_TRUE(parser.Edges().Line(0).openPacket);
    EXPECT_EQ(parser.Edges().Line(1).lineTime, -1);

    StreamBuilder skip(false);
    skip.AddEdgeBlock(1, 5, 3, 100, 47, FillBlock({9}));  // 5/3 after 5/1: a break
    parser.Feed(skip.Bytes(), sink);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0]->ccLine, 0);
    EXPECT_EQ(sink.packets[0]->edgeCount, 2);  // below 4, handed over all the same
    EXPECT_EQ(parser.Edges().Line(0).lineTime, -1);
    EXPECT_FALSE(parser.Edges().Line(0).openPacket);
}

TEST(EdgeParsing, ContinuityBreakClosesTheOpenPacketsOfBothLines) {
    CollectingSink sink;
    RecordStreamParser parser;
    StreamBuilder stream(false);
    for (int s = 0; s < 7; ++s) {
        stream.AddEdgeBlock(0, 5, s, 100, 47, FillBlock({7}));
    }
    stream.AddEdgeBlock(0, 5, 7, 100, 47, OpenPacketAtEnd());  // CC1 packet open
    stream.AddEdgeBlock(1, 6, 0, 200, 47, OpenPacketAtEnd());  // continues; CC2 syncs, opens
    parser.Feed(stream.Bytes(), sink);
    ASSERT_TRUE(parser.Edges().Line(0).openPacket);
    ASSERT_TRUE(parser.Edges().Line(1).openPacket);
    EXPECT_TRUE(sink.packets.empty());

    StreamBuilder broken(false);
    broken.AddEdgeBlock(0, 6, 2, 300, 47, FillBlock({9}));  // 6/0 -> 6/2: a break
    parser.Feed(broken.Bytes(), sink);
    ASSERT_EQ(sink.packets.size(), 2u);
    EXPECT_EQ(sink.packets[0]->ccLine, 0);
    EXPECT_EQ(sink.packets[1]->ccLine, 1);
    EXPECT_EQ(sink.packets[1]->firstBlockOffset, 8u * 64u);
    for (int line = 0; line < 2; ++line) {
        EXPECT_EQ(parser.Edges().Line(line).lineTime, -1);
        EXPECT_FALSE(parser.Edges().Line(line).openPacket);
    }
}

TEST(EdgeParsing, BurstNumberWrapContinues) {
    CollectingSink sink;
    RecordStreamParser parser;
    StreamBuilder stream(false);
    stream.AddEdgeBlock(1, 0xFF, 7, 100, 47, FillBlock({9}));     // unsynced with s = 7: ignored
    stream.AddEdgeBlock(0, 0x00, 0, 100, 47, OpenPacketAtEnd());  // continues, CC1 syncs
    stream.AddEdgeBlock(1, 0x00, 1, 100, 47, FillBlock({9}));     // continues
    parser.Feed(stream.Bytes(), sink);
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_TRUE(parser.Edges().Line(0).openPacket);
    EXPECT_EQ(parser.Edges().Line(1).lineTime, -1);

    StreamBuilder broken(false);
    broken.AddEdgeBlock(1, 0x01, 0, 100, 47, FillBlock({9}));  // 0/1 -> 1/0: a break
    parser.Feed(broken.Bytes(), sink);
    EXPECT_EQ(sink.packets.size(), 1u);
    EXPECT_NE(parser.Edges().Line(1).lineTime, -1);  // s = 0 synchronises CC2
}

TEST(EdgeParsing, IdleLineResynchronisesAfterMoreThan500Microseconds) {
    // Divider 48, every byte 7: the first wrap adds 249 ticks (us), every further one 256.
    CollectingSink sink;
    RecordStreamParser parser;
    auto feedBurst = [&](int burst, uint32_t timestamp) {
        StreamBuilder stream(false);
        for (int s = 0; s < 8; ++s) {
            stream.AddEdgeBlock(0, burst, s, timestamp, 47, FillBlock({7}));
        }
        parser.Feed(stream.Bytes(), sink);
    };
    feedBurst(0, 1000);
    int64_t lineTime = 1000 + 249 + 54 * 256 + 7 * 56 * 256;
    EXPECT_EQ(parser.Edges().Line(0).lineTime, lineTime);

    // 500 us off at s = 0: the line keeps counting.
    feedBurst(1, static_cast<uint32_t>(lineTime + 500));
    lineTime += 8 * 56 * 256;
    EXPECT_EQ(parser.Edges().Line(0).lineTime, lineTime);

    // More than 500 us off: the line takes the block time.
    feedBurst(2, static_cast<uint32_t>(lineTime + 100000));
    EXPECT_EQ(parser.Edges().Line(0).lineTime, lineTime + 100000 + 8 * 56 * 256);
    EXPECT_TRUE(sink.packets.empty());
}

TEST(EdgeParsing, PacketAt5000EntriesKeepsAssemblingWithoutStoring) {
    StreamBuilder stream;
    stream.AddEdgeBurst(0, 20, {1000}, {BmcLikeIntervals(6000)});
    CollectingSink sink = ParseAll(stream.Bytes());
    ASSERT_EQ(sink.packets.size(), 1u);
    const CCCPacket& packet = *sink.packets[0];
    EXPECT_EQ(packet.edgeCount, 5000);
    EXPECT_EQ(packet.edges.size(), 5000u);
    std::vector<uint8_t> expected = BmcLikeIntervals(5000);
    EXPECT_EQ(EntriesOf(packet), expected);
    // The end still moved on with the dropped intervals.
    EXPECT_EQ(packet.lastBlockOffset, stream.Expected()[0].lastBlockOffset);
    EXPECT_GT(packet.lastBlockOffset, 64u + 64u * (5000 / 56));
}

namespace {

// A stream with samples interleaved with bursts on both lines.
StreamBuilder MixedStream() {
    StreamBuilder stream;
    std::vector<RawSample> samples;
    uint64_t tick = 5000;
    for (int round = 0; round < 40; ++round) {
        samples.clear();
        for (int i = 0; i < 10; ++i) {
            samples.push_back({static_cast<uint32_t>(round * 10000 + i * 1000), 5000,
                               static_cast<int16_t>(round), 300, 0, 1700, 5});
        }
        stream.AddSamples(samples);
        stream.AddEdgeBurst(round % 2, 20, {tick, tick + 900},
                            {BmcLikeIntervals(20 + round), BmcLikeIntervals(9)});
        tick += 24000;
    }
    return stream;
}

void ExpectSameResults(const CollectingSink& a, const CollectingSink& b) {
    ASSERT_EQ(a.samples.size(), b.samples.size());
    for (size_t i = 0; i < a.samples.size(); ++i) {
        EXPECT_EQ(a.samples[i].time, b.samples[i].time);
        EXPECT_EQ(a.samples[i].blockOffset, b.samples[i].blockOffset);
        EXPECT_EQ(a.samples[i].vbusCurrent, b.samples[i].vbusCurrent);
    }
    ASSERT_EQ(a.packets.size(), b.packets.size());
    for (size_t i = 0; i < a.packets.size(); ++i) {
        EXPECT_EQ(a.packets[i]->startTime, b.packets[i]->startTime);
        EXPECT_EQ(a.packets[i]->ccLine, b.packets[i]->ccLine);
        EXPECT_EQ(a.packets[i]->firstBlockOffset, b.packets[i]->firstBlockOffset);
        EXPECT_EQ(a.packets[i]->lastBlockOffset, b.packets[i]->lastBlockOffset);
        EXPECT_EQ(EntriesOf(*a.packets[i]), EntriesOf(*b.packets[i]));
    }
    ASSERT_EQ(a.entries.size(), b.entries.size());
}

CollectingSink FeedInChunks(const std::vector<uint8_t>& bytes, size_t chunk) {
    CollectingSink sink;
    RecordStreamParser parser;
    for (size_t at = 0; at < bytes.size(); at += chunk) {
        size_t n = std::min(chunk, bytes.size() - at);
        parser.Feed(std::span<const uint8_t>(bytes.data() + at, n), sink);
    }
    EXPECT_EQ(parser.NextOffset(), bytes.size() / 64 * 64);
    return sink;
}

}  // namespace

TEST(IncrementalParsing, AnyChunkSizeGivesTheSameResult) {
    StreamBuilder stream = MixedStream();
    const std::vector<uint8_t>& bytes = stream.Bytes();
    CollectingSink whole = ParseAll(bytes);
    EXPECT_EQ(whole.samples.size(), 400u);
    ASSERT_EQ(whole.packets.size(), stream.Expected().size());
    for (size_t chunk : {size_t{64}, size_t{7 * 64}, size_t{1000 * 64}, size_t{1}, size_t{100}}) {
        SCOPED_TRACE(chunk);
        ExpectSameResults(whole, FeedInChunks(bytes, chunk));
    }
}

TEST(IncrementalParsing, TrailingPartialBlockWaitsUntilComplete) {
    StreamBuilder stream(false);
    stream.AddSampleBlock(0x2001, {{10}});
    stream.AddSampleBlock(0x2001, {{20}});
    std::vector<uint8_t> bytes = stream.Bytes();
    CollectingSink sink;
    RecordStreamParser parser;
    parser.Feed(std::span<const uint8_t>(bytes.data(), 100), sink);
    EXPECT_EQ(sink.samples.size(), 1u);
    EXPECT_EQ(parser.PendingBytes(), 36u);
    parser.Feed(std::span<const uint8_t>(bytes.data() + 100, 28), sink);
    ASSERT_EQ(sink.samples.size(), 2u);
    EXPECT_EQ(sink.samples[1].blockOffset, 64u);
    EXPECT_EQ(sink.samples[1].time, 10);
}

TEST(RobustInput, RandomAndTruncatedBuffersNeverCrash) {
    std::mt19937_64 random(12345);
    for (int round = 0; round < 200; ++round) {
        size_t size = random() % 20000;
        std::vector<uint8_t> bytes(size);
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        // Bias some blocks toward valid edge blocks with continuing sequence numbers.
        for (size_t at = 0; at + 64 <= size; at += 64) {
            if (random() % 2 == 0) {
                bytes[at + 1] &= 0xDF;
                bytes[at] &= 0xF7;
            }
        }
        CollectingSink sink;
        RecordStreamParser parser;
        parser.Feed(bytes, sink);
        for (const PacketPtr& packet : sink.packets) {
            EXPECT_LE(packet->edgeCount, kMaxEdges);
            EXPECT_EQ(packet->edges.size(), static_cast<size_t>(packet->edgeCount));
        }
    }
    // A mixed stream cut at every length still parses its whole blocks.
    StreamBuilder stream = MixedStream();
    for (size_t cut = 0; cut < 4096; cut += 37) {
        std::vector<uint8_t> bytes(stream.Bytes().begin(),
                                   stream.Bytes().begin() + static_cast<ptrdiff_t>(cut));
        CollectingSink sink = ParseAll(bytes);
        EXPECT_LE(sink.samples.size(), 400u);
    }
}

namespace {

// Notes what reaches the sink in order: 'S' a sample, 'I' an InfoBlock entry, 'P' a packet;
// and the size of every batch of samples.
class OrderSink : public RecordSink {
  public:
    void OnSample(const CVbusInfo& sample) override {
        order.push_back('S');
        times.push_back(sample.time);
    }
    void OnSamples(std::span<const CVbusInfo> samples) override {
        batches.push_back(samples.size());
        RecordSink::OnSamples(samples);
    }
    void OnPacket(PacketPtr /*packet*/) override { order.push_back('P'); }
    void OnInfoEntry(const InfoEntry& /*entry*/, uint64_t /*blockOffset*/) override {
        order.push_back('I');
    }

    std::string order;
    std::vector<int64_t> times;
    std::vector<size_t> batches;
};

std::vector<RawSample> RisingSamples(uint32_t firstTime, size_t count) {
    std::vector<RawSample> samples;
    for (size_t i = 0; i < count; ++i) {
        samples.push_back({firstTime + static_cast<uint32_t>(i), 5000, 100, 0, 0, 0, 0});
    }
    return samples;
}

}  // namespace

TEST(SampleBatches, SamplesInfoEntriesAndPacketsArriveInStreamOrder) {
    // Far more sample blocks than one batch holds on both sides of an InfoBlock, then a burst:
    // the sink sees every sample before the entry in front of it, and the packets last.
    StreamBuilder stream(false);
    stream.AddSamples(RisingSamples(0, 3 * 1000));
    MarkerRecord record;
    record.timeOrigin = 5;
    for (const RecordBlock& block : MarkerInfoBlocks(record)) {
        stream.Add(block);
    }
    stream.AddSamples(RisingSamples(3000, 3 * 500 + 2));
    stream.AddEdgeBurst(0, 20, {500000}, {BmcLikeIntervals(12)});

    OrderSink sink;
    RecordStreamParser parser;
    parser.Feed(stream.Bytes(), sink);
    const size_t entries =
        static_cast<size_t>(std::count(sink.order.begin(), sink.order.end(), 'I'));
    ASSERT_GT(entries, 0u);
    EXPECT_EQ(sink.order,
              std::string(3000, 'S') + std::string(entries, 'I') + std::string(1502, 'S') + "P");
    for (size_t i = 0; i < sink.times.size(); ++i) {
        ASSERT_EQ(sink.times[i], static_cast<int64_t>(i)) << i;
    }
    // Batches hold many blocks' samples, and none reaches across the InfoBlock.
    size_t beforeEntry = 0;
    size_t batch = 0;
    while (beforeEntry < 3000) {
        beforeEntry += sink.batches[batch++];
    }
    EXPECT_EQ(beforeEntry, 3000u);
    EXPECT_GT(*std::max_element(sink.batches.begin(), sink.batches.end()), size_t{3});
}

TEST(SampleBatches, ResetDropsNothingAlreadyHandedOver) {
    // A partial last block waits in the parser; the samples of whole blocks never do.
    StreamBuilder stream(false);
    stream.AddSamples(RisingSamples(0, 30));
    std::vector<uint8_t> bytes = stream.Bytes();
    OrderSink sink;
    RecordStreamParser parser;
    parser.Feed(std::span<const uint8_t>(bytes.data(), bytes.size() - 10), sink);
    EXPECT_EQ(sink.times.size(), 27u);
    parser.Reset();
    parser.Feed(bytes, sink);
    EXPECT_EQ(sink.times.size(), 57u);
    EXPECT_EQ(sink.times.back(), 29);
}
