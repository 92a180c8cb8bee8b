// Shared by the zoduz-cli commands that work on a decoded record file.
#pragma once

#include <optional>
#include <string>

#include "capture/document.h"
#include "query/capture_rows.h"

// True when path names a readable regular file; otherwise prints the one-line error
// "zoduz-cli COMMAND: 'PATH' is not a regular file" (a folder, a FIFO, a device) or
// "zoduz-cli COMMAND: cannot read 'PATH'" on stderr.
bool CheckRecordFile(const char* command, const std::string& path);

// The record file to read for path: path itself, or for a sigrok session (FILE.sr) a record
// file imported from it with the default channels, which lasts until the command ends. Prints
// "zoduz-cli COMMAND: REASON" and returns nothing when the import fails.
std::optional<std::string> RecordPathForCli(const char* command, const std::string& path);

// Every document the command opens from now on recovers what the strict decoder rejects
// (zoduz-cli --tolerant).
void SetCliTolerantDecoding(bool on);

// Opens and decodes path into doc the way the application does (whole file, markers and
// time origin restored). Prints the one-line error and returns false when the file cannot be
// read; a command then exits with status 1. When memory runs out during the decode it prints
// "zoduz-cli COMMAND: out of memory: decoding stopped after N packets and M samples of 'PATH'"
// and returns true: the command works on what was decoded, and exits with status 1.
bool OpenDocumentForCli(const char* command, const std::string& path, CKVDoc& doc);

// True once a decode of this process stopped for lack of memory.
bool CliDecodeStoppedForMemory();

// OpenDocumentForCli, then the context (currents negated with reverseCurrent) and idle times.
bool OpenRowsForCli(const char* command, const std::string& path, bool reverseCurrent,
                    CaptureRows& rows);
