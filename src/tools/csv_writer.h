// The CSV export: the header, then the samples and packets of the range merged in time order.
#pragma once

#include <string>

#include "capture/document_snapshot.h"
#include "tools/export_options.h"
#include "tools/tool_job.h"

// Writes the CSV export of the snapshot to path. The abort flag is checked before every row;
// an aborted or failed export leaves the partial file on disk.
ToolResult WriteCsvExport(const DocumentSnapshot& capture, const CsvExportOptions& options,
                          const std::string& path, JobControl& control);
