#include "cli/open_document.h"

#include <cstdio>

#include "query/open_capture.h"

namespace {

bool cliTolerant = false;
bool decodeStoppedForMemory = false;

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

bool OpenDocumentForCli(const char* command, const std::string& path, CKVDoc& doc) {
    const OpenOutcome opened = OpenCapture(path, cliTolerant, doc);
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
