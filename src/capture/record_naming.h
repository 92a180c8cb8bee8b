// Naming and placement of record files, and when a capture moves on to its next file.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

inline constexpr const char* kDefaultCaption = "PDCapture";
inline constexpr const char* kRecordFileExtension = ".zaz";
inline constexpr size_t kMaxCaptionLength = 64;
inline constexpr int kMaxRecordFileIndex = 9999;
inline constexpr const char* kWritableTestFileName = "___test___capture_____file_____.tmp";

// Caption, plus "_YYYYMMDD-hhmmss" of the capture's local start time when appendTimestamp.
std::string ComposeBaseName(const std::string& caption, bool appendTimestamp,
                            const std::tm& localStartTime);

// File name for index (1..9999): base + "_%04d" when multiFile or index > 1, then ".zaz".
// A non-empty externalName replaces the composed name; from index 2 on it carries the index
// too (before its ".zaz"), so a rollover never overwrites the file just finished.
std::string RecordFileName(const std::string& base, int index, bool multiFile,
                           const std::string& externalName = {});

// folder + separator (unless the folder already ends with one) + file name.
std::string JoinRecordPath(const std::string& folder, const std::string& fileName);

// At most 64 characters (UTF-8 text, counted as characters) and none of \ / : * ? " < > |.
bool IsValidCaption(const std::string& caption);
// The caption after an edit: the proposed text when valid, else the previous one.
std::string AcceptCaptionEdit(const std::string& previous, const std::string& proposed);

// Creates, closes and deletes the test file in folder. An empty folder fails.
bool IsWritableFolder(const std::string& folder);

// The user's documents folder (XDG documents directory) + "Zoduz", created when missing.
std::string DefaultDataFolder();

// What the reader thread does after a write to the record file.
enum class RolloverAction {
    kContinue,  // the file is not full
    kNextFile,  // index + 1, open the next record file
    kStop,      // stop the capture
};

struct RolloverInput {
    uint64_t fileSize = 0;
    int maxFileSizeMb = 100;
    bool newFileRequested = false;  // a count limit was reached
    bool multiFile = false;
    int index = 1;
};

// Full when the size exceeds maxFileSizeMb * 1 000 000 bytes or a new file was requested.
RolloverAction DecideRollover(const RolloverInput& input);
