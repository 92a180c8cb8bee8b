// Row colours, cell text storage, fitting and highlighting of the message list.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "capture/document.h"
#include "list/cell_painter.h"
#include "list/core/column_info.h"
#include "list/core/packet_class.h"
#include "list/core/packet_rows.h"
#include "list/core/row_style.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "list/simulated_capture.h"

namespace {

std::string LongText(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        text.push_back(static_cast<char>('A' + i % 26));
    }
    return text;
}

// Formatter of the model tests: column 0 the packet number, column 1 a 300-character text.
// Column 2 the row's idle time.
std::string TestFormatter(const PacketRow& row, int column, const ColumnContext& context) {
    if (column == 1) {
        return LongText(300);
    }
    if (column == 2) {
        return std::to_string(row.idleTime);
    }
    return std::to_string(row.number) + (context.reverseCurrent ? "r" : "");
}

int gFormatterCalls = 0;
std::string CountingFormatter(const PacketRow& row, int column, const ColumnContext& context) {
    ++gFormatterCalls;
    return TestFormatter(row, column, context);
}

}  // namespace

class ListCellsTest : public QObject {
    Q_OBJECT

  private slots:
    void paintedRowsShowTheRuleColours();
    void longCellIsStoredAsHeadEllipsisTail();
    void cellTextsAreCachedPerRow();
    void reorderRowsMovesTextsWithTheirPackets();
    void onlyTheRowsFormattedLastKeepTheirTexts();
    void anOpenedCapturesRowsAreHeldOnce();
    void fitTextKeepsFittingTextsAndCutsOthersWithEllipsis();
    void highlightedTextMarksEveryOccurrence();
};

void ListCellsTest::paintedRowsShowTheRuleColours() {
    QTemporaryDir dir;
    const QString path = SimulateCapture(dir, "noisy");
    QVERIFY(!path.isEmpty());
    CKVDoc document;
    ColumnLayout columns = DefaultColumnLayout();
    CKVLogView view(document, columns);
    view.resize(1200, 600);
    view.RebuildList();
    document.OpenRecordFile(path.toStdString());
    view.OnDocumentUpdate();

    int invalidRow = -1;
    for (int row = 0; row < view.RowCount() && invalidRow < 0; ++row) {
        if (IsInvalidPacket(*view.PacketModel()->PacketAt(row))) {
            invalidRow = row;
        }
    }
    QVERIFY(invalidRow >= 0);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.EnsureRowVisible(invalidRow);

    auto pixelOfRow = [&](int row) {
        const QRect rect = view.visualRect(view.model()->index(row, 0));
        const QImage image = view.viewport()->grab().toImage();
        // Right of all columns: only the row background is painted there.
        return image.pixelColor(image.width() - 3, rect.center().y());
    };
    QCOMPARE(pixelOfRow(invalidRow), QColor(255, 0, 0));
    view.SetContextRow(invalidRow);
    view.SetMarkerA();
    QCOMPARE(pixelOfRow(invalidRow), QColor(255, 128, 0));
    view.SelectRow(invalidRow);
    QCOMPARE(pixelOfRow(invalidRow), QColor(100, 100, 255));
}

void ListCellsTest::longCellIsStoredAsHeadEllipsisTail() {
    const std::string text = LongText(300);
    const QString stored = StoredCellText(text);
    QCOMPARE(stored.size(), 243);
    QCOMPARE(stored.left(120), QString::fromStdString(text.substr(0, 120)));
    QCOMPARE(stored.mid(120, 3), QStringLiteral("..."));
    QCOMPARE(stored.right(120), QString::fromStdString(text.substr(180)));
    QCOMPARE(StoredCellText(LongText(260)).size(), 260);  // 260 characters stay whole
    QCOMPARE(StoredCellText(LongText(261)).size(), 243);

    CPacketListModel model(&TestFormatter);
    model.SetColumns({0, 1});
    CCCPacket packet = GoodPacket();
    const PacketRow rows[] = {{&packet, 9, 0}};
    model.AppendRows(rows);
    QCOMPARE(model.CellText(0, 1), stored);
    QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(), stored);
}

void ListCellsTest::cellTextsAreCachedPerRow() {
    gFormatterCalls = 0;
    CPacketListModel model(&CountingFormatter);
    model.SetColumns({0, 1});
    std::vector<CCCPacket> packets(1000, GoodPacket());
    std::vector<PacketRow> rows;
    for (size_t i = 0; i < packets.size(); ++i) {
        rows.push_back({&packets[i], static_cast<int32_t>(i), 0});
    }
    model.AppendRows(rows);
    QCOMPARE(gFormatterCalls, 0);  // appending formats nothing
    QCOMPARE(model.CellText(500, 0), QStringLiteral("500"));
    QCOMPARE(gFormatterCalls, 2);  // the whole row at once
    QCOMPARE(model.CellText(500, 1).size(), 243);
    QCOMPARE(gFormatterCalls, 2);
    QCOMPARE(model.CachedRowCount(), 1);
    model.SetContext({.reverseCurrent = true});  // a new context formats the rows again
    QCOMPARE(model.CellText(500, 0), QStringLiteral("500r"));
    QCOMPARE(gFormatterCalls, 4);
    QCOMPARE(model.CellText(-1, 0), QString());
    QCOMPARE(model.CellText(1000, 0), QString());
    QCOMPARE(model.CellText(0, 2), QString());
    QCOMPARE(model.RowOfPacketNumber(777), 777);
    QCOMPARE(model.RowOfPacketNumber(5000), -1);
}

void ListCellsTest::reorderRowsMovesTextsWithTheirPackets() {
    CPacketListModel model(&TestFormatter);
    model.SetColumns({0, 2});
    std::vector<CCCPacket> packets(3, GoodPacket());
    std::vector<PacketRow> rows;
    for (int i = 0; i < 3; ++i) {
        rows.push_back({&packets[i], i, 100 + i});
    }
    model.AppendRows(rows);
    QCOMPARE(model.CellText(0, 0), QStringLiteral("0"));
    model.ReorderRows({2, 0, 1});
    QCOMPARE(model.CellText(0, 0), QStringLiteral("2"));
    QCOMPARE(model.CellText(1, 0), QStringLiteral("0"));
    // The idle time is row state: it moves with its packet.
    QCOMPARE(model.CellText(0, 1), QStringLiteral("102"));
    QCOMPARE(model.Rows()[1].idleTime, int64_t{100});
    QCOMPARE(model.PacketAt(2), &packets[1]);
    model.ReorderRows({0, 0, 1});  // not a permutation: ignored
    QCOMPARE(model.PacketAt(0), &packets[2]);
    QCOMPARE(model.PacketAt(1), &packets[0]);
}

void ListCellsTest::onlyTheRowsFormattedLastKeepTheirTexts() {
    CPacketListModel model(&CountingFormatter);
    model.SetColumns({0, 2});
    const int count = 4 * CPacketListModel::kCachedRows;
    std::vector<CCCPacket> packets(static_cast<size_t>(count), GoodPacket());
    std::vector<PacketRow> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back({&packets[static_cast<size_t>(i)], i, 1000 + i});
    }
    model.AppendRows(std::span<const PacketRow>(rows));
    // Scrolling through the whole list keeps the texts of the last rows only.
    for (int row = 0; row < count; ++row) {
        QCOMPARE(model.CellText(row, 0), QString::number(row));
    }
    QCOMPARE(model.CachedRowCount(), CPacketListModel::kCachedRows);
    gFormatterCalls = 0;
    for (int row = count - CPacketListModel::kCachedRows; row < count; ++row) {
        QCOMPARE(model.CellText(row, 1), QString::number(1000 + row));
    }
    QCOMPARE(gFormatterCalls, 0);
    QCOMPARE(model.CellText(0, 1), QStringLiteral("1000"));
    QCOMPARE(gFormatterCalls, 2);
    // Rows cut off and listed again show their new packets, not the texts kept for the old.
    model.TruncateRows(count - 10);
    QCOMPARE(model.CellText(count - 5, 0), QString());
    const PacketRow again[] = {{&packets[0], 77, 5}};
    model.AppendRows(std::span<const PacketRow>(again));
    QCOMPARE(model.CellText(count - 10, 0), QStringLiteral("77"));
    QCOMPARE(model.CellText(count - 10, 1), QStringLiteral("5"));
    model.InvalidateRow(count - 10);
    gFormatterCalls = 0;
    QCOMPARE(model.CellText(count - 10, 0), QStringLiteral("77"));
    QCOMPARE(gFormatterCalls, 2);
    model.ClearRows();
    QCOMPARE(model.CachedRowCount(), 0);
}

void ListCellsTest::anOpenedCapturesRowsAreHeldOnce() {
    CPacketListModel model(&TestFormatter);
    model.SetColumns({0});
    std::vector<CCCPacket> packets(100, GoodPacket());
    std::vector<PacketRow> rows;
    rows.reserve(packets.size());
    for (size_t i = 0; i < packets.size(); ++i) {
        rows.push_back({&packets[i], static_cast<int32_t>(i), 0});
    }
    const PacketRow* storage = rows.data();
    model.AppendRows(std::move(rows));
    QCOMPARE(model.RowCount(), 100);
    QCOMPARE(model.Rows().data(), storage);  // taken over, not copied
    // Later rows go after them; room reserved for rows a filter hid is not kept.
    std::vector<PacketRow> more;
    more.push_back({&packets[0], 100, 0});
    model.AppendRows(std::move(more));
    QCOMPARE(model.RowCount(), 101);
    QCOMPARE(model.CellText(100, 0), QStringLiteral("100"));
    model.ClearRows();
    std::vector<PacketRow> filtered;
    filtered.reserve(1000);
    filtered.push_back({&packets[3], 3, 0});
    model.AppendRows(std::move(filtered));
    QCOMPARE(model.RowCount(), 1);
    QVERIFY(model.Rows().capacity() < 10);
    QCOMPARE(model.CellText(0, 0), QStringLiteral("3"));
}

void ListCellsTest::fitTextKeepsFittingTextsAndCutsOthersWithEllipsis() {
    const QFont font;
    const QFontMetrics metrics(font);
    const QString shortText = QStringLiteral("Accept");
    const int exact = metrics.horizontalAdvance(shortText) + 12;
    QCOMPARE(FitText(metrics, shortText, exact, 12), shortText);
    const QString cut = FitText(metrics, shortText, exact - 1, 12);
    QVERIFY(cut.endsWith(QStringLiteral("...")));
    QVERIFY(shortText.startsWith(cut.chopped(3)));
    QVERIFY(metrics.horizontalAdvance(cut) + 12 <= exact - 1);
    // The prefix is the longest that fits: one more character would not.
    const QString prefix = cut.chopped(3);
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("...")) +
                metrics.horizontalAdvance(shortText.left(prefix.size() + 1)) + 12 >
            exact - 1);
    QCOMPARE(FitText(metrics, shortText, 0, 12), QStringLiteral("..."));
    // Only the first 269 characters are considered.
    const QString longText = QString::fromStdString(LongText(400));
    QVERIFY(FitText(metrics, longText, 100000, 4) == longText);
    QVERIFY(FitText(metrics, longText, metrics.horizontalAdvance(longText) - 1, 4).size() <= 272);
}

void ListCellsTest::highlightedTextMarksEveryOccurrence() {
    QImage image(400, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    const QRect rect(0, 0, 400, 20);
    const int plain = DrawHighlightedText(painter, rect, QStringLiteral("GoodCRC GoodCRC"), {});
    QCOMPARE(plain, painter.fontMetrics().horizontalAdvance(QStringLiteral("GoodCRC GoodCRC")));
    image.fill(Qt::white);
    DrawHighlightedText(painter, rect, QStringLiteral("xx Good yy Good"), QStringLiteral("Good"));
    painter.end();
    const QFontMetrics metrics(QFont{});
    const int firstStart = metrics.horizontalAdvance(QStringLiteral("xx "));
    const int secondStart = metrics.horizontalAdvance(QStringLiteral("xx Good yy "));
    // Green boxes behind both occurrences (their top rows hold no glyph pixels), none before.
    QCOMPARE(image.pixelColor(firstStart + 1, 0), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(secondStart + 1, 0), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(1, 0), QColor(Qt::white));
    // Case-sensitive: "good" marks nothing.
    QImage other(400, 20, QImage::Format_RGB32);
    other.fill(Qt::white);
    QPainter second(&other);
    DrawHighlightedText(second, rect, QStringLiteral("xx Good"), QStringLiteral("good"));
    second.end();
    QCOMPARE(other.pixelColor(firstStart + 1, 0), QColor(Qt::white));
}

QTEST_MAIN(ListCellsTest)
#include "list_cells_test.moc"
