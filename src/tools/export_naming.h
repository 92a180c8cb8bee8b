// The export's output name: the record file's name with "_export" and the type's extension.
#pragma once

#include <string>

#include "tools/export_options.h"
#include "tools/file_naming.h"

inline constexpr const char* kCsvExtension = ".csv";
inline constexpr const char* kZazExtension = ".zaz";
inline constexpr const char* kPcapngExtension = ".pcapng";

const char* ExportExtension(ExportType type);

// The record path without a trailing ".zaz" (any case), + "_export" + the extension; when that
// exists, the first free " (n)" before the extension (n up to 9999); when all exist, the
// unnumbered name.
std::string DeriveExportFileName(const std::string& recordPath, ExportType type,
                                 const FileExists& exists = PathExists);

// A name ending in another type's extension gets this type's instead; a name ending in none
// of them gets it appended (comparisons ignore case).
std::string CorrectExportExtension(const std::string& fileName, ExportType type);
