// A binary output file that remembers why writing failed: a full disk apart from other errors.
// It is written under a private name and replaces the named file only when Finish() succeeds,
// so a failed writer leaves an existing file as it was and creates nothing.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "capture/staged_file.h"
#include "tools/tool_job.h"

class OutputFile {
  public:
    // Starts the file that will replace (or create) path. IsOpen() tells whether that worked.
    explicit OutputFile(const std::string& path);
    // Without a successful Finish() what was written is removed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // False once any write has failed; Error() then names the cause.
    bool Write(const void* data, size_t size);
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Flushes, closes and puts the file in place; false when the data did not all reach it.
    bool Finish();
    // kDiskFull or kWriteFailed after a failure, kSucceeded otherwise.
    ToolResult Error() const { return error_; }

  private:
    void NoteError();
    void NoteError(const FileResult& result);
    bool CloseFile();

    StagedFile staged_;
    std::FILE* file_ = nullptr;
    ToolResult error_ = ToolResult::kSucceeded;
};
