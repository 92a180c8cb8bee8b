// A main window on its own document, settings, record folder and scripted prompts, for tests
// that drive live captures from the window.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <thread>

#include "app/capture_controller.h"
#include "app/driver_install.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/document.h"
#include "scripted_prompts.h"
#include "settings/settings_store.h"

// A driver install below root that finds no udev rule and no pkexec, so nothing is installed
// on the machine running the tests; run counts the programs it was asked to run.
inline DriverInstallEnvironment ScratchDriverEnvironment(const QTemporaryDir& root,
                                                         int* runs = nullptr) {
    DriverInstallEnvironment environment;
    environment.ruleFolders = {root.filePath(QStringLiteral("rules.d")).toStdString()};
    environment.copyFolder = root.filePath(QStringLiteral("data"));
    environment.findProgram = [](const QString&) { return QString(); };
    environment.run = [runs](const QString&, const QStringList&) {
        if (runs != nullptr) {
            ++*runs;
        }
        return -1;
    };
    return environment;
}

struct WindowHarness {
    QTemporaryDir folder;
    QTemporaryDir driverRoot;
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;

    // The window records into folder; settings are what the caller set before. Run's Record
    // File Settings dialog is answered OK, every other dialog Cancel.
    void CreateFrame() {
        settings.recordFileFolder = folder.path().toStdString();
        prompts.dialogAnswer = ScriptedPrompts::Accepting("CCaptureFilenameDlg");
        frame = std::make_unique<CMainFrame>(document, settings, recent, prompts);
        Capture().SetDriverInstallEnvironment(ScratchDriverEnvironment(driverRoot));
    }
    CCaptureController& Capture() { return *frame->Capture(); }
    // Ticks until condition holds, letting the reader thread record between the ticks.
    template <typename Condition>
    bool TickUntil(Condition condition) {
        for (int i = 0; i < 200 && !condition(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            Capture().Tick();
        }
        return condition();
    }
    QString RecordFile() const { return folder.filePath(QStringLiteral("PDCapture.zaz")); }
};
