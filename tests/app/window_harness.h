// A main window on its own document, settings and record folder, for tests that drive live
// captures from the window.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <thread>

#include "app/capture_controller.h"
#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/document.h"
#include "settings/settings_store.h"

struct WindowHarness {
    QTemporaryDir folder;
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    std::unique_ptr<CMainFrame> frame;

    // The window records into folder; settings are what the caller set before.
    void CreateFrame() {
        settings.recordFileFolder = folder.path().toStdString();
        frame = std::make_unique<CMainFrame>(document, settings, recent);
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
