#include "tools/file_naming.h"

#include <filesystem>
#include <system_error>

#include "capture/free_record_name.h"
#include "capture/record_naming.h"

bool PathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    const size_t start = text.size() - suffix.size();
    for (size_t i = 0; i < suffix.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(text[start + i]) != lower(suffix[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> FirstFreeName(const std::string& stem, const std::string& extension,
                                         const FileExists& exists) {
    std::string candidate = stem + extension;
    for (int n = 1; exists(candidate); ++n) {
        if (n > kMaxRecordFileIndex) {
            return std::nullopt;
        }
        candidate = NumberedStem(stem, n) + extension;
    }
    return candidate;
}
