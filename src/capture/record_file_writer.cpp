#include "capture/record_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Writes all of size bytes at offset (or at the file position when offset is -1), retrying
// after signals; returns how many were written.
size_t WriteFully(int fd, const uint8_t* data, size_t size, off_t offset, int& errorNumber) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = offset < 0
                        ? ::write(fd, data + done, size - done)
                        : ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errorNumber = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

}  // namespace

RecordFileWriter::~RecordFileWriter() {
    Close();
}

bool RecordFileWriter::Create(const std::string& path) {
    Close();
    errorNumber_ = 0;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        errorNumber_ = errno;
        return false;
    }
    RecordBlock placeholder = PlaceholderInfoBlock();
    if (WriteFully(fd, placeholder.bytes.data(), kBlockSize, -1, errorNumber_) != kBlockSize) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    return true;
}

size_t RecordFileWriter::Write(const uint8_t* data, size_t size) {
    if (fd_ < 0) {
        errorNumber_ = EBADF;
        return 0;
    }
    return WriteFully(fd_, data, size, -1, errorNumber_);
}

int64_t RecordFileWriter::Size() const {
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
        return -1;
    }
    return static_cast<int64_t>(status.st_size);
}

bool RecordFileWriter::Finish(const RecorderIdentity& identity, uint64_t streamBytes) {
    if (fd_ < 0) {
        return false;
    }
    RecordBlock finished =
        FinishedInfoBlock(identity.firmwareVersion, identity.serial, streamBytes);
    bool ok = WriteFully(fd_, finished.bytes.data(), kBlockSize, 0, errorNumber_) == kBlockSize;
    if (::close(fd_) != 0 && ok) {
        errorNumber_ = errno;
        ok = false;
    }
    fd_ = -1;
    return ok;
}

void RecordFileWriter::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}
