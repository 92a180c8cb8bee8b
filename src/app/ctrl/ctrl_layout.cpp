#include "app/ctrl/ctrl_layout.h"

#include <algorithm>

namespace {

constexpr int kMaxHeight = 200;
constexpr int kMargin = 7;
constexpr int kMinHeight = 3 * kMargin;

// A font a few pixels smaller than its box, never below one pixel.
int FontHeight(int box) {
    return std::max(box - 2, 1);
}

}  // namespace

int CtrlStripWidth(int h) {
    const CtrlRect peak = ComputeCtrlLayout(h).peak;
    return peak.left + peak.width + kMargin;
}

CtrlLayout ComputeCtrlLayout(int viewHeight, int viewWidth) {
    int h = std::clamp(viewHeight, kMinHeight, kMaxHeight);
    // The width grows by about 14 pixels a pixel of height: at most 180 steps.
    while (h > kMinHeight && viewWidth < kUnlimitedCtrlWidth && CtrlStripWidth(h) > viewWidth) {
        --h;
    }
    const int c = (h - 21) / 3;
    const int q = (h - 21) / 6;
    const int e = 7 + static_cast<int>(1.5 * c);
    const int b = h - 7;

    CtrlLayout layout;
    layout.picture = {7, 7, 5 * c, e};
    layout.ccStatus = {7, e + 7, 5 * c, q};
    layout.vbusPower = {7, e + q + 14, 5 * c, c};
    const std::array<int, 4> lefts = {5 * c + 14, 10 * c + 35, 15 * c + 42, 20 * c + 49};
    const std::array<int, 3> tops = {7, c + 14, 2 * c + 21};
    for (size_t column = 0; column < lefts.size(); ++column) {
        for (size_t row = 0; row < tops.size(); ++row) {
            layout.columns[column][row] = {lefts[column], tops[row], 5 * c, c};
        }
    }
    const int buttons = 25 * c + 63;
    layout.run = {buttons, 7, b, b};
    layout.pause = {buttons + h, 7, b, b};
    layout.clear = {buttons + 2 * h, 7, b, b};
    layout.peak = {buttons + 2 * h + b + 14, 7, 3 * b, b};
    layout.valueFontHeight = FontHeight(c);
    layout.statusFontHeight = FontHeight(q);
    layout.peakFontHeight = FontHeight(static_cast<int>(0.7 * c));
    return layout;
}
