// Install Zoduz Driver on Linux: the udev rule that opens the analyzer to the logged-in user.
// When it is not installed yet, it is installed through pkexec (the desktop's own password
// prompt) when pkexec exists; otherwise, or when that fails, the exact command to run is shown.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

struct DriverInstallEnvironment {
    std::vector<std::string> ruleFolders;  // where an installed rule is looked for
    QString copyFolder;                    // where the rule is written for the install command
    // The path of an executable found on PATH, "" when there is none.
    std::function<QString(const QString& name)> findProgram;
    // Runs a program to its end; its exit status, negative when it could not start.
    std::function<int(const QString& program, const QStringList& arguments)> run;
};

// The system's folders, the application's data folder and real processes.
DriverInstallEnvironment SystemDriverInstallEnvironment();

// Installs the rule unless it is installed; the text to show the user about the outcome.
QString InstallDriver(const DriverInstallEnvironment& environment);
