// Choosing what to stitch: the sequence number of a record file name, the base and successor
// lists of a folder, the first-k selection rule and the name of the stitched file.
#pragma once

#include <string>
#include <vector>

#include "tools/file_naming.h"

// The four-digit sequence suffix of "..._NNNN.zaz" (".zaz" in any case), read as hexadecimal
// so that "-%04X" reproduces the digits; -1 for a name without one.
int StitchSequenceNumber(const std::string& nameOrPath);

struct StitchFile {
    std::string name;  // shown in the lists
    std::string path;  // folder + separator + name
};

// The regular files of folder whose names end in ".zaz" (any case), sorted by name (ASCII
// letters compared without case, then byte order).
std::vector<StitchFile> ListRecordFiles(const std::string& folder);

// The base list: every file with a sequence number (every file when showAll).
std::vector<StitchFile> StitchBaseList(const std::vector<StitchFile>& files, bool showAll);
// The item whose path equals currentFile, else the first; -1 for an empty list.
int PreselectBase(const std::vector<StitchFile>& baseList, const std::string& currentFile);

// The successors of basePath: files other than the base with the same path before the last
// nine characters and a greater sequence number (with showAll, every other file). Empty when
// the base has no sequence number and showAll is off.
std::vector<StitchFile> StitchSuccessorList(const std::vector<StitchFile>& files,
                                            const std::string& basePath, bool showAll);

// After the user changed the selection at the caret item: a selected caret selects every item
// above it, an unselected one deselects itself and every item below, so the selection is
// always the first k items. Returns k.
size_t ApplyFirstSelection(std::vector<bool>& selected, size_t caret);

// folder/Stitched_<base name without .zaz>-<last sequence as %04X>.zaz, numbered " (m)"
// before the extension while taken. "" when the last selected file's sequence is below 2 or
// every numbered name up to 9999 exists.
std::string StitchOutputPath(const std::string& folder, const std::string& baseName,
                             const std::string& lastSelectedName,
                             const FileExists& exists = PathExists);
