// Record files a user or an attacker may hand over that are no ordinary capture: special files
// in place of a record file, and time origins at the ends of the 64-bit range.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/info_block.h"
#include "capture/record_file_io.h"
#include "stream_builder.h"
#include "temp_files.h"

namespace {

constexpr int64_t kLimit = CKVDoc::kTimeOriginLimit;
constexpr int64_t kLowest = std::numeric_limits<int64_t>::min();
constexpr int64_t kHighest = std::numeric_limits<int64_t>::max();

std::vector<uint8_t> BlocksBytes(const std::vector<RecordBlock>& blocks) {
    std::vector<uint8_t> bytes;
    for (const RecordBlock& block : blocks) {
        bytes.insert(bytes.end(), block.bytes.begin(), block.bytes.end());
    }
    return bytes;
}

// Two packets on CC1 at 10 ms and 20 ms between samples from 0 to 30 ms, followed by one
// marker block per origin, in order.
void WriteCaptureWithOrigins(const std::string& path, const std::vector<int64_t>& origins) {
    StreamBuilder stream;
    std::vector<RawSample> samples;
    for (uint32_t t = 0; t <= 30000; t += 1000) {
        samples.push_back({t, 5000, 100, 300, 10, 1700, -10});
    }
    stream.AddSamples(samples);
    stream.AddEdgeBurst(0, 20, {10000 * 48 / 20, 20000 * 48 / 20},
                        {BmcLikeIntervals(12), BmcLikeIntervals(12)});
    WriteFile(path, stream.Bytes());
    for (int64_t origin : origins) {
        MarkerRecord record;
        record.timeOrigin = origin;
        WriteFile(path, BlocksBytes(MarkerInfoBlocks(record)), true);
    }
}

TEST(SpecialFiles, OnlyRegularFilesAreRecordFiles) {
    TempDir dir;
    const std::string fifo = dir.File("fifo.zaz");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string regular = dir.File("a.zaz");
    WriteCaptureWithOrigins(regular, {});

    EXPECT_EQ(RecordFileStatus(regular).kind, FileResult::kOk);
    EXPECT_EQ(RecordFileStatus(dir.File("missing.zaz")).kind, FileResult::kCannotOpen);
    EXPECT_EQ(RecordFileStatus("").kind, FileResult::kCannotOpen);
    // A FIFO without a writer would block an ordinary open; it is refused at once.
    for (const std::string& special : {fifo, dir.Path().string(), std::string("/dev/null")}) {
        EXPECT_EQ(RecordFileStatus(special).kind, FileResult::kNotRegularFile) << special;
        EXPECT_FALSE(RecordFileReadable(special)) << special;
        EXPECT_FALSE(ReadOnlyFile(special).IsOpen()) << special;
        CKVDoc doc;
        EXPECT_FALSE(doc.OpenRecordFile(special)) << special;
        EXPECT_EQ(doc.PacketCount(), 0u);
    }
    // A symbolic link to a regular file is that file.
    std::filesystem::create_symlink(regular, dir.File("link.zaz"));
    EXPECT_EQ(RecordFileStatus(dir.File("link.zaz")).kind, FileResult::kOk);
}

TEST(TimeOriginBounds, OriginsBeyondTheLimitAreRefusedOnReading) {
    TempDir dir;
    const std::string path = dir.File("a.zaz");
    struct Case {
        std::vector<int64_t> origins;
        int64_t expected;
    };
    const Case cases[] = {
        {{kLowest}, 0},
        {{kHighest}, 0},
        {{kLowest, kHighest}, 0},
        {{kLimit}, kLimit},
        {{-kLimit}, -kLimit},
        {{777, kLimit + 1}, 777},  // the last origin within the limit stays
        {{-777, -kLimit - 1}, -777},
    };
    for (const Case& c : cases) {
        WriteCaptureWithOrigins(path, c.origins);
        CKVDoc doc;
        ASSERT_TRUE(doc.OpenRecordFile(path));
        ASSERT_EQ(doc.PacketCount(), 2u);
        EXPECT_EQ(doc.TimeOrigin(), c.expected) << c.origins.back();
        // Times relative to the origin stay defined: the searches compare relTime - origin.
        const int64_t second = doc.PacketAt(1)->relTime - doc.TimeOrigin();
        EXPECT_EQ(doc.FindPacket(second), std::optional<size_t>(1));
        EXPECT_EQ(doc.FindPacket(kHighest), std::optional<size_t>(1));
        EXPECT_EQ(doc.FindSample(kHighest), std::optional<size_t>(doc.SampleCount() - 1));
    }
}

TEST(TimeOriginBounds, SetAndMovedOriginsAreHeldAtTheLimit) {
    TempDir dir;
    const std::string path = dir.File("a.zaz");
    WriteCaptureWithOrigins(path, {});
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    doc.SetTimeOrigin(kHighest, false);
    EXPECT_EQ(doc.TimeOrigin(), kLimit);
    doc.SetTimeOrigin(kHighest, true);
    EXPECT_EQ(doc.TimeOrigin(), kLimit);
    doc.SetTimeOrigin(kLowest, true);
    EXPECT_EQ(doc.TimeOrigin(), -kLimit);
    EXPECT_EQ(doc.FindPacket(kLowest), std::nullopt);
    EXPECT_EQ(doc.FindPacket(kHighest), std::optional<size_t>(1));
    doc.SetTimeOrigin(kLowest, false);
    EXPECT_EQ(doc.TimeOrigin(), -kLimit);
    doc.SetTimeOrigin(5, true);
    EXPECT_EQ(doc.TimeOrigin(), -kLimit + 5);
}

}  // namespace
