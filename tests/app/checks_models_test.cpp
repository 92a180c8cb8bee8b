// The rows of the Checks and Contracts panes: how many lines each severity filter leaves, the
// texts, tooltips, icons and packets of known findings and contracts, and a refill that keeps
// the chosen line and the scroll place without naming a packet.
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include "app/checks_panes.h"
#include "app/contracts_model.h"
#include "app/findings_model.h"

namespace {

Finding MakeFinding(const char* rule, Severity severity, int64_t time,
                    std::vector<int64_t> packets) {
    Finding finding;
    finding.rule = rule;
    finding.severity = severity;
    finding.time = time;
    finding.packets = std::move(packets);
    finding.text = std::string(rule) + " broken at packet " +
                   (finding.packets.empty() ? "none" : std::to_string(finding.packets.front()));
    return finding;
}

// Errors at 0 and 3, warnings at 1 and 4, an info note at 2 that blames no packet.
std::vector<Finding> MixedFindings() {
    return {MakeFinding("P-GOODCRC-TIME", Severity::kError, 1500000, {7, 8}),
            MakeFinding("P-MSGID", Severity::kWarning, 1600000, {9}),
            MakeFinding("V-NOT-MEASURED", Severity::kInfo, 0, {}),
            MakeFinding("T-SENDER-RESPONSE", Severity::kError, 62001002, {40}),
            MakeFinding("P-RETRY", Severity::kWarning, 3725000000, {41})};
}

// Many findings, one a packet: enough to scroll.
std::vector<Finding> ManyFindings(int count) {
    std::vector<Finding> findings;
    for (int k = 0; k < count; ++k) {
        findings.push_back(MakeFinding(k % 2 == 0 ? "P-MSGID" : "P-RETRY",
                                       k % 2 == 0 ? Severity::kError : Severity::kWarning,
                                       int64_t{k} * 1000, {k}));
    }
    return findings;
}

Contract PpsContract() {
    Contract contract;
    contract.requestPacket = 12;
    contract.time = 2250000;
    contract.position = 4;
    contract.pdoType = "PPS";
    contract.voltage = 9000;
    contract.current = 3000;
    contract.acceptLatency = 2400;
    contract.psRdyLatency = 18125;
    contract.transitionStart = 1000;
    contract.settleTime = 35000;
    contract.overshoot = 120;
    contract.finalVoltage = 9012;
    contract.end = ContractEnd::kHardReset;
    contract.events = {"DR_Swap #41", "VCONN_Swap #52"};
    return contract;
}

Contract BatteryContract() {
    Contract contract;
    contract.requestPacket = 30;
    contract.time = 64000000;
    contract.position = 2;
    contract.pdoType = "Battery";
    contract.power = 15000;
    contract.current = 700;
    return contract;
}

QString Text(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole) {
    return model.index(row, column).data(role).toString();
}

}  // namespace

class ChecksModelsTest : public QObject {
    Q_OBJECT

  private slots:
    void eachFilterListsTheSeveritiesItLetsThrough() {
        CFindingsModel model;
        model.SetFindings(MixedFindings(), 0);
        QCOMPARE(model.rowCount(), 5);
        model.SetFilter(ChecksFilter::kErrorsAndWarnings);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(Text(model, 2, CFindingsModel::kRuleColumn), QStringLiteral("T-SENDER-RESPONSE"));
        QCOMPARE(Text(model, 3, CFindingsModel::kRuleColumn), QStringLiteral("P-RETRY"));
        model.SetFilter(ChecksFilter::kErrors);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(Text(model, 0, CFindingsModel::kRuleColumn), QStringLiteral("P-GOODCRC-TIME"));
        QCOMPARE(Text(model, 1, CFindingsModel::kRuleColumn), QStringLiteral("T-SENDER-RESPONSE"));
        QVERIFY(model.FindingAt(2) == nullptr);
        QVERIFY(!model.index(2, 0).data().isValid());
        // New findings under a narrow filter are filtered too.
        model.SetFindings(ManyFindings(9), 0);
        QCOMPARE(model.rowCount(), 5);
        model.SetFilter(ChecksFilter::kAll);
        QCOMPARE(model.rowCount(), 9);
    }

    void findingRowsShowSeverityRuleTimeAndText() {
        CFindingsModel model;
        model.SetFindings(MixedFindings(), 500000);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.headerData(CFindingsModel::kRuleColumn, Qt::Horizontal, Qt::DisplayRole),
                 QVariant(QStringLiteral("Rule")));
        QCOMPARE(model.headerData(CFindingsModel::kTextColumn, Qt::Horizontal, Qt::DisplayRole),
                 QVariant(QStringLiteral("Finding")));
        QCOMPARE(Text(model, 0, CFindingsModel::kTimeColumn), QStringLiteral("  1s   0ms   0us"));
        QCOMPARE(Text(model, 2, CFindingsModel::kTimeColumn), QStringLiteral("- 0s 500ms   0us"));
        QCOMPARE(Text(model, 3, CFindingsModel::kTimeColumn),
                 QStringLiteral("  1min  1s 501ms 002us"));
        QCOMPARE(Text(model, 4, CFindingsModel::kTimeColumn),
                 QStringLiteral(" 1h  2min  4s 500ms 000us"));
        QCOMPARE(Text(model, 3, CFindingsModel::kTextColumn),
                 QStringLiteral("T-SENDER-RESPONSE broken at packet 40"));
        // The whole text is the text column's tooltip; the icon's tooltip names the severity.
        QCOMPARE(Text(model, 3, CFindingsModel::kTextColumn, Qt::ToolTipRole),
                 QStringLiteral("T-SENDER-RESPONSE broken at packet 40"));
        QCOMPARE(Text(model, 1, CFindingsModel::kSeverityColumn, Qt::ToolTipRole),
                 QStringLiteral("warning"));
        QCOMPARE(Text(model, 2, CFindingsModel::kSeverityColumn, Qt::ToolTipRole),
                 QStringLiteral("info"));
        QVERIFY(Text(model, 0, CFindingsModel::kSeverityColumn).isEmpty());
        const QIcon error =
            model.index(0, CFindingsModel::kSeverityColumn).data(Qt::DecorationRole).value<QIcon>();
        const QIcon warning =
            model.index(1, CFindingsModel::kSeverityColumn).data(Qt::DecorationRole).value<QIcon>();
        QVERIFY(!error.isNull() && !warning.isNull());
        QVERIFY(error.cacheKey() != warning.cacheKey());
        QVERIFY(!model.index(0, CFindingsModel::kRuleColumn).data(Qt::DecorationRole).isValid());
        // The packet to blame is the first one; a finding that blames none names -1.
        QCOMPARE(model.index(0, CFindingsModel::kTextColumn)
                     .data(CFindingsModel::kPacketRole)
                     .toLongLong(),
                 7);
        QCOMPARE(model.index(2, 0).data(CFindingsModel::kPacketRole).toLongLong(), -1);
    }

    void contractRowsShowWhatWasAskedForAndDelivered() {
        CContractsModel model;
        model.SetContracts({PpsContract()}, {BatteryContract()}, 250000);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 12);
        QStringList titles;
        QStringList pps;
        for (int column = 0; column < model.columnCount(); ++column) {
            titles << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            pps << Text(model, 0, column);
        }
        QCOMPARE(titles,
                 (QStringList{"Time", "PDO", "Voltage", "Current", "Accept", "PS_RDY", "Transition",
                              "Settle", "Overshoot", "Final", "End", "Between"}));
        QCOMPARE(pps, (QStringList{"  2s   0ms   0us", "#4 PPS", "9.00 V", "3000 mA", "2.4 ms",
                                   "18.125 ms", "1 ms", "35 ms", "120 mV", "9.012 V", "hard reset",
                                   "DR_Swap #41, VCONN_Swap #52"}));
        // A battery contract asks for power; what was not measured stays empty.
        QCOMPARE(Text(model, 1, CContractsModel::kPdoColumn), QStringLiteral("#2 Battery"));
        QCOMPARE(Text(model, 1, CContractsModel::kVoltageColumn), QString());
        QCOMPARE(Text(model, 1, CContractsModel::kCurrentColumn), QStringLiteral("15000 mW"));
        QCOMPARE(Text(model, 1, CContractsModel::kAcceptColumn), QString());
        QCOMPARE(Text(model, 1, CContractsModel::kFinalColumn), QString());
        QCOMPARE(Text(model, 1, CContractsModel::kEndColumn), QStringLiteral("capture end"));
        QCOMPARE(model.index(1, CContractsModel::kEndColumn)
                     .data(CContractsModel::kPacketRole)
                     .toLongLong(),
                 30);
        model.SetContracts({}, {}, 0);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.ContractAt(0) == nullptr);
    }

    // A growing capture: contracts that ended since go after those that ended before, and the
    // contracts still open are replaced by those open now.
    void appendedContractsFollowThoseThatEndedBefore() {
        CContractsModel model;
        Contract first = PpsContract();
        Contract open = BatteryContract();
        model.SetContracts({first}, {open}, 0);
        QCOMPARE(model.rowCount(), 2);
        Contract ended = open;
        ended.end = ContractEnd::kNewRequest;
        Contract second = BatteryContract();
        second.requestPacket = 55;
        model.AppendContracts({ended}, {second}, 1000000);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.ContractAt(0)->requestPacket, 12);
        QCOMPARE(Text(model, 1, CContractsModel::kEndColumn), QStringLiteral("new request"));
        QCOMPARE(model.ContractAt(2)->requestPacket, 55);
        // The new time origin holds for the rows kept as well.
        QCOMPARE(Text(model, 0, CContractsModel::kTimeColumn), QStringLiteral("  1s 250ms   0us"));
        model.AppendContracts({}, {}, 0);
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(model.ContractAt(2) == nullptr);
        // Starting over drops every contract shown before.
        model.SetContracts({}, {second}, 0);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.ContractAt(0)->requestPacket, 55);
    }

    // A live capture adds findings every second: the line the user chose and the place they
    // scrolled to stay, and the refill names no packet.
    void aRefillKeepsTheChosenFindingAndTheScrollPlace() {
        CDockableChecks pane;
        pane.resize(400, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        pane.ShowFindings(ManyFindings(300), 0);
        QTreeView* list = pane.List();
        QSignalSpy chosen(&pane, &CDockableChecks::packetChosen);
        list->setCurrentIndex(list->model()->index(150, 0));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toLongLong(), 150);
        list->scrollTo(list->model()->index(200, 0), QAbstractItemView::PositionAtTop);
        const int scroll = list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);

        pane.ShowFindings(ManyFindings(301), 0);
        QCOMPARE(pane.RowCount(), 301);
        QCOMPARE(list->currentIndex().row(), 150);
        QCOMPARE(list->verticalScrollBar()->value(), scroll);
        QCOMPARE(chosen.count(), 0);

        // The filter keeps the place as well, and the rule and the time fit their columns.
        pane.SetFilter(ChecksFilter::kErrors);
        QCOMPARE(pane.RowCount(), 151);
        QCOMPARE(list->currentIndex().row(), 150);
        QCOMPARE(chosen.count(), 0);
        const QFontMetrics metrics(list->font());
        QVERIFY(list->columnWidth(CFindingsModel::kRuleColumn) >=
                metrics.horizontalAdvance(QStringLiteral("P-MSGID")));
        QVERIFY(list->columnWidth(CFindingsModel::kTimeColumn) >=
                metrics.horizontalAdvance(Text(*list->model(), 150, CFindingsModel::kTimeColumn)));
    }

    void aContractRefillKeepsTheChosenContract() {
        CDockableContracts pane;
        pane.resize(600, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        std::vector<Contract> contracts(80, PpsContract());
        for (size_t k = 0; k < contracts.size(); ++k) {
            contracts[k].requestPacket = static_cast<int64_t>(k) * 10;
        }
        pane.ShowContracts(contracts, {}, 0);
        QSignalSpy chosen(&pane, &CDockableContracts::packetChosen);
        QTreeView* list = pane.List();
        list->setCurrentIndex(list->model()->index(60, 3));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toLongLong(), 600);
        const int scroll = list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        pane.AppendContracts({}, {BatteryContract()}, 0);
        QCOMPARE(pane.RowCount(), 81);
        QCOMPARE(list->currentIndex().row(), 60);
        QCOMPARE(list->verticalScrollBar()->value(), scroll);
        QCOMPARE(chosen.count(), 0);
        // Activating a line names its Request packet again.
        emit list->activated(list->model()->index(80, 0));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toLongLong(), 30);
    }
};

QTEST_MAIN(ChecksModelsTest)
#include "checks_models_test.moc"
