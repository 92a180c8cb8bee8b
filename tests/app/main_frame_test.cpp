// The main window: file commands, markers through Save, title, recent files, layout, fonts,
// detail views, dropped files and the command line.
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include "app/about_dlg.h"
#include "app/capture_controller.h"
#include "app/kv_app.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "app/shell/status_panes.h"
#include "app/tool_commands.h"
#include "app/views/pd_packet_list_view.h"
#include "app/views/pd_packet_tree_view.h"
#include "capture/document.h"
#include "device/sim/simulator.h"
#include "graph/view/dockable_graph.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "list/simulated_capture.h"
#include "pd/message_header.h"
#include "scripted_prompts.h"
#include "settings/qt/log_font_qfont.h"
#include "settings/settings_store.h"
#include "tools/qt/export_dlg.h"
#include "tools/qt/job_runner.h"

namespace {

// The window with its application-owned parts and scripted prompts.
struct FrameHarness {
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;

    // Save questions are answered No until a test says otherwise.
    FrameHarness() {
        prompts.saveChoice = SaveChoice::kDiscard;
        Create();
    }
    void Create() { frame = std::make_unique<CMainFrame>(document, settings, recent, prompts); }
    QStringList Questions() const { return prompts.Texts(ScriptedPrompts::Kind::kSaveChanges); }
    QStringList Errors() const { return prompts.Texts(ScriptedPrompts::Kind::kWarning); }
};

std::vector<int> MarkedNumbers(const CKVDoc& document) {
    std::vector<int> numbers;
    for (size_t i = 0; i < document.PacketCount(); ++i) {
        if (document.IsMarked(*document.Packets()[i])) {
            numbers.push_back(static_cast<int>(i));
        }
    }
    return numbers;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();

    void newWindowIsUntitledWithSaveDisabled();
    void openingDecodesAndTitlesTheDocument();
    void statusBarShowsProgressAndCompletionTexts();
    void saveToNewPathReopensWithTheSameMarkers();
    void saveAgainToTheCopyKeepsTheMarkers();
    void saveFailureReportsSaveFileError();
    void modifiedDocumentAsksBeforeBeingReplaced();
    void yesSavesBeforeReplacing();
    void closingAModifiedDocumentAsksAndCancelKeepsTheWindow();
    void missingFileIsReportedAndDroppedFromRecentFiles();
    void recentFilesKeepFourNewestFirst();
    void droppedFileOpensLikeFileOpen();
    void selectionDrivesTheFieldTreeAndTable();
    void splittersFollowTheLayoutRecord();
    void fontSettingsReachAllThreeViewsAndTheSettings();
    void columnLayoutAndAutoScrollGoBackIntoTheSettings();
    void commandLineTakesOneFileAndTheScreenshotOption();
    void screenshotRendersAPng();
    void aboutLinesWithAndWithoutAnalyzer();
    void menusCarryTheirCommands();
    void automaticExportWritesBothItemsAndReusesItsDialog();
    void exportOffersTheGraphMarkersWhereTheGraphShowsThem();
    void tolerantDecodingSwitchDecodesAgainAndTheStatusBarCounts();
    void resetPacketShowsOnlyItsPacketNode();
    void reassembledBlockOffsetsCountFromTheSelectedNode();
    void extendedDataLinesAreShownExpanded();
    void f6AndShiftF6CycleThroughThePanes();
    void copyPutsTheFocusedSelectionOnTheClipboard();

  private:
    QTemporaryDir dir_;
    QString spr_;
    QString mixed_;
    std::unique_ptr<FrameHarness> h_;
};

void MainFrameTest::initTestCase() {
    spr_ = SimulateCapture(dir_, "spr");
    mixed_ = SimulateCapture(dir_, "mixed");
    QVERIFY(!spr_.isEmpty());
    QVERIFY(!mixed_.isEmpty());
}

void MainFrameTest::init() {
    CKVLogView::ResetSortState();
    h_ = std::make_unique<FrameHarness>();
}

void MainFrameTest::newWindowIsUntitledWithSaveDisabled() {
    QCOMPARE(h_->frame->windowTitle(), QStringLiteral("Untitled - Zoduz App"));
    QVERIFY(!h_->frame->SaveAction()->isEnabled());
    QVERIFY(!h_->frame->SaveAsAction()->isEnabled());
    QVERIFY(!h_->frame->Tools()->ExportAction()->isEnabled());
    QVERIFY(!h_->frame->Tools()->StitchAction()->isEnabled());
    QCOMPARE(h_->frame->size(), QSize(1200, 700));
}

void MainFrameTest::openingDecodesAndTitlesTheDocument() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    QCOMPARE(h_->frame->windowTitle(), QStringLiteral("spr.zaz - Zoduz App"));
    QVERIFY(h_->document.PacketCount() > 10);
    QCOMPARE(static_cast<size_t>(h_->frame->LogView()->RowCount()), h_->document.PacketCount());
    QVERIFY(h_->frame->SaveAction()->isEnabled());
    QVERIFY(h_->frame->SaveAsAction()->isEnabled());
    QVERIFY(h_->frame->Tools()->ExportAction()->isEnabled());
    QVERIFY(h_->frame->Tools()->StitchAction()->isEnabled());

    QVERIFY(h_->frame->NewDocument());
    QCOMPARE(h_->frame->windowTitle(), QStringLiteral("Untitled - Zoduz App"));
    QCOMPARE(h_->frame->LogView()->RowCount(), 0);
    QVERIFY(!h_->frame->SaveAction()->isEnabled());
    QVERIFY(h_->document.RecordFilePath().empty());
}

void MainFrameTest::statusBarShowsProgressAndCompletionTexts() {
    QSignalSpy listTexts(h_->frame->LogView(), &CKVLogView::statusText);
    QVERIFY(h_->frame->OpenDocument(mixed_));
    // Once the rows are built the pane is idle again.
    QCOMPARE(h_->frame->StatusMessage(), QStringLiteral("Ready"));
    QVERIFY(listTexts.count() >= 2);
    QCOMPARE(listTexts.first().at(0).toString().left(22), QStringLiteral("Building PD Messages.."));
}

void MainFrameTest::saveToNewPathReopensWithTheSameMarkers() {
    QVERIFY(h_->frame->OpenDocument(mixed_));
    CKVLogView* list = h_->frame->LogView();
    for (int row : {3, 10, 42}) {
        list->SetContextRow(row);
        list->SetMark(true);
    }
    list->SetContextRow(20);
    list->SetMarkerA();
    list->SetContextRow(30);
    list->SetMarkerB();
    list->SetContextRow(5);
    list->SetOriginCurrentPosition();
    const int64_t origin = h_->document.TimeOrigin();
    const std::vector<int> marked = MarkedNumbers(h_->document);
    QVERIFY(h_->document.Modified());

    const QString copy = dir_.filePath(QStringLiteral("copy.zaz"));
    QVERIFY(h_->frame->SaveDocumentTo(copy));
    QVERIFY(!h_->document.Modified());
    QCOMPARE(h_->frame->windowTitle(), QStringLiteral("copy.zaz - Zoduz App"));
    QVERIFY(h_->Errors().isEmpty());

    FrameHarness reopened;
    QVERIFY(reopened.frame->OpenDocument(copy));
    QCOMPARE(reopened.document.PacketCount(), h_->document.PacketCount());
    QCOMPARE(reopened.document.TimeOrigin(), origin);
    QCOMPARE(MarkedNumbers(reopened.document), marked);
    QVERIFY(reopened.document.MarkerA());
    QVERIFY(reopened.document.MarkerB());
    QCOMPARE(reopened.document.MarkerA(), reopened.document.PacketAt(20));
    QCOMPARE(reopened.document.MarkerB(), reopened.document.PacketAt(30));
    QCOMPARE(reopened.frame->LogView()->MarkerARow(), 20);
    QCOMPARE(reopened.frame->LogView()->MarkerBRow(), 30);
    // The original record file is left as it was.
    FrameHarness original;
    QVERIFY(original.frame->OpenDocument(mixed_));
    QVERIFY(!original.document.MarkerA());
    QVERIFY(MarkedNumbers(original.document).empty());
}

void MainFrameTest::saveAgainToTheCopyKeepsTheMarkers() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    h_->frame->LogView()->SetContextRow(2);
    h_->frame->LogView()->SetMarkerA();
    const QString copy = dir_.filePath(QStringLiteral("again.zaz"));
    QVERIFY(h_->frame->SaveDocumentTo(copy));
    QVERIFY(h_->frame->SaveDocument());  // Save goes to the copy, unchanged markers
    FrameHarness reopened;
    QVERIFY(reopened.frame->OpenDocument(copy));
    QVERIFY(reopened.document.MarkerA());
    QCOMPARE(reopened.document.MarkerA(), reopened.document.PacketAt(2));
}

void MainFrameTest::saveFailureReportsSaveFileError() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    h_->frame->LogView()->SetContextRow(1);
    h_->frame->LogView()->SetMark(true);
    const QString target = dir_.filePath(QStringLiteral("missing-folder/out.zaz"));
    QVERIFY(!h_->frame->SaveDocumentTo(target));
    QCOMPARE(h_->Errors(), QStringList{QStringLiteral("Save File Error")});
    QVERIFY(h_->document.Modified());
    QCOMPARE(h_->frame->DocumentPath(), QFileInfo(spr_).absoluteFilePath());
    QVERIFY(!QFile::exists(target));
}

void MainFrameTest::modifiedDocumentAsksBeforeBeingReplaced() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    QVERIFY(h_->Questions().isEmpty());
    h_->frame->LogView()->SetContextRow(1);
    h_->frame->LogView()->SetMarkerB();
    h_->prompts.saveChoice = SaveChoice::kCancel;
    QVERIFY(!h_->frame->OpenDocument(mixed_));
    QVERIFY(!h_->frame->NewDocument());
    QCOMPARE(h_->Questions(),
             (QStringList{"Save changes to spr.zaz?", "Save changes to spr.zaz?"}));
    QCOMPARE(h_->prompts.asked[0].title, QStringLiteral("Zoduz App"));
    QCOMPARE(h_->prompts.asked[0].parent, h_->frame.get());
    QCOMPARE(h_->frame->DocumentPath(), QFileInfo(spr_).absoluteFilePath());
    QVERIFY(h_->document.MarkerB());

    h_->prompts.saveChoice = SaveChoice::kDiscard;
    QVERIFY(h_->frame->OpenDocument(mixed_));
    QCOMPARE(h_->frame->windowTitle(), QStringLiteral("mixed.zaz - Zoduz App"));
    QVERIFY(!h_->document.Modified());
}

void MainFrameTest::yesSavesBeforeReplacing() {
    const QString copy = dir_.filePath(QStringLiteral("yes.zaz"));
    QFile::copy(spr_, copy);
    QVERIFY(h_->frame->OpenDocument(copy));
    h_->frame->LogView()->SetContextRow(4);
    h_->frame->LogView()->SetMark(true);
    h_->prompts.saveChoice = SaveChoice::kSave;
    QVERIFY(h_->frame->NewDocument());
    FrameHarness reopened;
    QVERIFY(reopened.frame->OpenDocument(copy));
    QCOMPARE(MarkedNumbers(reopened.document), std::vector<int>{4});
}

void MainFrameTest::closingAModifiedDocumentAsksAndCancelKeepsTheWindow() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    h_->frame->show();
    h_->frame->LogView()->SetContextRow(1);
    h_->frame->LogView()->SetMarkerA();
    h_->prompts.saveChoice = SaveChoice::kCancel;
    QVERIFY(!h_->frame->close());
    QVERIFY(h_->frame->isVisible());
    h_->prompts.saveChoice = SaveChoice::kDiscard;
    QVERIFY(h_->frame->close());
    QCOMPARE(h_->Questions().size(), 2);
}

void MainFrameTest::missingFileIsReportedAndDroppedFromRecentFiles() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    const QString gone = dir_.filePath(QStringLiteral("gone.zaz"));
    h_->recent.Add(gone);
    QVERIFY(!h_->frame->OpenDocument(gone));
    QCOMPARE(h_->Errors().size(), 1);
    QVERIFY(h_->Errors()[0].startsWith(QStringLiteral("Cannot open the record file.")));
    QVERIFY(!h_->recent.Entries().contains(gone));
    QCOMPARE(h_->frame->DocumentPath(), QFileInfo(spr_).absoluteFilePath());
    QVERIFY(h_->document.PacketCount() > 0);
}

void MainFrameTest::recentFilesKeepFourNewestFirst() {
    CRecentFileList recent;
    for (const char* name : {"a.zaz", "b.zaz", "c.zaz", "d.zaz", "e.zaz"}) {
        recent.Add(dir_.filePath(QString::fromLatin1(name)));
    }
    QCOMPARE(recent.Entries().size(), 4);
    QVERIFY(recent.Entries()[0].endsWith(QStringLiteral("e.zaz")));
    QVERIFY(recent.Entries()[3].endsWith(QStringLiteral("b.zaz")));
    recent.Add(dir_.filePath(QStringLiteral("sub/../c.zaz")));  // same file, other spelling
    QCOMPARE(recent.Entries().size(), 4);
    QVERIFY(recent.Entries()[0].endsWith(QStringLiteral("/c.zaz")));
    QVERIFY(recent.Entries()[1].endsWith(QStringLiteral("e.zaz")));
    recent.SetEntries(recent.Entries());
    QVERIFY(recent.Entries()[0].endsWith(QStringLiteral("/c.zaz")));

    QVERIFY(h_->frame->OpenDocument(spr_));
    QCOMPARE(h_->recent.Entries().value(0), QFileInfo(spr_).absoluteFilePath());
}

void MainFrameTest::droppedFileOpensLikeFileOpen() {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(spr_)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h_->frame.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h_->frame.get(), &drop);
    QCOMPARE(h_->frame->windowTitle(), QStringLiteral("spr.zaz - Zoduz App"));
    QVERIFY(h_->frame->LogView()->RowCount() > 0);
}

void MainFrameTest::selectionDrivesTheFieldTreeAndTable() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    CKVLogView* list = h_->frame->LogView();
    QCOMPARE(list->SelectedRow(), 0);  // Source_Capabilities, selected on opening
    CPDPacketTreeView* tree = h_->frame->PacketTree();
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Packet #0"));
    QVERIFY(tree->currentItem()->text(0).startsWith(QStringLiteral("Message Header=")));
    QCOMPARE(h_->frame->FieldTable()->item(0, 2)->text(), QStringLiteral("Message Type"));
    QCOMPARE(h_->frame->FieldTable()->item(0, 4)->text(), QStringLiteral("Source_Capabilities"));

    // Choosing the second data object shows its own fields, counted from its first bit.
    QVERIFY(tree->SelectCode(0x04010000));
    QCOMPARE(h_->frame->FieldTable()->item(0, 0)->text().left(2), QStringLiteral("0."));
    // Another row rebuilds the tree; no row empties both views.
    list->SelectRow(1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Packet #1"));
    list->SelectRow(-1);
    QCOMPARE(tree->topLevelItemCount(), 0);
    QCOMPARE(h_->frame->FieldTable()->rowCount(), 0);
}

void MainFrameTest::splittersFollowTheLayoutRecord() {
    h_->frame.reset();
    h_->settings.layout.listRowHeight = 250;
    h_->settings.layout.fieldTableWidth = 400;
    h_->settings.layout.windowWidth = 1000;
    h_->settings.layout.windowHeight = 640;
    h_->Create();
    // The client area alone: the docked graph pane would take its height from the list.
    h_->frame->GraphPane()->hide();
    h_->frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(h_->frame.get()));
    QCOMPARE(h_->frame->size(), QSize(1000, 640));
    QCOMPARE(h_->frame->MainSplitter()->sizes().value(0), 250);
    QCOMPARE(h_->frame->DetailSplitter()->sizes().value(0), 400);
    const QList<int> rows = h_->frame->MainSplitter()->sizes();
    h_->frame->MainSplitter()->setSizes({300, rows.value(0) + rows.value(1) - 300});
    h_->frame->StoreLayout();
    QCOMPARE(h_->settings.layout.listRowHeight, 300);
    QCOMPARE(h_->settings.layout.fieldTableWidth, 400);
    QCOMPARE(h_->settings.layout.windowWidth, 1000);

    // Too small recorded sizes are raised to the minimum of each pane.
    h_->frame.reset();
    h_->settings.layout.listRowHeight = 10;
    h_->settings.layout.fieldTableWidth = 5;
    h_->Create();
    h_->frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(h_->frame.get()));
    QVERIFY(h_->frame->MainSplitter()->sizes().value(0) >= 100);
    QVERIFY(h_->frame->DetailSplitter()->sizes().value(0) >= 100);
}

void MainFrameTest::fontSettingsReachAllThreeViewsAndTheSettings() {
    QFont font(QStringLiteral("Monospace"));
    font.setPixelSize(17);
    h_->frame->ApplyListFont(font);
    QCOMPARE(h_->frame->LogView()->font().pixelSize(), 17);
    QCOMPARE(h_->frame->FieldTable()->font().pixelSize(), 17);
    QCOMPARE(h_->frame->PacketTree()->font().pixelSize(), 17);
    h_->frame->StoreLayout();
    QCOMPARE(h_->settings.layout.listFontStored, 1);
    QCOMPARE(h_->settings.layout.listFont.height, -17);

    // The next window starts with the stored font in all three views.
    h_->frame.reset();
    h_->Create();
    QCOMPARE(h_->frame->LogView()->font().pixelSize(), 17);
    QCOMPARE(h_->frame->PacketTree()->font().pixelSize(), 17);
}

void MainFrameTest::columnLayoutAndAutoScrollGoBackIntoTheSettings() {
    QVERIFY(h_->settings.pdMessageAutoScroll);
    h_->frame->LogView()->SetAutoScroll(false);
    h_->frame->LogView()->header()->resizeSection(0, 66);
    h_->frame->StoreLayout();
    QVERIFY(!h_->settings.pdMessageAutoScroll);
    QCOMPARE(h_->settings.columns[kColumnPacketNumber].width, 66);
}

void MainFrameTest::commandLineTakesOneFileAndTheScreenshotOption() {
    QString error;
    auto parsed = ParseAppCommandLine({"zoduz"}, error);
    QVERIFY(parsed);
    QVERIFY(parsed->recordFile.isEmpty());
    QVERIFY(parsed->screenshotPath.isEmpty());
    parsed = ParseAppCommandLine({"zoduz", "a.zaz"}, error);
    QCOMPARE(parsed->recordFile, QStringLiteral("a.zaz"));
    parsed = ParseAppCommandLine({"zoduz", "--screenshot", "out.png", "a.zaz"}, error);
    QCOMPARE(parsed->screenshotPath, QStringLiteral("out.png"));
    QCOMPARE(parsed->recordFile, QStringLiteral("a.zaz"));
    QVERIFY(!ParseAppCommandLine({"zoduz", "a.zaz", "b.zaz"}, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!ParseAppCommandLine({"zoduz", "--screenshot"}, error));
    QVERIFY(!ParseAppCommandLine({"zoduz", "--bogus"}, error));
    parsed = ParseAppCommandLine(
        {"zoduz", "--screenshot", "out.png", "--find", "Accept", "--filter-dialog", "a.zaz"},
        error);
    QVERIFY(parsed);
    QCOMPARE(parsed->findText, QStringLiteral("Accept"));
    QVERIFY(parsed->dialog == ScreenshotDialog::kFilter);
    parsed = ParseAppCommandLine({"zoduz", "--screenshot", "out.png", "--export-dialog", "a.zaz"},
                                 error);
    QVERIFY(parsed && parsed->dialog == ScreenshotDialog::kExport);
    QVERIFY(!ParseAppCommandLine({"zoduz", "--filter-dialog", "a.zaz"}, error));
    QVERIFY(!ParseAppCommandLine({"zoduz", "--export-dialog", "a.zaz"}, error));
    QVERIFY(!ParseAppCommandLine(
        {"zoduz", "--screenshot", "o.png", "--export-dialog", "--filter-dialog", "a.zaz"}, error));
    QVERIFY(!ParseAppCommandLine({"zoduz", "--find", "", "a.zaz"}, error));
    parsed = ParseAppCommandLine({"zoduz", "--screenshot", "o.png", "--checks", "a.zaz"}, error);
    QVERIFY(parsed && parsed->checksPanes);
    QVERIFY(!ParseAppCommandLine({"zoduz", "--checks", "a.zaz"}, error));
}

void MainFrameTest::screenshotRendersAPng() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    const QString png = dir_.filePath(QStringLiteral("shot.png"));
    QVERIFY(CKVApp::RenderScreenshot(*h_->frame, png));
    const QImage image(png);
    QCOMPARE(image.size(), h_->frame->size());
    QCOMPARE(h_->frame->LogView()->SelectedRow(), 0);
    QVERIFY(!CKVApp::RenderScreenshot(*h_->frame, dir_.filePath(QStringLiteral("no/dir.png"))));
    // With a find text the first match after row 0 is selected; the dialog goes into the picture.
    QVERIFY(CKVApp::RenderScreenshot(*h_->frame, png, QStringLiteral("Accept"),
                                     ScreenshotDialog::kFilter));
    QCOMPARE(QImage(png).size(), h_->frame->size());
    QCOMPARE(MessageName(*h_->frame->LogView()->SelectedPacket()), std::string("Accept"));
    // The export dialog over the window changes its middle, not its size.
    QVERIFY(CKVApp::RenderScreenshot(*h_->frame, png));
    const QImage plain(png);
    QVERIFY(CKVApp::RenderScreenshot(*h_->frame, png, {}, ScreenshotDialog::kExport));
    const QImage withExport(png);
    QCOMPARE(withExport.size(), plain.size());
    QVERIFY(withExport != plain);
}

void MainFrameTest::aboutLinesWithAndWithoutAnalyzer() {
    AnalyzerIdentity none;
    QCOMPARE(FirmwareLine(none), QStringLiteral("Not Connected"));
    QCOMPARE(SerialLine(none), QStringLiteral("Serial Number is not assigned."));
    AnalyzerIdentity attached{QStringLiteral("0.92"), true, QStringLiteral("ZD000123")};
    QCOMPARE(FirmwareLine(attached), QStringLiteral("FW Ver : 0.92 (Invalid FW Version)"));
    QCOMPARE(SerialLine(attached), QStringLiteral("Serial Number : ZD000123"));
    CAboutDlg dialog(attached, h_->prompts);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Zoduz"));
}

void MainFrameTest::menusCarryTheirCommands() {
    QStringList titles;
    QStringList items;
    for (QAction* menuAction : h_->frame->menuBar()->actions()) {
        titles << menuAction->text();
        for (QAction* action : menuAction->menu()->actions()) {
            if (!action->isSeparator() && action->isVisible()) {
                items << action->text() + QLatin1Char('|') + action->shortcut().toString();
            }
        }
    }
    QCOMPARE(titles, (QStringList{"&File", "&View", "PD &Message", "&Record", "&Graph", "&Checks",
                                  "&Help"}));
    QCOMPARE(items, (QStringList{"&New\tCtrl+N|Ctrl+N",
                                 "&Open...\tCtrl+O|Ctrl+O",
                                 "&Cancel Decoding\tEsc|Esc",
                                 "&Save\tCtrl+S|Ctrl+S",
                                 "Save &As...|",
                                 "&Export...|",
                                 "Stitch Record Files|",
                                 "E&xit|",
                                 "&Toolbars and Docking Windows|",
                                 "&Status Bar|",
                                 "VBUS Current Direction Setting|",
                                 "&Find\tCtrl+F|Ctrl+F",
                                 "Find &Prev\tShift+F3|Shift+F3",
                                 "Find &Next\tF3|F3",
                                 "&Auto Scroll|",
                                 "&Tolerant Decoding|",
                                 "Display Filter Settings|",
                                 "Disable Display Filters|",
                                 "Column Settings|",
                                 "Font Settings|",
                                 "&Run\tCtrl+R|Ctrl+R",
                                 "&Stop\tCtrl+P|Ctrl+P",
                                 "&Clear\tCtrl+D|Ctrl+D",
                                 "Record Settings|",
                                 "Record File Settings|",
                                 "CC Register Injection|",
                                 "Connect &Virtual Analyzer|",
                                 "&Show Graph\tF7|F7",
                                 "Show Measuring &Points|",
                                 "Show PD Packets|",
                                 "&Auto Scroll|",
                                 "Font Settings|",
                                 "Show &Checks\tF8|F8",
                                 "Show C&ontracts|",
                                 "Install Zoduz Driver|",
                                 "&About Zoduz App...|"}));
}

void MainFrameTest::tolerantDecodingSwitchDecodesAgainAndTheStatusBarCounts() {
    // Every packet of this capture has a 37-bit preamble: the strict decoder rejects them all.
    SimulationOptions options;
    options.scenario = "spr";
    options.distortion.preambleBits = 37;
    const QString path = dir_.filePath(QStringLiteral("short-preamble.zaz"));
    std::string error;
    QVERIFY(SimulateToFile(options, QFile::encodeName(path).toStdString(), error));
    QVERIFY(h_->frame->OpenDocument(path));
    const size_t packets = h_->document.PacketCount();
    QVERIFY(packets > 10);
    auto* summary = h_->frame->findChild<QLabel*>(QStringLiteral("tolerantSummary"));
    QVERIFY(summary != nullptr);
    QCOMPARE(summary->text(), QStringLiteral("%1 packets rejected by the strict decoder, %1 "
                                             "recoverable with tolerant decoding")
                                  .arg(packets));
    QVERIFY(!h_->document.PacketAt(0)->crcOk);

    QAction* toggle = nullptr;
    for (QAction* action : h_->frame->findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("&Tolerant Decoding")) {
            toggle = action;
        }
    }
    QVERIFY(toggle != nullptr && toggle->isCheckable() && !toggle->isChecked());
    toggle->trigger();
    QVERIFY(h_->settings.pdMessageTolerantDecode);
    QVERIFY(h_->document.TolerantDecoding());
    QCOMPARE(h_->document.PacketCount(), packets);
    for (size_t i = 0; i < packets; ++i) {
        QVERIFY(h_->document.PacketAt(i)->recovered);
        QVERIFY(h_->document.PacketAt(i)->crcOk);
        QCOMPARE(h_->document.PacketAt(i)->preambleLength, 37);
    }
    QCOMPARE(summary->text(), QStringLiteral("%1 packets rejected by the strict decoder, %1 "
                                             "recovered by the tolerant decoder")
                                  .arg(packets));
    toggle->trigger();  // back to strict for the next tests
    QVERIFY(!h_->settings.pdMessageTolerantDecode);
    QVERIFY(!h_->document.PacketAt(0)->crcOk);

    // Cleared with the capture: no rejected-packets note beside "Packets: 0".
    h_->frame->Capture()->ClearAction()->trigger();
    QCOMPARE(h_->document.PacketCount(), size_t{0});
    QCOMPARE(summary->text(), QString());
    QCOMPARE(h_->frame->StatusPanes()->SummaryField()->text(), QStringLiteral("Packets: 0"));
}

// Marker O and X of the export range are where the graph shows them now, not where the file
// stored them: moved markers and markers set during a live capture count.
void MainFrameTest::exportOffersTheGraphMarkersWhereTheGraphShowsThem() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    h_->frame->GraphView()->PlaceMarkers(1000000, 2000000);
    CExportDlg dialog(h_->prompts, h_->frame.get());
    h_->frame->Tools()->SetupExport(dialog);
    dialog.Initialise(false);
    std::vector<std::pair<ExportMarkerKind, int64_t>> graphMarkers;
    for (const ExportMarker& marker : dialog.Markers()) {
        if (marker.kind == ExportMarkerKind::kO || marker.kind == ExportMarkerKind::kX) {
            graphMarkers.emplace_back(marker.kind, marker.time);
        }
    }
    QCOMPARE(graphMarkers, (std::vector<std::pair<ExportMarkerKind, int64_t>>{
                               {ExportMarkerKind::kO, 1000000}, {ExportMarkerKind::kX, 2000000}}));
}

void MainFrameTest::automaticExportWritesBothItemsAndReusesItsDialog() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("auto.zaz"));
    QVERIFY(QFile::copy(spr_, path));
    QVERIFY(h_->frame->OpenDocument(path));
    CToolCommands* tools = h_->frame->Tools();
    tools->ExportAutomatic();
    CExportDlg* dialog = tools->AutomaticExport();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->Items(), ExportItems::kBoth);
    QVERIFY(dialog->Exporting());
    dialog->Runner()->WaitAndPoll();
    QVERIFY(!dialog->isVisible());
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("auto_export.csv"))));

    tools->ExportAutomatic();
    QCOMPARE(tools->AutomaticExport(), dialog);
    dialog->Runner()->WaitAndPoll();
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("auto_export (1).csv"))));
    QVERIFY(h_->prompts.asked.empty());  // no message box, no chooser
}

void MainFrameTest::resetPacketShowsOnlyItsPacketNode() {
    const QString path = SimulateCapture(dir_, "hard-reset");
    QVERIFY(h_->frame->OpenDocument(path));
    CKVLogView* list = h_->frame->LogView();
    int row = 0;
    while (row < list->RowCount() &&
           list->PacketModel()->PacketAt(row)->orderedSetKind != kOsHardReset) {
        ++row;
    }
    QVERIFY(row < list->RowCount());
    list->SelectRow(row - 1);  // a message first, so that both views have something to drop
    QVERIFY(h_->frame->FieldTable()->rowCount() > 0);
    list->SelectRow(row);
    CPDPacketTreeView* tree = h_->frame->PacketTree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Packet #%1").arg(list->SelectedRow()));
    QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
    QCOMPARE(h_->frame->FieldTable()->rowCount(), 0);
}

void MainFrameTest::reassembledBlockOffsetsCountFromTheSelectedNode() {
    const QString path = SimulateCapture(dir_, "epr");
    QVERIFY(h_->frame->OpenDocument(path));
    CKVLogView* list = h_->frame->LogView();
    int row = 0;
    for (; row < list->RowCount(); ++row) {
        const CCCPacket* packet = list->PacketModel()->PacketAt(row);
        if (packet->chunkBuffer && packet->chunkTotalSize > 0 &&
            MessageName(*packet) == "EPR_Source_Capabilities") {
            break;
        }
    }
    QVERIFY(row < list->RowCount());
    list->SelectRow(row);
    CPDPacketTreeView* tree = h_->frame->PacketTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QVERIFY(tree->topLevelItem(1)->text(0).startsWith(
        QStringLiteral("Total Extended Data Block (%1bytes)")
            .arg(list->SelectedPacket()->chunkTotalSize)));
    QVERIFY(tree->topLevelItem(1)->isExpanded());
    QVERIFY(
        tree->topLevelItem(1)->child(1)->text(0).startsWith(QStringLiteral("Data Object [2] = ")));

    // The second PDO under its own node: offsets 0 to 31; under the block node: 32 to 63.
    CPDPacketListView* table = h_->frame->FieldTable();
    auto offsets = [table] {
        QStringList texts;
        for (int line = 0; line < table->rowCount(); ++line) {
            texts << table->item(line, 0)->text();
        }
        return texts;
    };
    QVERIFY(tree->SelectCode(0x24010000));
    QVERIFY(offsets().value(0).startsWith(QStringLiteral("0")));
    QVERIFY(offsets().last().endsWith(QStringLiteral("31")));
    QVERIFY(tree->SelectCode(0x20000000));
    const QStringList block = offsets();
    QVERIFY(std::any_of(block.begin(), block.end(), [](const QString& offset) {
        return offset == QStringLiteral("32") || offset.startsWith(QStringLiteral("32.."));
    }));
}

void MainFrameTest::extendedDataLinesAreShownExpanded() {
    const QString path = SimulateCapture(dir_, "catalog");
    QVERIFY(h_->frame->OpenDocument(path));
    CKVLogView* list = h_->frame->LogView();
    CPDPacketTreeView* tree = h_->frame->PacketTree();
    int checked = 0;
    for (int row = 0; row < list->RowCount(); ++row) {
        const CCCPacket* packet = list->PacketModel()->PacketAt(row);
        if (!IsExtended(*packet)) {
            continue;
        }
        list->SelectRow(row);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem* node = root->child(i);
            if (node->text(0).startsWith(QStringLiteral("Extended Data (")) &&
                node->childCount() > 0) {
                QVERIFY2(node->isExpanded(), MessageName(*packet).c_str());
                QVERIFY(node->child(0)->text(0).startsWith(QStringLiteral("+000h : ")));
                ++checked;
            }
        }
    }
    QVERIFY(checked > 0);
}

void MainFrameTest::f6AndShiftF6CycleThroughThePanes() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    h_->frame->show();
    h_->frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h_->frame.get()));
    QWidget* list = h_->frame->LogView();
    QWidget* table = h_->frame->FieldTable();
    QWidget* tree = h_->frame->PacketTree();
    list->setFocus();
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), table);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), tree);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), tree);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), table);
}

void MainFrameTest::copyPutsTheFocusedSelectionOnTheClipboard() {
    QVERIFY(h_->frame->OpenDocument(spr_));
    h_->frame->show();
    h_->frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h_->frame.get()));
    CKVLogView* list = h_->frame->LogView();
    list->SelectRow(0);  // Source_Capabilities
    // The user moved "Type" to the front: the copied row follows the header as shown.
    QHeaderView* header = list->header();
    header->moveSection(header->visualIndex(list->ListColumnOf(kColumnMessageType)), 0);
    list->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QStringList cells = QApplication::clipboard()->text().split(QLatin1Char('\t'));
    QCOMPARE(cells.size(), 10);
    QCOMPARE(cells[0], QStringLiteral("Source_Capabilities"));
    QCOMPARE(cells[1], QStringLiteral("0"));  // "#"
    QCOMPARE(cells[2], list->PacketModel()->CellText(0, list->ListColumnOf(kColumnTimestamp)));

    // Ctrl+Insert copies too; in the tree the selected node, in the field table its row.
    CPDPacketTreeView* tree = h_->frame->PacketTree();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), tree->currentItem()->text(0));
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("Message Header=")));
    CPDPacketListView* table = h_->frame->FieldTable();
    table->setFocus();
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QStringList fields = QApplication::clipboard()->text().split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 7);
    QCOMPARE(fields[2], QStringLiteral("Message Type"));
    QCOMPARE(fields[4], QStringLiteral("Source_Capabilities"));

    // Nothing selected: the clipboard keeps what it had.
    list->SelectRow(-1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), fields.join(QLatin1Char('\t')));
}

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
