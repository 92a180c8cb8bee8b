// Geometry of the graph window: margins, the graph area, the zero lines, the bands of the three
// value graphs and the PD strip, the time label strip, the frame and the measurement area.
#pragma once

#include <cstdint>

struct GraphRect {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const GraphRect&) const = default;
};

// Rows of one value graph, [top, bottom).
struct GraphBand {
    int top = 0;
    int bottom = 0;

    bool Contains(int y) const { return top <= y && y < bottom; }
    bool operator==(const GraphBand&) const = default;
};

inline constexpr int kGraphSideMargin = 150;
inline constexpr int kGraphTopMargin = 64;
inline constexpr int kPdBarHeight = 16;
inline constexpr int kTimeLabelStrip = 28;

struct GraphLayout {
    int windowWidth = 0;
    int windowHeight = 0;
    int bottomMargin = 74;
    int graphLeft = kGraphSideMargin;
    int graphTop = kGraphTopMargin;
    int graphWidth = 1;
    int graphHeight = 1;
    int yV0 = 0;  // zero lines
    int yI0 = 0;
    int yW0 = 0;
    GraphBand voltBand;
    GraphBand currBand;
    GraphBand wattBand;
    GraphBand pdBand;
    GraphRect timeLabelStrip;
    GraphRect frameArea;
    GraphRect measurementArea;

    int GraphBottom() const { return graphTop + graphHeight; }
    GraphRect GraphArea() const {
        return {graphLeft, graphTop, graphLeft + graphWidth, graphTop + graphHeight};
    }
    // A band with no rows inside the graph area is not filled and its axis draws nothing.
    bool IsEmpty(const GraphBand& band) const {
        return band.bottom <= graphTop || band.top >= GraphBottom();
    }
};

// 74 while four font heights fit in it, else five font heights.
int GraphBottomMargin(int fontHeight);
