// The row walk of Find Next and Find Prev: from the row after (or before) the selection to the
// end (or start) of the rows, without wrapping around.
#pragma once

// The first row after `selectedRow` (forward) or before it (backward) for which matches(row)
// holds; -1 when none. No selection (-1) counts as row 0, so a forward search starts at row 1
// and a backward search finds nothing.
template <typename Matches>
int FindMatchingRow(int rowCount, int selectedRow, bool forward, Matches&& matches) {
    const int step = forward ? 1 : -1;
    for (int row = (selectedRow != -1 ? selectedRow : 0) + step; row >= 0 && row < rowCount;
         row += step) {
        if (matches(row)) {
            return row;
        }
    }
    return -1;
}
