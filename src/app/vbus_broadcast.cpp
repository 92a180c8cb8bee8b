#include "app/vbus_broadcast.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

CVbusBroadcast::CVbusBroadcast() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    available_ = bus.isConnected();
    if (available_) {
        // A second instance still broadcasts; only one of them owns the name.
        bus.registerService(QString::fromLatin1(kBroadcastService));
    }
}

bool CVbusBroadcast::Send(const VbusPresenceChange& change) const {
    if (!available_) {
        return false;
    }
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kBroadcastPath),
                                                     QString::fromLatin1(kBroadcastInterface),
                                                     QString::fromLatin1(kBroadcastSignal));
    signal << static_cast<qint32>(change.vbusVoltage) << static_cast<qint32>(change.cc1Voltage)
           << static_cast<qint32>(change.cc2Voltage) << change.present;
    return QDBusConnection::sessionBus().send(signal);
}
