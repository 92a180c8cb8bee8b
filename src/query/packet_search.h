// Find and display filter over a decoded capture, as zoduz-cli find and decode --filter run
// them: the criteria boxes set by their dialog labels, the rows the find visits and matches,
// and the rows the filter shows.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list/core/find_criteria.h"
#include "query/capture_rows.h"

// Sets the box with this label on or off. False with error UnknownBoxText(label) when no box
// has that label.
bool SetCriterionBox(FindCriteria& criteria, std::string_view label, bool on, std::string& error);
// "unknown box 'LABEL'; valid labels: "CC1", "CC2", ..."
std::string UnknownBoxText(std::string_view label);

// One match of the find: the row and the column (PacketColumn) it matched in.
struct FindMatch {
    size_t row = 0;
    int column = 0;
};

// Every row the criteria match, in the order Find Next (or Find Prev, by the criteria's
// direction) visits them: from the first (last) row, or from the row after (before) `from` as
// the dialog does from a selection. from must be a row of the capture.
std::vector<FindMatch> FindMatches(const FindCriteria& criteria, const CaptureRows& rows,
                                   std::optional<size_t> from);

// The rows the display filter shows, in order. Hidden packets still end the idle time of the
// next shown one.
std::vector<size_t> FilteredRows(const FindCriteria& criteria, const CaptureRows& rows);
