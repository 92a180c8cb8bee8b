// The graph on rendered pixels: the vRd bands by voltage scale, none without a CC voltage
// trace, packet bar labels and flagged labels, the hovered marker's read-out column, a pinned
// marker's label, and the fast decimation painting the same image as the reference one.
#include <gtest/gtest.h>

#include <random>

#include "graph/graph_buttons.h"
#include "graph/graph_test_data.h"
#include "graph/packet_test_data.h"
#include "graph/view/graph_text.h"
#include "paint_test_support.h"

namespace {

class GraphPaintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        model.Layout(1300, 700);
        FitAllGraphs(model);
        model.Layout(1300, 700, true);
        model.state.timeScale = 1.0f;
        model.CentreOnTime(500);
        // Only the labelled grid lines, so that the bands show between them.
        appearance.switches[static_cast<int>(GraphSwitch::VolAxis)] = false;
        appearance.switches[static_cast<int>(GraphSwitch::TimeAxis)] = false;
    }
    QImage Paint() {
        GraphScene scene{model, appearance, document};
        scene.highlights = highlights;
        scene.hoverMarker = hover;
        return PaintScene(scene);
    }
    // Rows of column x, from top to bottom, that have this colour.
    static int RowsOf(const QImage& image, int x, int top, int bottom, QRgb colour) {
        int rows = 0;
        for (int y = top; y < bottom; ++y) {
            rows += image.pixel(x, y) == colour ? 1 : 0;
        }
        return rows;
    }
    static bool AnyPixelNot(const QImage& image, const QRect& rect, QRgb colour) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixel(x, y) != colour) {
                    return true;
                }
            }
        }
        return false;
    }
    static bool AnyPixel(const QImage& image, const QRect& rect, QRgb colour) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixel(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    GraphModel model;
    GraphAppearance appearance = DefaultGraphAppearance();
    DocumentSnapshot document;
    PacketHighlights highlights;
    GraphMarker hover = GraphMarker::None;
};

TEST_F(GraphPaintTest, VrdUsbBandIsThreeRowsUnlabelledAtOneHundredthPixelPerMillivolt) {
    model.state.voltScale = 0.01f;
    model.state.voltZeroOffset = 300;
    model.Layout(1300, 700, true);
    const QImage image = Paint();
    const QRgb usb = Rgb(appearance.Colour(GraphColour::VRdUSB));
    const int yV0 = model.Geometry().yV0;
    // Far right of the graph area, where no label could stand.
    EXPECT_EQ(RowsOf(image, 1105, yV0 - 20, yV0, usb), 3);
    // Nothing in the label colour on the band's left end.
    const QRgb label = Rgb(appearance.Colour(GraphColour::VBusVol));
    EXPECT_FALSE(AnyPixel(image, QRect(150, yV0 - 30, 80, 30), label));
}

TEST_F(GraphPaintTest, VrdUsbBandIsEighteenRowsLabelledAtFiveHundredths) {
    model.state.voltScale = 0.05f;
    model.state.voltZeroOffset = 300;
    model.Layout(1300, 700, true);
    const QImage image = Paint();
    const QRgb usb = Rgb(appearance.Colour(GraphColour::VRdUSB));
    const int yV0 = model.Geometry().yV0;
    const int top = yV0 - 30;  // 610 mV
    EXPECT_EQ(RowsOf(image, 1105, top - 5, top + 25, usb), 18);
    const QRgb label = Rgb(appearance.Colour(GraphColour::VBusVol));
    EXPECT_TRUE(AnyPixel(image, QRect(150, top, 80, 18), label));
}

TEST_F(GraphPaintTest, NoVrdBandsWithBothCcVoltageTracesOff) {
    model.state.voltScale = 0.05f;
    model.state.voltZeroOffset = 300;
    model.state.traceCC1Vol = false;
    model.state.traceCC2Vol = false;
    model.Layout(1300, 700, true);
    const QImage image = Paint();
    const int yV0 = model.Geometry().yV0;
    for (GraphColour band : {GraphColour::VRdUSB, GraphColour::VRd15, GraphColour::VRd30}) {
        EXPECT_FALSE(
            AnyPixel(image, QRect(400, yV0 - 110, 600, 110), Rgb(appearance.Colour(band))));
    }
}

TEST_F(GraphPaintTest, FortyPixelBarHasNoLabelAndASelectedOneHasItsFlaggedLabel) {
    document.packets = {ValidPacket(200, 40), ValidPacket(600, 40)};
    const QImage plain = Paint();
    const GraphLayout& layout = model.Geometry();
    const int barTop = layout.pdBand.top;
    const int x0 = model.XOfTime(200);
    const QRgb port1 = qRgb(0, 0, 255);
    EXPECT_EQ(plain.pixel(x0 + 20, barTop + 8), port1);
    // Above the bar: no label background in the bar colour.
    EXPECT_FALSE(AnyPixel(plain, QRect(x0, barTop - 16, 120, 15), port1));

    highlights.selected = document.packets[1].get();
    const QImage selected = Paint();
    const int x1 = model.XOfTime(600);
    const QRgb blue = qRgb(100, 100, 255);
    EXPECT_EQ(selected.pixel(x1 + 20, barTop + 8), blue);
    // The flagged label at the top of the graph area and its line down to the bar.
    EXPECT_TRUE(AnyPixel(selected, QRect(x1, layout.graphTop + 1, 60, 12), blue));
    EXPECT_EQ(selected.pixel(x1, (layout.graphTop + barTop) / 2), blue);
    EXPECT_FALSE(AnyPixel(selected, QRect(x1 + 60, layout.graphTop + 1, 10, 10), port1));
}

TEST_F(GraphPaintTest, HoveredMarkerShowsItsReadoutColumn) {
    SampleStore store;
    document =
        SnapshotOf({{0, 5000, 1000, 1700, 0, 300, 0}, {2000, 5000, 1000, 1700, 0, 300, 0}}, store);
    model.state.markerOTime = 300;
    const GraphLayout& layout = model.Geometry();
    const int x = model.XOfTime(300);
    const QRgb vbusVolt = Rgb(appearance.Colour(GraphColour::VBusVol));
    const QRgb markerO = Rgb(appearance.Colour(GraphColour::MarkerO));
    const int lineHeight = model.state.fontHeight + 4;
    const QRect header(x + 1, layout.graphTop + 2, 40, model.state.fontHeight);
    const QRect voltage(x + 4, layout.graphTop + 2 + lineHeight, 40, model.state.fontHeight);
    const QImage plain = Paint();
    EXPECT_FALSE(AnyPixel(plain, header, markerO));
    hover = GraphMarker::O;
    const QImage hovered = Paint();
    EXPECT_TRUE(AnyPixel(hovered, header, markerO));
    EXPECT_TRUE(AnyPixel(hovered, voltage, vbusVolt));
    // The column is left-aligned: nothing of it left of the line.
    EXPECT_FALSE(
        AnyPixel(hovered, QRect(x - 40, layout.graphTop + 2 + lineHeight, 30, 10), vbusVolt));
    // The hovered line is 5 pixels wide.
    EXPECT_EQ(hovered.pixel(x + 2, layout.graphTop + 150), markerO);
    EXPECT_NE(plain.pixel(x + 2, layout.graphTop + 150), markerO);
}

TEST_F(GraphPaintTest, PinnedMarkerShowsItsLabelAtTheEdgeWithoutALine) {
    model.state.markerXTime = -100000;
    model.state.markerOTime = 100000;
    const QImage image = Paint();
    const GraphLayout& layout = model.Geometry();
    const QRgb markerX = Rgb(appearance.Colour(GraphColour::MarkerX));
    const QRgb markerO = Rgb(appearance.Colour(GraphColour::MarkerO));
    const int bottom = layout.GraphBottom();
    EXPECT_TRUE(AnyPixel(image, QRect(layout.graphLeft, bottom - 12, 30, 10), markerX));
    EXPECT_NE(image.pixel(layout.graphLeft, layout.graphTop + 100), markerX);
    const int right = layout.graphLeft + layout.graphWidth;
    EXPECT_TRUE(AnyPixel(image, QRect(right - 30, bottom - 12, 29, 10), markerO));
    EXPECT_NE(image.pixel(right - 1, layout.graphTop + 100), markerO);
}

TEST_F(GraphPaintTest, EmptySettingsGiveABlackGraphAreaInAWhiteFrame) {
    const QImage image = Paint();
    const GraphLayout& layout = model.Geometry();
    EXPECT_EQ(image.pixel(layout.graphLeft + 2, layout.graphTop + 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(layout.frameArea.left + 2, layout.graphTop + 100), qRgb(255, 255, 255));
}

// Where two images first differ, for the failure message.
std::string FirstDifference(const QImage& a, const QImage& b) {
    int count = 0;
    std::string first;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (count++ == 0) {
                    first = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
                }
            }
        }
    }
    return count == 0 ? std::string("none") : first + " and " + std::to_string(count - 1) + " more";
}

// Small captures at several zooms: the fast decimation paints the reference image.
TEST_F(GraphPaintTest, FastPaintEqualsReferencePaint) {
    std::mt19937 random(7);
    std::vector<Reading> readings;
    int voltage = 5000;
    int current = 500;
    for (int i = 0; i < 20000; ++i) {
        if (random() % 500 == 0) {
            voltage = 5000 + static_cast<int>(random() % 15000);
        }
        current = std::clamp(current + static_cast<int>(random() % 81) - 40, -3000, 5000);
        readings.push_back({int64_t{i} * 37 + static_cast<int64_t>(random() % 20), voltage, current,
                            1700 + static_cast<int>(random() % 30), current / 10, 300,
                            -current / 20});
    }
    SampleStore store;
    document = SnapshotOf(readings, store);
    for (int i = 0; i < 40; ++i) {
        document.packets.push_back(ValidPacket(1000 + i * 18000, 900));
    }
    model.state.traceCC1Curr = true;
    model.state.traceCC2Curr = true;
    model.state.measuringPointsShown = false;
    model.state.dataStartTime = 0;
    model.state.dataEndTime = readings.back().time;
    model.state.voltMax = document.stats.maxVoltage;
    model.state.currMin = document.stats.minCurrent;
    model.state.currMax = document.stats.maxCurrent;
    model.state.wattMin = document.stats.minPower;
    model.state.wattMax = document.stats.maxPower;
    FitEverything(model);
    for (int zoom = 0; zoom < 5; ++zoom) {
        GraphScene fast{model, appearance, document};
        GraphScene reference{model, appearance, document};
        reference.decimation = Decimation::Reference;
        const QImage fastImage = PaintScene(fast);
        const QImage referenceImage = PaintScene(reference);
        EXPECT_TRUE(fastImage == referenceImage)
            << "zoom step " << zoom << ": " << FirstDifference(fastImage, referenceImage);
        for (int step = 0; step < 6; ++step) {
            model.ZoomTimeIn();
        }
        model.state.measuringPointsShown = zoom >= 3;
    }
}

TEST(AxisLabelsTest, LabelsCutByTheirBandOrOverlappingAnotherAreLeftOut) {
    EnsureApplication();
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int top = 20;
    const int bottom = 80;
    AxisLabels labels(top, bottom);
    auto drawnAt = [&](int x, int baseline) {
        const QImage before = image.copy();
        labels.Draw(painter, x, baseline, TextAlignX::Left, TextAlignY::Baseline,
                    QStringLiteral("20.0V"), Qt::white, Qt::red);
        return image != before;
    };
    // The digits' cap height above the band's top row: cut, left out.
    EXPECT_FALSE(drawnAt(0, top + metrics.capHeight() - 1));
    // Just inside at the top and at the bottom: drawn.
    EXPECT_TRUE(drawnAt(0, top + metrics.capHeight()));
    EXPECT_TRUE(drawnAt(100, bottom));
    // Below the band's bottom row: left out.
    EXPECT_FALSE(drawnAt(0, bottom + 1));
    // Overlapping the label drawn at the top: left out.
    EXPECT_FALSE(drawnAt(10, top + metrics.capHeight() + 4));
}

}  // namespace
