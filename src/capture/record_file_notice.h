// What the user is told about an opened record file: the sentence that says a file holds no
// valid block (for whoever reports such a file in other words than the window's notice), and
// the notice itself, where an empty file says that it is empty.
#pragma once

#include <cstdint>
#include <string>

#include "capture/record_file_check.h"

inline constexpr const char* kNoValidBlockText =
    "No valid record block found: this is probably not a Zoduz record file.";

// "The file is empty: it holds no record block." for a file of no bytes; otherwise
// RecordFileProblemText ("" when there are none).
std::string RecordFileNoticeText(const RecordFileProblems& problems, uint64_t fileLength);
