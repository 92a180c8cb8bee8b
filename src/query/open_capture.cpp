#include "query/open_capture.h"

#include <filesystem>
#include <memory>

#include "capture/record_file_io.h"
#include "tools/sigrok/sr_import.h"

namespace {

OpenOutcome CannotRead(const std::string& path) {
    std::error_code error;
    const bool missing = std::filesystem::symlink_status(path, error).type() ==
                         std::filesystem::file_type::not_found;
    return {missing || path.empty() ? OpenOutcome::kMissing : OpenOutcome::kCannotRead,
            "cannot read '" + path + "'"};
}

}  // namespace

OpenOutcome CheckCaptureFile(const std::string& path) {
    switch (RecordFileStatus(path).kind) {
        case FileResult::kOk:
            return {};
        case FileResult::kNotRegularFile:
            return {OpenOutcome::kNotRegularFile, "'" + path + "' is not a regular file"};
        default:
            return CannotRead(path);
    }
}

OpenOutcome OpenCapture(const std::string& path, bool tolerant, CKVDoc& doc,
                        std::unique_ptr<TemporaryImport>* keep) {
    if (OpenOutcome checked = CheckCaptureFile(path); !checked) {
        return checked;
    }
    doc.SetTolerantDecoding(tolerant);
    FileResult result;
    if (IsSigrokSessionPath(path)) {
        std::string error;
        // The document holds what it decoded; unless kept, the import goes when this block ends.
        std::unique_ptr<TemporaryImport> imported = ImportToTemporaryRecordFile(path, error);
        if (!imported) {
            return {OpenOutcome::kDamaged, error};
        }
        result = doc.OpenRecordFile(imported->RecordPath());
        if (keep != nullptr) {
            *keep = std::move(imported);
        }
    } else {
        result = doc.OpenRecordFile(path);
    }
    if (result.kind == FileResult::kOutOfMemory) {
        return {OpenOutcome::kOutOfMemory, "out of memory: decoding stopped after " +
                                               std::to_string(doc.PacketCount()) + " packets and " +
                                               std::to_string(doc.SampleCount()) + " samples of '" +
                                               path + "'"};
    }
    return result ? OpenOutcome{} : CannotRead(path);
}

std::string NoPacketText(int64_t number, const std::string& path, size_t count) {
    return "no packet " + std::to_string(number) + " in '" + path + "' (" + std::to_string(count) +
           " packets)";
}
