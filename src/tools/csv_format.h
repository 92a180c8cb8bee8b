// Lines of the CSV export: every field between double quotes, fields separated by commas,
// lines ending in CR LF. A quote inside a field is doubled, so texts holding quotes or commas
// (the ASCII bytes column, descriptions) still read back as one field. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "capture/record_block.h"
#include "columns/column_text.h"
#include "list/core/column_info.h"
#include "pd/cc_packet.h"
#include "tools/export_options.h"

inline constexpr const char* kCsvLineEnd = "\r\n";

// The list columns an export writes: for each display position 0-37 the lowest column id at
// that position that is shown (any, when visibleOnly is false), leaving out the VBUS and CC
// value columns (4, 5, 28-31 and 37), which the value options replace.
std::vector<int> ExportColumns(const ColumnLayout& layout, bool visibleOnly);

// Appends "," (unless first) and the quoted text.
void AppendCsvField(std::string& line, std::string_view text, bool first = false);

// The header line, line end included; columns are written only when packets are included.
std::string CsvHeaderLine(const CsvExportOptions& options);

// A sample row: its time ("%lld" relative to the origin), then the chosen value texts.
void AppendSampleRow(std::string& line, const CVbusInfo& sample, int64_t time,
                     const CsvExportOptions& options);

// A packet row: its time, the chosen values of its VBUS snapshot (or of the context's sample
// before it), then the list columns of the row.
void AppendPacketRow(std::string& line, const PacketRow& row, int64_t time,
                     const CsvExportOptions& options, const ColumnContext& context);
