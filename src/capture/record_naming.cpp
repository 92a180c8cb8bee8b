#include "capture/record_naming.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "capture/free_record_name.h"

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool EndsWithSeparator(const std::string& folder) {
    return !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
}

// XDG_DOCUMENTS_DIR from the environment or from the user-dirs file, with $HOME expanded.
std::string XdgDocumentsDir() {
    const char* home = std::getenv("HOME");
    std::string homeDir = home != nullptr ? home : "";
    auto expand = [&](std::string value) {
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = homeDir + value.substr(5);
        }
        return value;
    };
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents && *documents) {
        return expand(documents);
    }
    std::string configHome;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        configHome = config;
    } else if (!homeDir.empty()) {
        configHome = homeDir + "/.config";
    }
    if (!configHome.empty()) {
        std::ifstream dirs(configHome + "/user-dirs.dirs");
        std::string line;
        const std::string key = "XDG_DOCUMENTS_DIR=";
        while (std::getline(dirs, line)) {
            if (line.rfind(key, 0) == 0) {
                return expand(line.substr(key.size()));
            }
        }
    }
    if (!homeDir.empty()) {
        return homeDir + "/Documents";
    }
    return {};
}

}  // namespace

std::string ComposeBaseName(const std::string& caption, bool appendTimestamp,
                            const std::tm& localStartTime) {
    if (!appendTimestamp) {
        return caption;
    }
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%d%02d%02d-%02d%02d%02d", localStartTime.tm_year + 1900,
                  localStartTime.tm_mon + 1, localStartTime.tm_mday, localStartTime.tm_hour,
                  localStartTime.tm_min, localStartTime.tm_sec);
    return caption + stamp;
}

std::string RecordFileName(const std::string& base, int index, bool multiFile,
                           const std::string& externalName) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%04d", index);
    if (!externalName.empty()) {
        return ExternalNameStem(externalName) + (index > 1 ? suffix : "") + kRecordFileExtension;
    }
    return base + (multiFile || index > 1 ? suffix : "") + kRecordFileExtension;
}

std::string JoinRecordPath(const std::string& folder, const std::string& fileName) {
    if (folder.empty() || EndsWithSeparator(folder)) {
        return folder + fileName;
    }
    return folder + kSeparator + fileName;
}

bool IsValidCaption(const std::string& caption) {
    // The limit counts characters, not bytes: every byte of UTF-8 text except a continuation
    // byte starts a character.
    auto characters = std::count_if(caption.begin(), caption.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    if (static_cast<size_t>(characters) > kMaxCaptionLength) {
        return false;
    }
    return caption.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

std::string AcceptCaptionEdit(const std::string& previous, const std::string& proposed) {
    return IsValidCaption(proposed) ? proposed : previous;
}

bool IsWritableFolder(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    // Only a file this test created itself is removed again: an existing entry of that name
    // (a file, or a symbolic link leading anywhere) is neither followed, truncated nor removed,
    // and the folder's permissions answer instead.
    const std::string path = JoinRecordPath(folder, kWritableTestFileName);
    const int file =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file >= 0) {
        ::close(file);
        ::unlink(path.c_str());
        return true;
    }
    std::error_code error;
    return errno == EEXIST && ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 &&
           std::filesystem::is_directory(folder, error);
}

std::string DefaultDataFolder() {
    std::string documents = XdgDocumentsDir();
    if (documents.empty()) {
        std::error_code error;
        documents = std::filesystem::temp_directory_path(error).string();
    }
    std::string folder = JoinRecordPath(documents, "Zoduz");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

RolloverAction DecideRollover(const RolloverInput& input) {
    bool full = input.fileSize > static_cast<uint64_t>(input.maxFileSizeMb) * 1000000ull ||
                input.newFileRequested;
    if (!full) {
        return RolloverAction::kContinue;
    }
    if (input.multiFile && input.index < kMaxRecordFileIndex) {
        return RolloverAction::kNextFile;
    }
    return RolloverAction::kStop;
}
