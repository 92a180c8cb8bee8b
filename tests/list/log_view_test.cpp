// The message list on decoded captures: header, rows, idle times, sorting, markers, origin.
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "capture/document.h"
#include "columns/column_text.h"
#include "list/core/column_info.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "list/simulated_capture.h"
#include "pd/message_header.h"

namespace {

QStringList HeaderTitles(const CKVLogView& view) {
    QStringList titles;
    const QHeaderView* header = view.header();
    for (int visual = 0; visual < header->count(); ++visual) {
        titles << view.model()->headerData(header->logicalIndex(visual), Qt::Horizontal).toString();
    }
    return titles;
}

QString Cell(const CKVLogView& view, int row, int columnId) {
    return view.PacketModel()->CellText(row, view.ListColumnOf(columnId));
}

int64_t IdleTimeOfRow(const CKVLogView& view, int row) {
    return view.PacketModel()->Rows().at(row).idleTime;
}

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
        if (action->menu() != nullptr) {
            if (QAction* inner = FindAction(action->menu(), text)) {
                return inner;
            }
        }
    }
    return nullptr;
}

}  // namespace

class LogViewTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void defaultHeaderShowsTheTenDefaultColumns();
    void rowCountEqualsThePacketCountOfTheScenario();
    void cellTextsAreFormattedOnlyWhenShown();
    void idleTimeOfFirstRowIsItsTimeFromTheOrigin();
    void idleTimeFollowsATimeStampOriginChange();
    void sortCycleKeepsTheSelectedPacketSelected();
    void firstClickOnColumnZeroSortsDescending();
    void headerClickSortsNumericColumnsByKeyAndTextColumnsByText();
    void contextMenuEnablesCommandsByTheirRules();
    void markerCommandsTrackTheirRowsAndMarkTheDocumentModified();
    void clearAllMarkersClearsEveryRowAndRepaints();
    void clearAllMarkersLeavesPacketsWithoutARowMarked();
    void saveColumnLayoutRecordsWidthOrderAndHiddenColumns();
    void emptyingTheDocumentDropsRowsAndSelection();
    void filterHidesRowsButKeepsIdleTimeChain();
    void noShownColumnLeavesTheListEmpty();
    void autoScrollFollowsNewRowsOnlyWhileRecording();
    void autoScrollLeavesAUserWhoScrolledUpUntilTheyReturnToTheEnd();
    void homeAndEndGoToTheFirstAndTheLastRow();
    void rowsAreAsTallAsTheListsFont();

  private:
    bool Open(const char* scenario);

    QTemporaryDir dir_;
    std::unique_ptr<CKVDoc> document_;
    ColumnLayout columns_;
    std::unique_ptr<CKVLogView> view_;
};

void LogViewTest::init() {
    CKVLogView::ResetSortState();
    document_ = std::make_unique<CKVDoc>();
    columns_ = DefaultColumnLayout();
    view_ = std::make_unique<CKVLogView>(*document_, columns_);
    view_->resize(1000, 400);
    view_->RebuildList();
}

void LogViewTest::cleanup() {
    view_.reset();
    document_.reset();
}

bool LogViewTest::Open(const char* scenario) {
    return OpenSimulatedCapture(dir_, scenario, *document_, *view_);
}

void LogViewTest::defaultHeaderShowsTheTenDefaultColumns() {
    QCOMPARE(HeaderTitles(*view_), (QStringList{"#", "Timestamp", "CH", "OS", "Power", "Data",
                                                "Cable Plug", "Type", "Mes ID", "Description"}));
    QCOMPARE(view_->header()->sectionSize(view_->ListColumnOf(kColumnDescription)), 300);
    QCOMPARE(view_->header()->sectionSize(view_->ListColumnOf(kColumnPacketNumber)), 50);
    QCOMPARE(view_->ListColumnOf(kColumnIdleTime), -1);
}

void LogViewTest::rowCountEqualsThePacketCountOfTheScenario() {
    QVERIFY(Open("mixed"));
    QVERIFY(document_->PacketCount() > 400);
    QCOMPARE(static_cast<size_t>(view_->RowCount()), document_->PacketCount());
    QCOMPARE(view_->model()->rowCount(), view_->RowCount());
    // A further update without new packets appends nothing.
    view_->OnDocumentUpdate();
    QCOMPARE(static_cast<size_t>(view_->RowCount()), document_->PacketCount());
    QCOMPARE(Cell(*view_, 0, kColumnPacketNumber), QStringLiteral("0"));
    QCOMPARE(Cell(*view_, 0, kColumnMessageType),
             QString::fromStdString(
                 ColumnText({document_->Packets()[0].get(), 0, 0}, kColumnMessageType, {})));
}

void LogViewTest::cellTextsAreFormattedOnlyWhenShown() {
    QVERIFY(Open("mixed"));
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    QCoreApplication::processEvents();
    const int cached = view_->PacketModel()->CachedRowCount();
    QVERIFY(cached > 0);
    QVERIFY(cached < view_->RowCount() / 4);
}

void LogViewTest::idleTimeOfFirstRowIsItsTimeFromTheOrigin() {
    QVERIFY(Open("spr"));
    const std::vector<PacketPtr>& packets = document_->Packets();
    QVERIFY(packets.size() >= 2);
    QCOMPARE(IdleTimeOfRow(*view_, 0), packets[0]->relTime - document_->TimeOrigin());
    const int64_t firstEnd =
        packets[0]->relTime + packets[0]->totalTicks * packets[0]->clockDivider / 48;
    QCOMPARE(IdleTimeOfRow(*view_, 1), packets[1]->relTime - firstEnd);
    QCOMPARE(Cell(*view_, 0, kColumnTimestamp),
             QString::fromStdString(FormatTime(packets[0]->relTime)));
}

void LogViewTest::idleTimeFollowsATimeStampOriginChange() {
    QVERIFY(Open("spr"));
    const std::vector<PacketPtr>& packets = document_->Packets();
    const int origin = 5;
    view_->SetContextRow(origin);
    view_->SetOriginCurrentPosition();
    QCOMPARE(document_->TimeOrigin(), packets[origin]->relTime);
    QCOMPARE(IdleTimeOfRow(*view_, 0), packets[0]->relTime - packets[origin]->relTime);
    QVERIFY(IdleTimeOfRow(*view_, 0) < 0);
    QCOMPARE(Cell(*view_, origin, kColumnTimestamp), QString::fromStdString(FormatTime(0)));
    QCOMPARE(static_cast<size_t>(view_->RowCount()), packets.size());
    QVERIFY(document_->MarkersChanged());
    QVERIFY(document_->Modified());

    view_->SetContextRow(2);
    view_->SetOriginAbsolute();
    QCOMPARE(document_->TimeOrigin(), int64_t{0});
    QCOMPARE(IdleTimeOfRow(*view_, 0), packets[0]->relTime);
    QCOMPARE(Cell(*view_, origin, kColumnTimestamp),
             QString::fromStdString(FormatTime(packets[origin]->relTime)));
}

void LogViewTest::sortCycleKeepsTheSelectedPacketSelected() {
    QVERIFY(Open("mixed"));
    const int typeColumn = view_->ListColumnOf(kColumnMessageType);
    view_->SelectRow(7);
    const int selectedNumber = view_->PacketModel()->RowAt(view_->SelectedRow())->number;
    QSignalSpy selections(view_.get(), &CKVLogView::selectedPacketChanged);

    auto typeTexts = [&] {
        QStringList texts;
        for (int row = 0; row < view_->RowCount(); ++row) {
            texts << Cell(*view_, row, kColumnMessageType);
        }
        return texts;
    };
    auto isSorted = [](const QStringList& texts, bool descending) {
        for (int i = 1; i < texts.size(); ++i) {
            const int order = QString::compare(texts[i - 1], texts[i], Qt::CaseSensitive);
            if (descending ? order < 0 : order > 0) {
                return false;
            }
        }
        return true;
    };

    view_->SortByColumn(typeColumn);  // ascending
    QVERIFY(isSorted(typeTexts(), false));
    QCOMPARE(view_->PacketModel()->RowAt(view_->SelectedRow())->number, selectedNumber);
    view_->SortByColumn(typeColumn);  // descending
    QVERIFY(isSorted(typeTexts(), true));
    QCOMPARE(view_->PacketModel()->RowAt(view_->SelectedRow())->number, selectedNumber);
    QCOMPARE(view_->currentIndex().row(), view_->SelectedRow());
    view_->SortByColumn(typeColumn);  // ascending again
    QVERIFY(isSorted(typeTexts(), false));
    QCOMPARE(view_->PacketModel()->RowAt(view_->SelectedRow())->number, selectedNumber);
    // The detail views were not told of a change: the same packet stayed selected.
    QCOMPARE(selections.count(), 0);
}

void LogViewTest::firstClickOnColumnZeroSortsDescending() {
    QVERIFY(Open("spr"));
    const int count = view_->RowCount();
    view_->SelectRow(2);
    // A real click on the "#" header section of the list on screen.
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    const QHeaderView* header = view_->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
    QCOMPARE(view_->PacketModel()->RowAt(0)->number, count - 1);
    QCOMPARE(view_->PacketModel()->RowAt(count - 1)->number, 0);
    QCOMPARE(view_->PacketModel()->RowAt(view_->SelectedRow())->number, 2);
    QCOMPARE(view_->SelectedRow(), count - 1 - 2);
    view_->SortByColumn(0);
    QCOMPARE(view_->PacketModel()->RowAt(0)->number, 0);
}

void LogViewTest::headerClickSortsNumericColumnsByKeyAndTextColumnsByText() {
    QVERIFY(Open("mixed"));
    // "Mes ID" is numeric: keys ascend even where the texts would not ("10" < "2").
    view_->SortByColumn(view_->ListColumnOf(kColumnMessageId));
    for (int row = 1; row < view_->RowCount(); ++row) {
        QVERIFY(ColumnSortKey(*view_->PacketModel()->RowAt(row - 1), kColumnMessageId, {}) <=
                ColumnSortKey(*view_->PacketModel()->RowAt(row), kColumnMessageId, {}));
    }
    // Equal keys keep their previous order (packet number ascending).
    for (int row = 1; row < view_->RowCount(); ++row) {
        const PacketRow* a = view_->PacketModel()->RowAt(row - 1);
        const PacketRow* b = view_->PacketModel()->RowAt(row);
        if (ColumnSortKey(*a, kColumnMessageId, {}) == ColumnSortKey(*b, kColumnMessageId, {})) {
            QVERIFY(a->number < b->number);
        }
    }
}

void LogViewTest::contextMenuEnablesCommandsByTheirRules() {
    QVERIFY(Open("spr"));
    view_->SetContextRow(-1);
    std::unique_ptr<QMenu> menu(view_->BuildContextMenu(nullptr));
    QVERIFY(!FindAction(menu.get(), "Set Marker")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Clear Marker")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Clear All Markers")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Set Marker A")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Clear Marker A")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Set Marker B")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Clear Marker B")->isEnabled());
    QVERIFY(FindAction(menu.get(), "Absolute")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Current Position")->isEnabled());
    QVERIFY(FindAction(menu.get(), "Column Settings")->isEnabled());

    view_->SetContextRow(3);
    view_->SetMark(true);
    view_->SetMarkerA();
    menu.reset(view_->BuildContextMenu(nullptr));
    QVERIFY(!FindAction(menu.get(), "Set Marker")->isEnabled());
    QVERIFY(FindAction(menu.get(), "Clear Marker")->isEnabled());
    QVERIFY(FindAction(menu.get(), "Clear All Markers")->isEnabled());
    QVERIFY(FindAction(menu.get(), "Clear Marker A")->isEnabled());
    QVERIFY(!FindAction(menu.get(), "Clear Marker B")->isEnabled());
    QVERIFY(FindAction(menu.get(), "Current Position")->isEnabled());

    QSignalSpy settings(view_.get(), &CKVLogView::columnSettingsRequested);
    FindAction(menu.get(), "Column Settings")->trigger();
    QCOMPARE(settings.count(), 1);
}

void LogViewTest::markerCommandsTrackTheirRowsAndMarkTheDocumentModified() {
    QVERIFY(Open("spr"));
    QVERIFY(!document_->Modified());
    view_->SetContextRow(4);
    view_->SetMarkerA();
    view_->SetMarkerB();  // one packet may be both markers
    QCOMPARE(view_->MarkerARow(), 4);
    QCOMPARE(view_->MarkerBRow(), 4);
    QCOMPARE(document_->MarkerA().get(), view_->PacketModel()->PacketAt(4));
    QCOMPARE(document_->MarkerB().get(), view_->PacketModel()->PacketAt(4));
    QVERIFY(document_->MarkersChanged());
    QVERIFY(document_->Modified());

    view_->SetContextRow(6);
    view_->SetMarkerA();
    QCOMPARE(view_->MarkerARow(), 6);
    // Sorting moves the rows; the marker rows follow their packets.
    view_->SortByColumn(0);
    QCOMPARE(view_->PacketModel()->PacketAt(view_->MarkerARow()), document_->MarkerA().get());
    QCOMPARE(view_->PacketModel()->PacketAt(view_->MarkerBRow()), document_->MarkerB().get());
    view_->ClearMarkerA();
    view_->ClearMarkerB();
    QCOMPARE(view_->MarkerARow(), -1);
    QCOMPARE(view_->MarkerBRow(), -1);
    QVERIFY(!document_->MarkerA());
    QVERIFY(!document_->MarkerB());
}

void LogViewTest::clearAllMarkersClearsEveryRowAndRepaints() {
    QVERIFY(Open("spr"));
    for (int row : {1, 3, 5}) {
        view_->SetContextRow(row);
        view_->SetMark(true);
    }
    QVERIFY(document_->IsMarked(*document_->Packets()[3]));
    view_->ClearAllMarks();
    for (const PacketPtr& packet : document_->Packets()) {
        QVERIFY(!document_->IsMarked(*packet));
    }
}

void LogViewTest::clearAllMarkersLeavesPacketsWithoutARowMarked() {
    view_->SetFilter([](const PacketRow& row) { return row.number == 4; });
    QVERIFY(Open("spr"));
    const std::vector<PacketPtr>& packets = document_->Packets();
    document_->SetMarked(packets[4], true);
    view_->SetContextRow(0);
    view_->SetMark(true);
    view_->ClearAllMarks();
    QVERIFY(!document_->IsMarked(*packets[0]));
    QVERIFY(document_->IsMarked(*packets[4]));  // hidden by the display filter
    // With only the hidden packet marked, no row offers "Clear All Markers".
    std::unique_ptr<QMenu> menu(view_->BuildContextMenu(nullptr));
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("Clear All Markers")) {
            QVERIFY(!action->isEnabled());
        }
    }
}

void LogViewTest::saveColumnLayoutRecordsWidthOrderAndHiddenColumns() {
    const int typeSection = view_->ListColumnOf(kColumnMessageType);
    view_->header()->resizeSection(typeSection, 222);
    view_->header()->moveSection(view_->header()->visualIndex(typeSection), 1);
    columns_[kColumnIdleTime].width = 77;
    view_->SaveColumnLayout();
    QCOMPARE(columns_[kColumnMessageType].width, 222);
    QCOMPARE(columns_[kColumnMessageType].order, 1);
    QCOMPARE(columns_[kColumnTimestamp].order, 2);
    QCOMPARE(columns_[kColumnIdleTime].shown, 0);
    QCOMPARE(columns_[kColumnIdleTime].width, 77);  // hidden columns keep their record

    // The next build starts in the recorded order.
    view_->RebuildList();
    QCOMPARE(HeaderTitles(*view_).mid(0, 3), (QStringList{"#", "Type", "Timestamp"}));
}

void LogViewTest::emptyingTheDocumentDropsRowsAndSelection() {
    QVERIFY(Open("spr"));
    view_->SelectRow(2);
    QSignalSpy selections(view_.get(), &CKVLogView::selectedPacketChanged);
    document_->Clear();
    view_->ResetRows();
    QCOMPARE(view_->RowCount(), 0);
    QCOMPARE(view_->SelectedRow(), -1);
    QCOMPARE(selections.count(), 1);
    QCOMPARE(selections.at(0).at(0).value<CCCPacket*>(), nullptr);
}

void LogViewTest::filterHidesRowsButKeepsIdleTimeChain() {
    view_->SetFilter([](const PacketRow& row) { return row.number == 1; });
    QVERIFY(Open("spr"));
    const std::vector<PacketPtr>& packets = document_->Packets();
    QCOMPARE(static_cast<size_t>(view_->RowCount()), packets.size() - 1);
    QCOMPARE(view_->PacketModel()->RowAt(1)->number, 2);
    // The hidden packet still ends the idle time of the next one.
    const int64_t hiddenEnd =
        packets[1]->relTime + packets[1]->totalTicks * packets[1]->clockDivider / 48;
    QCOMPARE(IdleTimeOfRow(*view_, 1), packets[2]->relTime - hiddenEnd);
}

void LogViewTest::noShownColumnLeavesTheListEmpty() {
    for (ColumnInfo& info : columns_) {
        info.shown = 0;
    }
    view_->RebuildList();
    QVERIFY(Open("spr"));
    QCOMPARE(view_->model()->columnCount(), 0);
    QCOMPARE(view_->RowCount(), 0);
}

void LogViewTest::autoScrollFollowsNewRowsOnlyWhileRecording() {
    view_->resize(600, 200);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    QSignalSpy texts(view_.get(), &CKVLogView::statusText);
    bool recording = false;
    view_->SetRecordingQuery([&] { return recording; });
    QVERIFY(Open("mixed"));
    const QModelIndex last = view_->model()->index(view_->RowCount() - 1, 0);
    // Not recording: the list stays at the top and shows its build progress.
    QVERIFY(!view_->viewport()->rect().intersects(view_->visualRect(last)));
    QVERIFY(texts.count() > 0);

    recording = true;
    texts.clear();
    view_->RecreateRows();  // rows appended again, as while a capture records
    view_->OnDocumentUpdate();
    QVERIFY(view_->viewport()->rect().intersects(view_->visualRect(last)));
    QCOMPARE(texts.count(), 0);  // no percentage texts during a recording

    // Switched off, a recording does not move the list.
    view_->SetAutoScroll(false);
    view_->scrollToTop();
    view_->RecreateRows();
    view_->OnDocumentUpdate();
    QVERIFY(!view_->viewport()->rect().intersects(view_->visualRect(last)));
}

void LogViewTest::autoScrollLeavesAUserWhoScrolledUpUntilTheyReturnToTheEnd() {
    view_->resize(600, 200);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    view_->SetRecordingQuery([] { return true; });
    // A record file that grows in three steps, as while a capture records.
    const QString whole = SimulateCapture(dir_, "mixed");
    QFile source(whole);
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    const qsizetype third = bytes.size() / 3 / 64 * 64;
    const QString live = dir_.filePath(QStringLiteral("live.zaz"));
    QFile file(live);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.left(third));
    file.flush();
    document_->AttachRecordFile(dir_.path().toStdString(), "live.zaz");
    view_->OnDocumentUpdate();
    const auto lastInView = [this] {
        const QRect rect = view_->visualRect(view_->model()->index(view_->RowCount() - 1, 0));
        return rect.bottom() >= 0 && rect.top() < view_->viewport()->height();
    };
    QVERIFY(view_->RowCount() > 20);
    QVERIFY(lastInView());

    // Scrolled up to read: new rows leave the list where the user put it.
    view_->scrollToTop();
    const int rowsBefore = view_->RowCount();
    file.write(bytes.mid(third, third));
    file.flush();
    document_->DecodeMore();
    view_->OnDocumentUpdate();
    QVERIFY(view_->RowCount() > rowsBefore);
    QCOMPARE(view_->verticalScrollBar()->value(), 0);
    QVERIFY(!lastInView());

    // Back at the end, the list follows again.
    view_->scrollToBottom();
    const int rowsThen = view_->RowCount();
    file.write(bytes.mid(2 * third));
    file.flush();
    document_->DecodeMore();
    view_->OnDocumentUpdate();
    QVERIFY(view_->RowCount() > rowsThen);
    QVERIFY(lastInView());
}

void LogViewTest::homeAndEndGoToTheFirstAndTheLastRow() {
    view_->resize(600, 200);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    QVERIFY(Open("mixed"));
    view_->setFocus();
    view_->SelectRow(5);
    QTest::keyClick(view_.get(), Qt::Key_End);
    QCOMPARE(view_->SelectedRow(), view_->RowCount() - 1);
    const QRect last = view_->visualRect(view_->model()->index(view_->RowCount() - 1, 0));
    QVERIFY(view_->viewport()->rect().contains(last.center()));
    QTest::keyClick(view_.get(), Qt::Key_Home);
    QCOMPARE(view_->SelectedRow(), 0);
    QTest::keyClick(view_.get(), Qt::Key_Down);
    QCOMPARE(view_->SelectedRow(), 1);
}

void LogViewTest::rowsAreAsTallAsTheListsFont() {
    QVERIFY(Open("spr"));
    const auto fitted = [this] { return QFontMetrics(view_->font()).height() + 4; };
    QCOMPARE(view_->rowHeight(0), fitted());
    QFont larger = view_->font();
    larger.setPointSize(larger.pointSize() * 2);
    view_->setFont(larger);
    QVERIFY(fitted() > QFontMetrics(QFont()).height() + 4);
    QCOMPARE(view_->rowHeight(0), fitted());
    QCOMPARE(view_->rowHeight(view_->RowCount() - 1), fitted());
}

QTEST_MAIN(LogViewTest)
#include "log_view_test.moc"
