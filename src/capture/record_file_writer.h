// Writing one record file during a capture: the placeholder leading InfoBlock when it is
// created, the analyzer stream exactly as read, and the finished leading InfoBlock at close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "capture/info_block.h"

// What the finished leading InfoBlock says about the analyzer that recorded the file.
struct RecorderIdentity {
    uint16_t firmwareVersion = 0;
    SerialNumber serial{};
};

// Each chunk goes to the file with one unbuffered write, so the bytes are in the file system as
// soon as Write returns and survive the process being killed.
class RecordFileWriter {
  public:
    RecordFileWriter() = default;
    ~RecordFileWriter();
    RecordFileWriter(const RecordFileWriter&) = delete;
    RecordFileWriter& operator=(const RecordFileWriter&) = delete;

    // Creates (truncating) path and writes the placeholder InfoBlock. On failure nothing is
    // open and errorNumber tells why.
    bool Create(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    int ErrorNumber() const { return errorNumber_; }

    // Appends size bytes; returns how many reached the file. Fewer than size means the write
    // failed (a full disk, a file size limit) and ErrorNumber() tells why.
    size_t Write(const uint8_t* data, size_t size);
    // Size of the file as the file system reports it, -1 when it cannot be obtained.
    int64_t Size() const;

    // Rewrites the leading InfoBlock with the identity and the number of stream bytes after
    // it, then closes the file. The rewrite replaces bytes already there, so it needs no free
    // space. False when the rewrite or the close failed; the file is closed either way.
    bool Finish(const RecorderIdentity& identity, uint64_t streamBytes);
    // Closes without rewriting the leading block.
    void Close();

  private:
    int fd_ = -1;
    std::string path_;
    int errorNumber_ = 0;
};
