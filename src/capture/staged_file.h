// An output file written under a private name next to its destination and moved over the
// destination only once it is complete. Until then an existing destination stays as it was; a
// writer that fails, runs out of memory or is interrupted leaves nothing behind.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "capture/file_result.h"
#include "capture/scratch_files.h"

class StagedFile {
  public:
    // Prepares a private folder next to `destination` (next to its target when destination is
    // a symbolic link: the link stays and leads to the new file). IsOpen() tells whether that
    // worked. A character device or a FIFO (/dev/stdout, a pipe) is written directly, as it
    // holds nothing to lose; a folder or a block device is refused.
    explicit StagedFile(const std::string& destination);

    bool IsOpen() const { return folder_.has_value() || direct_; }
    // Where the writer writes: a new name in the private folder, or the device itself.
    const std::string& Path() const { return path_; }
    // Opens Path() for writing with fopen's `mode` ("wb", "w"): a staged name is created
    // exclusively. Null when that fails (errno tells why).
    std::FILE* OpenStream(const char* mode) const;
    // The file the result replaces or creates.
    const std::string& Destination() const { return destination_; }
    // Moves the written file over the destination (an existing destination's permission bits
    // carry over). Without a call the file is removed with the private folder.
    FileResult Commit();

  private:
    std::string destination_;
    std::optional<ScratchPath> folder_;
    std::string path_;
    bool direct_ = false;
};

// Writes `bytes` as the whole new contents of `destination` through a StagedFile: 0 once in
// place, else the errno of the first failure (an existing destination then stays as it was).
int WriteStagedFile(const std::string& destination, std::string_view bytes);

// Whether two paths name the same existing file, through symbolic and hard links too, so that a
// writer never replaces its own input.
bool SameFile(const std::string& a, const std::string& b);
