// Arguments of the zoduz module's calls: paths (str or os.PathLike) and the keyword criteria of
// find and filter.
#pragma once

#include <optional>
#include <string>

#include <pybind11/pybind11.h>

#include "list/core/find_criteria.h"

// The file system path of a str or an os.PathLike; raises zoduz.ArgumentError for anything else.
std::string PathArgument(const pybind11::handle& path);

// The criteria keywords of Capture.find and Capture.filter, applied in the order given, as the
// options of zoduz-cli find are: text=STR, check_all=True, clear_all=True, check_all_types=True,
// clear_all_types=True, and LABEL=True|False for each box (the dialog's label, or that label
// with each "'" written "_prime" and each space "_"). With findKeys, also backward=BOOL and
// start=N (the row the walk starts next to). Raises zoduz.ArgumentError for an unknown keyword
// or a value of the wrong type.
struct CriteriaKeywords {
    FindCriteria criteria;
    std::optional<size_t> start;
};
CriteriaKeywords ApplyCriteriaKeywords(FindCriteria criteria, const pybind11::kwargs& keywords,
                                       bool findKeys);
