// Names under which a new capture overwrites no earlier record file: a taken name gets " (n)".
#pragma once

#include <optional>
#include <string>
#include <vector>

// stem + " (n)": the n-th alternative to a name that is taken.
std::string NumberedStem(const std::string& stem, int n);

// externalName without a trailing ".zaz".
std::string ExternalNameStem(const std::string& externalName);

// The names of the entries of folder (none when it cannot be listed).
std::vector<std::string> FolderEntryNames(const std::string& folder);

// The number n (0: the names as given) of the first of base/externalName, " (1)", ...
// " (9999)" under which a capture writes no file that is among existing: neither its first
// record file nor, when it may roll over, any numbered successor. None when all are taken.
std::optional<int> FreeRecordNameNumber(const std::string& base, const std::string& externalName,
                                        bool multiFile, const std::vector<std::string>& existing);
