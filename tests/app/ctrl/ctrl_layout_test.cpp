// Geometry of the control strip from its height.
#include <gtest/gtest.h>

#include "app/ctrl/ctrl_layout.h"

TEST(CtrlLayout, HundredPixelStrip) {
    // h = 100: c = 26, q = 13, e = 7 + 39 = 46, B = 93.
    CtrlLayout layout = ComputeCtrlLayout(100);
    EXPECT_EQ(layout.picture, (CtrlRect{7, 7, 130, 46}));
    EXPECT_EQ(layout.ccStatus, (CtrlRect{7, 53, 130, 13}));
    EXPECT_EQ(layout.vbusPower, (CtrlRect{7, 73, 130, 26}));
    EXPECT_EQ(layout.columns[0][0], (CtrlRect{144, 7, 130, 26}));
    EXPECT_EQ(layout.columns[0][1], (CtrlRect{144, 40, 130, 26}));
    EXPECT_EQ(layout.columns[0][2], (CtrlRect{144, 73, 130, 26}));
    EXPECT_EQ(layout.columns[1][0].left, 295);
    EXPECT_EQ(layout.columns[2][0].left, 432);
    EXPECT_EQ(layout.columns[3][2], (CtrlRect{569, 73, 130, 26}));
    EXPECT_EQ(layout.run, (CtrlRect{713, 7, 93, 93}));
    EXPECT_EQ(layout.pause, (CtrlRect{813, 7, 93, 93}));
    EXPECT_EQ(layout.clear, (CtrlRect{913, 7, 93, 93}));
    EXPECT_EQ(layout.peak, (CtrlRect{1020, 7, 279, 93}));
    EXPECT_EQ(layout.valueFontHeight, 24);
    EXPECT_EQ(layout.statusFontHeight, 11);
    EXPECT_EQ(layout.peakFontHeight, 16);  // trunc(0.7 x 26) - 2
}

TEST(CtrlLayout, IntegerDivisionsTruncate) {
    // h = 77: c = 18, q = 9, e = 7 + 27 = 34.
    CtrlLayout layout = ComputeCtrlLayout(77);
    EXPECT_EQ(layout.picture, (CtrlRect{7, 7, 90, 34}));
    EXPECT_EQ(layout.ccStatus, (CtrlRect{7, 41, 90, 9}));
    EXPECT_EQ(layout.peakFontHeight, 10);  // trunc(12.6) - 2
}

TEST(CtrlLayout, HeightCountsUpTo200) {
    EXPECT_EQ(ComputeCtrlLayout(500).run, ComputeCtrlLayout(200).run);
    EXPECT_EQ(ComputeCtrlLayout(200).run, (CtrlRect{25 * 59 + 63, 7, 193, 193}));
}

TEST(CtrlLayout, TinyOrNegativeHeightsGiveEmptyBoxesAndOnePixelFonts) {
    for (int height : {-50, 0, 20, 21}) {
        CtrlLayout layout = ComputeCtrlLayout(height);
        EXPECT_EQ(layout.picture.width, 0) << height;
        EXPECT_GE(layout.run.width, 0) << height;
        EXPECT_EQ(layout.valueFontHeight, 1) << height;
        EXPECT_EQ(layout.statusFontHeight, 1) << height;
        EXPECT_EQ(layout.peakFontHeight, 1) << height;
    }
}

TEST(CtrlLayout, ANarrowStripLaysOutAtTheHeightWhoseControlsFitItsWidth) {
    // At 100 pixels the peak text ends at 1020 + 279, the strip needs 1306 pixels.
    EXPECT_EQ(CtrlStripWidth(100), 1306);
    EXPECT_EQ(ComputeCtrlLayout(100, 1306).peak, ComputeCtrlLayout(100).peak);
    for (int width : {1305, 1200, 800, 741}) {
        const CtrlLayout layout = ComputeCtrlLayout(100, width);
        EXPECT_LE(layout.peak.left + layout.peak.width + 7, width) << width;
        // The largest height that fits: one pixel more would not.
        const int h = layout.run.height + 7;
        EXPECT_LT(h, 100) << width;
        EXPECT_GT(CtrlStripWidth(h + 1), width) << width;
        // Neighbours never overlap: the buttons follow the VCONN column, the peak the buttons.
        EXPECT_LE(layout.columns[3][0].left + layout.columns[3][0].width, layout.run.left);
        EXPECT_LE(layout.run.left + layout.run.width, layout.pause.left);
        EXPECT_LE(layout.clear.left + layout.clear.width, layout.peak.left);
    }
    // The readable minimum fits the width the window keeps for it.
    EXPECT_EQ(ComputeCtrlLayout(kCtrlMinReadableHeight, CtrlStripWidth(kCtrlMinReadableHeight)).run,
              ComputeCtrlLayout(kCtrlMinReadableHeight).run);
}
