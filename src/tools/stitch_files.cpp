#include "tools/stitch_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "capture/record_naming.h"
#include "pd/text_format.h"

namespace {

// "_NNNN.zaz"
constexpr size_t kSuffixLength = 9;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool NameBefore(const StitchFile& a, const StitchFile& b) {
    const bool less =
        std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                     [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
    const bool greater =
        std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(),
                                     [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
    return less || (!greater && a.name < b.name);
}

}  // namespace

int StitchSequenceNumber(const std::string& nameOrPath) {
    if (nameOrPath.size() < kSuffixLength) {
        return -1;
    }
    const std::string suffix = nameOrPath.substr(nameOrPath.size() - kSuffixLength);
    if (suffix[0] != '_' || !EndsWithIgnoringCase(suffix, kRecordFileExtension)) {
        return -1;
    }
    int value = 0;
    for (size_t i = 1; i <= 4; ++i) {
        if (suffix[i] < '0' || suffix[i] > '9') {
            return -1;
        }
        value = value * 16 + (suffix[i] - '0');
    }
    return value;
}

std::vector<StitchFile> ListRecordFiles(const std::string& folder) {
    std::vector<StitchFile> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        if (EndsWithIgnoringCase(name, kRecordFileExtension)) {
            files.push_back({name, JoinRecordPath(folder, name)});
        }
    }
    std::sort(files.begin(), files.end(), NameBefore);
    return files;
}

std::vector<StitchFile> StitchBaseList(const std::vector<StitchFile>& files, bool showAll) {
    std::vector<StitchFile> list;
    for (const StitchFile& file : files) {
        if (showAll || StitchSequenceNumber(file.name) != -1) {
            list.push_back(file);
        }
    }
    return list;
}

int PreselectBase(const std::vector<StitchFile>& baseList, const std::string& currentFile) {
    for (size_t i = 0; i < baseList.size(); ++i) {
        if (baseList[i].path == currentFile) {
            return static_cast<int>(i);
        }
    }
    return baseList.empty() ? -1 : 0;
}

std::vector<StitchFile> StitchSuccessorList(const std::vector<StitchFile>& files,
                                            const std::string& basePath, bool showAll) {
    std::vector<StitchFile> list;
    const int base = StitchSequenceNumber(basePath);
    if (base == -1 && !showAll) {
        return list;
    }
    const std::string prefix = basePath.substr(0, basePath.size() - kSuffixLength);
    for (const StitchFile& file : files) {
        if (file.path == basePath) {
            continue;
        }
        if (showAll || (file.path.size() >= kSuffixLength &&
                        file.path.compare(0, file.path.size() - kSuffixLength, prefix) == 0 &&
                        StitchSequenceNumber(file.path) > base)) {
            list.push_back(file);
        }
    }
    return list;
}

size_t ApplyFirstSelection(std::vector<bool>& selected, size_t caret) {
    if (caret >= selected.size()) {
        return static_cast<size_t>(std::find(selected.begin(), selected.end(), false) -
                                   selected.begin());
    }
    const size_t count = selected[caret] ? caret + 1 : caret;
    for (size_t i = 0; i < selected.size(); ++i) {
        selected[i] = i < count;
    }
    return count;
}

std::string StitchOutputPath(const std::string& folder, const std::string& baseName,
                             const std::string& lastSelectedName, const FileExists& exists) {
    const int last = StitchSequenceNumber(lastSelectedName);
    if (last < 2) {
        return {};
    }
    std::string stem = baseName;
    if (EndsWithIgnoringCase(stem, kRecordFileExtension)) {
        stem.resize(stem.size() - 4);
    }
    stem = JoinRecordPath(folder, "Stitched_" + stem + FormatText("-%04X", last));
    return FirstFreeName(stem, kRecordFileExtension, exists).value_or(std::string());
}
