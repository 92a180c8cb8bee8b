// The sentence of the record file notice that says a file holds no valid block, for whoever
// reports such a file in other words than the window's notice.
#pragma once

inline constexpr const char* kNoValidBlockText =
    "No valid record block found: this is probably not a Zoduz record file.";
