// Record files of synthesized scenarios for the desktop application tests.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>

#include "capture/document.h"
#include "device/sim/simulator.h"
#include "list/log_view.h"

// Writes the scenario as a record file into dir; "" when the synthesizer failed.
inline QString SimulateCapture(const QTemporaryDir& dir, const char* scenario,
                               double seconds = 0.0) {
    SimulationOptions options;
    options.scenario = scenario;
    options.seconds = seconds;
    options.intervalMs = 10;
    const QString path = dir.filePath(QString::fromLatin1(scenario) + QStringLiteral(".zaz"));
    std::string error;
    if (!SimulateToFile(options, path.toStdString(), error)) {
        return {};
    }
    return path;
}

// Decodes the scenario into the document and lets the view append its rows; false when the
// synthesizer failed.
inline bool OpenSimulatedCapture(const QTemporaryDir& dir, const char* scenario, CKVDoc& document,
                                 CKVLogView& view) {
    const QString path = SimulateCapture(dir, scenario);
    if (path.isEmpty()) {
        return false;
    }
    document.OpenRecordFile(path.toStdString());
    view.OnDocumentUpdate();
    return true;
}
