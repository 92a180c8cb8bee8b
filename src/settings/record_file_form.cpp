#include "settings/record_file_form.h"

#include <charconv>

#include "capture/record_naming.h"

std::string IntegerRangeText(int low, int high) {
    return "Enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

std::optional<int> ParseIntegerInRange(const std::string& text, int low, int high) {
    size_t begin = text.find_first_not_of(' ');
    size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) {
        return std::nullopt;
    }
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+') {
        ++first;
    }
    int value = 0;
    auto [ptr, error] = std::from_chars(first, last, value);
    if (error != std::errc() || ptr != last || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

RecordFileForm RecordFileForm::FromSettings(const SettingsStore& settings) {
    RecordFileForm form;
    form.caption = settings.recordFileCaption;
    form.appendTimestamp = settings.recordAppendTimestamp;
    form.multiFile = settings.recordMultiCaptureFile;
    form.maxFileSizeText = std::to_string(settings.recordMaxFileSizeMB);
    form.doNotAskAgain = settings.recordDoNotAskAgain;
    form.folder = settings.recordFileFolder;
    return form;
}

bool RecordFileForm::EditCaption(const std::string& proposed) {
    if (!IsValidCaption(proposed)) {
        return false;
    }
    caption = proposed;
    return true;
}

void RecordFileForm::ClickAppendTimestamp(bool checked, std::time_t now) {
    appendTimestamp = checked;
    startTime = now;
}

void RecordFileForm::LoadDefaults(const std::string& defaultDataFolder) {
    appendTimestamp = false;
    multiFile = false;
    maxFileSizeText = "100";
    doNotAskAgain = false;
    caption = kDefaultCaption;
    folder = defaultDataFolder;
}

std::string RecordFileForm::BaseName() const {
    std::tm local{};
    localtime_r(&startTime, &local);
    return ComposeBaseName(caption, appendTimestamp, local);
}

std::string RecordFileForm::DisplayedFileName() const {
    return BaseName() + (multiFile ? "_0001" : "") + kRecordFileExtension;
}

std::optional<std::string> RecordFileForm::Accept(SettingsStore& settings) const {
    std::optional<int> size =
        ParseIntegerInRange(maxFileSizeText, kMinRecordFileSizeMb, kMaxRecordFileSizeMb);
    if (!size) {
        return IntegerRangeText(kMinRecordFileSizeMb, kMaxRecordFileSizeMb);
    }
    if (caption.empty()) {
        return std::string(kEnterFilenameText);
    }
    if (!IsWritableFolder(folder)) {
        return std::string(kFolderNotWritableText);
    }
    settings.recordAppendTimestamp = appendTimestamp;
    settings.recordMultiCaptureFile = multiFile;
    settings.recordMaxFileSizeMB = *size;
    settings.recordDoNotAskAgain = doNotAskAgain;
    settings.recordFileFolder = folder;
    settings.recordFileCaption = caption;
    return std::nullopt;
}
