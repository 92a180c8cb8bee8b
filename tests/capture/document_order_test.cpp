// The capture document's packet order when the CC lines complete their packets out of time
// order: every packet ends up where a backward walk from the end would have inserted it, after
// the last packet whose relTime is not greater, so equal times keep their arrival order.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/record_stream.h"
#include "change_log.h"
#include "collecting_sink.h"
#include "hostile_streams.h"
#include "temp_files.h"

namespace {

// A packet by what the edge parser gave it: where it starts in the file and when.
struct PacketKey {
    uint64_t firstBlockOffset = 0;
    int64_t startTime = 0;
    int32_t ccLine = 0;
    bool operator==(const PacketKey&) const = default;
};

PacketKey KeyOf(const CCCPacket& packet) {
    return {packet.firstBlockOffset, packet.startTime, packet.ccLine};
}

// The packets of a stream in the order the edge parser completes them.
std::vector<PacketKey> ArrivalOrder(const std::vector<uint8_t>& stream) {
    RecordStreamParser parser;
    CollectingSink sink;
    parser.Feed(std::span<const uint8_t>(stream), sink);
    std::vector<PacketKey> keys;
    for (const PacketPtr& packet : sink.packets) {
        keys.push_back(KeyOf(*packet));
    }
    return keys;
}

// Insertion one packet at a time, walking backward from the end to the last packet that does
// not start later (the capture starts at time 0 in every generated stream).
std::vector<PacketKey> InsertedOneByOne(const std::vector<PacketKey>& arrivals) {
    std::vector<PacketKey> list;
    for (const PacketKey& key : arrivals) {
        size_t position = list.size();
        while (position > 0 && list[position - 1].startTime > key.startTime) {
            --position;
        }
        list.insert(list.begin() + static_cast<ptrdiff_t>(position), key);
    }
    return list;
}

std::vector<PacketKey> DocumentOrder(const CKVDoc& doc) {
    std::vector<PacketKey> keys;
    for (size_t i = 0; i < doc.PacketCount(); ++i) {
        keys.push_back(KeyOf(*doc.PacketAt(i)));
    }
    return keys;
}

std::vector<PacketKey> Opened(const TempDir& dir, const std::vector<uint8_t>& stream) {
    WriteFile(dir.File("a.zaz"), stream);
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    return DocumentOrder(doc);
}

}  // namespace

TEST(DocumentOrder, LinesArrivingOutOfOrderAreSortedAsByBackwardInsertion) {
    TempDir dir;
    for (bool inOrder : {true, false}) {
        SCOPED_TRACE(inOrder);
        const std::vector<uint8_t> stream = hostile::InterleavedLines(400, inOrder);
        const std::vector<PacketKey> arrivals = ArrivalOrder(stream);
        ASSERT_EQ(arrivals.size(), 800u);
        const std::vector<PacketKey> expected = InsertedOneByOne(arrivals);
        EXPECT_EQ(Opened(dir, stream), expected);
        if (!inOrder) {
            EXPECT_NE(expected, arrivals);  // the CC2 packets did move between the CC1 ones
        }
    }
}

TEST(DocumentOrder, EqualTimesKeepTheirArrivalOrderAcrossLinesAndReads) {
    TempDir dir;
    hostile::StreamWriter stream;
    const std::vector<std::vector<uint8_t>> one = {{8, 4, 4, 8, 8}};
    stream.Burst(0, 5000, one);
    stream.Burst(1, 5000, one);  // the same start time on the other line
    stream.Burst(1, 9000, one);
    stream.Burst(0, 5000, one);  // late and equal to the first two: goes after both
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    ASSERT_EQ(doc.PacketCount(), 4u);
    const std::vector<PacketKey> order = DocumentOrder(doc);
    EXPECT_EQ(order, InsertedOneByOne(ArrivalOrder(stream.Bytes())));
    EXPECT_EQ(order[0].startTime, order[1].startTime);
    EXPECT_EQ(order[1].startTime, order[2].startTime);
    EXPECT_LT(order[0].firstBlockOffset, order[1].firstBlockOffset);
    EXPECT_LT(order[1].firstBlockOffset, order[2].firstBlockOffset);
    EXPECT_EQ(order[3].ccLine, 1);
    EXPECT_GT(order[3].startTime, order[2].startTime);

    // A later read with another packet at that time puts it after the ones already there.
    hostile::StreamWriter more;
    more.Burst(0, 5000, one);
    const std::vector<uint8_t>& moreBytes = more.Bytes();
    WriteFile(dir.File("a.zaz"), std::vector<uint8_t>(moreBytes.begin() + 128, moreBytes.end()),
              true);
    doc.DecodeMore();
    ASSERT_EQ(doc.PacketCount(), 5u);
    EXPECT_EQ(doc.PacketAt(3)->relTime, order[0].startTime);
    EXPECT_GT(doc.PacketAt(3)->firstBlockOffset, order[3].firstBlockOffset);
    EXPECT_EQ(KeyOf(*doc.PacketAt(4)), order[3]);
}

TEST(DocumentOrder, OneBackwardTimestampOnOneLineSortsEveryLaterPacketBeforeIt) {
    // CC1's block time goes back once: widening takes it for a wrap of the 32-bit counter, so
    // every later CC1 packet lies 2^32 us ahead and every CC2 packet is inserted before them.
    TempDir dir;
    hostile::StreamWriter stream;
    const std::vector<std::vector<uint8_t>> two(2, {8, 4, 4, 8, 8});
    uint32_t time = 100000;
    for (int i = 0; i < 300; ++i, time += 2000) {
        stream.Burst(0, i == 100 ? 50000 : time, two);
        stream.Burst(1, time + 1000, two);
    }
    const std::vector<PacketKey> arrivals = ArrivalOrder(stream.Bytes());
    ASSERT_EQ(arrivals.size(), 1200u);
    const std::vector<PacketKey> order = Opened(dir, stream.Bytes());
    EXPECT_EQ(order, InsertedOneByOne(arrivals));
    EXPECT_EQ(order.back().ccLine, 0);
    EXPECT_GT(order.back().startTime, int64_t{1} << 32);
    EXPECT_EQ(
        std::count_if(order.begin(), order.end(),
                      [](const PacketKey& key) { return key.startTime > (int64_t{1} << 32); }),
        400);
}

TEST(DocumentOrder, ReadsOfAGrowingFileAndSeveralReadsOfOneFileGiveTheSameOrder) {
    // More than one 1 MB read, out of order across the reads; then the same file appended in
    // pieces and decoded after each, as a capture does.
    TempDir dir;
    const std::vector<uint8_t> stream = hostile::InterleavedLines(80000, false);
    ASSERT_GT(stream.size(), 2 * kDecodeReadSize);
    std::vector<PacketKey> expected = ArrivalOrder(stream);
    std::stable_sort(expected.begin(), expected.end(), [](const PacketKey& a, const PacketKey& b) {
        return a.startTime < b.startTime;
    });
    EXPECT_EQ(Opened(dir, stream), expected);

    WriteFile(dir.File("b.zaz"), {});
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("b.zaz"));
    const size_t piece = 64 * 10007;
    for (size_t at = 0; at < stream.size(); at += piece) {
        const size_t end = std::min(stream.size(), at + piece);
        WriteFile(dir.File("b.zaz"),
                  std::vector<uint8_t>(stream.begin() + static_cast<ptrdiff_t>(at),
                                       stream.begin() + static_cast<ptrdiff_t>(end)),
                  true);
        doc.DecodeMore();
        const std::vector<PacketKey> now = DocumentOrder(doc);
        ASSERT_TRUE(std::is_sorted(
            now.begin(), now.end(),
            [](const PacketKey& a, const PacketKey& b) { return a.startTime < b.startTime; }));
    }
    EXPECT_EQ(DocumentOrder(doc), expected);
}

TEST(DocumentOrder, AutoRemoveDropsTheOldestInTimeOrderWhenLinesArriveOutOfOrder) {
    TempDir dir;
    const std::vector<uint8_t> stream = hostile::InterleavedLines(100, false);
    WriteFile(dir.File("a.zaz"), stream);
    CKVDoc doc;
    doc.SetLimits(150, kDefaultMaxVbusCount, true, false);
    doc.OpenRecordFile(dir.File("a.zaz"));
    ASSERT_EQ(doc.PacketCount(), 200u);  // one read: checked before it
    const std::vector<PacketKey> before = DocumentOrder(doc);

    hostile::StreamWriter more;
    const std::vector<uint8_t>& moreBytes = more.Bytes();
    WriteFile(dir.File("a.zaz"), std::vector<uint8_t>(moreBytes.begin() + 64, moreBytes.end()),
              true);
    ChangeLog log(doc);
    doc.DecodeMore();
    EXPECT_EQ(DocumentOrder(doc), std::vector<PacketKey>(before.begin() + 50, before.end()));
    EXPECT_EQ(log.changes, std::vector<PacketChange>{FrontTrimmed(50)});
}

// A read that brings packets belonging before the end already published tells the observers
// from where the order changed; a read that only adds later packets tells what was appended.
TEST(DocumentOrder, LatePacketsArePublishedAsAMergeFromTheirPlace) {
    TempDir dir;
    const std::vector<std::vector<uint8_t>> one = {{8, 4, 4, 8, 8}};
    hostile::StreamWriter stream;
    for (uint32_t time : {1000u, 3000u, 5000u}) {
        stream.Burst(0, time, one);
    }
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    ChangeLog log(doc);
    doc.OpenRecordFile(dir.File("a.zaz"));
    ASSERT_EQ(doc.PacketCount(), 3u);
    EXPECT_EQ(log.Take(), (std::vector<PacketChange>{Reset(), Appended(0, 3)}));

    auto grow = [&](std::initializer_list<std::pair<int, uint32_t>> bursts) {
        hostile::StreamWriter more;
        const size_t header = more.Size();
        for (const auto& [line, time] : bursts) {
            more.Burst(line, time, one);
        }
        WriteFile(dir.File("a.zaz"),
                  std::vector<uint8_t>(more.Bytes().begin() + static_cast<ptrdiff_t>(header),
                                       more.Bytes().end()),
                  true);
        doc.DecodeMore();
    };
    grow({{1, 2000}, {0, 7000}});  // the CC2 packet belongs between the first two
    ASSERT_EQ(doc.PacketCount(), 5u);
    EXPECT_EQ(doc.PacketAt(1)->ccLine, 1);
    EXPECT_EQ(log.Take(), std::vector<PacketChange>{Merged(1, 5)});
    grow({{0, 9000}});
    EXPECT_EQ(log.Take(), std::vector<PacketChange>{Appended(5, 6)});
    grow({{1, 2500}});  // between the second and the third packet
    EXPECT_EQ(log.Take(), std::vector<PacketChange>{Merged(2, 7)});
    doc.Clear();
    EXPECT_EQ(log.Take(), std::vector<PacketChange>{Reset()});
}
