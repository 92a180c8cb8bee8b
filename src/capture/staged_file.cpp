#include "capture/staged_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

StagedFile::StagedFile(const std::string& destination) : destination_(destination) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_symlink(destination, error)) {
        const fs::path target = fs::weakly_canonical(destination, error);
        if (error) {
            return;
        }
        destination_ = target.string();
    }
    const fs::file_status existing = fs::status(destination_, error);
    if (fs::is_character_file(existing) || fs::is_fifo(existing)) {
        direct_ = true;
        path_ = destination_;
        return;
    }
    // A folder or a block device is never replaced by a file.
    if (fs::exists(existing) && !fs::is_regular_file(existing)) {
        errno = fs::is_directory(existing) ? EISDIR : EINVAL;
        return;
    }
    const fs::path parent = fs::path(destination_).parent_path();
    const std::string folder = MakePrivateFolder(parent.empty() ? "." : parent.string(), ".zoduz-");
    if (folder.empty()) {
        return;
    }
    folder_.emplace(folder);
    const fs::path name = fs::path(destination_).filename();
    path_ = folder + "/" + (name.empty() ? std::string("output") : name.string());
}

std::FILE* StagedFile::OpenStream(const char* mode) const {
    if (!IsOpen()) {
        return nullptr;
    }
    return std::fopen(path_.c_str(), direct_ ? mode : (std::string(mode) + "x").c_str());
}

FileResult StagedFile::Commit() {
    if (direct_) {
        return {};
    }
    if (!folder_) {
        return {FileResult::kCannotOpen};
    }
    struct stat existing {};
    if (::stat(destination_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::chmod(path_.c_str(), existing.st_mode & 07777);
    }
    if (std::rename(path_.c_str(), destination_.c_str()) != 0) {
        return WriteFailure(errno);
    }
    folder_.reset();  // removes the emptied folder
    return {};
}

int WriteStagedFile(const std::string& destination, std::string_view bytes) {
    // errno, or EIO for a failure that left none.
    const auto failure = [] { return errno != 0 ? errno : EIO; };
    StagedFile staged(destination);
    errno = 0;
    std::FILE* file = staged.OpenStream("wb");
    if (file == nullptr) {
        return failure();
    }
    int cause = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fflush(file) != 0) {
        cause = failure();
    }
    if (std::fclose(file) != 0 && cause == 0) {
        cause = failure();
    }
    if (cause == 0 && !staged.Commit()) {
        cause = failure();
    }
    return cause;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}
