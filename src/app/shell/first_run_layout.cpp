#include "app/shell/first_run_layout.h"

#include <algorithm>

namespace {

constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 700;
constexpr int kScreenPercent = 85;

// Shares of the window height, and their bounds in pixels. Below about 290 pixels the graph's
// own margins (time labels, measurements, buttons) leave its traces too little room.
constexpr int kGraphPercent = 35;
constexpr int kGraphMin = 200;
constexpr int kGraphMax = 290;
constexpr int kTallWindow = 1000;
constexpr int kDetailPercent = 10;
constexpr int kDetailMin = 70;
constexpr int kDetailMax = 170;
// The field table's share of the width: Offset, Length, Field name, Value and Description
// take 800 pixels at their default widths.
constexpr int kFieldTablePercent = 62;
constexpr int kFieldTableMin = 100;

int Fitted(int preferred, int fallback, int available) {
    if (available <= 0) {
        return fallback;
    }
    return std::min(std::max(fallback, preferred), available);
}

}  // namespace

FirstRunWindowSize ChooseFirstRunWindowSize(int availableWidth, int availableHeight) {
    return {Fitted(availableWidth / 100 * kScreenPercent, kDefaultWidth, availableWidth),
            Fitted(availableHeight / 100 * kScreenPercent, kDefaultHeight, availableHeight)};
}

FirstRunSizes ChooseFirstRunSizes(int windowWidth, int windowHeight) {
    FirstRunSizes sizes;
    // Above 1000 pixels the graph shares what the window has more with the list.
    const int graphMax = kGraphMax + std::max(windowHeight - kTallWindow, 0) / 2;
    sizes.graphPaneHeight = std::clamp(windowHeight / 100 * kGraphPercent, kGraphMin, graphMax);
    sizes.detailRowHeight = std::clamp(windowHeight / 100 * kDetailPercent, kDetailMin, kDetailMax);
    sizes.fieldTableWidth = std::max(windowWidth / 100 * kFieldTablePercent, kFieldTableMin);
    return sizes;
}
