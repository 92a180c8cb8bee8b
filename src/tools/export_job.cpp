#include "tools/export_job.h"

#include "capture/document.h"
#include "capture/staged_file.h"
#include "tools/csv_writer.h"
#include "tools/pcapng_export.h"
#include "tools/record_slice.h"

std::unique_ptr<ToolJob> StartExport(const CKVDoc& doc, const ExportRequest& request) {
    if (SameFile(request.fileName, doc.RecordFilePath()) ||
        SameFile(request.fileName, request.sourcePath)) {
        return std::make_unique<ToolJob>([](JobControl&) { return ToolResult::kCannotCreate; });
    }
    if (request.type == ExportType::kPcapng) {
        PcapngExportOptions options;
        options.rangeStart = request.csv.rangeStart;
        options.rangeEnd = request.csv.rangeEnd;
        return StartPcapngExport(doc, options, request.fileName);
    }
    DocumentSnapshot snapshot = doc.Snapshot();
    if (request.type == ExportType::kZaz) {
        const RecordSlice slice =
            FindRecordSlice(snapshot, request.csv.rangeStart, request.csv.rangeEnd);
        return std::make_unique<ToolJob>(
            [path = doc.RecordFilePath(), slice, output = request.fileName](JobControl& control) {
                return WriteRecordSlice(path, slice, output, control);
            });
    }
    return std::make_unique<ToolJob>(
        [snapshot = std::move(snapshot), request](JobControl& control) {
            return WriteCsvExport(snapshot, request.csv, request.fileName, control);
        });
}
