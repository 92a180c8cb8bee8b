#include "capture/record_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Closing flushes: its result is part of whether a write succeeded.
FileResult CloseChecked(FileHandle& file) {
    errno = 0;
    return std::fclose(file.release()) == 0 ? FileResult{} : WriteFailure(errno);
}

FileResult WriteBytes(std::FILE* file, const uint8_t* bytes, size_t size) {
    errno = 0;
    return std::fwrite(bytes, 1, size, file) == size ? FileResult{} : WriteFailure(errno);
}

FileResult FileSystemFailure(const std::error_code& error) {
    return WriteFailure(error.value());
}

// Opens path for reading when it is a regular file. O_NONBLOCK keeps the open of a FIFO from
// waiting for a writer; it is cleared again once the file is known to be regular.
int OpenRegularFile(const std::string& path, FileResult& access) {
    access = {FileResult::kCannotOpen};
    if (path.empty()) {
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            access = {FileResult::kNotRegularFile};
        }
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        access = {FileResult::kNotRegularFile};
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    access = {};
    return fd;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    FileResult access;
    const int fd = OpenRegularFile(path, access);
    if (fd >= 0) {
        file_ = ::fdopen(fd, "rb");
        if (file_ == nullptr) {
            ::close(fd);
        }
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

int64_t ReadOnlyFile::Length() {
    if (file_ == nullptr || fseeko(file_, 0, SEEK_END) != 0) {
        return -1;
    }
    return static_cast<int64_t>(ftello(file_));
}

size_t ReadOnlyFile::ReadAt(int64_t offset, uint8_t* buffer, size_t size) {
    if (file_ == nullptr || offset < 0 ||
        fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
        return 0;
    }
    return std::fread(buffer, 1, size, file_);
}

FileResult RecordFileStatus(const std::string& path) {
    FileResult access;
    const int fd = OpenRegularFile(path, access);
    if (fd >= 0) {
        ::close(fd);
    }
    return access;
}

bool RecordFileReadable(const std::string& path) {
    return static_cast<bool>(RecordFileStatus(path));
}

FileResult CopyWholeBlocks(const std::string& source, const std::string& target) {
    if (const FileResult readable = RecordFileStatus(source); !readable) {
        return readable;
    }
    ReadOnlyFile in(source);
    int64_t length = in.Length();
    if (!in.IsOpen() || length < 0) {
        return {FileResult::kCannotOpen};
    }
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(kReadChunkSize);
    } catch (const std::bad_alloc&) {
        return {FileResult::kOutOfMemory};
    }
    FileHandle out(std::fopen(target.c_str(), "wb"));
    if (!out) {
        return {FileResult::kCannotOpen};
    }
    auto remaining = static_cast<uint64_t>(length) / kBlockSize * kBlockSize;
    int64_t offset = 0;
    while (remaining > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, kReadChunkSize));
        size_t got = in.ReadAt(offset, buffer.data(), want);
        if (got != want) {
            return {FileResult::kCannotOpen};  // the source shrank or failed while copying
        }
        if (const FileResult written = WriteBytes(out.get(), buffer.data(), got); !written) {
            return written;
        }
        offset += static_cast<int64_t>(got);
        remaining -= got;
    }
    return CloseChecked(out);
}

FileResult AppendBlocksAtBoundary(const std::string& path, const std::vector<RecordBlock>& blocks) {
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return {FileResult::kCannotOpen};
    }
    if (size % kBlockSize != 0) {
        std::filesystem::resize_file(path, size / kBlockSize * kBlockSize, error);
        if (error) {
            return FileSystemFailure(error);
        }
    }
    FileHandle out(std::fopen(path.c_str(), "ab"));
    if (!out) {
        return {FileResult::kCannotOpen};
    }
    for (const RecordBlock& block : blocks) {
        if (const FileResult written = WriteBytes(out.get(), block.bytes.data(), kBlockSize);
            !written) {
            return written;
        }
    }
    return CloseChecked(out);
}
