// A live capture replayed through the real message list: a record file grows in steps, the CC2
// bursts completing one burst later than the CC1 bursts around them (hostile::LaggingLines), so
// that every step brings packets that belong before rows already listed. After every step the rows
// must be exactly the document's packets in order, each once, with the idle times of a list built
// afresh; the rows of every step are also kept as a frozen reference (tests/list/reference,
// rewritten with ZODUZ_UPDATE_REFERENCES=1 in the environment).
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "capture/document.h"
#include "capture/hostile_streams.h"
#include "columns/idle_time.h"
#include "list/core/column_info.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "pd/packet_column.h"

namespace {

constexpr size_t kBursts = 12;
constexpr size_t kPerBurst = 3;

// The CC2 bursts come one burst late; the replay lets the document read after every third CC1
// burst (CC2 burst i - 1 still to come) and after the whole stream.
std::vector<uint8_t> LateLineStream(std::vector<size_t>& steps) {
    std::vector<size_t> afterCc1;
    std::vector<uint8_t> stream = hostile::LaggingLines(kBursts, kPerBurst, &afterCc1);
    for (size_t i = 1; i < afterCc1.size(); i += 3) {
        steps.push_back(afterCc1[i]);
    }
    steps.push_back(stream.size());
    return stream;
}

void WritePrefix(const QString& path, const std::vector<uint8_t>& bytes, size_t size) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
}

QString Cell(const CKVLogView& view, int row, int columnId) {
    return view.PacketModel()->CellText(row, view.ListColumnOf(columnId));
}

// One line per row: packet number, time stamp, line and idle time as the list shows them.
QString RowsText(const CKVLogView& view) {
    QString text;
    for (int row = 0; row < view.RowCount(); ++row) {
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(Cell(view, row, kColumnPacketNumber), Cell(view, row, kColumnTimestamp),
                         Cell(view, row, kColumnChannel))
                    .arg(view.PacketModel()->Rows()[row].idleTime);
    }
    return text;
}

// The rows must be the document's packets in order with their idle times from the start.
void CheckRowsFollowTheDocument(const CKVLogView& view, const CKVDoc& document) {
    const std::vector<PacketPtr>& packets = document.Packets();
    QCOMPARE(static_cast<size_t>(view.RowCount()), packets.size());
    const std::vector<int64_t> idle = IdleTimes(packets, document.TimeOrigin());
    for (int row = 0; row < view.RowCount(); ++row) {
        QCOMPARE(view.PacketModel()->PacketAt(row), packets[row].get());
        QCOMPARE(view.PacketModel()->Rows()[row].idleTime, idle[row]);
    }
}

// Compares with the committed reference, or rewrites it when asked to.
void CheckReference(const QString& name, const QString& actual) {
    const QString path = QStringLiteral(ZODUZ_LIST_REFERENCE_DIR "/") + name;
    if (qEnvironmentVariableIsSet("ZODUZ_UPDATE_REFERENCES")) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(actual.toUtf8());
        return;
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(path));
    QCOMPARE(actual, QString::fromUtf8(in.readAll()));
}

}  // namespace

class LiveReplayTest : public QObject {
    Q_OBJECT

  private slots:
    void lateLinePacketsAreListedOnceInTimeOrder_data();
    void lateLinePacketsAreListedOnceInTimeOrder();
    void aSelectedRowStaysOnItsPacketWhenLatePacketsArrive();

  private:
    QTemporaryDir dir_;
};

void LiveReplayTest::lateLinePacketsAreListedOnceInTimeOrder_data() {
    QTest::addColumn<int>("maxPackets");
    QTest::addColumn<QString>("reference");
    QTest::newRow("growing") << 100000 << QStringLiteral("late_line.rows");
    // Auto-remove keeps 20 packets once more than 22 are held: the front is trimmed as well.
    QTest::newRow("trimmed") << 20 << QStringLiteral("late_line_trimmed.rows");
}

void LiveReplayTest::lateLinePacketsAreListedOnceInTimeOrder() {
    QFETCH(int, maxPackets);
    QFETCH(QString, reference);
    std::vector<size_t> steps;
    const std::vector<uint8_t> stream = LateLineStream(steps);
    const QString path = dir_.filePath(reference + QStringLiteral(".zaz"));
    CKVLogView::ResetSortState();
    CKVDoc document;
    document.SetLimits(maxPackets, kDefaultMaxVbusCount, true, false);
    ColumnLayout columns = DefaultColumnLayout();
    CKVLogView view(document, columns);
    view.RebuildList();
    QString text;
    bool mergedIntoListed = false;
    for (size_t step = 0; step < steps.size(); ++step) {
        WritePrefix(path, stream, steps[step]);
        const int listedBefore = view.RowCount();
        const int64_t lastListedTime =
            listedBefore > 0 ? view.PacketModel()->PacketAt(listedBefore - 1)->relTime : -1;
        if (step == 0) {
            document.OpenRecordFile(path.toStdString());
        } else {
            document.DecodeMore();
        }
        view.OnDocumentUpdate();
        for (const PacketPtr& packet : document.Packets()) {
            mergedIntoListed =
                mergedIntoListed || (listedBefore > 0 && packet->relTime < lastListedTime &&
                                     view.PacketModel()->RowOfPacket(packet.get()) >= 0);
        }
        CheckRowsFollowTheDocument(view, document);
        text += QStringLiteral("step %1: %2 packets\n").arg(step).arg(document.PacketCount());
        text += RowsText(view);
    }
    QVERIFY(mergedIntoListed);  // the replay did bring packets that belong before listed rows
    CheckReference(reference, text);
}

void LiveReplayTest::aSelectedRowStaysOnItsPacketWhenLatePacketsArrive() {
    std::vector<size_t> steps;
    const std::vector<uint8_t> stream = LateLineStream(steps);
    const QString path = dir_.filePath(QStringLiteral("selected.zaz"));
    CKVDoc document;
    ColumnLayout columns = DefaultColumnLayout();
    CKVLogView view(document, columns);
    view.RebuildList();
    WritePrefix(path, stream, steps[0]);
    document.OpenRecordFile(path.toStdString());
    view.OnDocumentUpdate();
    QVERIFY(view.RowCount() > 2);
    const int row = view.RowCount() - 1;
    view.SelectRow(row);
    const CCCPacket* selected = view.SelectedPacket();
    QSignalSpy changes(&view, &CKVLogView::selectedPacketChanged);
    WritePrefix(path, stream, steps[1]);
    document.DecodeMore();
    view.OnDocumentUpdate();
    QCOMPARE(view.SelectedPacket(), selected);
    const std::vector<PacketPtr>& packets = document.Packets();
    const auto held = std::find_if(packets.begin(), packets.end(), [&](const PacketPtr& packet) {
        return packet.get() == selected;
    });
    QCOMPARE(view.SelectedRow(), static_cast<int>(held - packets.begin()));
    QCOMPARE(changes.count(), 0);  // the same packet: the detail views see no change
}

QTEST_MAIN(LiveReplayTest)
#include "live_replay_test.moc"
