// The graph widget: the right button's menu and zoom rectangle, the context commands'
// enabling, the wheel, a double click picking a packet, marker dragging marking the document,
// and markers going into the saved file and coming back on open.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>

#include "capture/document.h"
#include "capture/packet_file.h"
#include "capture/temp_files.h"
#include "graph/graph_buttons.h"
#include "graph/graph_test_data.h"
#include "graph/view/graph_view.h"
#include "paint_test_support.h"
#include "pd/packet_duration.h"

namespace {

void Press(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
           Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Wheel(QWidget& widget, QPoint at, int delta, Qt::MouseButtons held) {
    QWheelEvent event(QPointF(at), widget.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta),
                      held, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

class GraphViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        WriteCurrents(dir.File("a.zaz"), std::vector<int>(2000, 1000));
        ASSERT_TRUE(document.OpenRecordFile(dir.File("a.zaz")));
        view = std::make_unique<CGraphView>(DefaultGraphAppearance(), GraphShownFlags{});
        view->resize(1200, 700);
        view->show();
        view->AttachDocument(&document, false);
        QApplication::processEvents();
    }
    QPoint InGraph(int dx, int dy) const {
        const GraphLayout& layout = view->Model().Geometry();
        return {layout.graphLeft + dx, layout.graphTop + dy};
    }

    TempDir dir;
    CKVDoc document;
    std::unique_ptr<CGraphView> view;
};

TEST_F(GraphViewTest, AttachFitsTheWholeCaptureIntoTheShownWindow) {
    const GraphViewState& state = view->Model().state;
    EXPECT_EQ(state.dataEndTime - state.dataStartTime, 1999000);
    const int span =
        view->Model().XOfTime(state.dataEndTime) - view->Model().XOfTime(state.dataStartTime);
    EXPECT_NEAR(span, view->Model().Geometry().graphWidth * 0.99, 2.0);
}

TEST_F(GraphViewTest, RightClickWithoutMovingOpensTheMenuAndDoesNotZoom) {
    QSignalSpy menu(view.get(), &CGraphView::contextMenuRequested);
    const float scale = view->Model().state.timeScale;
    const QPoint at = InGraph(100, 100);
    Press(*view, QEvent::MouseButtonPress, Qt::RightButton, at, Qt::RightButton);
    Press(*view, QEvent::MouseButtonRelease, Qt::RightButton, at, Qt::NoButton);
    EXPECT_EQ(menu.count(), 1);
    EXPECT_EQ(view->Model().state.timeScale, scale);
    EXPECT_TRUE(view->ContextTimeValid());
    EXPECT_EQ(view->ContextTime(), view->Model().TimeOfX(at.x()));
}

TEST_F(GraphViewTest, SmallRightDragNeitherZoomsNorOpensTheMenu) {
    QSignalSpy menu(view.get(), &CGraphView::contextMenuRequested);
    const float scale = view->Model().state.timeScale;
    const QPoint from = InGraph(100, 100);
    const QPoint to = from + QPoint(8, 40);
    Press(*view, QEvent::MouseButtonPress, Qt::RightButton, from, Qt::RightButton);
    Press(*view, QEvent::MouseMove, Qt::NoButton, to, Qt::RightButton);
    Press(*view, QEvent::MouseButtonRelease, Qt::RightButton, to, Qt::NoButton);
    EXPECT_EQ(menu.count(), 0);
    EXPECT_EQ(view->Model().state.timeScale, scale);
    // A large one zooms.
    Press(*view, QEvent::MouseButtonPress, Qt::RightButton, from, Qt::RightButton);
    Press(*view, QEvent::MouseButtonRelease, Qt::RightButton, from + QPoint(100, 100),
          Qt::NoButton);
    EXPECT_GT(view->Model().state.timeScale, scale);
}

TEST_F(GraphViewTest, RightClickOutsideTheGraphDisablesTheMarkerCommands) {
    const QPoint outside(20, 300);
    Press(*view, QEvent::MouseButtonPress, Qt::RightButton, outside, Qt::RightButton);
    Press(*view, QEvent::MouseButtonRelease, Qt::RightButton, outside, Qt::NoButton);
    std::unique_ptr<QMenu> menu(view->BuildContextMenu(nullptr));
    std::map<QString, bool> enabled;
    for (QAction* action : menu->findChildren<QAction*>()) {
        enabled[action->text()] = action->isEnabled();
    }
    EXPECT_FALSE(enabled[QStringLiteral("Set Marker O")]);
    EXPECT_FALSE(enabled[QStringLiteral("Set Marker X")]);
    EXPECT_FALSE(enabled[QStringLiteral("Current Position")]);
    EXPECT_TRUE(enabled[QStringLiteral("Absolute")]);
    EXPECT_TRUE(enabled[QStringLiteral("Fit All Graphs")]);
}

TEST_F(GraphViewTest, SetMarkerFromTheMenuMarksTheDocument) {
    const QPoint at = InGraph(300, 100);
    Press(*view, QEvent::MouseButtonPress, Qt::RightButton, at, Qt::RightButton);
    Press(*view, QEvent::MouseButtonRelease, Qt::RightButton, at, Qt::NoButton);
    QSignalSpy changed(view.get(), &CGraphView::markersChanged);
    view->RunCommand(kSetMarkerX);
    EXPECT_EQ(view->Model().state.markerXTime, view->Model().TimeOfX(at.x()));
    EXPECT_TRUE(document.MarkersChanged());
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(GraphViewTest, WheelForwardScrollsLaterAndZoomsWithTheRightButtonHeld) {
    view->Model().ZoomTimeIn();
    view->Model().ZoomTimeIn();
    const int64_t centre = view->Model().state.centreTime;
    Wheel(*view, InGraph(100, 100), 120, Qt::NoButton);
    EXPECT_GT(view->Model().state.centreTime, centre);
    Wheel(*view, InGraph(100, 100), -120, Qt::NoButton);
    EXPECT_EQ(view->Model().state.centreTime, centre);
    const float scale = view->Model().state.timeScale;
    Press(*view, QEvent::MouseButtonPress, Qt::RightButton, InGraph(100, 100), Qt::RightButton);
    Wheel(*view, InGraph(100, 100), 120, Qt::RightButton);
    EXPECT_GT(view->Model().state.timeScale, scale);
}

TEST_F(GraphViewTest, DraggingAHoveredMarkerMovesItAndMarksTheDocument) {
    GraphModel& model = view->Model();
    model.state.markerOTime = model.TimeOfX(InGraph(200, 0).x());
    Press(*view, QEvent::MouseMove, Qt::NoButton, InGraph(205, 100), Qt::NoButton);
    EXPECT_EQ(view->HoverMarker(), GraphMarker::O);
    Press(*view, QEvent::MouseButtonPress, Qt::LeftButton, InGraph(205, 100), Qt::LeftButton);
    Press(*view, QEvent::MouseMove, Qt::NoButton, InGraph(400, 100), Qt::LeftButton);
    Press(*view, QEvent::MouseButtonRelease, Qt::LeftButton, InGraph(400, 100), Qt::NoButton);
    EXPECT_EQ(model.state.markerOTime, model.TimeOfX(InGraph(400, 0).x()));
    EXPECT_TRUE(document.MarkersChanged());
}

TEST_F(GraphViewTest, MarkersAreSavedWithTheDocumentAndRestoredOnOpen) {
    view->Model().state.markerOTime = 250000;
    view->Model().state.markerXTime = 1250000;
    document.NoteMarkersChanged();
    ASSERT_TRUE(document.SaveAs(dir.File("b.zaz")));
    CKVDoc reopened;
    ASSERT_TRUE(reopened.OpenRecordFile(dir.File("b.zaz")));
    CGraphView other(DefaultGraphAppearance(), GraphShownFlags{});
    other.resize(1200, 700);
    other.AttachDocument(&reopened, false);
    EXPECT_EQ(other.Model().state.markerOTime, 250000);
    EXPECT_EQ(other.Model().state.markerXTime, 1250000);
}

TEST_F(GraphViewTest, ButtonsAreCreatedWithImagesAndFollowTheGraphs) {
    QPushButton* fitVolt = view->Button(kFitVoltButton);
    ASSERT_NE(fitVolt, nullptr);
    EXPECT_FALSE(fitVolt->icon().isNull());
    EXPECT_EQ(fitVolt->accessibleName(), QStringLiteral("A"));
    EXPECT_TRUE(fitVolt->isVisible());
    view->RunCommand(kToggleVoltGraph);
    EXPECT_FALSE(fitVolt->isVisible());
    EXPECT_TRUE(
        view->ButtonImagePath(kToggleVoltGraph).endsWith(QStringLiteral("graph_volt_off.svg")));
    int buttons = 0;
    for (const GraphButtonInfo& info : GraphButtons()) {
        buttons += view->Button(info.id) != nullptr ? 1 : 0;
        EXPECT_FALSE(QIcon(view->ButtonImagePath(info.id)).isNull()) << info.id;
    }
    EXPECT_EQ(buttons, 25);
}

TEST_F(GraphViewTest, LowGraphAreaUsesSixteenPixelSmallButtons) {
    // Window height H = 287 + 1: a graph area of 288 - 64 - 74 = 150 pixels.
    view->resize(1200, 287);
    QApplication::processEvents();
    ASSERT_EQ(view->Model().Geometry().graphHeight, 150);
    EXPECT_EQ(view->Button(kVoltUp)->height(), 16);
    EXPECT_TRUE(view->ButtonImagePath(kVoltUp).endsWith(QStringLiteral("up_small.svg")));
    view->resize(1200, 700);
    QApplication::processEvents();
    EXPECT_TRUE(view->ButtonImagePath(kVoltUp).endsWith(QStringLiteral("up_large.svg")));
}

TEST_F(GraphViewTest, HomeFitsAndPageKeysZoom) {
    const float scale = view->Model().state.timeScale;
    QKeyEvent up(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &up);
    EXPECT_GT(view->Model().state.timeScale, scale);
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &home);
    EXPECT_FLOAT_EQ(view->Model().state.timeScale, scale);
}

}  // namespace

// A paint of a large capture copies only the packets it can draw, and numbers their bars as the
// document does.
TEST(GraphViewPaint, APaintOfALargeCaptureTakesOnlyThePacketsInView) {
    EnsureApplication();
    TempDir dir;
    constexpr int kPackets = 100'000;
    WriteFile(dir.File("large.zaz"), PacketFile(kPackets).Bytes());  // 500 µs apart
    CKVDoc document;
    ASSERT_TRUE(document.OpenRecordFile(dir.File("large.zaz")));
    ASSERT_EQ(document.PacketCount(), static_cast<size_t>(kPackets));
    CGraphView view(DefaultGraphAppearance(), GraphShownFlags{});
    view.resize(1200, 700);
    view.show();
    view.AttachDocument(&document, false);
    QApplication::processEvents();
    const auto time = [&document](size_t i) { return document.PacketAt(i)->relTime; };

    // 20 ms from packet 60 000 on: 40 packets, and the one whose burst may reach into the view.
    view.ShowTimeRange(time(60'000), time(60'040));
    DocumentSnapshot snapshot = view.PaintSnapshot();
    const GraphViewState& state = view.Model().state;
    const size_t first = snapshot.firstPacketNumber;
    EXPECT_LE(first, 60'000u);
    EXPECT_GE(first, 59'999u);
    EXPECT_LE(snapshot.packets.size(), 44u);
    ASSERT_GE(snapshot.packets.size(), 40u);
    for (size_t k = 0; k < snapshot.packets.size(); ++k) {
        EXPECT_EQ(snapshot.packets[k], document.PacketAt(first + k)) << k;
    }
    // No bar that reaches into the view is missing.
    const CCCPacket& before = *document.PacketAt(first - 1);
    EXPECT_LT(before.relTime + PacketDuration(before), state.leftTime);
    EXPECT_GT(document.PacketAt(first + snapshot.packets.size())->relTime, state.rightTime);
    EXPECT_EQ(snapshot.samples.Size(), document.SampleCount());

    // Zoomed in on one packet: its bar is wide enough for its label, which names its number in
    // the document, as does its flagged label as the selected packet.
    view.ShowTimeRange(time(70'000) - 100, time(70'000) + 300);
    snapshot = view.PaintSnapshot();
    const PacketHighlights highlights{nullptr, nullptr, document.PacketAt(70'000).get()};
    const std::vector<PacketBar> bars =
        PlacePacketBars({view.Model().state, view.Model().Geometry(), snapshot, highlights});
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].packet, document.PacketAt(70'000).get());
    EXPECT_EQ(bars[0].label.rfind("#70000 ", 0), 0u) << bars[0].label;
    EXPECT_EQ(bars[0].flagLabel.rfind("#70000 ", 0), 0u) << bars[0].flagLabel;
    EXPECT_FALSE(view.Render().isNull());
}
