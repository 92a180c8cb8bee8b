// Writer jobs on their own threads: progress polled from another thread, aborts requested
// while they run, and an export of a document whose texts the caller reads at the same time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "capture/document.h"
#include "capture/temp_files.h"
#include "columns/column_text.h"
#include "columns/document_context.h"
#include "tools/capture_files.h"
#include "tools/csv_format.h"
#include "tools/export_job.h"

namespace {

// Work that counts up until it is told to stop.
ToolResult CountUntilAborted(JobControl& control, std::atomic<int>& steps) {
    while (!control.AbortRequested()) {
        steps.fetch_add(1);
        control.SetProgress(std::min(steps.load(), 99));
        std::this_thread::yield();
    }
    return ToolResult::kAborted;
}

}  // namespace

TEST(ToolJobThreads, ResultIsSeenOnceFinished) {
    ToolJob job([](JobControl& control) {
        control.SetProgress(50);
        return ToolResult::kDiskFull;
    });
    job.Wait();
    EXPECT_TRUE(job.Finished());
    EXPECT_EQ(job.Result(), ToolResult::kDiskFull);
    EXPECT_EQ(job.Progress(), 50);
}

TEST(ToolJobThreads, AbortRequestedWhileRunningStopsTheWork) {
    std::atomic<int> steps{0};
    ToolJob job([&steps](JobControl& control) { return CountUntilAborted(control, steps); });
    while (job.Progress() < 10) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(job.Finished());
    job.RequestAbort();
    while (!job.Finished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(job.Result(), ToolResult::kAborted);
}

TEST(ToolJobThreads, DestroyingARunningJobAbortsAndWaits) {
    std::atomic<int> steps{0};
    {
        ToolJob job([&steps](JobControl& control) { return CountUntilAborted(control, steps); });
        while (steps.load() == 0) {
            std::this_thread::yield();
        }
    }
    const int after = steps.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(steps.load(), after);  // the thread is gone
}

TEST(ToolJobThreads, CsvExportRunsWhileTheCallerReadsTheSameDocument) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record, "mixed"));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    ASSERT_GT(doc.PacketCount(), 100u);

    ExportRequest request;
    request.fileName = dir.File("out.csv");
    request.csv.items = ExportItems::kBoth;
    request.csv.columns = ExportColumns(DefaultColumnLayout(), false);
    request.csv.rangeStart = -(1LL << 40);
    request.csv.rangeEnd = 1LL << 40;
    std::unique_ptr<ToolJob> job = StartExport(doc, request);
    // The user-interface thread keeps building row texts, as the list does.
    const ColumnContext context = DocumentColumnContext(doc, false);
    size_t texts = 0;
    int lastProgress = 0;
    while (!job->Finished()) {
        const size_t number = texts % doc.PacketCount();
        const PacketRow row{doc.PacketAt(number).get(), static_cast<int32_t>(number), 0};
        EXPECT_FALSE(ColumnText(row, kColumnVbusVoltage, context).empty());
        ++texts;
        const int progress = job->Progress();
        EXPECT_GE(progress, lastProgress);
        lastProgress = progress;
    }
    job->Wait();
    EXPECT_EQ(job->Result(), ToolResult::kSucceeded);
    EXPECT_EQ(job->Progress(), 100);
    EXPECT_GT(std::filesystem::file_size(request.fileName), doc.PacketCount() * 50);
}

TEST(ToolJobThreads, DocumentMayBeClearedAndReopenedWhileItsExportRuns) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record, "mixed"));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    const size_t rows = doc.PacketCount() + doc.SampleCount();

    ExportRequest request;
    request.fileName = dir.File("out.csv");
    request.csv.items = ExportItems::kBoth;
    request.csv.values.fill(false);
    request.csv.columns = {kColumnPacketNumber, kColumnChannel};
    request.csv.rangeStart = -(1LL << 40);
    request.csv.rangeEnd = 1LL << 40;
    std::unique_ptr<ToolJob> job = StartExport(doc, request);
    // The user-interface thread empties the document and decodes the file again meanwhile.
    doc.Clear();
    ASSERT_TRUE(doc.OpenRecordFile(record));
    job->Wait();
    ASSERT_EQ(job->Result(), ToolResult::kSucceeded);
    const std::vector<uint8_t> bytes = ReadFile(request.fileName);
    EXPECT_EQ(static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')), rows + 1);
}

TEST(ToolJobThreads, PcapngExportKeepsItsSnapshotWhileTheDocumentIsClearedAndReopened) {
    TempDir dir;
    const std::string record = dir.File("PDCapture.zaz");
    ASSERT_TRUE(SimulateRecordFile(record, "mixed"));
    CKVDoc doc;
    ASSERT_TRUE(doc.OpenRecordFile(record));
    ExportRequest request;
    request.type = ExportType::kPcapng;
    request.fileName = dir.File("out.pcapng");
    request.csv.rangeStart = -(1LL << 40);
    request.csv.rangeEnd = 1LL << 40;
    std::unique_ptr<ToolJob> job = StartExport(doc, request);
    // Requests drop the Source_Capabilities they refer to while the worker reads them.
    doc.Clear();
    ASSERT_TRUE(doc.OpenRecordFile(record));
    job->Wait();
    ASSERT_EQ(job->Result(), ToolResult::kSucceeded);
    EXPECT_EQ(job->Progress(), 100);

    // The same file decodes the same: an export of the reopened document is byte-identical.
    const std::vector<uint8_t> during = ReadFile(request.fileName);
    request.fileName = dir.File("again.pcapng");
    std::unique_ptr<ToolJob> again = StartExport(doc, request);
    again->Wait();
    ASSERT_EQ(again->Result(), ToolResult::kSucceeded);
    EXPECT_EQ(ReadFile(request.fileName), during);
    EXPECT_GT(during.size(), doc.PacketCount() * 60);
}
