#include "tools/output_file.h"

#include <cerrno>

namespace {

// Large writes go straight through; small CSV rows are gathered into this much.
constexpr size_t kOutputBufferSize = 1 << 16;

}  // namespace

OutputFile::OutputFile(const std::string& path, Mode mode)
    : file_(std::fopen(path.c_str(), mode == kExclusive ? "wbx" : "wb")) {
    if (file_ != nullptr) {
        std::setvbuf(file_, nullptr, _IOFBF, kOutputBufferSize);
    }
}

OutputFile::~OutputFile() {
    Close();
}

void OutputFile::NoteError() {
    if (error_ == ToolResult::kSucceeded) {
        error_ =
            (errno == ENOSPC || errno == EDQUOT) ? ToolResult::kDiskFull : ToolResult::kWriteFailed;
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

bool OutputFile::Close() {
    if (file_ == nullptr) {
        return error_ == ToolResult::kSucceeded;
    }
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
