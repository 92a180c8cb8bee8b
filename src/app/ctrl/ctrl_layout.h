// Geometry of the control strip: every control's rectangle and the font heights, all derived
// from the strip's height so that the read-outs grow and shrink with it.
#pragma once

#include <array>

struct CtrlRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const CtrlRect&) const = default;
};

struct CtrlLayout {
    CtrlRect picture;    // VBUS current direction
    CtrlRect ccStatus;   // below the picture
    CtrlRect vbusPower;  // below the CC status
    // Columns VBUS, CC1, CC2, VCONN; rows caption, first value, second value.
    std::array<std::array<CtrlRect, 3>, 4> columns;
    CtrlRect run;
    CtrlRect pause;
    CtrlRect clear;
    CtrlRect peak;
    int valueFontHeight = 1;   // captions and values
    int statusFontHeight = 1;  // CC status
    int peakFontHeight = 1;    // peak VBUS power
};

inline constexpr int kUnlimitedCtrlWidth = 1 << 20;
// The lowest strip whose read-outs stay readable: the strip is never made smaller.
inline constexpr int kCtrlMinReadableHeight = 60;

// The strip's height counts up to 200 pixels; heights below 21 lay out as 21 (every control
// empty) so that no rectangle or font comes out negative. A strip narrower than the layout of
// its height needs lays out at the largest height whose controls fit its width, so that the
// buttons and the peak text are never cut off at the right.
CtrlLayout ComputeCtrlLayout(int viewHeight, int viewWidth = kUnlimitedCtrlWidth);
// The width the layout of height h takes, its right margin included.
int CtrlStripWidth(int h);
