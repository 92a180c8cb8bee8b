// Results of opening, decoding and saving that keep their causes apart, and the user texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/file_result.h"
#include "capture/record_file_io.h"
#include "stream_builder.h"
#include "temp_files.h"

namespace {

// A record file of a few samples.
std::vector<uint8_t> SampleBytes(uint32_t startUs) {
    StreamBuilder stream;
    stream.AddSamples({{.timestamp = startUs, .vbusVoltage = 5000},
                       {.timestamp = startUs + 1000, .vbusVoltage = 5001}});
    return stream.Bytes();
}

TEST(FileResultText, EachCauseHasItsText) {
    EXPECT_EQ(FileResultText(FileCommand::kOpen, {FileResult::kCannotOpen}),
              "Cannot open the record file.");
    EXPECT_EQ(FileResultText(FileCommand::kOpen, {FileResult::kNotRegularFile}),
              "The record file is not a regular file.");
    EXPECT_NE(FileResultText(FileCommand::kOpen, {FileResult::kOutOfMemory}), "");
    // Nothing to report for success and for a decode that found nothing new.
    EXPECT_EQ(FileResultText(FileCommand::kOpen, {}), "");
    EXPECT_EQ(FileResultText(FileCommand::kOpen, {FileResult::kNothingNew}), "");
    EXPECT_EQ(FileResultText(FileCommand::kSave, {}), "");
    // A failed save reads "Save File Error" whatever the cause.
    for (FileResult::Kind kind :
         {FileResult::kCannotOpen, FileResult::kNotRegularFile, FileResult::kOutOfMemory,
          FileResult::kDiskFull, FileResult::kWriteFailed}) {
        EXPECT_EQ(FileResultText(FileCommand::kSave, {kind}), "Save File Error") << int{kind};
    }
}

TEST(FileResultText, WriteFailuresTellAFullDiskApart) {
    EXPECT_EQ(WriteFailure(ENOSPC).kind, FileResult::kDiskFull);
    EXPECT_EQ(WriteFailure(EDQUOT).kind, FileResult::kDiskFull);
    EXPECT_EQ(WriteFailure(EIO).kind, FileResult::kWriteFailed);
}

TEST(RecordFileStatus, RegularMissingAndSpecialFiles) {
    TempDir dir;
    WriteFile(dir.File("a.zaz"), SampleBytes(1000));
    EXPECT_EQ(RecordFileStatus(dir.File("a.zaz")).kind, FileResult::kOk);
    EXPECT_EQ(RecordFileStatus(dir.File("missing.zaz")).kind, FileResult::kCannotOpen);
    EXPECT_EQ(RecordFileStatus("").kind, FileResult::kCannotOpen);
    EXPECT_EQ(RecordFileStatus(dir.Path().string()).kind, FileResult::kNotRegularFile);
    // A FIFO without a writer is refused at once, not waited on.
    ASSERT_EQ(::mkfifo(dir.File("fifo.zaz").c_str(), 0600), 0);
    EXPECT_EQ(RecordFileStatus(dir.File("fifo.zaz")).kind, FileResult::kNotRegularFile);
}

TEST(DocumentFileResult, OpeningKeepsTheCauses) {
    TempDir dir;
    WriteFile(dir.File("a.zaz"), SampleBytes(1000));
    ASSERT_EQ(::mkfifo(dir.File("fifo.zaz").c_str(), 0600), 0);
    CKVDoc doc;
    EXPECT_EQ(doc.OpenRecordFile(dir.File("a.zaz")).kind, FileResult::kOk);
    EXPECT_EQ(doc.SampleCount(), 2u);
    EXPECT_EQ(doc.OpenRecordFile(dir.File("missing.zaz")).kind, FileResult::kCannotOpen);
    EXPECT_EQ(doc.OpenRecordFile(dir.Path().string()).kind, FileResult::kNotRegularFile);
    EXPECT_EQ(doc.OpenRecordFile(dir.File("fifo.zaz")).kind, FileResult::kNotRegularFile);
    EXPECT_EQ(doc.SampleCount(), 0u);
    WriteFile(dir.File("empty.zaz"), {});
    EXPECT_EQ(doc.OpenRecordFile(dir.File("empty.zaz")).kind, FileResult::kOk);
}

TEST(DocumentFileResult, LiveDecodingTellsNothingNewFromGrowth) {
    TempDir dir;
    const std::string path = dir.File("live.zaz");
    WriteFile(path, SampleBytes(1000));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    EXPECT_EQ(doc.DecodeMore().kind, FileResult::kNothingNew);
    WriteFile(path, SampleBytes(3000), true);
    EXPECT_EQ(doc.DecodeMore().kind, FileResult::kOk);
    EXPECT_EQ(doc.SampleCount(), 4u);
    EXPECT_EQ(doc.DecodeMore().kind, FileResult::kNothingNew);
    bool done = false;
    EXPECT_EQ(doc.DecodePass(done).kind, FileResult::kNothingNew);
    // The record file went away under the capture.
    std::filesystem::remove(path);
    EXPECT_EQ(doc.DecodeMore().kind, FileResult::kCannotOpen);
    EXPECT_EQ(doc.SampleCount(), 4u);
}

TEST(DocumentFileResult, SavingToAFullDiskSaysSo) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    TempDir dir;
    const std::string path = dir.File("a.zaz");
    WriteFile(path, SampleBytes(1000));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(path));
    doc.SetModified(true);
    EXPECT_EQ(CopyWholeBlocks(path, "/dev/full").kind, FileResult::kDiskFull);
    // A device is written directly: here a full one.
    const FileResult saved = doc.SaveAs("/dev/full");
    EXPECT_EQ(saved.kind, FileResult::kDiskFull);
    EXPECT_EQ(FileResultText(FileCommand::kSave, saved), "Save File Error");
    EXPECT_TRUE(doc.Modified());
    // A missing folder is a target that cannot be created, not a full disk.
    EXPECT_EQ(doc.SaveAs(dir.File("no-such-folder/copy.zaz")).kind, FileResult::kCannotOpen);
    // A link planted at a name the save might have used is neither followed nor removed: the
    // copy is staged in a private folder of its own.
    const std::string target = dir.File("copy.zaz");
    std::filesystem::create_symlink("/dev/full", target + ".saving");
    EXPECT_EQ(doc.SaveAs(target).kind, FileResult::kOk);
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(std::filesystem::is_symlink(target + ".saving"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              3);  // the record file, the link and the copy
}

}  // namespace
