// The column settings dialog: opening state, Up, Down, Show, Hide, Load Defaults and OK.
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "list/core/column_cfg_state.h"
#include "list/core/column_info.h"
#include "list/log_view_cfg_dlg.h"

namespace {

QString CellText(const CLogViewCfgDlg& dialog, int row, int column) {
    const QTableWidgetItem* item = dialog.List()->item(row, column);
    return item != nullptr ? item->text() : QString();
}

// Dialog row of a column, found by its short title.
int RowOf(const CLogViewCfgDlg& dialog, const char* title) {
    for (int row = 0; row < dialog.List()->rowCount(); ++row) {
        if (CellText(dialog, row, 1) == QLatin1String(title)) {
            return row;
        }
    }
    return -1;
}

void SelectRows(CLogViewCfgDlg& dialog, std::initializer_list<int> rows) {
    dialog.List()->clearSelection();
    for (int row : rows) {
        dialog.List()->selectionModel()->select(
            dialog.List()->model()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QStringList ShownTitles(const CLogViewCfgDlg& dialog) {
    QStringList titles;
    for (int row = 0; row < dialog.List()->rowCount(); ++row) {
        if (CellText(dialog, row, 4) == QLatin1String("Show")) {
            titles << CellText(dialog, row, 1);
        }
    }
    return titles;
}

const QStringList kDefaultShown = {"#",    "Timestamp",  "CH",   "OS",     "Power",
                                   "Data", "Cable Plug", "Type", "Mes ID", "Description"};

}  // namespace

class ColumnCfgDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithTheRecordsInDisplayOrder();
    void descriptionUpTwiceMovesTwoPlacesAndRenumbers();
    void upGathersScatteredSelectionAboveTheFirst();
    void downMovesABlockAndGathersBelowTheLast();
    void hidingMovesTheRowBelowTheShownRows();
    void showMakesHiddenColumnsShownInPlace();
    void loadDefaultsRestoresDefaultsAndKeepsSelection();
    void okRenumbersShownThenHiddenAndKeepsWidths();
    void cancelLeavesTheRecordsAlone();
    void packetNumberColumnIsShownAgainOnOpening();
    void recordsWithBrokenOrdersStillListEveryColumn();
};

void ColumnCfgDlgTest::opensWithTheRecordsInDisplayOrder() {
    ColumnLayout records = DefaultColumnLayout();
    CLogViewCfgDlg dialog(records);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("PD Messages Column Settings"));
    QCOMPARE(dialog.List()->rowCount(), 38);
    QStringList headers;
    for (int column = 0; column < dialog.List()->columnCount(); ++column) {
        headers << dialog.List()->horizontalHeaderItem(column)->text();
    }
    QCOMPARE(headers, (QStringList{"Order", "Title", "Desctiption", "Width", "Show/Hide"}));
    QCOMPARE(ShownTitles(dialog), kDefaultShown);
    QCOMPARE(CellText(dialog, 0, 0), QStringLiteral("0"));
    QCOMPARE(CellText(dialog, 9, 0), QStringLiteral("9"));
    QCOMPARE(CellText(dialog, 9, 2), QStringLiteral("Description"));
    QCOMPARE(CellText(dialog, 9, 3), QStringLiteral("300"));
    // Hidden rows follow in their default order: Idle Time (order 1) first, no order number.
    QCOMPARE(CellText(dialog, 10, 1), QStringLiteral("Idle Time"));
    QCOMPARE(CellText(dialog, 10, 0), QString());
    QCOMPARE(CellText(dialog, 10, 4), QStringLiteral("Hide"));
    QCOMPARE(CellText(dialog, 11, 1), QStringLiteral("Pkt Len[us]"));
    QCOMPARE(CellText(dialog, 14, 1), QStringLiteral("CC1 Vol[V]"));
}

void ColumnCfgDlgTest::descriptionUpTwiceMovesTwoPlacesAndRenumbers() {
    ColumnLayout records = DefaultColumnLayout();
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {RowOf(dialog, "Description")});
    QTest::mouseClick(dialog.UpButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.UpButton(), Qt::LeftButton);
    QCOMPARE(RowOf(dialog, "Description"), 7);
    QCOMPARE(ShownTitles(dialog), (QStringList{"#", "Timestamp", "CH", "OS", "Power", "Data",
                                               "Cable Plug", "Description", "Type", "Mes ID"}));
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(CellText(dialog, row, 0), QString::number(row));
    }
    // The moved row stays selected.
    QCOMPARE(dialog.List()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(dialog.List()->selectionModel()->selectedRows().at(0).row(), 7);
}

void ColumnCfgDlgTest::upGathersScatteredSelectionAboveTheFirst() {
    ColumnLayout records = DefaultColumnLayout();
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {2, 5, 8});  // CH, Data, Mes ID
    QTest::mouseClick(dialog.UpButton(), Qt::LeftButton);
    QCOMPARE(ShownTitles(dialog), (QStringList{"#", "CH", "Data", "Mes ID", "Timestamp", "OS",
                                               "Power", "Cable Plug", "Type", "Description"}));
    // At the top nothing moves further up.
    SelectRows(dialog, {0});
    QTest::mouseClick(dialog.UpButton(), Qt::LeftButton);
    QCOMPARE(CellText(dialog, 0, 1), QStringLiteral("#"));
    // Without a selection nothing happens.
    SelectRows(dialog, {});
    QTest::mouseClick(dialog.UpButton(), Qt::LeftButton);
    QCOMPARE(CellText(dialog, 1, 1), QStringLiteral("CH"));
}

void ColumnCfgDlgTest::downMovesABlockAndGathersBelowTheLast() {
    ColumnLayout records = DefaultColumnLayout();
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {1, 2});  // Timestamp, CH
    QTest::mouseClick(dialog.DownButton(), Qt::LeftButton);
    QCOMPARE(ShownTitles(dialog).mid(0, 4), (QStringList{"#", "OS", "Timestamp", "CH"}));
    SelectRows(dialog, {0, 4});  // #, Power
    QTest::mouseClick(dialog.DownButton(), Qt::LeftButton);
    QCOMPARE(ShownTitles(dialog).mid(0, 6),
             (QStringList{"OS", "Timestamp", "CH", "Data", "#", "Power"}));
}

void ColumnCfgDlgTest::hidingMovesTheRowBelowTheShownRows() {
    ColumnLayout records = DefaultColumnLayout();
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {RowOf(dialog, "CH")});
    QTest::mouseClick(dialog.HideButton(), Qt::LeftButton);
    QCOMPARE(ShownTitles(dialog).size(), 9);
    const int row = RowOf(dialog, "CH");
    QVERIFY(row >= 9);
    QCOMPARE(CellText(dialog, row, 4), QStringLiteral("Hide"));
    QCOMPARE(CellText(dialog, row, 0), QString());
    // Renumbered: "OS" now has order 2.
    QCOMPARE(CellText(dialog, RowOf(dialog, "OS"), 0), QStringLiteral("2"));
}

void ColumnCfgDlgTest::showMakesHiddenColumnsShownInPlace() {
    ColumnLayout records = DefaultColumnLayout();
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {RowOf(dialog, "Idle Time"), RowOf(dialog, "CRC")});
    QTest::mouseClick(dialog.ShowButton(), Qt::LeftButton);
    // Shown rows keep the list order: the former hidden rows follow the old shown ones.
    QCOMPARE(ShownTitles(dialog), (kDefaultShown + QStringList{"Idle Time", "CRC"}));
    QCOMPARE(CellText(dialog, RowOf(dialog, "CRC"), 0), QStringLiteral("11"));
}

void ColumnCfgDlgTest::loadDefaultsRestoresDefaultsAndKeepsSelection() {
    ColumnLayout records = DefaultColumnLayout();
    records[kColumnDescription].width = 555;
    records[kColumnCrc].shown = 1;
    records[kColumnCrc].order = 3;
    records[kColumnOrderedSet].order = 26;
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {RowOf(dialog, "Type")});
    QTest::mouseClick(dialog.DefaultsButton(), Qt::LeftButton);
    QCOMPARE(ShownTitles(dialog), kDefaultShown);
    QCOMPARE(CellText(dialog, RowOf(dialog, "Description"), 3), QStringLiteral("300"));
    QCOMPARE(dialog.List()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(dialog.List()->selectionModel()->selectedRows().at(0).row(), RowOf(dialog, "Type"));
    dialog.accept();
    for (int id = 0; id < kPacketColumnCount; ++id) {
        QCOMPARE(records[id].shown, DefaultColumnInfo(id).shown);
    }
    QCOMPARE(records[kColumnDescription].width, 555);  // OK writes no widths
}

void ColumnCfgDlgTest::okRenumbersShownThenHiddenAndKeepsWidths() {
    ColumnLayout records = DefaultColumnLayout();
    records[kColumnMessageType].width = 123;
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {RowOf(dialog, "CH")});
    QTest::mouseClick(dialog.HideButton(), Qt::LeftButton);
    SelectRows(dialog, {RowOf(dialog, "Description")});
    QTest::mouseClick(dialog.UpButton(), Qt::LeftButton);
    dialog.accept();
    QCOMPARE(records[kColumnChannel].shown, 0);
    QCOMPARE(records[kColumnPacketNumber].order, 0);
    QCOMPARE(records[kColumnTimestamp].order, 1);
    QCOMPARE(records[kColumnOrderedSet].order, 2);
    QCOMPARE(records[kColumnDescription].order, 7);
    QCOMPARE(records[kColumnMessageId].order, 8);
    // Hidden columns continue the count in list order: CH right after the shown ones.
    QCOMPARE(records[kColumnChannel].order, 9);
    QCOMPARE(records[kColumnIdleTime].order, 10);
    QCOMPARE(records[kColumnMessageType].width, 123);
    // The orders form a permutation of 0-37.
    std::vector<int> orders;
    for (const ColumnInfo& info : records) {
        orders.push_back(info.order);
    }
    std::sort(orders.begin(), orders.end());
    for (int i = 0; i < kPacketColumnCount; ++i) {
        QCOMPARE(orders[i], i);
    }
}

void ColumnCfgDlgTest::cancelLeavesTheRecordsAlone() {
    ColumnLayout records = DefaultColumnLayout();
    const ColumnLayout before = records;
    CLogViewCfgDlg dialog(records);
    SelectRows(dialog, {0, 1, 2});
    QTest::mouseClick(dialog.HideButton(), Qt::LeftButton);
    dialog.reject();
    QVERIFY(records == before);
}

void ColumnCfgDlgTest::packetNumberColumnIsShownAgainOnOpening() {
    ColumnLayout records = DefaultColumnLayout();
    {
        CLogViewCfgDlg dialog(records);
        SelectRows(dialog, {RowOf(dialog, "#")});
        QTest::mouseClick(dialog.HideButton(), Qt::LeftButton);
        dialog.accept();
    }
    QCOMPARE(records[kColumnPacketNumber].shown, 0);
    CLogViewCfgDlg dialog(records);
    QCOMPARE(CellText(dialog, RowOf(dialog, "#"), 4), QStringLiteral("Show"));
    dialog.accept();
    QCOMPARE(records[kColumnPacketNumber].shown, 1);
}

void ColumnCfgDlgTest::recordsWithBrokenOrdersStillListEveryColumn() {
    ColumnLayout records = DefaultColumnLayout();
    records[kColumnCrc].order = 99;
    records[kColumnBmc].order = -4;
    records[kColumnHeader].order = 0;  // duplicate of "#"
    const ColumnCfgState state = MakeColumnCfgState(records);
    std::array<int, kPacketColumnCount> seen{};
    for (int id : state.orderList) {
        ++seen[id];
    }
    for (int count : seen) {
        QCOMPARE(count, 1);
    }
    QCOMPARE(state.orderList[0], static_cast<int>(kColumnPacketNumber));
    QCOMPARE(state.orderList[1], static_cast<int>(kColumnHeader));
}

QTEST_MAIN(ColumnCfgDlgTest)
#include "column_cfg_dlg_test.moc"
