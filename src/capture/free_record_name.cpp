#include "capture/free_record_name.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "capture/record_naming.h"

std::string ExternalNameStem(const std::string& externalName) {
    const std::string extension = kRecordFileExtension;
    if (externalName.size() >= extension.size() &&
        externalName.compare(externalName.size() - extension.size(), extension.size(), extension) ==
            0) {
        return externalName.substr(0, externalName.size() - extension.size());
    }
    return externalName;
}

std::string NumberedStem(const std::string& stem, int n) {
    return stem + " (" + std::to_string(n) + ")";
}

std::vector<std::string> FolderEntryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        names.push_back(entries->path().filename().string());
    }
    return names;
}

std::optional<int> FreeRecordNameNumber(const std::string& base, const std::string& externalName,
                                        bool multiFile, const std::vector<std::string>& existing) {
    // The stems of the numbered files already there ("stem_0002.zaz" gives "stem"): a capture
    // that may roll over keeps clear of them.
    const std::string extension = kRecordFileExtension;
    constexpr size_t kIndexLength = 5;  // "_%04d"
    std::set<std::string> names(existing.begin(), existing.end());
    std::set<std::string> numberedStems;
    for (const std::string& name : existing) {
        if (name.size() < kIndexLength + extension.size() ||
            name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
            continue;
        }
        const size_t index = name.size() - extension.size() - kIndexLength;
        const bool digits =
            name[index] == '_' &&
            std::all_of(name.begin() + index + 1, name.begin() + index + kIndexLength,
                        [](char c) { return c >= '0' && c <= '9'; });
        if (digits) {
            numberedStems.insert(name.substr(0, index));
        }
    }
    const bool external = !externalName.empty();
    const std::string stem = external ? ExternalNameStem(externalName) : base;
    for (int n = 0; n <= kMaxRecordFileIndex; ++n) {
        const std::string candidate = n == 0 ? stem : NumberedStem(stem, n);
        const std::string first =
            external ? candidate + extension : RecordFileName(candidate, 1, multiFile);
        if (names.count(first) == 0 && !(multiFile && numberedStems.count(candidate) != 0)) {
            return n;
        }
    }
    return std::nullopt;
}
