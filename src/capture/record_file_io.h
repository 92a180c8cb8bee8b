// File access of the capture document: shared reads of a growing record file, copies of whole
// blocks, and appending blocks at a block boundary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/file_result.h"
#include "capture/record_block.h"

// Files are read and copied in chunks of this size.
inline constexpr size_t kReadChunkSize = 1048576;

// A file opened for reading while another writer may keep appending to it. Only regular files
// are opened: a FIFO, a device or a folder would block the reader or never end, so the file
// stays closed for them (and the open itself never waits for a writer).
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Current length in bytes, -1 when it cannot be determined.
    int64_t Length();
    // Reads up to size bytes at offset; returns the number read.
    size_t ReadAt(int64_t offset, uint8_t* buffer, size_t size);

  private:
    std::FILE* file_ = nullptr;
};

// Whether path is a regular file that opens for reading: kOk, kCannotOpen (missing, no
// permission, empty path) or kNotRegularFile (a folder, a FIFO, a device, a socket). The check
// never waits for a FIFO's writer.
FileResult RecordFileStatus(const std::string& path);
bool RecordFileReadable(const std::string& path);

// Copies the whole 64-byte blocks of source to target (created or truncated) in 1 MB chunks;
// a trailing partial block can never be decoded and is left out.
FileResult CopyWholeBlocks(const std::string& source, const std::string& target);

// Appends blocks to path so that they start on a block boundary: an undecodable partial block
// at the end is cut off first.
FileResult AppendBlocksAtBoundary(const std::string& path, const std::vector<RecordBlock>& blocks);
