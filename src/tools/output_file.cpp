#include "tools/output_file.h"

#include <cerrno>

namespace {

// Large writes go straight through; small CSV rows are gathered into this much.
constexpr size_t kOutputBufferSize = 1 << 16;

}  // namespace

OutputFile::OutputFile(const std::string& path) : staged_(path) {
    file_ = staged_.OpenStream("wb");
    if (file_ != nullptr) {
        std::setvbuf(file_, nullptr, _IOFBF, kOutputBufferSize);
    }
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void OutputFile::NoteError() {
    NoteError(WriteFailure(errno));
}

void OutputFile::NoteError(const FileResult& result) {
    if (error_ == ToolResult::kSucceeded) {
        error_ =
            result.kind == FileResult::kDiskFull ? ToolResult::kDiskFull : ToolResult::kWriteFailed;
    }
}

bool OutputFile::Write(const void* data, size_t size) {
    if (file_ == nullptr || error_ != ToolResult::kSucceeded) {
        return false;
    }
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size) {
        NoteError();
        return false;
    }
    return true;
}

bool OutputFile::CloseFile() {
    errno = 0;
    if (std::fflush(file_) != 0) {
        NoteError();
    }
    errno = 0;
    if (std::fclose(file_) != 0) {
        NoteError();
    }
    file_ = nullptr;
    return error_ == ToolResult::kSucceeded;
}

bool OutputFile::Finish() {
    if (file_ == nullptr || !CloseFile()) {
        return false;
    }
    if (const FileResult placed = staged_.Commit(); !placed) {
        NoteError(placed);
    }
    return error_ == ToolResult::kSucceeded;
}
