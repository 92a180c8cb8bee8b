// The export and stitch writers on files: output bytes, merged CSV rows, the record slice of a
// range, failures kept apart (cannot create, cannot read, disk full) and aborts that leave the
// partial output behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "capture/document.h"
#include "capture/info_block.h"
#include "capture/temp_files.h"
#include "pd/hand_packets.h"
#include "pd/packet_column.h"
#include "tools/capture_files.h"
#include "tools/csv_writer.h"
#include "tools/export_job.h"
#include "tools/record_slice.h"
#include "tools/stitch_writer.h"

namespace {

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + seed + i / 251);
    }
    return bytes;
}

CVbusInfo SampleAt(int64_t time, uint16_t millivolts) {
    CVbusInfo sample;
    sample.time = time;
    sample.vbusVoltage = millivolts;
    return sample;
}

PacketPtr PacketAtTime(int64_t relTime) {
    PacketPtr packet = hand::Message(kOsSop, {.type = 1});
    packet->relTime = relTime;
    return packet;
}

CsvExportOptions OnlyVbusVoltage(ExportItems items, int64_t start, int64_t end) {
    CsvExportOptions options;
    options.items = items;
    options.values = {true, false, false, false, false, false, false};
    options.columns = {kColumnPacketNumber};
    options.rangeStart = start;
    options.rangeEnd = end;
    return options;
}

bool HasDevFull() {
    return std::filesystem::exists("/dev/full");
}

}  // namespace

TEST(CsvWriter, SamplesAndPacketsMergeInTimeOrderWithThePacketFirstOnEqualTimes) {
    TempDir dir;
    const DocumentSnapshot capture =
        SnapshotOf({SampleAt(100, 5000), SampleAt(200, 9000), SampleAt(300, 15000)},
                   {PacketAtTime(200), PacketAtTime(250)}, 100);
    JobControl control;
    ASSERT_EQ(WriteCsvExport(capture, OnlyVbusVoltage(ExportItems::kBoth, -1000, 1000),
                             dir.File("out.csv"), control),
              ToolResult::kSucceeded);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("out.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "\"Timestamp[us]\",\"VBUS Voltage[V]\",\"#\"\r\n"
              "\"0\",\"5.00\"\r\n"
              "\"100\",\"9.00\",\"0\"\r\n"  // no VBUS snapshot: the sample at or before it
              "\"100\",\"9.00\"\r\n"
              "\"150\",\"9.00\",\"1\"\r\n"
              "\"200\",\"15.00\"\r\n");
    EXPECT_EQ(control.Progress(), 100);
}

TEST(CsvWriter, IdleTimesRunFromThePacketBeforeEvenOutsideTheRange) {
    TempDir dir;
    const DocumentSnapshot capture =
        SnapshotOf({SampleAt(0, 5000)}, {PacketAtTime(200), PacketAtTime(250)}, 100);
    CsvExportOptions options = OnlyVbusVoltage(ExportItems::kPdMessages, 150, 1000);
    options.values.fill(false);
    options.columns = {kColumnIdleTime, kColumnTimestamp};
    JobControl control;
    ASSERT_EQ(WriteCsvExport(capture, options, dir.File("idle.csv"), control),
              ToolResult::kSucceeded);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("idle.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "\"Timestamp[us]\",\"Idle Time\",\"Timestamp\"\r\n"
              "\"150\",\"  0s   0ms  50us\",\"  0s   0ms 150us\"\r\n");
}

TEST(CsvWriter, RangeIsInclusiveAndItemsChooseTheRows) {
    TempDir dir;
    const DocumentSnapshot capture =
        SnapshotOf({SampleAt(0, 1000), SampleAt(10, 2000), SampleAt(20, 3000)},
                   {PacketAtTime(10), PacketAtTime(30)});
    JobControl control;
    ASSERT_EQ(WriteCsvExport(capture, OnlyVbusVoltage(ExportItems::kVoltageCurrent, 10, 20),
                             dir.File("samples.csv"), control),
              ToolResult::kSucceeded);
    std::vector<uint8_t> bytes = ReadFile(dir.File("samples.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "\"Timestamp[us]\",\"VBUS Voltage[V]\"\r\n\"10\",\"2.00\"\r\n\"20\",\"3.00\"\r\n");
    ASSERT_EQ(WriteCsvExport(capture, OnlyVbusVoltage(ExportItems::kPdMessages, 10, 30),
                             dir.File("packets.csv"), control),
              ToolResult::kSucceeded);
    bytes = ReadFile(dir.File("packets.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "\"Timestamp[us]\",\"VBUS Voltage[V]\",\"#\"\r\n\"10\",\"2.00\",\"0\"\r\n"
              "\"30\",\"3.00\",\"1\"\r\n");
}

TEST(CsvWriter, DocumentPacketsTakeTheirVbusFromTheSampleBefore) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    ASSERT_GT(doc.PacketCount(), 5u);
    CsvExportOptions options = OnlyVbusVoltage(ExportItems::kBoth, 0, 1LL << 40);
    JobControl control;
    ASSERT_EQ(WriteCsvExport(doc.Snapshot(), options, dir.File("both.csv"), control),
              ToolResult::kSucceeded);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("both.csv"));
    const std::string text(bytes.begin(), bytes.end());
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 1 + doc.SampleCount() + doc.PacketCount());
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    const PacketPtr first = doc.PacketAt(0);
    EXPECT_NE(text.find("\"" + std::to_string(first->relTime) + "\",\"5."), std::string::npos);
}

TEST(CsvWriter, AbortLeavesThePartialFile) {
    TempDir dir;
    const DocumentSnapshot capture = SnapshotOf({SampleAt(0, 1000), SampleAt(10, 2000)});
    JobControl control;
    control.RequestAbort();
    EXPECT_EQ(WriteCsvExport(capture, OnlyVbusVoltage(ExportItems::kVoltageCurrent, 0, 100),
                             dir.File("a.csv"), control),
              ToolResult::kAborted);
    const std::vector<uint8_t> bytes = ReadFile(dir.File("a.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "\"Timestamp[us]\",\"VBUS Voltage[V]\"\r\n");
}

TEST(CsvWriter, CannotCreateAndDiskFullAreTold) {
    TempDir dir;
    const DocumentSnapshot capture = SnapshotOf(std::vector<CVbusInfo>(20000, SampleAt(0, 5000)));
    JobControl control;
    const CsvExportOptions options = OnlyVbusVoltage(ExportItems::kVoltageCurrent, 0, 0);
    EXPECT_EQ(WriteCsvExport(capture, options, dir.File("missing/a.csv"), control),
              ToolResult::kCannotCreate);
    if (HasDevFull()) {
        EXPECT_EQ(WriteCsvExport(capture, options, "/dev/full", control), ToolResult::kDiskFull);
    }
}

TEST(RecordSliceWriter, WholeCaptureStartsAtTheFirstDataBlockNotAtZero) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    const int64_t end = doc.SampleTime(doc.SampleCount() - 1);
    const RecordSlice slice = FindRecordSlice(doc.Snapshot(), 0, end);
    EXPECT_EQ(slice.first, 64);
    EXPECT_EQ(slice.last,
              static_cast<int64_t>(doc.SampleAt(doc.SampleCount() - 1)->blockOffset) + 63);
    JobControl control;
    ASSERT_EQ(WriteRecordSlice(record, slice, dir.File("slice.zaz"), control),
              ToolResult::kSucceeded);
    const std::vector<uint8_t> whole = ReadFile(record);
    const std::vector<uint8_t> part = ReadFile(dir.File("slice.zaz"));
    ASSERT_EQ(part.size(), static_cast<size_t>(slice.Size()));
    EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin() + 64));
    EXPECT_EQ(control.Progress(), 100);
}

TEST(RecordSliceWriter, RangeEndsWithTheLaterOfTheLastSampleAndPacket) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    const PacketPtr packet = doc.PacketAt(2);
    const int64_t t = packet->relTime;
    const RecordSlice slice = FindRecordSlice(doc.Snapshot(), t, t);
    const CVbusInfo before = *doc.SampleAt(*doc.FindSample(t));
    EXPECT_EQ(slice.first, std::min<int64_t>(before.blockOffset, packet->runStartOffset));
    EXPECT_EQ(slice.last, std::max<int64_t>(before.blockOffset, packet->handoverOffset) + 63);
    EXPECT_LE(packet->runStartOffset, packet->firstBlockOffset);
    EXPECT_GE(packet->handoverOffset + 63, packet->lastBlockOffset);
    EXPECT_EQ(slice.first % 64, 0);
    EXPECT_EQ(slice.Size() % 64, 0);
    // Nothing at or before the end of the range: an empty slice, not a stray byte.
    EXPECT_EQ(FindRecordSlice(doc.Snapshot(), -100, -50).Size(), 0);
}

// Every range of packets i to i + 5 of a noisy and a mixed capture: the slice decodes to each
// packet of the range, at the same time on the same line, with the same edges and bytes.
TEST(RecordSliceWriter, ASliceDecodesToEveryPacketOfItsRangeWhole) {
    TempDir dir;
    for (const char* scenario : {"noisy", "mixed"}) {
        SCOPED_TRACE(scenario);
        const std::string record = dir.File(std::string(scenario) + ".zaz");
        ASSERT_TRUE(SimulateRecordFile(record, scenario));
        CKVDoc doc;
        ASSERT_TRUE(doc.OpenRecordFile(record));
        const DocumentSnapshot capture = doc.Snapshot();
        const size_t count = std::min<size_t>(capture.packets.size(), 60);
        ASSERT_GT(count, 30u);
        for (size_t first = 0; first + 5 < count; ++first) {
            SCOPED_TRACE(first);
            const RecordSlice slice = FindRecordSlice(capture, capture.packets[first]->relTime,
                                                      capture.packets[first + 5]->relTime);
            JobControl control;
            ASSERT_EQ(WriteRecordSlice(record, slice, dir.File("slice.zaz"), control),
                      ToolResult::kSucceeded);
            CKVDoc part;
            ASSERT_TRUE(part.OpenRecordFile(dir.File("slice.zaz")));
            for (size_t i = first; i <= first + 5; ++i) {
                const CCCPacket& wanted = *capture.packets[i];
                const auto found = std::find_if(part.Packets().begin(), part.Packets().end(),
                                                [&](const PacketPtr& packet) {
                                                    return packet->startTime == wanted.startTime &&
                                                           packet->ccLine == wanted.ccLine;
                                                });
                ASSERT_NE(found, part.Packets().end()) << "packet " << i << " is missing";
                const CCCPacket& got = **found;
                EXPECT_EQ(got.edgeCount, wanted.edgeCount) << "packet " << i;
                EXPECT_EQ(got.bitCount, wanted.bitCount) << "packet " << i;
                EXPECT_EQ(got.crcOk, wanted.crcOk) << "packet " << i;
                ASSERT_EQ(got.messageByteCount, wanted.messageByteCount) << "packet " << i;
                for (int b = 0; b < wanted.messageByteCount; ++b) {
                    EXPECT_EQ(got.messageBytes[b], wanted.messageBytes[b]) << "packet " << i;
                }
            }
        }
    }
}

TEST(RecordSliceWriter, AbortAfterAChunkLeavesThatChunk) {
    TempDir dir;
    WriteFile(dir.File("big.zaz"), Pattern(3 * 1048576, 1));
    JobControl control;
    control.RequestAbort();
    EXPECT_EQ(
        WriteRecordSlice(dir.File("big.zaz"), {0, 3 * 1048576 - 1}, dir.File("out.zaz"), control),
        ToolResult::kAborted);
    EXPECT_EQ(std::filesystem::file_size(dir.File("out.zaz")), 1048576u);
    EXPECT_EQ(control.Progress(), 33);
}

TEST(RecordSliceWriter, FailuresKeepTheirCauses) {
    TempDir dir;
    WriteFile(dir.File("small.zaz"), Pattern(640, 2));
    JobControl control;
    EXPECT_EQ(WriteRecordSlice(dir.File("none.zaz"), {0, 63}, dir.File("o.zaz"), control),
              ToolResult::kCannotRead);
    EXPECT_EQ(WriteRecordSlice(dir.File("small.zaz"), {0, 63}, dir.File("no/o.zaz"), control),
              ToolResult::kCannotCreate);
    // The file is shorter than the slice.
    EXPECT_EQ(WriteRecordSlice(dir.File("small.zaz"), {0, 6399}, dir.File("o.zaz"), control),
              ToolResult::kCannotRead);
    if (HasDevFull()) {
        EXPECT_EQ(WriteRecordSlice(dir.File("small.zaz"), {0, 639}, "/dev/full", control),
                  ToolResult::kDiskFull);
    }
}

TEST(StitchWriter, OutputIsThePartsInOrder) {
    TempDir dir;
    const std::vector<uint8_t> a = Pattern(1048576 + 100, 3);
    const std::vector<uint8_t> b = Pattern(64, 4);
    const std::vector<uint8_t> c = Pattern(2 * 1048576, 5);
    WriteFile(dir.File("P_0001.zaz"), a);
    WriteFile(dir.File("P_0002.zaz"), b);
    WriteFile(dir.File("P_0003.zaz"), c);
    JobControl control;
    ASSERT_EQ(
        WriteStitchedFile({dir.File("P_0001.zaz"), dir.File("P_0002.zaz"), dir.File("P_0003.zaz")},
                          dir.File("out.zaz"), control),
        ToolResult::kSucceeded);
    std::vector<uint8_t> expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    expected.insert(expected.end(), c.begin(), c.end());
    EXPECT_EQ(ReadFile(dir.File("out.zaz")), expected);
    EXPECT_EQ(control.Progress(), 100);
}

TEST(StitchWriter, RolledOverPartsDecodeAsOneCapture) {
    TempDir dir;
    const std::string whole = dir.File("whole.zaz");
    ASSERT_TRUE(SimulateRecordFile(whole, "pr-swap"));
    const std::vector<uint8_t> bytes = ReadFile(whole);
    const size_t blocks = bytes.size() / 64 - 1;
    // Three parts as a rollover writes them: each with its own leading InfoBlock.
    std::vector<std::string> parts;
    for (size_t part = 0; part < 3; ++part) {
        const size_t from = 1 + blocks * part / 3;
        const size_t to = 1 + blocks * (part + 1) / 3;
        std::vector<uint8_t> file(64);
        if (part == 0) {
            std::copy(bytes.begin(), bytes.begin() + 64, file.begin());
        } else {
            const RecordBlock info = PlaceholderInfoBlock();
            std::copy(info.bytes.begin(), info.bytes.end(), file.begin());
        }
        file.insert(file.end(), bytes.begin() + static_cast<ptrdiff_t>(from * 64),
                    bytes.begin() + static_cast<ptrdiff_t>(to * 64));
        parts.push_back(dir.File("Part_000" + std::to_string(part + 1) + ".zaz"));
        WriteFile(parts.back(), file);
    }
    JobControl control;
    ASSERT_EQ(WriteStitchedFile(parts, dir.File("stitched.zaz"), control), ToolResult::kSucceeded);
    CKVDoc original;
    CKVDoc stitched;
    ASSERT_TRUE(original.OpenRecordFile(whole));
    ASSERT_TRUE(stitched.OpenRecordFile(dir.File("stitched.zaz")));
    ASSERT_GT(original.PacketCount(), 10u);
    EXPECT_EQ(stitched.PacketCount(), original.PacketCount());
    EXPECT_EQ(stitched.SampleCount(), original.SampleCount());
    for (size_t i = 0; i < original.PacketCount(); ++i) {
        EXPECT_EQ(stitched.PacketAt(i)->relTime, original.PacketAt(i)->relTime) << i;
        EXPECT_EQ(stitched.PacketAt(i)->crcOk, original.PacketAt(i)->crcOk) << i;
    }
}

TEST(StitchWriter, UnreadablePartFailsBeforeTheOutputIsCreated) {
    TempDir dir;
    WriteFile(dir.File("P_0001.zaz"), Pattern(64, 6));
    JobControl control;
    EXPECT_EQ(WriteStitchedFile({dir.File("P_0001.zaz"), dir.File("P_0002.zaz")},
                                dir.File("out.zaz"), control),
              ToolResult::kCannotRead);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.zaz")));
    // An output naming one of the parts is refused and the part stays whole.
    EXPECT_EQ(WriteStitchedFile({dir.File("P_0001.zaz")}, dir.File("P_0001.zaz"), control),
              ToolResult::kCannotCreate);
    EXPECT_EQ(ReadFile(dir.File("P_0001.zaz")), Pattern(64, 6));
    EXPECT_EQ(WriteStitchedFile({dir.File("P_0001.zaz")}, dir.File("no/out.zaz"), control),
              ToolResult::kCannotCreate);
    if (HasDevFull()) {
        EXPECT_EQ(WriteStitchedFile({dir.File("P_0001.zaz")}, "/dev/full", control),
                  ToolResult::kDiskFull);
    }
}

TEST(StitchWriter, AbortStopsAfterTheChunkAndKeepsThePartialOutput) {
    TempDir dir;
    WriteFile(dir.File("P_0001.zaz"), Pattern(1048576 + 64, 7));
    WriteFile(dir.File("P_0002.zaz"), Pattern(1048576, 8));
    JobControl control;
    control.RequestAbort();
    EXPECT_EQ(WriteStitchedFile({dir.File("P_0001.zaz"), dir.File("P_0002.zaz")},
                                dir.File("out.zaz"), control),
              ToolResult::kAborted);
    EXPECT_EQ(std::filesystem::file_size(dir.File("out.zaz")), 1048576u);
}

TEST(ExportJobStart, TheRecordFileItselfIsNeverTheOutput) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record));
    const std::vector<uint8_t> before = ReadFile(record);
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    for (ExportType type : {ExportType::kCsv, ExportType::kZaz}) {
        ExportRequest request;
        request.type = type;
        request.fileName = record;
        request.csv.rangeEnd = 1LL << 40;
        std::unique_ptr<ToolJob> job = StartExport(doc, request);
        job->Wait();
        EXPECT_EQ(job->Result(), ToolResult::kCannotCreate);
    }
    EXPECT_EQ(ReadFile(record), before);
}
