#include "capture/file_result.h"

#include <cerrno>
#include <iterator>

namespace {

struct FileResultTextRow {
    FileCommand command;
    FileResult::Kind kind;
    const char* text;
};

// Results of a command not listed here show nothing.
constexpr FileResultTextRow kFileResultTexts[] = {
    {FileCommand::kOpen, FileResult::kCannotOpen, "Cannot open the record file."},
    {FileCommand::kOpen, FileResult::kNotRegularFile, "The record file is not a regular file."},
    {FileCommand::kOpen, FileResult::kOutOfMemory,
     "Not enough memory to decode the whole record file; what was decoded is shown."},
    {FileCommand::kOpen, FileResult::kDiskFull, "Cannot open the record file."},
    {FileCommand::kOpen, FileResult::kWriteFailed, "Cannot open the record file."},
    {FileCommand::kSave, FileResult::kCannotOpen, kSaveFileErrorText},
    {FileCommand::kSave, FileResult::kNotRegularFile, kSaveFileErrorText},
    {FileCommand::kSave, FileResult::kOutOfMemory, kSaveFileErrorText},
    {FileCommand::kSave, FileResult::kDiskFull, kSaveFileErrorText},
    {FileCommand::kSave, FileResult::kWriteFailed, kSaveFileErrorText},
};

}  // namespace

std::string FileResultText(FileCommand command, FileResult result) {
    for (const FileResultTextRow& row : kFileResultTexts) {
        if (row.command == command && row.kind == result.kind) {
            return row.text;
        }
    }
    return {};
}

FileResult WriteFailure(int error) {
    return {error == ENOSPC || error == EDQUOT ? FileResult::kDiskFull : FileResult::kWriteFailed};
}
