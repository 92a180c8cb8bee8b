// The record file check: files that are no capture, cut files and files ending in a partial
// block are told apart from sound record files, which raise nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/info_block.h"
#include "capture/record_file_check.h"
#include "capture/record_file_notice.h"
#include "stream_builder.h"
#include "temp_files.h"

namespace {

std::vector<RawSample> SteadySamples(uint32_t from, uint32_t count, uint32_t step) {
    std::vector<RawSample> samples;
    for (uint32_t i = 0; i < count; ++i) {
        samples.push_back({from + i * step, 5000, 100, 300, 10, 1700, -10});
    }
    return samples;
}

std::vector<uint8_t> Bytes(const RecordBlock& block) {
    return {block.bytes.begin(), block.bytes.end()};
}

RecordFileProblems ProblemsOfFile(const std::string& path) {
    CKVDoc document;
    document.OpenRecordFile(path);
    return document.FileProblems();
}

TEST(InfoBlockShape, WrittenBlocksAreWellFormedAndGarbageIsNot) {
    EXPECT_TRUE(WellFormedInfoBlock(PlaceholderInfoBlock().bytes.data()));
    SerialNumber serial{};
    EXPECT_TRUE(WellFormedInfoBlock(FinishedInfoBlock(0x0123, serial, 6400).bytes.data()));
    RecordBlock trailing = FinishedInfoBlock(0x0123, serial, 6400);
    trailing.bytes[60] = 0x55;  // bytes after InfoEnd must be unused
    EXPECT_FALSE(WellFormedInfoBlock(trailing.bytes.data()));
    RecordBlock overrun = PlaceholderInfoBlock();
    overrun.bytes[2] = 7;
    overrun.bytes[3] = 70;  // an entry running past the block
    EXPECT_FALSE(WellFormedInfoBlock(overrun.bytes.data()));
    RecordBlock sample = PlaceholderInfoBlock();
    sample.bytes[0] = 0x03;
    sample.bytes[1] = 0x20;
    EXPECT_FALSE(WellFormedInfoBlock(sample.bytes.data()));
}

TEST(RecordFileCheck, SoundCaptureRaisesNothing) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SteadySamples(0, 30, 1000));
    WriteFile(dir.File("a.zaz"), stream.Bytes());
    const RecordFileProblems problems = ProblemsOfFile(dir.File("a.zaz"));
    EXPECT_FALSE(problems.Any());
    EXPECT_EQ(RecordFileProblemText(problems), "");
}

TEST(RecordFileCheck, ExportSliceWithoutInfoBlockIsValidByItsSamples) {
    TempDir dir;
    StreamBuilder stream(false);
    stream.AddSamples(SteadySamples(500000, 30, 1000));
    WriteFile(dir.File("slice.zaz"), stream.Bytes());
    EXPECT_FALSE(ProblemsOfFile(dir.File("slice.zaz")).Any());
}

TEST(RecordFileCheck, TextFileHoldsNoValidBlock) {
    TempDir dir;
    std::string text;
    while (text.size() < 64 * 40) {
        text += "The quick brown fox jumps over the lazy dog; 0123456789 abc xyz.\n";
    }
    WriteFile(dir.File("notes.zaz"), std::vector<uint8_t>(text.begin(), text.begin() + 64 * 40));
    const RecordFileProblems problems = ProblemsOfFile(dir.File("notes.zaz"));
    EXPECT_TRUE(problems.noValidBlock);
    EXPECT_EQ(problems.partialBytes, 0u);
    EXPECT_EQ(RecordFileProblemText(problems),
              "No valid record block found: this is probably not a Zoduz record file. Nothing "
              "of it is shown.");
    // Chance packets and samples of its bytes are not kept.
    CKVDoc document;
    document.OpenRecordFile(dir.File("notes.zaz"));
    EXPECT_EQ(document.PacketCount(), 0u);
    EXPECT_EQ(document.SampleCount(), 0u);
    EXPECT_TRUE(document.FileProblems().noValidBlock);
    EXPECT_EQ(document.DecodeMore().kind, FileResult::kNothingNew);
}

TEST(RecordFileCheck, RandomBytesHoldNoValidBlock) {
    TempDir dir;
    std::mt19937 random(22);
    std::vector<uint8_t> bytes(64 * 2000);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    WriteFile(dir.File("random.zaz"), bytes);
    EXPECT_TRUE(ProblemsOfFile(dir.File("random.zaz")).noValidBlock);
}

TEST(RecordFileCheck, EmptyFileHoldsNoValidBlockAndSaysItIsEmpty) {
    TempDir dir;
    WriteFile(dir.File("empty.zaz"), {});
    const RecordFileProblems problems = ProblemsOfFile(dir.File("empty.zaz"));
    EXPECT_TRUE(problems.noValidBlock);
    EXPECT_EQ(RecordFileNoticeText(problems, 0), "The file is empty: it holds no record block.");
    // Any other file is told its problems.
    EXPECT_EQ(RecordFileNoticeText(problems, 64), RecordFileProblemText(problems));
    EXPECT_EQ(RecordFileNoticeText(RecordFileProblems{}, 64), "");
}

TEST(RecordFileCheck, PartialLastBlockIsCountedAndTheRestStillDecodes) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SteadySamples(0, 30, 1000));
    std::vector<uint8_t> bytes = stream.Bytes();
    bytes.resize(bytes.size() - 24);  // the last block is cut 40 bytes in
    WriteFile(dir.File("cut.zaz"), bytes);
    CKVDoc document;
    document.OpenRecordFile(dir.File("cut.zaz"));
    EXPECT_EQ(document.SampleCount(), 27u);  // the nine whole sample blocks
    const RecordFileProblems problems = document.FileProblems();
    EXPECT_FALSE(problems.noValidBlock);
    EXPECT_EQ(problems.partialBytes, 40u);
    EXPECT_EQ(RecordFileProblemText(problems),
              "The file ends in a partial block: its last 40 bytes are not decoded. What could "
              "be decoded is shown.");
}

TEST(RecordFileCheck, FinishedFileCutAtABlockBoundaryMissesStreamBytes) {
    TempDir dir;
    StreamBuilder stream(false);
    stream.AddSamples(SteadySamples(0, 30, 1000));  // ten blocks, 640 stream bytes
    SerialNumber serial{};
    std::vector<uint8_t> bytes = Bytes(FinishedInfoBlock(0x0123, serial, 640));
    bytes.insert(bytes.end(), stream.Bytes().begin(), stream.Bytes().end() - 3 * 64);
    WriteFile(dir.File("short.zaz"), bytes);
    const RecordFileProblems problems = ProblemsOfFile(dir.File("short.zaz"));
    EXPECT_EQ(problems.missingBytes, 192u);
    EXPECT_EQ(problems.partialBytes, 0u);
    EXPECT_NE(RecordFileProblemText(problems).find("192 stream bytes are missing."),
              std::string::npos);

    // Marker blocks appended by a save make the file longer than recorded: nothing to say.
    bytes.insert(bytes.end(), stream.Bytes().end() - 3 * 64, stream.Bytes().end());
    bytes.insert(bytes.end(), 64, 0);
    bytes[bytes.size() - 64] = 0xF0;
    bytes[bytes.size() - 63] = 0xFF;
    WriteFile(dir.File("saved.zaz"), bytes);
    EXPECT_FALSE(ProblemsOfFile(dir.File("saved.zaz")).Any());
}

TEST(RecordFileCheck, SampleStepsAcrossTheTimestampWrapArePlausible) {
    StreamBuilder stream(false);
    stream.AddSamples(SteadySamples(0xFFFFF000u, 9, 1000));
    RecordFileCheck check;
    check.Feed(stream.Bytes().data(), stream.Bytes().size() / 64, 0);
    EXPECT_EQ(check.SampleSteps(), 8u);
    EXPECT_EQ(check.PlausibleSampleSteps(), 8u);
    EXPECT_FALSE(check.LeadingInfoBlock());
}

TEST(SteppedDecode, EndsLikeDecodeAllWithTheSavedOriginRestored) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples(SteadySamples(0, 60000, 1000));  // 20 000 blocks, more than one read
    std::vector<uint8_t> bytes = stream.Bytes();
    MarkerRecord record;
    record.timeOrigin = 1234;
    for (const RecordBlock& block : MarkerInfoBlocks(record)) {
        bytes.insert(bytes.end(), block.bytes.begin(), block.bytes.end());
    }
    WriteFile(dir.File("a.zaz"), bytes);

    CKVDoc whole;
    ASSERT_TRUE(whole.OpenRecordFile(dir.File("a.zaz")));
    CKVDoc stepped;
    stepped.BeginDecode(dir.File("a.zaz"));
    EXPECT_EQ(stepped.RecordFilePath(), dir.File("a.zaz"));
    int passes = 0;
    bool done = false;
    while (!done) {
        ASSERT_TRUE(stepped.DecodePass(done));
        ++passes;
    }
    EXPECT_GT(passes, 1);
    EXPECT_EQ(stepped.TimeOrigin(), 0);  // restored once the decoding finishes
    stepped.FinishDecode();
    EXPECT_EQ(stepped.SampleCount(), whole.SampleCount());
    EXPECT_EQ(stepped.TimeOrigin(), 1234);
    EXPECT_EQ(whole.TimeOrigin(), 1234);
    EXPECT_FALSE(stepped.FileProblems().Any());
}

}  // namespace
