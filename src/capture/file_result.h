// What came of opening, decoding or saving a record file, with the cause of a failure kept, and
// the one table of the texts the user is shown for each.
#pragma once

#include <cstdint>
#include <string>

struct FileResult {
    enum Kind : uint8_t {
        kOk,              // opened, decoded or saved
        kNothingNew,      // a decode found no new whole blocks (also: no record file)
        kCannotOpen,      // missing, no permission, empty path, target not creatable
        kNotRegularFile,  // a folder, a FIFO, a device or a socket
        kOutOfMemory,     // a buffer or the decoded data did not fit; what was decoded stays
        kDiskFull,        // a write stopped for lack of space
        kWriteFailed,     // any other failed write, close or rename
    };
    Kind kind = kOk;

    explicit operator bool() const { return kind == kOk; }
    bool operator==(const FileResult&) const = default;
};

// Message box text of a failed save, whatever the cause.
inline constexpr const char* kSaveFileErrorText = "Save File Error";

// The command that met the result: a failed save always reads kSaveFileErrorText.
enum class FileCommand : uint8_t { kOpen, kSave };

// The user text of a result; "" for kOk and kNothingNew, which show nothing.
std::string FileResultText(FileCommand command, FileResult result);

// The result of a failed write, from errno: kDiskFull for ENOSPC and EDQUOT, else kWriteFailed.
FileResult WriteFailure(int error);
