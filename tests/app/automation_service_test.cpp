// The remote control service on the session bus (run inside its own dbus-run-session): the
// five methods reach the window through the dispatcher, refusals come back as bus errors, and
// the VBUS presence signal goes out on the same interface.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QtTest>

#include "app/automation/bus_names.h"
#include "app/automation_service.h"

namespace {

class FakeWindow : public AutomationTarget {
  public:
    void SetRecordFileName(const std::string& value) override { name = value; }
    bool SetRecordFolder(const std::string& value) override {
        folder = value;
        return true;
    }
    bool HasRecordFileName() const override { return !name.empty(); }
    bool Start() override {
        ++starts;
        return true;
    }
    void Stop() override {
        name.clear();
        folder.clear();
    }
    bool Export() override { return ++exports == 1; }

    std::string name;
    std::string folder;
    int starts = 0;
    int exports = 0;
};

}  // namespace

class BroadcastReceiver : public QObject {
    Q_OBJECT

  public slots:
    void OnSignal(int vbus, int cc1, int cc2, bool present) {
        received << QVariantList{vbus, cc1, cc2, present};
    }

  public:
    QList<QVariantList> received;
};

class AutomationServiceTest : public QObject {
    Q_OBJECT

  private:
    // A call from a second connection, as another program makes it; the event loop runs
    // meanwhile so that the service (on the first connection) can answer.
    static QDBusMessage Call(const QString& method, const QVariantList& arguments = {}) {
        QDBusConnection client =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kAutomationService), QString::fromLatin1(kAutomationPath),
            QString::fromLatin1(kAutomationInterface), method);
        call.setArguments(arguments);
        return client.call(call, QDBus::BlockWithGui);
    }

  private slots:
    void methodsReachTheWindowUnderTheServiceName() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        CAutomationService service(dispatcher, QDBusConnection::sessionBus());
        QCOMPARE(service.Register(), CAutomationService::Registration::kRegistered);
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QString::fromLatin1(kAutomationService)));

        QCOMPARE(Call(QStringLiteral("SetRecordFileName"), {QStringLiteral("bench.zaz")}).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(Call(QStringLiteral("SetRecordFolder"), {QStringLiteral("/tmp")}).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(window.name, std::string("bench.zaz"));
        QCOMPARE(window.folder, std::string("/tmp"));
        QCOMPARE(Call(QStringLiteral("Start")).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(window.starts, 1);
        QCOMPARE(Call(QStringLiteral("Stop")).type(), QDBusMessage::ReplyMessage);
        QVERIFY(window.name.empty());
        QVERIFY(window.folder.empty());
        QCOMPARE(Call(QStringLiteral("Export")).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(window.exports, 1);
    }

    void refusalsAreBusErrorsNamedAfterTheOutcome() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        CAutomationService service(dispatcher, QDBusConnection::sessionBus());
        QCOMPARE(service.Register(), CAutomationService::Registration::kRegistered);

        QDBusMessage answer = Call(QStringLiteral("Start"));
        QCOMPARE(answer.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(answer.errorName(), QStringLiteral("com.dazerav.Zoduz.Error.NoRecordFileName"));
        QCOMPARE(answer.errorMessage(), QStringLiteral("no record file name is set"));
        QCOMPARE(window.starts, 0);

        answer = Call(QStringLiteral("SetRecordFileName"), {QStringLiteral("../../etc/x.zaz")});
        QCOMPARE(answer.errorName(), QStringLiteral("com.dazerav.Zoduz.Error.InvalidName"));
        QVERIFY(window.name.empty());

        Call(QStringLiteral("Export"));
        answer = Call(QStringLiteral("Export"));
        QCOMPARE(answer.errorName(), QStringLiteral("com.dazerav.Zoduz.Error.ExportUnavailable"));
    }

    void aSecondServiceFindsTheNameTaken() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        CAutomationService first(dispatcher, QDBusConnection::sessionBus());
        QCOMPARE(first.Register(), CAutomationService::Registration::kRegistered);
        CAutomationService second(
            dispatcher,
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second")));
        QCOMPARE(second.Register(), CAutomationService::Registration::kNameTaken);
        QVERIFY(!CAutomationService::RegistrationText(CAutomationService::Registration::kNameTaken)
                     .isEmpty());
    }

    void withoutABusNothingIsRegisteredAndNothingBreaks() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        QDBusConnection none = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/zoduz-test-bus"), QStringLiteral("none"));
        QVERIFY(!none.isConnected());
        CAutomationService service(dispatcher, none);
        QCOMPARE(service.Register(), CAutomationService::Registration::kNoBus);
        QCOMPARE(CAutomationService::RegistrationText(CAutomationService::Registration::kNoBus),
                 QStringLiteral("no D-Bus session bus: remote control and the VBUS broadcast "
                                "are unavailable"));
        service.SendVbusChange({true, 5050, 400, 1700});
    }

    void signalCarriesTheCalibratedVoltages() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        CAutomationService service(dispatcher, QDBusConnection::sessionBus());
        QCOMPARE(service.Register(), CAutomationService::Registration::kRegistered);
        BroadcastReceiver receiver;
        QDBusConnection listener =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("listener"));
        QVERIFY(listener.connect(QString(), QString::fromLatin1(kAutomationPath),
                                 QString::fromLatin1(kAutomationInterface),
                                 QString::fromLatin1(kVbusPresenceSignal), &receiver,
                                 SLOT(OnSignal(int, int, int, bool))));
        service.SendVbusChange({true, 5050, 400, 1700});
        service.SendVbusChange({false, 998, 12, 0});
        QTRY_COMPARE(receiver.received.size(), 2);
        QCOMPARE(receiver.received[0], (QVariantList{5050, 400, 1700, true}));
        QCOMPARE(receiver.received[1], (QVariantList{998, 12, 0, false}));
    }

    void aServiceWithoutItsNameStillSendsTheSignal() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        CAutomationService owner(dispatcher, QDBusConnection::sessionBus());
        QCOMPARE(owner.Register(), CAutomationService::Registration::kRegistered);
        QDBusConnection other =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        CAutomationService second(dispatcher, other);
        QCOMPARE(second.Register(), CAutomationService::Registration::kNameTaken);
        BroadcastReceiver receiver;
        QVERIFY(QDBusConnection::sessionBus().connect(
            other.baseService(), QString::fromLatin1(kAutomationPath),
            QString::fromLatin1(kAutomationInterface), QString::fromLatin1(kVbusPresenceSignal),
            &receiver, SLOT(OnSignal(int, int, int, bool))));
        second.SendVbusChange({true, 20000, 1650, 0});
        QTRY_COMPARE(receiver.received.size(), 1);
        QCOMPARE(receiver.received[0], (QVariantList{20000, 1650, 0, true}));
    }

    void introspectionListsEveryMember() {
        FakeWindow window;
        AutomationDispatcher dispatcher(window);
        CAutomationService service(dispatcher, QDBusConnection::sessionBus());
        QCOMPARE(service.Register(), CAutomationService::Registration::kRegistered);
        QDBusConnection client =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kAutomationService), QString::fromLatin1(kAutomationPath),
            QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
        const QDBusMessage answer = client.call(call, QDBus::BlockWithGui);
        QCOMPARE(answer.type(), QDBusMessage::ReplyMessage);
        const QString xml = answer.arguments().value(0).toString();
        QVERIFY(xml.contains(QStringLiteral("<interface name=\"com.dazerav.Zoduz.Capture\">")));
        for (const char* member : {"<method name=\"SetRecordFileName\">",
                                   "<arg name=\"name\" type=\"s\" direction=\"in\"/>",
                                   "<method name=\"SetRecordFolder\">", "<method name=\"Start\"",
                                   "<method name=\"Stop\"", "<method name=\"Export\"",
                                   "<signal name=\"DavazaConnStateChanged\">",
                                   "<arg name=\"present\" type=\"b\" direction=\"out\"/>"}) {
            QVERIFY2(xml.contains(QString::fromLatin1(member)), member);
        }
    }
};

QTEST_MAIN(AutomationServiceTest)
#include "automation_service_test.moc"
