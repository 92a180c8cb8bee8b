// The values of the Record File Settings dialog and their rules, without any widget: the
// dialog shows and edits a RecordFileForm, and Run composes the capture's base name from it.
// One form lives for the whole run and keeps its values between uses of the dialog.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "settings/settings_store.h"

inline constexpr int kMinRecordFileSizeMb = 1;
inline constexpr int kMaxRecordFileSizeMb = 9999;
inline constexpr const char* kEnterFilenameText = "Enter Filename.";
inline constexpr const char* kFolderNotWritableText =
    "This Record File Folder is not a writable folder. Please change it to another folder.";

// "Enter an integer between %1 and %2." with the two bounds.
std::string IntegerRangeText(int low, int high);
// The whole text as a decimal integer within [low, high]; none otherwise.
std::optional<int> ParseIntegerInRange(const std::string& text, int low, int high);

struct RecordFileForm {
    std::string caption = "PDCapture";
    bool appendTimestamp = false;
    bool multiFile = false;
    std::string maxFileSizeText = "100";  // as typed; checked on OK
    bool doNotAskAgain = false;
    std::string folder;
    std::time_t startTime = 0;  // capture start time, local time when shown

    static RecordFileForm FromSettings(const SettingsStore& settings);

    // The dialog opens: the capture start time becomes now.
    void Open(std::time_t now) { startTime = now; }
    // An edit of the caption box: kept when the result is a valid caption (at most 64
    // characters, none of \ / : * ? " < > |), otherwise the previous caption stays. Returns
    // whether the edit was kept.
    bool EditCaption(const std::string& proposed);
    // A click on "Append Timestamp to Filename": the capture start time becomes now.
    void ClickAppendTimestamp(bool checked, std::time_t now);
    // "Load Defaults": timestamp and multi-file off, 100 MB, do-not-ask off, "PDCapture",
    // the default data folder.
    void LoadDefaults(const std::string& defaultDataFolder);

    // Caption plus the start time "_YYYYMMDD-hhmmss" when the timestamp is on.
    std::string BaseName() const;
    // What the "Record Filename" display shows: base, "_0001" with multi-file, ".zaz".
    std::string DisplayedFileName() const;

    // OK: the message to show when the values cannot be taken (size out of range, empty
    // caption, folder not writable); otherwise stores them into settings and returns none.
    std::optional<std::string> Accept(SettingsStore& settings) const;
};
