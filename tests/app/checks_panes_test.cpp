// The Checks and Contracts panes on the synthesizer's planted faults: hidden until asked for
// (F8), one row per finding with its severity filter, a chosen finding selects its packet and
// centres the graph on it, error rows are marked in the list, the contracts are listed, a refill
// keeps the chosen line, the panes follow the document, and their settings go back into the
// store.
#include <QFile>
#include <QTreeView>
#include <QtTest>
#include <algorithm>

#include "app/checks_panes.h"
#include "app/contracts_model.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/change_log.h"
#include "capture/document.h"
#include "capture/hostile_streams.h"
#include "check/check_walk.h"
#include "device/sim/simulator.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_list_model.h"
#include "list/simulated_capture.h"
#include "scripted_prompts.h"
#include "settings/settings_store.h"

class ChecksPanesTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        faults_ = SimulateCapture(dir_, "faults");
        QVERIFY(!faults_.isEmpty());
    }
    void init() {
        document_ = std::make_unique<CKVDoc>();
        settings_ = SettingsStore{};
        settings_.checksPaneShown = true;
        settings_.contractsPaneShown = true;
        frame_ = std::make_unique<CMainFrame>(*document_, settings_, recent_, prompts_);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        QVERIFY(frame_->OpenDocument(faults_));
    }
    void cleanup() { frame_.reset(); }

    void panesListTheFindingsAndContractsOfTheDocument() {
        QVERIFY(frame_->ChecksPane()->isVisible());
        QVERIFY(frame_->ContractsPane()->isVisible());
        const CheckReport report = CheckCapture(document_->Snapshot(), CheckOptions{});
        QCOMPARE(frame_->ChecksPane()->RowCount(), static_cast<int>(report.findings.size()));
        QCOMPARE(frame_->ContractsPane()->RowCount(), static_cast<int>(report.contracts.size()));
        const QAbstractItemModel* rows = frame_->ChecksPane()->List()->model();
        QCOMPARE(rows->index(0, CFindingsModel::kRuleColumn).data().toString(),
                 QStringLiteral("P-GOODCRC-TIME"));
        // Every line names the rule and the packet of its finding, and every contract line
        // its Request.
        for (int row = 0; row < rows->rowCount(); ++row) {
            const Finding& finding = report.findings[static_cast<size_t>(row)];
            QCOMPARE(rows->index(row, CFindingsModel::kRuleColumn).data().toString(),
                     QString::fromStdString(finding.rule));
            QCOMPARE(rows->index(row, 0).data(CFindingsModel::kPacketRole).toLongLong(),
                     finding.packets.empty() ? -1 : finding.packets.front());
        }
        const QAbstractItemModel* contracts = frame_->ContractsPane()->List()->model();
        QVERIFY(contracts->rowCount() > 0);
        for (int row = 0; row < contracts->rowCount(); ++row) {
            const Contract& contract = report.contracts[static_cast<size_t>(row)];
            QCOMPARE(contracts->index(row, CContractsModel::kPdoColumn).data().toString(),
                     QStringLiteral("#%1 %2")
                         .arg(contract.position)
                         .arg(QString::fromStdString(contract.pdoType)));
            QCOMPARE(contracts->index(row, 0).data(CContractsModel::kPacketRole).toLongLong(),
                     contract.requestPacket);
        }
    }

    void filterKeepsErrorsOnlyAndIsStored() {
        const int all = frame_->ChecksPane()->RowCount();
        frame_->ChecksPane()->SetFilter(ChecksFilter::kErrors);
        const int errors = frame_->ChecksPane()->RowCount();
        QVERIFY(errors > 0 && errors < all);  // the planted warnings are gone
        for (int row = 0; row < errors; ++row) {
            const QModelIndex severity = frame_->ChecksPane()->List()->model()->index(row, 0);
            QCOMPARE(severity.data(Qt::ToolTipRole).toString(), QStringLiteral("error"));
        }
        frame_->StoreLayout();
        QCOMPARE(settings_.checksSeverityFilter, 0);
        QVERIFY(settings_.checksPaneShown);
    }

    void choosingAFindingSelectsItsPacketAndCentresTheGraph() {
        QTreeView* list = frame_->ChecksPane()->List();
        const QModelIndex item = list->model()->index(3, 0);
        list->setCurrentIndex(item);
        const CCCPacket* selected = frame_->LogView()->SelectedPacket();
        QVERIFY(selected != nullptr);
        const qint64 expected = item.data(CFindingsModel::kPacketRole).toLongLong();
        QCOMPARE(static_cast<qint64>(frame_->LogView()->SelectedRow()), expected);
        const GraphViewState& state = frame_->GraphView()->Model().state;
        QVERIFY(std::llabs(state.centreTime - (selected->relTime - document_->TimeOrigin())) <
                2000);
    }

    void errorRowsCarryARedMarkAtTheirLeftEdge() {
        const CheckReport report = CheckCapture(document_->Snapshot(), CheckOptions{});
        CKVLogView* list = frame_->LogView();
        const auto finding =
            std::find_if(report.findings.begin(), report.findings.end(),
                         [](const Finding& f) { return f.severity == Severity::kError; });
        QVERIFY(finding != report.findings.end());
        const PacketPtr blamed = document_->PacketAt(static_cast<size_t>(finding->packets[0]));
        const int row = list->PacketModel()->RowOfPacket(blamed.get());
        QVERIFY(row >= 0);
        list->EnsureRowVisible(row);
        auto markAt = [&](int listRow) {
            const QRect rect = list->visualRect(list->model()->index(listRow, 0));
            const QImage image = list->viewport()->grab().toImage();
            return image.pixelColor(rect.left() + 1, rect.center().y()) == QColor(220, 0, 0);
        };
        QVERIFY(markAt(row));
        // The row of a packet no finding blames has none.
        const int clean = row == 0 ? 1 : row - 1;
        QVERIFY(!markAt(clean) || finding->packets.size() > 1);
    }

    void aRefillKeepsTheChosenFindingAndScroll() {
        CDockableChecks* pane = frame_->ChecksPane();
        QTreeView* list = pane->List();
        list->setCurrentIndex(list->model()->index(2, 0));
        const QString rule = list->currentIndex().siblingAtColumn(1).data().toString();
        // The live capture adds a finding at the end.
        CheckReport report = CheckCapture(document_->Snapshot(), CheckOptions{});
        report.findings.push_back(report.findings.back());
        pane->ShowFindings(report.findings, document_->TimeOrigin());
        QCOMPARE(pane->RowCount(), static_cast<int>(report.findings.size()));
        QCOMPARE(list->currentIndex().row(), 2);
        QCOMPARE(list->currentIndex().siblingAtColumn(1).data().toString(), rule);
    }

    void f8HidesTheChecksPaneAndEmptyingTheDocumentEmptiesIt() {
        QAction* show = frame_->ChecksPane()->toggleViewAction();
        QCOMPARE(show->shortcut(), QKeySequence(Qt::Key_F8));
        show->trigger();
        QVERIFY(!frame_->ChecksPane()->isVisible());
        frame_->StoreLayout();
        QVERIFY(!settings_.checksPaneShown);
        document_->DeleteContents();
        frame_->RefreshChecks();
        QCOMPARE(frame_->ContractsPane()->RowCount(), 0);
    }

    // A live capture grows and loses its oldest packets: after every decode the panes hold what
    // a walk of the whole document finds, the walk going on over appended packets and starting
    // again once the front was trimmed.
    void thePanesFollowAGrowingCaptureWhoseFrontIsTrimmed() {
        QFile whole(faults_);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        const size_t wholeCount = document_->PacketCount();
        const int limit = std::max(10, static_cast<int>(wholeCount / 3));
        const QString path = dir_.filePath(QStringLiteral("growing.zaz"));
        QFile growing(path);
        QVERIFY(growing.open(QIODevice::WriteOnly));
        const qsizetype step = bytes.size() / 64 / 7 * 64;
        growing.write(bytes.left(step));
        growing.flush();
        QVERIFY(frame_->OpenDocument(path));
        document_->SetLimits(limit, kDefaultMaxVbusCount, true, false);
        int steps = 0;
        for (qsizetype written = step; written < bytes.size(); written += step) {
            growing.write(bytes.mid(written, step));
            growing.flush();
            document_->DecodeMore();
            const CheckReport report = CheckCapture(document_->Snapshot(), CheckOptions{});
            QCOMPARE(frame_->ChecksPane()->RowCount(), static_cast<int>(report.findings.size()));
            QCOMPARE(frame_->ContractsPane()->RowCount(),
                     static_cast<int>(report.contracts.size()));
            ++steps;
        }
        QVERIFY(steps >= 7);
        QVERIFY(document_->PacketCount() < wholeCount);  // the front was trimmed
    }

    // The GoodCRCs of the planted faults go on CC2 and reach the file only after the message
    // that follows them, as a line whose bursts end later hands its packets over later: the
    // document merges each one before packets the panes have already walked. After every decode
    // the panes hold what a walk of the whole document finds.
    void thePanesFollowPacketsMergedBeforeTheirEnd() {
        SimulationOptions options;
        options.scenario = "faults";
        const std::optional<SimulationResult> simulated = Simulate(options);
        QVERIFY(simulated.has_value());
        hostile::StreamWriter stream;
        std::vector<size_t> cuts;
        std::vector<const BuiltMessage*> held;
        const auto write = [&](const BuiltMessage& message, int line) {
            const auto time =
                static_cast<uint32_t>(message.startTimeUs - simulated->captureStartTimeUs);
            stream.Burst(line, time, {message.edgeTicks});
        };
        for (const BuiltMessage& message : simulated->messages) {
            if (message.label == "GoodCRC") {
                held.push_back(&message);
                continue;
            }
            write(message, 0);
            cuts.push_back(stream.Size());
            for (const BuiltMessage* late : held) {
                write(*late, 1);
            }
            held.clear();
        }
        const QString path = dir_.filePath(QStringLiteral("late_goodcrc.zaz"));
        QFile growing(path);
        QVERIFY(growing.open(QIODevice::WriteOnly));
        const std::vector<uint8_t>& bytes = stream.Bytes();
        size_t written = cuts.front();
        growing.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(written));
        growing.flush();
        QVERIFY(frame_->OpenDocument(path));
        ChangeLog log(*document_);
        int merges = 0;
        int steps = 0;
        for (size_t cut = 3; cut < cuts.size(); cut += 3) {
            growing.write(reinterpret_cast<const char*>(bytes.data() + written),
                          static_cast<qint64>(cuts[cut] - written));
            growing.flush();
            written = cuts[cut];
            document_->DecodeMore();
            for (const PacketChange& change : log.Take()) {
                merges += change.kind == PacketChange::Kind::kMerged ? 1 : 0;
            }
            const CheckReport report = CheckCapture(document_->Snapshot(), CheckOptions{});
            QCOMPARE(frame_->ChecksPane()->RowCount(), static_cast<int>(report.findings.size()));
            QCOMPARE(frame_->ContractsPane()->RowCount(),
                     static_cast<int>(report.contracts.size()));
            ++steps;
        }
        QVERIFY(steps >= 10);
        QVERIFY(merges >= 5);
        QVERIFY(frame_->ChecksPane()->RowCount() > 0);
    }

  private:
    QTemporaryDir dir_;
    QString faults_;
    std::unique_ptr<CKVDoc> document_;
    SettingsStore settings_;
    CRecentFileList recent_;
    ScriptedPrompts prompts_;
    std::unique_ptr<CMainFrame> frame_;
};

QTEST_MAIN(ChecksPanesTest)
#include "checks_panes_test.moc"
