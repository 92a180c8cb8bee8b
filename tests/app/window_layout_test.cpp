// The window a new user sees: the first-run layout chosen from the screen and the window size,
// a stored layout restored as it was, and a control strip that keeps every read-out at every
// size the window allows. Run on a 1600 x 1000 off-screen screen at scale factors 1 and 2.
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

#include "app/capture_controller.h"
#include "app/ctrl/ctrl_layout.h"
#include "app/ctrl_view.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "app/shell/first_run_layout.h"
#include "app/views/pd_packet_list_view.h"
#include "capture/document.h"
#include "graph/view/dockable_graph.h"
#include "list/core/column_info.h"
#include "list/core/column_widths.h"
#include "list/log_view.h"
#include "list/simulated_capture.h"
#include "pd/packet_column.h"
#include "scripted_prompts.h"
#include "settings/settings_store.h"

namespace {

struct Window {
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;

    explicit Window(bool firstRun, const QString& folder) {
        settings.firstRunLayout = firstRun;
        settings.launchDriverInstaller = false;
        settings.recordFileFolder = folder.toStdString();
    }
    void Create() { frame = std::make_unique<CMainFrame>(document, settings, recent, prompts); }
    bool Show(const QSize& size) {
        frame->resize(size);
        frame->show();
        const bool exposed = QTest::qWaitForWindowExposed(frame.get());
        QCoreApplication::processEvents();
        return exposed;
    }
};

int VisibleRows(CKVLogView& list) {
    const int rowHeight = list.visualRect(list.model()->index(0, 0)).height();
    return rowHeight > 0 ? list.viewport()->height() / rowHeight : 0;
}

bool FullScreenSize() {
    return QGuiApplication::primaryScreen()->availableGeometry().height() >= 1000;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { mixed_ = SimulateCapture(dir_, "mixed"); }

    void theFirstWindowIsChosenFromTheScreen() {
        Window w(true, dir_.path());
        w.Create();
        const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
        const FirstRunWindowSize chosen =
            ChooseFirstRunWindowSize(available.width(), available.height());
        QCOMPARE(w.frame->size(), QSize(chosen.width, chosen.height));
        QVERIFY(w.frame->width() <= available.width());
        QVERIFY(w.frame->height() <= available.height());
        // 85 % of a large screen; never above the screen; the default where it fits.
        QCOMPARE(ChooseFirstRunWindowSize(1600, 1000).width, 1360);
        QCOMPARE(ChooseFirstRunWindowSize(1600, 1000).height, 850);
        QCOMPARE(ChooseFirstRunWindowSize(1280, 760).width, 1200);
        QCOMPARE(ChooseFirstRunWindowSize(800, 500).width, 800);
        QCOMPARE(ChooseFirstRunWindowSize(800, 500).height, 500);
        QCOMPARE(ChooseFirstRunWindowSize(0, 0).width, 1200);
        // The graph keeps room for its traces; the details a few rows; the field table its
        // first five columns (800 pixels at their default widths) from 1300 pixels on.
        QCOMPARE(ChooseFirstRunSizes(1600, 1000).graphPaneHeight, 290);
        QCOMPARE(ChooseFirstRunSizes(1600, 1000).detailRowHeight, 100);
        QCOMPARE(ChooseFirstRunSizes(1200, 700).graphPaneHeight, 245);
        QCOMPARE(ChooseFirstRunSizes(800, 500).graphPaneHeight, 200);
        QCOMPARE(ChooseFirstRunSizes(800, 500).detailRowHeight, 70);
        QCOMPARE(ChooseFirstRunSizes(1920, 1400).graphPaneHeight, 490);
        QVERIFY(ChooseFirstRunSizes(1300, 700).fieldTableWidth >= 800);
    }

    void onAFirstRunTheListGetsMostOfTheHeightAndWhatTheWindowGains() {
        Window w(true, dir_.path());
        w.Create();
        QVERIFY(w.frame->OpenDocument(mixed_));
        w.frame->WaitForDecoding();
        const QSize start(1600, 900);
        QVERIFY(w.Show(start));
        QVERIFY(w.frame->GraphPane()->isVisible());
        QSplitter* rows = w.frame->MainSplitter();
        const int listHeight = rows->sizes().value(0);
        const int detailHeight = rows->sizes().value(1);
        QVERIFY2(listHeight > 2 * detailHeight,
                 qPrintable(QStringLiteral("%1 / %2").arg(listHeight).arg(detailHeight)));
        // The grown window gives its new height to the list, not to the details.
        w.frame->resize(1600, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(rows->sizes().value(1), detailHeight);
        if (!FullScreenSize()) {
            QVERIFY(rows->sizes().value(0) >= listHeight);
            return;
        }
        QVERIFY(rows->sizes().value(0) > listHeight + 50);
        // At 1600 x 1000 with the graph shown: at least 15 rows.
        const int shown = VisibleRows(*w.frame->LogView());
        QVERIFY2(shown >= 15, qPrintable(QString::number(shown)));
        // The field table shows its field name, value and description columns whole.
        CPDPacketListView* table = w.frame->FieldTable();
        for (int column : {2, 3, 4}) {
            const int right = table->columnViewportPosition(column) + table->columnWidth(column);
            QVERIFY2(!table->isColumnHidden(column) && right <= table->viewport()->width(),
                     qPrintable(QStringLiteral("column %1 ends at %2 of %3")
                                    .arg(column)
                                    .arg(right)
                                    .arg(table->viewport()->width())));
        }
    }

    void aStoredLayoutIsRestoredAsItWas() {
        Window w(false, dir_.path());
        w.settings.layout.windowWidth = 1100;
        w.settings.layout.windowHeight = 480;
        w.settings.layout.listRowHeight = 140;
        w.settings.layout.fieldTableWidth = 333;
        w.settings.columns[kColumnTimestamp].width = 77;
        w.settings.columns[kColumnPacketNumber].width = 66;
        w.Create();
        QCOMPARE(w.frame->size(),
                 QSize(std::min(1100, w.frame->screen()->availableGeometry().width()),
                       std::min(480, w.frame->screen()->availableGeometry().height())));
        QVERIFY(w.Show(w.frame->size()));
        QCOMPARE(w.frame->MainSplitter()->sizes().value(0), 140);
        QCOMPARE(w.frame->DetailSplitter()->sizes().value(0), 333);
        CKVLogView* list = w.frame->LogView();
        QCOMPARE(list->header()->sectionSize(list->ListColumnOf(kColumnTimestamp)), 77);
        QCOMPARE(list->header()->sectionSize(list->ListColumnOf(kColumnPacketNumber)), 66);
        w.frame->StoreLayout();
        QCOMPARE(w.settings.columns[kColumnTimestamp].width, 77);
        QCOMPARE(w.settings.layout.listRowHeight, 140);
    }

    void firstRunColumnWidthsFitTheirTexts() {
        Window w(true, dir_.path());
        w.Create();
        CKVLogView* list = w.frame->LogView();
        const QFontMetrics metrics(list->font());
        // The time of a capture of up to an hour and a bad CRC are shown whole.
        const int time = list->header()->sectionSize(list->ListColumnOf(kColumnTimestamp));
        QVERIFY(time >= metrics.horizontalAdvance(QStringLiteral(" 59min 59s 999ms 999us")) + 12);
        QVERIFY(time >= metrics.horizontalAdvance(QStringLiteral(" 10s 123ms 456us")) + 12);
        QVERIFY(w.settings.columns[kColumnCrc].width >=
                metrics.horizontalAdvance(QStringLiteral("FFFFFFFFh(Bad)")) + 12);
        // Columns without a known widest text keep their defaults.
        QCOMPARE(w.settings.columns[kColumnDescription].width,
                 DefaultColumnInfo(kColumnDescription).width);
    }

    void theControlStripKeepsEveryReadoutAtTheSmallestWindow() {
        Window w(true, dir_.path());
        w.Create();
        // The smallest window the window allows, and the default one.
        const QSize smallest = w.frame->minimumSizeHint().expandedTo(QSize(200, 200));
        QVERIFY(w.Show(smallest));
        CKVCtrlView& strip = *w.frame->CtrlView();
        // The widest texts the strip shows: 20 V at 5 A, both CC lines advertising 3 A, and
        // a peak line for each direction.
        LiveValues& live = w.frame->Capture()->State().live;
        live.vbusVoltage.store(48000);
        live.vbusVoltageRaw.store(48000);
        live.vbusCurrentCal.store(-5000);
        live.vbusCurrent.store(-5000);
        live.cc1Voltage.store(1500);
        live.cc2Voltage.store(1500);
        w.frame->Capture()->State().flags.connected.store(true);
        QVERIFY(w.frame->OpenDocument(mixed_));
        w.frame->WaitForDecoding();
        for (const QSize& size : {w.frame->size(), QSize(1200, 700), QSize(800, 500)}) {
            w.frame->resize(size);
            QCoreApplication::processEvents();
            strip.RefreshReadouts();
            QVERIFY2(strip.height() >= kCtrlMinReadableHeight,
                     qPrintable(QString::number(strip.height())));
            QList<QWidget*> controls;
            for (QLabel* label : strip.findChildren<QLabel*>()) {
                if (!label->isHidden()) {
                    controls << label;
                }
                if (!label->isHidden() && !label->text().isEmpty()) {
                    const QFontMetrics metrics(label->font());
                    const QRect needed = metrics.boundingRect(
                        QRect(0, 0, 4096, 4096), Qt::AlignLeft | Qt::AlignTop, label->text());
                    QVERIFY2(needed.width() <= label->contentsRect().width(),
                             qPrintable(label->text()));
                    // The CC status has the strip's smallest box (a sixth of its height).
                    const int minimumFont = label == strip.ValueLabel(1120) ? 4 : 6;
                    QVERIFY2(label->font().pixelSize() >= minimumFont,
                             qPrintable(QStringLiteral("%1 [%2] at %3 px in %4x%5")
                                            .arg(label->objectName(), label->text())
                                            .arg(label->font().pixelSize())
                                            .arg(label->width())
                                            .arg(label->height())));
                }
            }
            controls << strip.RunButton() << strip.PauseButton() << strip.ClearButton();
            for (QWidget* control : controls) {
                QVERIFY2(strip.rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
                for (QWidget* other : controls) {
                    QVERIFY2(
                        other == control || !other->geometry().intersects(control->geometry()),
                        qPrintable(control->objectName() + QLatin1Char('/') + other->objectName()));
                }
            }
        }
        QCOMPARE(strip.ValueLabel(1120)->text(), QStringLiteral("vRd-3.0 (CC1)vRd-3.0 (CC2)"));
        w.frame->Capture()->State().flags.connected.store(false);
    }

  private:
    QTemporaryDir dir_;
    QString mixed_;
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
