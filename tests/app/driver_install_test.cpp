// Install Zoduz Driver on Linux: an installed udev rule is found, a missing one is installed
// through pkexec, and otherwise the exact command is shown.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/driver_install.h"
#include "app/udev_rule.h"

// The rule is installed from the application's resources.
static void InitResources() {
    Q_INIT_RESOURCE(zoduz);
}

namespace {

struct Scripted {
    QTemporaryDir root;
    QString pkexec = QStringLiteral("/usr/bin/pkexec");
    int status = 0;
    QStringList calls;

    DriverInstallEnvironment Environment() {
        DriverInstallEnvironment environment;
        environment.ruleFolders = {Folder("etc").toStdString(), Folder("lib").toStdString()};
        environment.copyFolder = root.filePath(QStringLiteral("data"));
        environment.findProgram = [this](const QString& name) {
            return name == QLatin1String("pkexec") ? pkexec : QString();
        };
        environment.run = [this](const QString& program, const QStringList& arguments) {
            calls << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            return status;
        };
        return environment;
    }
    QString Folder(const char* name) {
        const QString path = root.filePath(QLatin1String(name));
        QDir().mkpath(path);
        return path;
    }
    QString Copy() { return root.filePath(QStringLiteral("data/60-zoduz.rules")); }
};

}  // namespace

class DriverInstallTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InitResources(); }
    void installedRuleIsNamedAndNothingRuns();
    void missingRuleIsInstalledThroughPkexec();
    void refusedPkexecShowsTheCommand();
    void withoutPkexecTheCommandIsShown();
    void unwritableCopyFolderIsReported();
    void commandLineQuotesWhatTheShellWouldSplit();
};

void DriverInstallTest::installedRuleIsNamedAndNothingRuns() {
    Scripted scripted;
    DriverInstallEnvironment environment = scripted.Environment();
    const QString installed = scripted.Folder("lib") + QStringLiteral("/60-zoduz.rules");
    QFile rule(installed);
    QVERIFY(rule.open(QIODevice::WriteOnly));
    rule.close();
    QCOMPARE(QString::fromStdString(InstalledUdevRule(environment.ruleFolders)), installed);
    const QString text = InstallDriver(environment);
    QVERIFY2(text.startsWith(QStringLiteral("The Zoduz udev rule is installed:\n\n  ") + installed),
             qPrintable(text));
    QVERIFY(scripted.calls.isEmpty());
    // A folder of that name is no rule.
    QVERIFY(QFile::remove(installed));
    QDir().mkpath(installed);
    QCOMPARE(InstalledUdevRule(environment.ruleFolders), std::string());
}

void DriverInstallTest::missingRuleIsInstalledThroughPkexec() {
    Scripted scripted;
    const QString text = InstallDriver(scripted.Environment());
    QCOMPARE(scripted.calls,
             QStringList{QStringLiteral("/usr/bin/pkexec install -m 0644 ") + scripted.Copy() +
                         QStringLiteral(" /etc/udev/rules.d/60-zoduz.rules")});
    QCOMPARE(text, QStringLiteral("The Zoduz udev rule was installed as "
                                  "/etc/udev/rules.d/60-zoduz.rules.\n\n"
                                  "Unplug and replug the analyzer."));
    QFile copy(scripted.Copy());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    const QByteArray rule = copy.readAll();
    QVERIFY(rule.contains("TAG+=\"uaccess\""));
    QVERIFY(rule.contains("ATTR{idVendor}==\"1209\""));
}

void DriverInstallTest::refusedPkexecShowsTheCommand() {
    Scripted scripted;
    scripted.status = 126;  // the user dismissed the password prompt
    const QString text = InstallDriver(scripted.Environment());
    QCOMPARE(scripted.calls.size(), 1);
    QVERIFY2(text.contains(QStringLiteral("  sudo install -m 0644 ") + scripted.Copy() +
                           QStringLiteral(" /etc/udev/rules.d/60-zoduz.rules\n")),
             qPrintable(text));
}

void DriverInstallTest::withoutPkexecTheCommandIsShown() {
    Scripted scripted;
    scripted.pkexec.clear();
    const QString text = InstallDriver(scripted.Environment());
    QVERIFY(scripted.calls.isEmpty());
    QVERIFY(
        text.startsWith(QStringLiteral("To let Zoduz open the analyzer, run as administrator")));
    QVERIFY(QFile::exists(scripted.Copy()));
}

void DriverInstallTest::unwritableCopyFolderIsReported() {
    Scripted scripted;
    DriverInstallEnvironment environment = scripted.Environment();
    QFile blocker(scripted.root.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    environment.copyFolder = blocker.fileName() + QStringLiteral("/data");
    QCOMPARE(InstallDriver(environment),
             QStringLiteral("The Zoduz udev rule could not be written to %1.")
                 .arg(environment.copyFolder));
    QVERIFY(scripted.calls.isEmpty());
}

void DriverInstallTest::commandLineQuotesWhatTheShellWouldSplit() {
    QCOMPARE(QString::fromStdString(ManualUdevRuleInstallLine("/home/a b/it's.rules")),
             QStringLiteral("sudo install -m 0644 '/home/a b/it'\\''s.rules' "
                            "/etc/udev/rules.d/60-zoduz.rules"));
    QCOMPARE(UdevRuleFolders().front(), std::string("/etc/udev/rules.d"));
}

QTEST_MAIN(DriverInstallTest)
#include "driver_install_test.moc"
