// The capture document: acceptance and ordering of packets, limits, markers, saving and
// incremental decoding of a growing record file.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/info_block.h"
#include "capture/record_naming.h"
#include "capture/scale_current.h"
#include "change_log.h"
#include "packet_file.h"
#include "pd/packet_duration.h"
#include "stream_builder.h"
#include "temp_files.h"

namespace {

std::vector<int64_t> RelTimes(const CKVDoc& doc) {
    std::vector<int64_t> times;
    for (const PacketPtr& packet : doc.Packets()) {
        times.push_back(packet->relTime);
    }
    return times;
}

class RecordingObserver : public CKVDocObserver {
  public:
    void OnStatusText(const std::string& text) override { texts.push_back(text); }
    void OnContentsChanged() override { ++changed; }
    void OnPacketsChanged(const PacketChange& change) override {
        emptied += change.kind == PacketChange::Kind::kReset ? 1 : 0;
    }
    void OnTimeOriginChanged(int64_t delta) override { deltas.push_back(delta); }

    std::vector<std::string> texts;
    int changed = 0;
    int emptied = 0;
    std::vector<int64_t> deltas;
};

}  // namespace

TEST(DocumentDecoding, FileOfOnlyItsLeadingInfoBlockIsEmpty) {
    TempDir dir;
    SerialNumber serial{};
    RecordBlock leading = FinishedInfoBlock(0x0123, serial, 0);
    WriteFile(dir.File("a.zaz"), std::vector<uint8_t>(leading.bytes.begin(), leading.bytes.end()));
    CKVDoc doc;
    EXPECT_TRUE(doc.OpenRecordFile(dir.File("a.zaz")));
    EXPECT_EQ(doc.PacketCount(), 0u);
    EXPECT_EQ(doc.SampleCount(), 0u);
    EXPECT_EQ(doc.CaptureStartTime(), -1);
    EXPECT_EQ(doc.DecodedOffset(), 64);

    // Missing and empty files decode to an empty document.
    EXPECT_FALSE(doc.OpenRecordFile(dir.File("missing.zaz")));
    EXPECT_EQ(doc.PacketCount(), 0u);
    WriteFile(dir.File("empty.zaz"), {});
    EXPECT_TRUE(doc.OpenRecordFile(dir.File("empty.zaz")));
    EXPECT_EQ(doc.SampleCount(), 0u);
}

TEST(DocumentDecoding, DeleteContentsForgetsTheRecordFile) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(5000, 3));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(dir.File("a.zaz")));
    doc.Clear();
    EXPECT_EQ(doc.RecordFilePath(), dir.File("a.zaz"));

    doc.DeleteContents();
    EXPECT_EQ(doc.SampleCount(), 0u);
    EXPECT_EQ(doc.RecordFilePath(), "");
    // The file still grows, but the emptied document no longer follows it.
    WriteFile(dir.File("a.zaz"), stream.Bytes(), true);
    doc.DecodeMore();
    EXPECT_EQ(doc.SampleCount(), 0u);
    EXPECT_FALSE(doc.SaveAs(dir.File("copy.zaz")));
}

TEST(DocumentDecoding, PacketsBeforeTheFirstSampleAreDropped) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddEdgeBurst(0, 20, {TicksAt(1000)}, {BmcLikeIntervals(20)});
    stream.AddSamples(SamplesEveryMs(5000, 3));
    stream.AddEdgeBurst(0, 20, {TicksAt(4000), TicksAt(6000)},
                        {BmcLikeIntervals(20), BmcLikeIntervals(20)});
    stream.AddSamples(SamplesEveryMs(8000, 2, 3));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    EXPECT_EQ(doc.CaptureStartTime(), 5000);
    ASSERT_EQ(doc.PacketCount(), 1u);
    EXPECT_EQ(doc.PacketAt(0)->relTime, 1000);

    // Without any sample nothing is kept.
    StreamBuilder noSamples;
    noSamples.AddEdgeBurst(0, 20, {TicksAt(1000)}, {BmcLikeIntervals(20)});
    WriteFile(dir.File("b.zaz"), noSamples.Bytes());
    doc.OpenRecordFile(dir.File("b.zaz"));
    EXPECT_EQ(doc.PacketCount(), 0u);
}

TEST(DocumentDecoding, PacketsOfBothLinesAreSortedAndGetVbusSnapshots) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(0, 101));
    stream.AddEdgeBurst(0, 20, {TicksAt(50000)}, {BmcLikeIntervals(30)});
    stream.AddEdgeBurst(1, 20, {TicksAt(30000)}, {BmcLikeIntervals(30)});
    stream.AddEdgeBurst(0, 20, {TicksAt(70000), TicksAt(200000)},
                        {BmcLikeIntervals(30), BmcLikeIntervals(30)});
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    ASSERT_EQ(doc.PacketCount(), 4u);
    EXPECT_EQ(RelTimes(doc), (std::vector<int64_t>{30000, 50000, 70000, 200000}));
    EXPECT_EQ(doc.PacketAt(0)->ccLine, 1);
    EXPECT_EQ(doc.PacketAt(1)->ccLine, 0);
    // The latest sample at or before the packet: sample 30 at 30000 us.
    const CCCPacket& first = *doc.PacketAt(0);
    EXPECT_TRUE(first.vbusValid);
    EXPECT_EQ(first.vbusVoltage, 5030);
    EXPECT_EQ(first.vbusCurrent, ScaleCurrent(130));
    EXPECT_EQ(first.cc1Voltage, 330);
    EXPECT_EQ(first.cc2Voltage, 1700);
    EXPECT_EQ(first.cc1Current, ScaleCurrent(10));
    EXPECT_EQ(first.cc2Current, ScaleCurrent(-10));
    EXPECT_EQ(doc.PacketAt(2)->vbusVoltage, 5070);
    // After the last sample (100 000 us) no snapshot is taken.
    EXPECT_FALSE(doc.PacketAt(3)->vbusValid);
    EXPECT_EQ(doc.Statistics().total, 4u);
    EXPECT_EQ(doc.Statistics().cc1, 3u);
    EXPECT_EQ(doc.Statistics().cc2, 1u);

    // Lookups by time: the last packet whose relTime minus the time origin is <= t.
    EXPECT_FALSE(doc.FindPacket(29999));
    EXPECT_EQ(doc.FindPacket(30000), 0u);
    EXPECT_EQ(doc.FindPacket(69999), 1u);
    EXPECT_EQ(doc.FindPacket(int64_t{1} << 40), 3u);
    doc.SetTimeOrigin(50000, false);
    EXPECT_FALSE(doc.FindPacket(-20001));
    EXPECT_EQ(doc.FindPacket(0), 1u);
    EXPECT_EQ(doc.FindPacket(20000), 2u);
}

TEST(DocumentLimits, AutoRemoveTrimsOnlyBeyondTenPercentAtTheStartOfARead) {
    TempDir dir;
    for (int count : {110, 111}) {
        SCOPED_TRACE(count);
        StreamBuilder stream = PacketFile(count);
        WriteFile(dir.File("a.zaz"), stream.Bytes());
        CKVDoc doc;
        ChangeLog log(doc);
        doc.SetLimits(100, kDefaultMaxVbusCount, true, false);
        doc.OpenRecordFile(dir.File("a.zaz"));
        ASSERT_EQ(doc.PacketCount(), static_cast<size_t>(count));  // one read: checked before it
        EXPECT_EQ(log.Take(), (std::vector<PacketChange>{Reset(), Appended(0, count)}));
        std::vector<int64_t> before = RelTimes(doc);

        StreamBuilder more(false);
        more.AddSamples(SamplesEveryMs(900000, 3));
        WriteFile(dir.File("a.zaz"), more.Bytes(), true);
        doc.DecodeMore();
        if (count == 110) {
            EXPECT_EQ(doc.PacketCount(), 110u);
            EXPECT_TRUE(log.Take().empty());
        } else {
            ASSERT_EQ(doc.PacketCount(), 100u);
            EXPECT_EQ(RelTimes(doc), std::vector<int64_t>(before.begin() + 11, before.end()));
            EXPECT_EQ(log.Take(), std::vector<PacketChange>{FrontTrimmed(11)});
        }
        EXPECT_FALSE(doc.PacketsFull());
    }
}

TEST(DocumentLimits, FullFlagsWithoutAutoRemoveStayUntilClear) {
    TempDir dir;
    StreamBuilder stream = PacketFile(101);  // 10 + 51 samples
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.SetLimits(100, 60, false, false);
    doc.OpenRecordFile(dir.File("a.zaz"));
    EXPECT_EQ(doc.PacketCount(), 101u);
    EXPECT_EQ(doc.SampleCount(), 61u);
    EXPECT_FALSE(doc.PacketsFull());
    EXPECT_FALSE(doc.VbusFull());

    StreamBuilder more(false);
    more.AddSamples(SamplesEveryMs(900000, 1));
    WriteFile(dir.File("a.zaz"), more.Bytes(), true);
    doc.DecodeMore();
    EXPECT_TRUE(doc.PacketsFull());
    EXPECT_TRUE(doc.VbusFull());
    EXPECT_EQ(doc.PacketCount(), 101u);
    EXPECT_EQ(doc.SampleCount(), 62u);
    doc.DecodeMore();  // nothing new: the flags stay
    EXPECT_TRUE(doc.PacketsFull());
    doc.Clear();
    EXPECT_FALSE(doc.PacketsFull());
    EXPECT_FALSE(doc.VbusFull());
}

// While a capture records, decoding stops once a limit without auto-remove is full: the capture
// is about to stop or to move on, and what follows would only grow the document past its limit.
// Once recording ends, the file decodes on.
TEST(DocumentLimits, WhileRecordingAFullDocumentDecodesNoFurther) {
    TempDir dir;
    WriteFile(dir.File("a.zaz"), PacketFile(101).Bytes());
    CKVDoc doc;
    doc.SetLimits(100, kDefaultMaxVbusCount, false, false);
    doc.SetRecording(true);
    doc.AttachRecordFile(dir.Path().string(), "a.zaz");
    ASSERT_EQ(doc.PacketCount(), 101u);  // the limit is checked before each read
    const size_t samples = doc.SampleCount();
    const int64_t decoded = doc.DecodedOffset();

    StreamBuilder more(false);
    more.AddSamples(SamplesEveryMs(900000, 3));
    WriteFile(dir.File("a.zaz"), more.Bytes(), true);
    EXPECT_EQ(doc.DecodeMore().kind, FileResult::kNothingNew);
    EXPECT_TRUE(doc.PacketsFull());
    EXPECT_EQ(doc.SampleCount(), samples);
    EXPECT_EQ(doc.DecodedOffset(), decoded);

    doc.SetRecording(false);
    EXPECT_EQ(doc.DecodeMore().kind, FileResult::kOk);
    EXPECT_EQ(doc.SampleCount(), samples + 3);
}

TEST(DocumentLimits, SampleAutoRemoveKeepsTheNewest) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(0, 120));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.SetLimits(100, 100, false, true);
    doc.OpenRecordFile(dir.File("a.zaz"));
    StreamBuilder more(false);
    more.AddSamples(SamplesEveryMs(120000, 3, 120));
    WriteFile(dir.File("a.zaz"), more.Bytes(), true);
    doc.DecodeMore();
    ASSERT_EQ(doc.SampleCount(), 103u);  // trimmed to 100, then three more
    EXPECT_EQ(doc.SampleAt(0)->vbusVoltage, 5020);
    EXPECT_EQ(doc.SampleAt(102)->time, 122000);
    EXPECT_FALSE(doc.VbusFull());
}

TEST(DocumentDecoding, ExactlyOneMegabyteRemainingIsNotDone) {
    TempDir dir;
    StreamBuilder stream;
    uint32_t time = 0;
    while (stream.Bytes().size() < kDecodeReadSize) {
        stream.AddSamples({{time, 5000}});
        time += 10;
    }
    ASSERT_EQ(stream.Bytes().size(), kDecodeReadSize);
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.DecodeAll(dir.File("a.zaz"));
    EXPECT_EQ(doc.DecodedOffset(), static_cast<int64_t>(kDecodeReadSize));
    EXPECT_EQ(doc.SampleCount(), kDecodeReadSize / 64 - 1);

    doc.Clear();
    bool done = true;
    EXPECT_TRUE(doc.DecodePass(done));
    EXPECT_FALSE(done);
    EXPECT_FALSE(doc.DecodePass(done));  // nothing left to do
}

TEST(DocumentDecoding, GrowingFileDecodesLikeTheWholeFile) {
    TempDir dir;
    StreamBuilder stream;
    uint64_t tick = TicksAt(2000);
    for (int round = 0; round < 60; ++round) {
        stream.AddSamples(SamplesEveryMs(static_cast<uint32_t>(round) * 10000, 10, round * 10));
        stream.AddEdgeBurst(round % 2, 20, {tick, tick + 1500},
                            {BmcLikeIntervals(30 + round), BmcLikeIntervals(12)});
        tick += TicksAt(10000);
    }
    const std::vector<uint8_t>& bytes = stream.Bytes();
    WriteFile(dir.File("whole.zaz"), bytes);
    CKVDoc whole;
    whole.OpenRecordFile(dir.File("whole.zaz"));
    ASSERT_EQ(whole.PacketCount(), stream.Expected().size());

    for (size_t cut : {size_t{100}, size_t{64 * 40 + 17}, bytes.size() / 2, bytes.size() - 1}) {
        SCOPED_TRACE(cut);
        std::string path = dir.File("growing.zaz");
        WriteFile(path,
                  std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(cut)));
        CKVDoc doc;
        doc.OpenRecordFile(path);
        WriteFile(path,
                  std::vector<uint8_t>(bytes.begin() + static_cast<ptrdiff_t>(cut), bytes.end()),
                  true);
        doc.DecodeMore();
        ASSERT_EQ(doc.PacketCount(), whole.PacketCount());
        ASSERT_EQ(doc.SampleCount(), whole.SampleCount());
        for (size_t i = 0; i < doc.PacketCount(); ++i) {
            const CCCPacket& a = *doc.PacketAt(i);
            const CCCPacket& b = *whole.PacketAt(i);
            EXPECT_EQ(a.relTime, b.relTime);
            EXPECT_EQ(a.ccLine, b.ccLine);
            EXPECT_EQ(a.firstBlockOffset, b.firstBlockOffset);
            EXPECT_EQ(a.lastBlockOffset, b.lastBlockOffset);
            EXPECT_EQ(a.vbusValid, b.vbusValid);
            EXPECT_EQ(a.vbusVoltage, b.vbusVoltage);
            EXPECT_EQ(a.bitCount, b.bitCount);
            EXPECT_EQ(a.orderedSetKind, b.orderedSetKind);
        }
        for (size_t i = 0; i < doc.SampleCount(); ++i) {
            EXPECT_EQ(doc.SampleAt(i)->time, whole.SampleAt(i)->time);
            EXPECT_EQ(doc.SampleAt(i)->blockOffset, whole.SampleAt(i)->blockOffset);
        }
        EXPECT_EQ(doc.Stats().maxVbusPower, whole.Stats().maxVbusPower);
        EXPECT_EQ(doc.Statistics().total, whole.Statistics().total);
    }
}

TEST(DocumentContents, SamplesLookupsAndCompactStorage) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(7, 30000));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    ASSERT_EQ(doc.SampleCount(), 30000u);
    std::optional<CVbusInfo> sample = doc.SampleAt(4);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->time, 4000);
    EXPECT_EQ(sample->vbusVoltage, 5004);
    EXPECT_EQ(sample->vbusCurrent, ScaleCurrent(104));
    EXPECT_EQ(sample->cc1Voltage, 304);
    EXPECT_EQ(sample->cc1Current, ScaleCurrent(10));
    EXPECT_EQ(sample->cc2Voltage, 1700);
    EXPECT_EQ(sample->cc2Current, ScaleCurrent(-10));
    EXPECT_EQ(sample->blockOffset, 64u + 64u);  // block 0 is the InfoBlock; 3 samples a block
    EXPECT_FALSE(doc.SampleAt(30000));
    EXPECT_FALSE(doc.PacketAt(0));
    EXPECT_LE(doc.SampleMemoryBytes(), 32 * doc.SampleCount());

    EXPECT_FALSE(doc.FindSample(-1));
    EXPECT_EQ(doc.FindSample(0), 0u);
    EXPECT_EQ(doc.FindSample(1500), 1u);
    EXPECT_EQ(doc.FindSample(1 << 30), 29999u);
    RecordingObserver observer;
    doc.AddObserver(&observer);
    doc.SetTimeOrigin(2000, false);
    doc.SetTimeOrigin(500, true);
    EXPECT_EQ(doc.TimeOrigin(), 2500);
    EXPECT_EQ(observer.deltas, (std::vector<int64_t>{2000, 500}));
    EXPECT_EQ(doc.FindSample(0), 2u);
    EXPECT_EQ(doc.FindSample(-2500), 0u);
    EXPECT_FALSE(doc.FindSample(-2501));
    doc.RemoveObserver(&observer);
}

TEST(DocumentContents, StatisticsFollowTheSamples) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples({{0, 20000, 3000, 100, -800, 60000, 5},
                       {1, 5000, -2000, 0, 0, 0, 0},
                       {2, 9000, 1000, 0, 0, 0, 0}});
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    const SampleStats& s = doc.Stats();
    EXPECT_EQ(s.maxVoltage, 20000);  // CC2's 60000 mV is -5536 as a signed 16-bit value
    EXPECT_EQ(s.maxCurrent, ScaleCurrent(3000));
    EXPECT_EQ(s.minCurrent, ScaleCurrent(-2000));
    EXPECT_EQ(s.maxVbusPower, 20000 * ScaleCurrent(3000) / 1000);
    EXPECT_EQ(s.maxVbusPowerVoltage, 20000);
    EXPECT_EQ(s.minVbusPower, 5000 * ScaleCurrent(-2000) / 1000);
    EXPECT_EQ(s.minVbusPowerCurrent, ScaleCurrent(-2000));
    EXPECT_EQ(s.minPower, 5000 * ScaleCurrent(-2000) / 1000);
}

namespace {

// A record file of four packets; returns their relTimes.
std::vector<int64_t> WriteFourPackets(const std::string& path) {
    StreamBuilder stream = PacketFile(4);
    WriteFile(path, stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(path);
    return RelTimes(doc);
}

std::vector<uint8_t> BlocksBytes(const std::vector<RecordBlock>& blocks) {
    std::vector<uint8_t> bytes;
    for (const RecordBlock& block : blocks) {
        bytes.insert(bytes.end(), block.bytes.begin(), block.bytes.end());
    }
    return bytes;
}

}  // namespace

TEST(DocumentMarkers, RestoredFromInfoBlocksAfterAFullDecode) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    std::vector<int64_t> times = WriteFourPackets(path);
    ASSERT_EQ(times.size(), 4u);
    MarkerRecord old;
    old.packets = {{kInfoMarkedPacket, times[1]}, {kInfoMarkerA, times[0]}};
    WriteFile(path, BlocksBytes(MarkerInfoBlocks(old)), true);
    MarkerRecord latest;
    latest.timeOrigin = 777;
    latest.packets = {{kInfoMarkedPacket, times[0]},
                      {kInfoMarkerA, 123456789},  // matches no packet
                      {kInfoMarkerB, times[2]},
                      {kInfoMarkedPacket, times[3]}};
    latest.hasGraphMarkers = true;
    latest.graphMarkerO = 1000;
    latest.graphMarkerX = 2000;
    WriteFile(path, BlocksBytes(MarkerInfoBlocks(latest)), true);

    CKVDoc doc;
    doc.OpenRecordFile(path);
    ASSERT_EQ(doc.PacketCount(), 4u);
    EXPECT_EQ(doc.TimeOrigin(), 777);
    EXPECT_FALSE(doc.MarkerA());  // the clear of the later blocks dropped the older marks
    EXPECT_EQ(doc.MarkerB(), doc.PacketAt(2));
    EXPECT_TRUE(doc.IsMarked(*doc.PacketAt(0)));
    EXPECT_FALSE(doc.IsMarked(*doc.PacketAt(1)));
    EXPECT_TRUE(doc.IsMarked(*doc.PacketAt(3)));
    EXPECT_EQ(doc.GraphMarkerOTime(), 1000);
    EXPECT_EQ(doc.GraphMarkerXTime(), 2000);
    EXPECT_FALSE(doc.MarkersChanged());
    EXPECT_FALSE(doc.Modified());
}

TEST(DocumentMarkers, MarksAreTheDocumentsAndASnapshotKeepsThoseOfItsTime) {
    TempDir dir;
    WriteFile(dir.File("a.zaz"), PacketFile(111).Bytes());
    CKVDoc doc;
    doc.SetLimits(100, kDefaultMaxVbusCount, true, false);
    doc.OpenRecordFile(dir.File("a.zaz"));
    const PacketPtr first = doc.PacketAt(0);
    const PacketPtr kept = doc.PacketAt(50);
    doc.SetMarked(first, true);
    const DocumentSnapshot before = doc.Snapshot();
    doc.SetMarked(kept, true);
    EXPECT_TRUE(before.marks.Contains(*first));
    EXPECT_FALSE(before.marks.Contains(*kept));  // marked after the snapshot was taken
    EXPECT_EQ(doc.Marks().Size(), 2u);

    // A trim forgets the marks of the packets it removes, the others keep theirs.
    StreamBuilder more(false);
    more.AddSamples(SamplesEveryMs(900000, 3));
    WriteFile(dir.File("a.zaz"), more.Bytes(), true);
    doc.DecodeMore();
    ASSERT_EQ(doc.PacketCount(), 100u);
    EXPECT_FALSE(doc.IsMarked(*first));
    EXPECT_TRUE(doc.IsMarked(*kept));
    EXPECT_EQ(doc.Marks().Size(), 1u);
    EXPECT_TRUE(before.marks.Contains(*first));

    doc.Clear();
    EXPECT_TRUE(doc.Marks().Empty());
}

TEST(DocumentSaving, OwnPathAppendsMarkersOnlyOnceAndReopensToThem) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    std::vector<uint8_t> original = ReadFile(path);
    CKVDoc doc;
    doc.OpenRecordFile(path);
    doc.SetMarkerA(doc.PacketAt(1));
    doc.SetMarked(doc.PacketAt(3), true);
    doc.SetTimeOrigin(-40, false);
    doc.SetGraphMarkerSource([] { return std::optional<GraphMarkerTimes>({{100, 300}}); });
    EXPECT_TRUE(doc.MarkersChanged());
    EXPECT_TRUE(doc.Modified());

    ASSERT_TRUE(doc.SaveAs(path));
    EXPECT_FALSE(doc.MarkersChanged());
    EXPECT_FALSE(doc.Modified());
    std::vector<uint8_t> saved = ReadFile(path);
    ASSERT_EQ(saved.size(), original.size() + 64);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), saved.begin()));
    ASSERT_TRUE(doc.SaveAs(path));  // no change since: nothing appended
    EXPECT_EQ(ReadFile(path).size(), saved.size());

    CKVDoc reopened;
    reopened.OpenRecordFile(path);
    EXPECT_EQ(reopened.TimeOrigin(), -40);
    EXPECT_EQ(reopened.MarkerA(), reopened.PacketAt(1));
    EXPECT_TRUE(reopened.IsMarked(*reopened.PacketAt(3)));
    EXPECT_EQ(reopened.GraphMarkerOTime(), 100 - 40);
    EXPECT_EQ(reopened.GraphMarkerXTime(), 300 - 40);
}

TEST(DocumentSaving, CopyKeepsMarkersEvenWhenSavedTwice) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    std::vector<uint8_t> original = ReadFile(path);
    CKVDoc doc;
    doc.OpenRecordFile(path);
    doc.SetMarkerB(doc.PacketAt(2));
    std::string copy = dir.File("copy.zaz");
    ASSERT_TRUE(doc.SaveAs(copy));
    ASSERT_TRUE(doc.SaveAs(copy));        // markers unchanged: the copy must still carry them
    EXPECT_EQ(ReadFile(path), original);  // the record file itself is untouched
    EXPECT_EQ(doc.RecordFilePath(), path);
    EXPECT_EQ(ReadFile(copy).size(), original.size() + 64);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);  // the record file and the copy, no staged file

    // The record file through a symbolic or a hard link is saved in place, never replaced by a
    // copy of itself.
    std::filesystem::create_symlink(path, dir.File("link.zaz"));
    std::filesystem::create_hard_link(path, dir.File("hard.zaz"));
    doc.SetMarkerA(doc.PacketAt(1));
    ASSERT_TRUE(doc.SaveAs(dir.File("link.zaz")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.zaz")));
    EXPECT_EQ(ReadFile(path).size(), original.size() + 64);  // the markers appended in place
    ASSERT_TRUE(doc.SaveAs(dir.File("hard.zaz")));
    EXPECT_TRUE(std::filesystem::equivalent(path, dir.File("hard.zaz")));

    CKVDoc reopened;
    reopened.OpenRecordFile(copy);
    ASSERT_EQ(reopened.PacketCount(), 4u);
    EXPECT_EQ(reopened.MarkerB(), reopened.PacketAt(2));
}

TEST(DocumentSaving, APacketCarryingSeveralMarksKeepsThemAll) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    CKVDoc doc;
    doc.OpenRecordFile(path);
    doc.SetMarkerA(doc.PacketAt(1));
    doc.SetMarkerB(doc.PacketAt(1));
    doc.SetMarked(doc.PacketAt(1), true);
    doc.SetMarkerA(doc.PacketAt(2));
    doc.SetMarked(doc.PacketAt(3), true);
    ASSERT_TRUE(doc.SaveAs(path));

    CKVDoc reopened;
    reopened.OpenRecordFile(path);
    EXPECT_EQ(reopened.MarkerA(), reopened.PacketAt(2));
    EXPECT_EQ(reopened.MarkerB(), reopened.PacketAt(1));
    EXPECT_TRUE(reopened.IsMarked(*reopened.PacketAt(1)));
    EXPECT_FALSE(reopened.IsMarked(*reopened.PacketAt(2)));
    EXPECT_TRUE(reopened.IsMarked(*reopened.PacketAt(3)));
}

TEST(DocumentSaving, FailedCopyLeavesNothingAndKeepsTheMarkersPending) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    CKVDoc doc;
    doc.OpenRecordFile(path);
    doc.SetMarkerA(doc.PacketAt(0));
    std::string target = dir.File("no-such-folder/copy.zaz");
    EXPECT_FALSE(doc.SaveAs(target));
    EXPECT_TRUE(doc.MarkersChanged());
    EXPECT_TRUE(doc.Modified());
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(doc.PacketCount(), 4u);

    // An existing target stays as it was when the copy fails.
    std::filesystem::create_directories(dir.File("ro"));
    WriteFile(dir.File("ro/copy.zaz"), {1, 2, 3});
    std::filesystem::permissions(
        dir.File("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (!IsWritableFolder(dir.File("ro"))) {
        EXPECT_FALSE(doc.SaveAs(dir.File("ro/copy.zaz")));
        EXPECT_EQ(ReadFile(dir.File("ro/copy.zaz")), (std::vector<uint8_t>{1, 2, 3}));
    }

    doc.SetRecording(true);  // never while a capture writes the record file
    EXPECT_FALSE(doc.SaveAs(dir.File("other.zaz")));
}

TEST(DocumentSaving, PartialTrailingBlockIsNotFollowedByMisalignedMarkers) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    WriteFile(path, {0x01, 0x20, 0x05}, true);  // an incomplete block at the end
    CKVDoc doc;
    doc.OpenRecordFile(path);
    doc.SetMarkerA(doc.PacketAt(3));
    ASSERT_TRUE(doc.SaveAs(path));
    EXPECT_EQ(ReadFile(path).size() % 64, 0u);
    CKVDoc reopened;
    reopened.OpenRecordFile(path);
    EXPECT_EQ(reopened.MarkerA(), reopened.PacketAt(3));
}

TEST(DocumentObservers, ToldAboutStatusContentsAndEmptying) {
    TempDir dir;
    std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    CKVDoc doc;
    RecordingObserver observer;
    doc.AddObserver(&observer);
    doc.OpenRecordFile(path);
    EXPECT_EQ(observer.emptied, 1);
    EXPECT_EQ(observer.texts.front(), "Decoding... 0%");
    EXPECT_EQ(observer.texts.back(), "Decode completed.");
    int changed = observer.changed;
    EXPECT_GE(changed, 1);
    doc.DecodeMore();  // nothing new
    EXPECT_EQ(observer.changed, changed);

    observer.texts.clear();
    doc.SetRecording(true);  // no progress texts while a capture records
    StreamBuilder more(false);
    more.AddSamples(SamplesEveryMs(900000, 1));
    WriteFile(path, more.Bytes(), true);
    doc.DecodeMore();
    EXPECT_TRUE(observer.texts.empty());
    EXPECT_EQ(observer.changed, changed + 1);
    doc.RemoveObserver(&observer);
}

// A reset comes once the document reads empty (the status bar and the counters refresh from
// it), while the packets the views still list stay alive until every observer was told.
TEST(DocumentObservers, AResetComesWhenEveryCounterIsEmptyAndTheOldPacketsAlive) {
    TempDir dir;
    const std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    ASSERT_EQ(doc.PacketCount(), 4u);
    struct ResetReader : CKVDocObserver {
        explicit ResetReader(const CKVDoc& document) : doc(document) {}
        void OnPacketsChanged(const PacketChange& change) override {
            if (change.kind == PacketChange::Kind::kReset) {
                counts.push_back(doc.PacketCount() + doc.SampleCount() + doc.Statistics().total);
                alive.push_back(!listed.expired());
            }
        }
        const CKVDoc& doc;
        std::weak_ptr<CCCPacket> listed;
        std::vector<size_t> counts;
        std::vector<bool> alive;
    } reader(doc);
    reader.listed = doc.PacketAt(2);
    doc.AddObserver(&reader);
    doc.DeleteContents();
    EXPECT_EQ(reader.counts, std::vector<size_t>{0});
    EXPECT_EQ(reader.alive, std::vector<bool>{true});
    EXPECT_TRUE(reader.listed.expired());
    doc.RemoveObserver(&reader);
}

// Opening another file empties the document in an operation of its own: its reset is told while
// the document reads empty, before the new file's packets come.
TEST(DocumentObservers, ReopeningTellsTheResetWhileTheDocumentReadsEmpty) {
    TempDir dir;
    const std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    struct CountReader : CKVDocObserver {
        explicit CountReader(const CKVDoc& document) : doc(document) {}
        void OnPacketsChanged(const PacketChange& change) override {
            seen.push_back({change, doc.PacketCount()});
        }
        const CKVDoc& doc;
        std::vector<std::pair<PacketChange, size_t>> seen;
    } reader(doc);
    doc.AddObserver(&reader);
    ASSERT_TRUE(doc.OpenRecordFile(path));
    using Seen = std::pair<PacketChange, size_t>;
    EXPECT_EQ(reader.seen, (std::vector<Seen>{{Reset(), 0}, {Appended(0, 4), 4}}));
    doc.RemoveObserver(&reader);
}

// The observers are called once the document let go of its lock; one that removes another
// during a call is obeyed at once: the removed one hears nothing more.
TEST(DocumentObservers, AnObserverRemovedByAnotherDuringACallIsNotCalledAgain) {
    TempDir dir;
    const std::string path = dir.File("a.zaz");
    WriteFourPackets(path);
    CKVDoc doc;
    RecordingObserver removed;
    struct Remover : CKVDocObserver {
        void OnPacketsChanged(const PacketChange& /*change*/) override {
            doc->RemoveObserver(other);
            ++calls;
        }
        CKVDoc* doc = nullptr;
        CKVDocObserver* other = nullptr;
        int calls = 0;
    } remover;
    remover.doc = &doc;
    remover.other = &removed;
    doc.AddObserver(&remover);
    doc.AddObserver(&removed);
    ASSERT_TRUE(doc.OpenRecordFile(path));
    EXPECT_EQ(remover.calls, 2);  // the reset and the appended packets
    EXPECT_EQ(removed.emptied, 0);
    EXPECT_EQ(removed.changed, 0);
    EXPECT_TRUE(removed.texts.empty());
    doc.RemoveObserver(&remover);
}

TEST(DocumentObservers, ProgressTextsOfDecodingAndClearing) {
    TempDir dir;
    // One block more than a read: the second pass starts at 1048576 of 1048640 bytes.
    StreamBuilder big;
    for (uint32_t time = 0; big.Bytes().size() < kDecodeReadSize + 64; time += 10) {
        big.AddSamples({{time, 5000}});
    }
    WriteFile(dir.File("big.zaz"), big.Bytes());
    CKVDoc doc;
    RecordingObserver observer;
    doc.AddObserver(&observer);
    doc.OpenRecordFile(dir.File("big.zaz"));
    EXPECT_EQ(observer.texts,
              (std::vector<std::string>{"Decoding... 0%", "Decoding... 99%", "Decode completed."}));

    // 136 samples and 250 packets: a text for every hundredth element.
    StreamBuilder stream = PacketFile(250);
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    doc.OpenRecordFile(dir.File("a.zaz"));
    ASSERT_EQ(doc.SampleCount(), 136u);
    ASSERT_EQ(doc.PacketCount(), 250u);
    observer.texts.clear();
    doc.Clear();
    EXPECT_EQ(observer.texts,
              (std::vector<std::string>{"Deleting VBUS Info... 0%", "Deleting VBUS Info... 73%",
                                        "Deleting PD Messages... 0%", "Deleting PD Messages... 40%",
                                        "Deleting PD Messages... 80%"}));
    doc.RemoveObserver(&observer);
}

TEST(DocumentRobustness, RandomFilesDecodeWithoutHarm) {
    TempDir dir;
    std::mt19937_64 random(777);
    StreamBuilder valid = PacketFile(30);
    for (int round = 0; round < 40; ++round) {
        // Valid streams with random bytes flipped, random cuts, and pure noise.
        std::vector<uint8_t> bytes = valid.Bytes();
        if (round % 3 == 2) {
            bytes.assign(random() % 40000, 0);
            for (uint8_t& byte : bytes) {
                byte = static_cast<uint8_t>(random());
            }
        } else {
            for (int flips = 0; flips < 50; ++flips) {
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            }
            bytes.resize(random() % bytes.size());
        }
        WriteFile(dir.File("r.zaz"), bytes);
        CKVDoc doc;
        doc.OpenRecordFile(dir.File("r.zaz"));
        EXPECT_LE(doc.DecodedOffset(), static_cast<int64_t>(bytes.size()));
        for (size_t i = 0; i < doc.PacketCount(); ++i) {
            if (i > 0) {
                EXPECT_LE(doc.PacketAt(i - 1)->relTime, doc.PacketAt(i)->relTime);
            }
        }
    }
}

TEST(DocumentContents, SnapshotHoldsSamplesOriginAndLookups) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(7, 20000));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.OpenRecordFile(dir.File("a.zaz"));
    doc.SetTimeOrigin(5000, false);
    DocumentSnapshot snapshot = doc.Snapshot();
    doc.Clear();

    EXPECT_EQ(snapshot.timeOrigin, 5000);
    ASSERT_EQ(snapshot.samples.Size(), 20000u);
    EXPECT_EQ(snapshot.samples.Time(4), 4000);
    EXPECT_EQ(snapshot.samples.At(4).vbusVoltage, 5004);
    EXPECT_EQ(snapshot.stats.maxVoltage, 5000 + 19999);
    // Graph times: sample time minus the origin.
    EXPECT_FALSE(snapshot.FindSample(-5001));
    EXPECT_EQ(snapshot.FindSample(-5000), 0u);
    EXPECT_EQ(snapshot.FindSample(0), 5u);
    EXPECT_EQ(snapshot.FindSample(1'000'000'000), 19999u);
    EXPECT_FALSE(snapshot.FindPacket(0));
}

// A paint's snapshot: the packets a view of graph times can show, and the number of the first.
TEST(DocumentSnapshots, AViewSnapshotHoldsThePacketsInViewAndTheNumberOfTheFirst) {
    TempDir dir;
    WriteFile(dir.File("a.zaz"), PacketFile(250).Bytes());
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(dir.File("a.zaz")));
    ASSERT_EQ(doc.PacketCount(), 250u);
    doc.SetMarked(doc.PacketAt(101), true);
    doc.SetMarkerA(doc.PacketAt(102));
    const DocumentSnapshot all = doc.Snapshot();
    const auto time = [&all](size_t i) { return all.packets[i]->relTime; };
    const auto packets = [&all](size_t first, size_t end) {
        return std::vector<PacketPtr>(all.packets.begin() + static_cast<ptrdiff_t>(first),
                                      all.packets.begin() + static_cast<ptrdiff_t>(end));
    };

    DocumentSnapshot view = doc.SnapshotOfView(time(100), time(109));
    EXPECT_EQ(view.firstPacketNumber, 100u);
    EXPECT_EQ(view.packets, packets(100, 110));
    // Everything else is the whole snapshot's.
    EXPECT_EQ(view.samples.Size(), all.samples.Size());
    EXPECT_EQ(view.timeOrigin, all.timeOrigin);
    EXPECT_TRUE(view.marks.Contains(*all.packets[101]));
    EXPECT_EQ(view.markerA, all.packets[102]);

    // A view that begins inside a burst has the packet whose bar reaches into it.
    ASSERT_GT(PacketDuration(*all.packets[100]), 20);
    view = doc.SnapshotOfView(time(100) + 10, time(100) + 20);
    EXPECT_EQ(view.firstPacketNumber, 100u);
    EXPECT_EQ(view.packets, packets(100, 101));

    // Outside the packets: none, numbered where they would begin.
    view = doc.SnapshotOfView(time(249) + 1000, time(249) + 5000);
    EXPECT_TRUE(view.packets.empty());
    EXPECT_EQ(view.firstPacketNumber, 250u);
    EXPECT_EQ(view.samples.Size(), all.samples.Size());

    // Graph times count from the time origin.
    doc.SetTimeOrigin(time(50), false);
    view = doc.SnapshotOfView(time(100) - time(50), time(109) - time(50));
    EXPECT_EQ(view.firstPacketNumber, 100u);
    EXPECT_EQ(view.packets, packets(100, 110));
}

// A long packet widens every view by its burst while the document holds it; once auto-remove
// has trimmed it, a view takes only what its own packets reach.
TEST(DocumentSnapshots, AViewReachesBackByTheLongestBurstTheDocumentStillHolds) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SamplesEveryMs(0, 10));
    std::vector<uint64_t> starts{TicksAt(10000)};
    std::vector<std::vector<uint8_t>> intervals{std::vector<uint8_t>(200, 8)};  // 666 µs
    for (int i = 0; i < 111; ++i) {
        starts.push_back(TicksAt(11000 + 500 * static_cast<uint64_t>(i)));
        intervals.push_back(BmcLikeIntervals(12));
    }
    stream.AddEdgeBurst(0, 20, starts, intervals);
    stream.AddSamples(SamplesEveryMs(10000, 60, 10));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.SetLimits(100, kDefaultMaxVbusCount, true, false);
    ASSERT_TRUE(doc.OpenRecordFile(dir.File("a.zaz")));
    ASSERT_EQ(doc.PacketCount(), 112u);
    ASSERT_GT(PacketDuration(*doc.PacketAt(0)), 500);
    // Packets 500 µs apart: the view of packet 50 reaches back to packet 49.
    const int64_t t50 = doc.PacketAt(50)->relTime;
    EXPECT_EQ(doc.SnapshotOfView(t50, t50).firstPacketNumber, 49u);

    StreamBuilder more(false);
    more.AddSamples(SamplesEveryMs(900000, 3));
    WriteFile(dir.File("a.zaz"), more.Bytes(), true);
    doc.DecodeMore();
    ASSERT_EQ(doc.PacketCount(), 100u);  // the long packet is gone
    const int64_t t38 = doc.PacketAt(38)->relTime;
    ASSERT_EQ(t38, t50);
    const DocumentSnapshot view = doc.SnapshotOfView(t38, t38);
    EXPECT_EQ(view.firstPacketNumber, 38u);
    EXPECT_EQ(view.packets, std::vector<PacketPtr>{doc.PacketAt(38)});
}
