#include "app/driver_install.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "app/udev_rule.h"
#include "device/usb/libusb_transport.h"

namespace {

constexpr const char* kRuleResource = ":/zoduz/udev/60-zoduz.rules";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A copy of the rule the installer can read; "" when it could not be written.
QString WriteRuleCopy(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return {};
    }
    const QString path = QDir(folder).filePath(QString::fromLatin1(kUdevRuleName));
    QFile resource(QString::fromLatin1(kRuleResource));
    QFile copy(path);
    if (!resource.open(QIODevice::ReadOnly) ||
        !copy.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return {};
    }
    const QByteArray rule = resource.readAll();
    if (copy.write(rule) != rule.size() || !copy.flush()) {
        return {};
    }
    return path;
}

QString ManualText(const QString& copy) {
    return QStringLiteral(
               "To let Zoduz open the analyzer, run as administrator:\n\n  %1\n\n"
               "then unplug and replug the analyzer.")
        .arg(Text(ManualUdevRuleInstallLine(copy.toStdString())));
}

}  // namespace

DriverInstallEnvironment SystemDriverInstallEnvironment() {
    DriverInstallEnvironment environment;
    environment.ruleFolders = UdevRuleFolders();
    environment.copyFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    environment.findProgram = [](const QString& name) {
        return QStandardPaths::findExecutable(name);
    };
    environment.run = [](const QString& program, const QStringList& arguments) {
        return QProcess::execute(program, arguments);
    };
    return environment;
}

QString InstallDriver(const DriverInstallEnvironment& environment) {
    const std::string installed = InstalledUdevRule(environment.ruleFolders);
    if (!installed.empty()) {
        return QStringLiteral(
                   "The Zoduz udev rule is installed:\n\n  %1\n\n"
                   "If the analyzer is still not found, unplug and replug it.")
            .arg(Text(installed));
    }
    const QString copy = WriteRuleCopy(environment.copyFolder);
    if (copy.isEmpty()) {
        return QStringLiteral("The Zoduz udev rule could not be written to %1.")
            .arg(environment.copyFolder);
    }
    const QString pkexec = environment.findProgram(QStringLiteral("pkexec"));
    if (!pkexec.isEmpty()) {
        QStringList arguments;
        for (const std::string& word : UdevRuleInstallCommand(copy.toStdString())) {
            arguments << Text(word);
        }
        if (environment.run(pkexec, arguments) == 0) {
            return QStringLiteral(
                       "The Zoduz udev rule was installed as %1.\n\n"
                       "Unplug and replug the analyzer.")
                .arg(Text(UdevRuleTarget()));
        }
    }
    return ManualText(copy);
}
