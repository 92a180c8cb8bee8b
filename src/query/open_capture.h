// Opening a record file (or a sigrok session) for a command or a script: the whole file
// decoded the way the application does, and the failures told apart with the one-line texts
// that zoduz-cli prints after its "zoduz-cli COMMAND: " prefix.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/document.h"

struct OpenOutcome {
    enum Kind {
        kOk,
        kMissing,         // no file at the path: "cannot read 'PATH'"
        kCannotRead,      // there, but it does not open for reading: "cannot read 'PATH'"
        kNotRegularFile,  // a folder, a FIFO, a device: "'PATH' is not a regular file"
        kDamaged,         // a sigrok session that does not import: the importer's reason
        kOutOfMemory,     // decoding stopped for memory; what was decoded stays in the document
    };
    Kind kind = kOk;
    std::string message;  // "" for kOk

    explicit operator bool() const { return kind == kOk; }
};

// Whether path names a readable regular file (kOk, kMissing, kCannotRead, kNotRegularFile).
OpenOutcome CheckCaptureFile(const std::string& path);

class TemporaryImport;

// Decodes path into doc from scratch (markers and time origin restored). A ".sr" path is a
// sigrok session: it is imported into a temporary record file, which is removed again once
// decoded, or handed to `keep` when given (for a caller that reads the document's record file
// again, such as a record-file export). tolerant lets the document recover what the strict
// decoder rejects.
OpenOutcome OpenCapture(const std::string& path, bool tolerant, CKVDoc& doc,
                        std::unique_ptr<TemporaryImport>* keep = nullptr);

// "no packet N in 'PATH' (COUNT packets)": a packet number beyond the capture.
std::string NoPacketText(int64_t number, const std::string& path, size_t count);
