#include "cli/remote/remote_client.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <memory>

#include "app/automation/bus_names.h"

namespace {

// Qt D-Bus registers its own types on first use, from whichever thread gets there first: the
// bus connection's thread and this one could do it at the same time and leave a type half
// made ("Trying to construct an instance of an invalid type"). Registered here, before the
// connection exists, they are whole once that thread starts.
void RegisterBusTypes() {
    qMetaTypeId<QDBusArgument>();
    qMetaTypeId<QDBusObjectPath>();
    qMetaTypeId<QDBusSignature>();
    qMetaTypeId<QDBusVariant>();
    qMetaTypeId<QDBusUnixFileDescriptor>();
    qMetaTypeId<QDBusMessage>();
    qMetaTypeId<QDBusError>();
    qMetaTypeId<QDBusConnectionInterface::RegisterServiceReply>();
    qMetaTypeId<QDBusConnectionInterface::ServiceQueueOptions>();
    qMetaTypeId<QDBusConnectionInterface::ServiceReplacementOptions>();
}

// Qt's bus connection expects an application object.
std::unique_ptr<QCoreApplication> EnsureApplication() {
    RegisterBusTypes();
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    static int argc = 1;
    static char name[] = "zoduz-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

RemoteReply Failure(RemoteReply::Status status, const QString& name, const QString& message) {
    RemoteReply reply;
    reply.status = status;
    reply.errorName = name.toStdString();
    reply.message = message.toStdString();
    return reply;
}

}  // namespace

RemoteReply CallRemote(const std::string& method, const std::optional<std::string>& argument) {
    const std::unique_ptr<QCoreApplication> application = EnsureApplication();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Failure(RemoteReply::Status::kNoBus, bus.lastError().name(),
                       bus.lastError().message());
    }
    const QString service = QString::fromLatin1(kAutomationService);
    if (!bus.interface()->isServiceRegistered(service).value()) {
        return Failure(RemoteReply::Status::kNotRunning, {}, {});
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QString::fromLatin1(kAutomationPath), QString::fromLatin1(kAutomationInterface),
        QString::fromStdString(method));
    if (argument) {
        call << QString::fromStdString(*argument);
    }
    const QDBusMessage answer = bus.call(call);
    if (answer.type() != QDBusMessage::ErrorMessage) {
        return RemoteReply{RemoteReply::Status::kDone, {}, {}};
    }
    const QString name = answer.errorName();
    RemoteReply::Status status = RemoteReply::Status::kFailed;
    if (name.startsWith(QString::fromLatin1(kAutomationErrorPrefix))) {
        status = RemoteReply::Status::kRefused;
    } else if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
               name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        // The window closed between the look-up and the call.
        status = RemoteReply::Status::kNotRunning;
    }
    return Failure(status, name, answer.errorMessage());
}
