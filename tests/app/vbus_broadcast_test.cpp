// The VBUS presence broadcast on the session bus (run inside its own dbus-run-session).
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QtTest>

#include "app/vbus_broadcast.h"

class BroadcastReceiver : public QObject {
    Q_OBJECT

  public slots:
    void OnSignal(int vbus, int cc1, int cc2, bool present) {
        received << QVariantList{vbus, cc1, cc2, present};
    }

  public:
    QList<QVariantList> received;
};

class VbusBroadcastTest : public QObject {
    Q_OBJECT

  private slots:
    void signalCarriesTheCalibratedVoltages() {
        CVbusBroadcast broadcast;
        QVERIFY(broadcast.Available());
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.interface()->isServiceRegistered(QString::fromLatin1(kBroadcastService)));
        BroadcastReceiver receiver;
        QVERIFY(bus.connect(QString(), QString::fromLatin1(kBroadcastPath),
                            QString::fromLatin1(kBroadcastInterface),
                            QString::fromLatin1(kBroadcastSignal), &receiver,
                            SLOT(OnSignal(int, int, int, bool))));
        QVERIFY(broadcast.Send({true, 5050, 400, 1700}));
        QVERIFY(broadcast.Send({false, 998, 12, 0}));
        QTRY_COMPARE(receiver.received.size(), 2);
        QCOMPARE(receiver.received[0], (QVariantList{5050, 400, 1700, true}));
        QCOMPARE(receiver.received[1], (QVariantList{998, 12, 0, false}));
    }
};

QTEST_MAIN(VbusBroadcastTest)
#include "vbus_broadcast_test.moc"
