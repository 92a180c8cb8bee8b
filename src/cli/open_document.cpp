#include "cli/open_document.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "query/open_capture.h"
#include "tools/sigrok/sr_import.h"

namespace {

bool cliTolerant = false;
bool decodeStoppedForMemory = false;
// Record files imported from sessions: a record-file export reads them again, so they go when
// the command ends.
std::vector<std::unique_ptr<TemporaryImport>> sessionImports;

void PrintError(const char* command, const std::string& message) {
    std::fprintf(stderr, "zoduz-cli %s: %s\n", command, message.c_str());
}

}  // namespace

void SetCliTolerantDecoding(bool on) {
    cliTolerant = on;
}

bool CheckRecordFile(const char* command, const std::string& path) {
    const OpenOutcome checked = CheckCaptureFile(path);
    if (!checked) {
        PrintError(command, checked.message);
    }
    return static_cast<bool>(checked);
}

std::optional<std::string> RecordPathForCli(const char* command, const std::string& path) {
    if (!IsSigrokSessionPath(path)) {
        return path;
    }
    std::string error;
    std::unique_ptr<TemporaryImport> imported = ImportToTemporaryRecordFile(path, error);
    if (!imported) {
        PrintError(command, error);
        return std::nullopt;
    }
    sessionImports.push_back(std::move(imported));
    return sessionImports.back()->RecordPath();
}

bool OpenDocumentForCli(const char* command, const std::string& path, CKVDoc& doc) {
    std::unique_ptr<TemporaryImport> imported;
    const OpenOutcome opened = OpenCapture(path, cliTolerant, doc, &imported);
    if (imported) {
        sessionImports.push_back(std::move(imported));
    }
    if (opened.kind == OpenOutcome::kOutOfMemory) {
        // What was decoded before memory ran out is still printed; the exit status says it is
        // not the whole file.
        decodeStoppedForMemory = true;
        PrintError(command, opened.message);
        return true;
    }
    if (!opened) {
        PrintError(command, opened.message);
    }
    return static_cast<bool>(opened);
}

bool CliDecodeStoppedForMemory() {
    return decodeStoppedForMemory;
}

bool OpenRowsForCli(const char* command, const std::string& path, bool reverseCurrent,
                    CaptureRows& rows) {
    if (!OpenDocumentForCli(command, path, rows.doc)) {
        return false;
    }
    PrepareCaptureRows(rows, reverseCurrent);
    return true;
}
