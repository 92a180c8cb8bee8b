#include "app/automation_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "app/automation/bus_names.h"

CAutomationService::CAutomationService(AutomationDispatcher& dispatcher, QDBusConnection bus)
    : dispatcher_(dispatcher), bus_(std::move(bus)) {}

CAutomationService::~CAutomationService() {
    if (ownsName_) {
        bus_.unregisterService(QString::fromLatin1(kAutomationService));
    }
    if (exported_) {
        bus_.unregisterObject(QString::fromLatin1(kAutomationPath));
    }
}

CAutomationService::Registration CAutomationService::Register() {
    if (!bus_.isConnected()) {
        return Registration::kNoBus;
    }
    exported_ =
        bus_.registerObject(QString::fromLatin1(kAutomationPath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    if (!exported_) {
        return Registration::kPathTaken;
    }
    // Only the first Zoduz on the desktop takes the name; requests go to that one.
    ownsName_ = bus_.registerService(QString::fromLatin1(kAutomationService));
    return ownsName_ ? Registration::kRegistered : Registration::kNameTaken;
}

QString CAutomationService::RegistrationText(Registration registration) {
    switch (registration) {
        case Registration::kRegistered:
            return {};
        case Registration::kNoBus:
            return QStringLiteral(
                "no D-Bus session bus: remote control and the VBUS broadcast "
                "are unavailable");
        case Registration::kNameTaken:
            return QStringLiteral(
                       "%1 is owned by another program (another zoduz?): remote "
                       "control goes to that one")
                .arg(QString::fromLatin1(kAutomationService));
        case Registration::kPathTaken:
            return QStringLiteral(
                       "%1 is taken on the session bus connection: remote control is "
                       "unavailable")
                .arg(QString::fromLatin1(kAutomationPath));
    }
    return {};
}

void CAutomationService::SendVbusChange(const VbusPresenceChange& change) {
    if (!bus_.isConnected()) {
        return;
    }
    if (exported_) {
        emit DavazaConnStateChanged(change.vbusVoltage, change.cc1Voltage, change.cc2Voltage,
                                    change.present);
        return;
    }
    // Without the exported object the signal is sent by hand, with the same path and interface.
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kAutomationPath),
                                                     QString::fromLatin1(kAutomationInterface),
                                                     QString::fromLatin1(kVbusPresenceSignal));
    signal << static_cast<qint32>(change.vbusVoltage) << static_cast<qint32>(change.cc1Voltage)
           << static_cast<qint32>(change.cc2Voltage) << change.present;
    bus_.send(signal);
}

void CAutomationService::Handle(AutomationRequestKind kind, const QString& text) {
    const AutomationOutcome outcome = dispatcher_.Dispatch({kind, text.toStdString()});
    if (outcome != AutomationOutcome::kDone && calledFromDBus()) {
        sendErrorReply(QString::fromLatin1(kAutomationErrorPrefix) +
                           QString::fromLatin1(AutomationOutcomeName(outcome)),
                       QString::fromLatin1(AutomationOutcomeText(outcome)));
    }
}

void CAutomationService::SetRecordFileName(const QString& name) {
    Handle(AutomationRequestKind::kSetRecordFileName, name);
}

void CAutomationService::SetRecordFolder(const QString& folder) {
    Handle(AutomationRequestKind::kSetRecordFolder, folder);
}

void CAutomationService::Start() {
    Handle(AutomationRequestKind::kStart);
}

void CAutomationService::Stop() {
    Handle(AutomationRequestKind::kStop);
}

void CAutomationService::Export() {
    Handle(AutomationRequestKind::kExport);
}
