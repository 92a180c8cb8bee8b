// The main window's graph pane: docked and shown at start, F7's action hides it and disables
// the graph commands, the list's selection highlights the packet's bar, a double click on a row
// centres the graph, a double click on the graph selects the row, a new time origin moves the
// graph, the capture tick follows the newest sample, and the graph switches go into the settings.
#include <QDockWidget>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>
#include <chrono>
#include <thread>

#include "app/capture_controller.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/document.h"
#include "graph/graph_buttons.h"
#include "graph/packet_bars.h"
#include "graph/view/dockable_graph.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "list/simulated_capture.h"
#include "scripted_prompts.h"
#include "settings/settings_store.h"

class GraphPaneTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        spr_ = SimulateCapture(dir_, "spr");
        QVERIFY(!spr_.isEmpty());
    }
    void init() {
        document_ = std::make_unique<CKVDoc>();
        settings_ = SettingsStore{};
        frame_ = std::make_unique<CMainFrame>(*document_, settings_, recent_, prompts_);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        QVERIFY(frame_->OpenDocument(spr_));
    }
    void cleanup() { frame_.reset(); }

    void paneIsDockedAndShownWithAFittedGraph() {
        QVERIFY(!frame_->GraphPane()->isFloating());
        QVERIFY(frame_->GraphPane()->isVisible());
        QCOMPARE(frame_->GraphPane()->windowTitle(), QStringLiteral("Graph"));
        const GraphModel& model = frame_->GraphView()->Model();
        QCOMPARE(model.Document(), document_.get());
        QVERIFY(model.state.dataEndTime > model.state.dataStartTime);
        QVERIFY(model.XOfTime(model.state.dataStartTime) >= model.Geometry().graphLeft);
        QVERIFY(model.XOfTime(model.state.dataEndTime) <=
                model.Geometry().graphLeft + model.Geometry().graphWidth);
        QVERIFY(frame_->GraphFontAction()->isEnabled());
    }

    void showGraphHidesThePaneAndDisablesTheGraphCommands() {
        QCOMPARE(frame_->ShowGraphAction()->shortcut(), QKeySequence(Qt::Key_F7));
        frame_->ShowGraphAction()->trigger();
        QVERIFY(!frame_->GraphPane()->isVisible());
        QVERIFY(!frame_->MeasuringPointsAction()->isEnabled());
        QVERIFY(!frame_->ShowPdPacketsAction()->isEnabled());
        QVERIFY(!frame_->GraphAutoScrollAction()->isEnabled());
        frame_->ShowGraphAction()->trigger();
        QVERIFY(frame_->GraphPane()->isVisible());
        QVERIFY(frame_->MeasuringPointsAction()->isEnabled());
    }

    void graphCommandsSetTheViewAndTheSettings() {
        frame_->MeasuringPointsAction()->trigger();
        QVERIFY(frame_->GraphView()->Model().state.measuringPointsShown);
        QVERIFY(settings_.graphShowPlots);
        frame_->ShowPdPacketsAction()->trigger();
        QVERIFY(!frame_->GraphView()->Model().state.showPdPackets);
        QVERIFY(!settings_.graphShowPDPackets);
        frame_->GraphAutoScrollAction()->trigger();
        QVERIFY(!settings_.graphAutoScroll);
        frame_->GraphView()->RunCommand(kToggleWattGraph);
        frame_->StoreLayout();
        QVERIFY(!settings_.graphShown.wattage);
        QVERIFY(settings_.graphShown.voltage);
    }

    void rowDoubleClickCentresTheGraphOnThePacket() {
        CKVLogView& list = *frame_->LogView();
        const int row = list.RowCount() / 2;
        const CCCPacket* packet = list.PacketModel()->PacketAt(row);
        QVERIFY(packet != nullptr);
        emit list.packetActivated(packet);
        QCOMPARE(frame_->GraphView()->Model().state.centreTime,
                 packet->relTime - document_->TimeOrigin());
    }

    void selectedRowGivesItsBarTheSelectionColour() {
        CKVLogView& list = *frame_->LogView();
        list.SelectRow(3);
        const CCCPacket* packet = list.SelectedPacket();
        QVERIFY(packet != nullptr);
        CGraphView& view = *frame_->GraphView();
        view.CentreOnTime(packet->relTime - document_->TimeOrigin());
        view.Model().state.timeScale = 0.05f;
        view.CentreOnTime(packet->relTime - document_->TimeOrigin());
        const QImage image = view.Render();
        const GraphLayout& layout = view.Model().Geometry();
        const int x = view.Model().XOfTime(packet->relTime - document_->TimeOrigin());
        QCOMPARE(QColor(image.pixel(x, layout.pdBand.top + 8)), QColor(100, 100, 255));
    }

    void graphDoubleClickSelectsTheNearestPacketsRow() {
        CGraphView& view = *frame_->GraphView();
        const PacketPtr packet = document_->PacketAt(5);
        view.Model().state.timeScale = 0.01f;
        view.CentreOnTime(packet->relTime - document_->TimeOrigin());
        const int x = view.Model().XOfTime(packet->relTime - document_->TimeOrigin());
        const int64_t clicked = view.Model().TimeOfX(x);
        QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier,
                           QPoint(x, view.Model().Geometry().graphTop + 50));
        QCOMPARE(view.Model().state.centreTime, clicked);
        const CCCPacket* selected = frame_->LogView()->SelectedPacket();
        QVERIFY(selected != nullptr);
        // Within a pixel's worth of time of packet 5: that packet or a neighbour as near.
        const int64_t distance = std::llabs(selected->relTime - document_->TimeOrigin() - clicked);
        QVERIFY(distance <= std::llabs(packet->relTime - document_->TimeOrigin() - clicked));
    }

    void timeOriginMovesTheGraphAndItsMarkers() {
        CGraphView& view = *frame_->GraphView();
        const int64_t centre = view.Model().state.centreTime;
        view.Model().state.markerOTime = 1000000;
        document_->SetTimeOrigin(250000, true);
        QCOMPARE(view.Model().state.centreTime, centre - 250000);
        QCOMPARE(view.Model().state.markerOTime, 1000000 - 250000);
        QVERIFY(document_->MarkersChanged());
    }

    void captureTickFollowsTheNewestSample() {
        CGraphView& view = *frame_->GraphView();
        const int64_t far = view.Model().state.rightTime + 10000000;
        emit frame_->Capture()->followCapture(far);
        QCOMPARE(view.Model().state.centreTime, far);
    }

    void aTallerPaneRefitsTheValueAxesAsItsFirstSizeWas() {
        CGraphView& view = *frame_->GraphView();
        const float before = view.Model().state.voltScale;
        const int height = frame_->GraphPane()->height();
        frame_->resizeDocks({frame_->GraphPane()}, {height + 200}, Qt::Vertical);
        QCoreApplication::processEvents();
        QVERIFY(frame_->GraphPane()->height() > height + 100);
        // The traces use the new height, as the fit buttons would place them.
        GraphModel fitted = view.Model();
        FitAllGraphs(fitted);
        QCOMPARE(view.Model().state.voltScale, fitted.state.voltScale);
        QCOMPARE(view.Model().state.currScale, fitted.state.currScale);
        QVERIFY(view.Model().state.voltScale > before);
    }

    void aLiveCaptureRefitsTheGraphToItsGrowingTrace() {
        frame_.reset();
        document_ = std::make_unique<CKVDoc>();
        settings_.recordFileFolder = dir_.path().toStdString();
        settings_.recordDoNotAskAgain = true;
        settings_.launchDriverInstaller = false;
        frame_ = std::make_unique<CMainFrame>(*document_, settings_, recent_, prompts_);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        CCaptureController& capture = *frame_->Capture();
        capture.ConnectVirtualAnalyzer(QStringLiteral("spr"));
        capture.RunAction()->trigger();
        const auto maxVoltage = [this] { return document_->Stats().maxVoltage; };
        for (int i = 0; i < 200 && maxVoltage() < 19000; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            capture.Tick();
        }
        QVERIFY2(maxVoltage() >= 19000, qPrintable(QString::number(maxVoltage())));
        // The 20 V trace is inside the graph, not clipped at the top of a 5 V axis.
        const GraphModel& model = frame_->GraphView()->Model();
        QVERIFY(model.state.voltMax >= maxVoltage());
        QVERIFY(model.YOfVoltage(maxVoltage()) >= model.Geometry().graphTop);
        capture.StopAction()->trigger();
    }

  private:
    QTemporaryDir dir_;
    QString spr_;
    SettingsStore settings_;
    CRecentFileList recent_;
    ScriptedPrompts prompts_;
    std::unique_ptr<CKVDoc> document_;
    std::unique_ptr<CMainFrame> frame_;
};

QTEST_MAIN(GraphPaneTest)
#include "graph_pane_test.moc"
