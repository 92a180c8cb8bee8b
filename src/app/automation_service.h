// The session-bus face of remote control: object /com/dazerav/Zoduz with interface
// com.dazerav.Zoduz.Capture under the service name com.dazerav.Zoduz. Its methods are the five
// automation requests; a refused request answers with an error named after its outcome. The
// same interface carries the VBUS presence signal (docs/automation.md).
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include "app/automation/automation_dispatcher.h"
#include "live/live_readings.h"

class CAutomationService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.dazerav.Zoduz.Capture")

  public:
    enum class Registration {
        kRegistered,  // object and service name are ours
        kNoBus,       // no session bus: neither requests nor the signal
        kNameTaken,   // another program owns the name; the signal still goes out
        kPathTaken,   // another object serves the path on this connection
    };

    // The dispatcher outlives the service; bus is the connection to serve on.
    CAutomationService(AutomationDispatcher& dispatcher, QDBusConnection bus);
    ~CAutomationService() override;

    // Exports the object and asks for the service name.
    Registration Register();
    // One line for the user about a registration that did not fully succeed; "" when it did.
    static QString RegistrationText(Registration registration);

    // Emits the signal: calibrated VBUS, CC1 and CC2 voltages in mV and whether VBUS is present.
    void SendVbusChange(const VbusPresenceChange& change);

  public slots:
    void SetRecordFileName(const QString& name);
    void SetRecordFolder(const QString& folder);
    void Start();
    void Stop();
    void Export();

  signals:
    void DavazaConnStateChanged(int vbus, int cc1, int cc2, bool present);

  private:
    void Handle(AutomationRequestKind kind, const QString& text = {});

    AutomationDispatcher& dispatcher_;
    QDBusConnection bus_;
    bool exported_ = false;
    bool ownsName_ = false;
};
