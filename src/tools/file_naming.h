// Name helpers shared by the export and stitch dialogs.
#pragma once

#include <functional>
#include <optional>
#include <string>

using FileExists = std::function<bool(const std::string& path)>;
// Whether path names anything on disk.
bool PathExists(const std::string& path);

// Case-insensitive (ASCII) test of a name's ending.
bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix);

// stem + extension when free; else stem + " (n)" + extension for the first free n of 1-9999;
// none when every one of them exists.
std::optional<std::string> FirstFreeName(const std::string& stem, const std::string& extension,
                                         const FileExists& exists);
