// Starting an export of a capture document on a worker thread.
#pragma once

#include <memory>
#include <string>

#include "tools/export_options.h"
#include "tools/tool_job.h"

class CKVDoc;

struct ExportRequest {
    ExportType type = ExportType::kCsv;
    std::string fileName;
    CsvExportOptions csv;  // the range is used by every type
    // The file the user opened, when the document reads a record file imported from it.
    std::string sourcePath;
};

// Starts the writer the request's type names on a snapshot of the document, so that the
// document may go on decoding, trimming or clearing while the job runs. A pcapng export holds
// the range's PD messages. An output that is the document's record file itself or the source
// path (also through a link) fails at once with kCannotCreate instead of replacing the capture.
std::unique_ptr<ToolJob> StartExport(const CKVDoc& doc, const ExportRequest& request);
