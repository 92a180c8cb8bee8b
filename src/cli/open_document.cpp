#include "cli/open_document.h"

#include <cstdio>
#include <filesystem>

#include "capture/record_file_io.h"
#include "pd/columns/document_context.h"
#include "pd/columns/idle_time.h"
#include "tools/sigrok/sr_import.h"

namespace {

bool cliTolerant = false;

}  // namespace

void SetCliTolerantDecoding(bool on) {
    cliTolerant = on;
}

bool CheckRecordFile(const char* command, const std::string& path) {
    switch (RecordFileStatus(path).kind) {
        case FileResult::kOk:
            return true;
        case FileResult::kNotRegularFile:
            std::fprintf(stderr, "zoduz-cli %s: '%s' is not a regular file\n", command,
                         path.c_str());
            return false;
        default:
            break;
    }
    std::fprintf(stderr, "zoduz-cli %s: cannot read '%s'\n", command, path.c_str());
    return false;
}

namespace {
bool decodeStoppedForMemory = false;
}  // namespace

bool OpenDocumentForCli(const char* command, const std::string& path, CKVDoc& doc) {
    if (!CheckRecordFile(command, path)) {
        return false;
    }
    doc.SetTolerantDecoding(cliTolerant);
    FileResult result;
    const bool sigrok = IsSigrokSessionPath(path);
    if (sigrok) {
        std::string error;
        const std::optional<std::string> record = ImportToTemporaryRecordFile(path, error);
        if (!record) {
            std::fprintf(stderr, "zoduz-cli %s: %s\n", command, error.c_str());
            return false;
        }
        result = doc.OpenRecordFile(*record);
        std::error_code ignored;
        std::filesystem::remove(*record, ignored);  // the document holds what it decoded
    } else {
        result = doc.OpenRecordFile(path);
    }
    if (result.kind == FileResult::kOutOfMemory) {
        // What was decoded before memory ran out is still printed; the exit status says it is
        // not the whole file.
        decodeStoppedForMemory = true;
        std::fprintf(stderr,
                     "zoduz-cli %s: out of memory: decoding stopped after %zu packets and %zu "
                     "samples of '%s'\n",
                     command, doc.PacketCount(), doc.SampleCount(), path.c_str());
        return true;
    }
    if (result || sigrok) {
        return static_cast<bool>(result);
    }
    std::fprintf(stderr, "zoduz-cli %s: cannot read '%s'\n", command, path.c_str());
    return false;
}

bool CliDecodeStoppedForMemory() {
    return decodeStoppedForMemory;
}

bool OpenRowsForCli(const char* command, const std::string& path, bool reverseCurrent,
                    CliRows& rows) {
    if (!OpenDocumentForCli(command, path, rows.doc)) {
        return false;
    }
    rows.context = DocumentColumnContext(rows.doc, reverseCurrent);
    rows.idleTimes = IdleTimes(rows.doc.Packets(), rows.context.timeOrigin);
    return true;
}
