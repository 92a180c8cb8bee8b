// The window's layout on a first run, when no layout was stored: a window size chosen from the
// screen, and the heights and widths of its rows and columns chosen from the window's size, so
// that the message list (the main view) gets most of the height and the field table shows its
// name, value and description columns. A stored layout is restored instead.
#pragma once

struct FirstRunWindowSize {
    int width = 0;
    int height = 0;
};

// The default 1200 x 700, or 85 % of the available area when that is larger; never larger than
// the available area (none: the default).
FirstRunWindowSize ChooseFirstRunWindowSize(int availableWidth, int availableHeight);

struct FirstRunSizes {
    int graphPaneHeight = 0;  // the docked "Graph" pane
    int detailRowHeight = 0;  // the field table and tree row below the list
    int fieldTableWidth = 0;  // the field table's column of that row
};

// For a window of this size; the list takes the rest of the height (and what the window gains).
FirstRunSizes ChooseFirstRunSizes(int windowWidth, int windowHeight);
