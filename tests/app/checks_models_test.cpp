// The rows of the Contracts pane: the texts and packets of known contracts, and a refill that
// keeps the chosen line and the scroll place without naming a packet.
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include "app/checks_panes.h"
#include "app/contracts_model.h"

namespace {

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
    void contractRowsShowWhatWasAskedForAndDelivered() {
        CContractsModel model;
        model.SetContracts({PpsContract(), BatteryContract()}, 250000);
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
        model.SetContracts({}, 0);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.ContractAt(0) == nullptr);
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
        pane.ShowContracts(contracts, 0);
        QSignalSpy chosen(&pane, &CDockableContracts::packetChosen);
        QTreeView* list = pane.List();
        list->setCurrentIndex(list->model()->index(60, 3));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toLongLong(), 600);
        const int scroll = list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        contracts.push_back(BatteryContract());
        pane.ShowContracts(contracts, 0);
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
