// A binary output file that remembers why writing failed: a full disk apart from other errors.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "tools/tool_job.h"

class OutputFile {
  public:
    enum Mode {
        kTruncate,   // creates path, truncating an existing file
        kExclusive,  // creates path only when nothing of that name exists
    };
    // Opens path as mode says. IsOpen() tells whether that worked.
    explicit OutputFile(const std::string& path, Mode mode = kTruncate);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // False once any write has failed; Error() then names the cause.
    bool Write(const void* data, size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Flushes and closes; false when the data did not all reach the file.
    bool Close();
    // kDiskFull or kWriteFailed after a failure, kSucceeded otherwise.
    ToolResult Error() const { return error_; }

  private:
    void NoteError();

    std::FILE* file_ = nullptr;
    ToolResult error_ = ToolResult::kSucceeded;
};
