// A synthesized scenario decoded into a document, made once per benchmark program.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

#include "capture/document.h"
#include "device/sim/simulator.h"

// The scenario's default run decoded into a document; empty when the synthesizer failed. A
// program decodes one scenario: later calls return the first document whatever they name. The
// record file goes to the temporary folder and is removed once decoded.
inline CKVDoc& SimulatedDocument(const char* scenario) {
    static CKVDoc doc;
    static const bool opened = [scenario] {
        SimulationOptions options;
        options.scenario = scenario;
        const std::string path =
            "/tmp/zoduz_bench_" + std::string(scenario) + "_" + std::to_string(::getpid()) + ".zaz";
        std::string error;
        const bool ok =
            SimulateToFile(options, path, error).has_value() && doc.OpenRecordFile(path);
        std::remove(path.c_str());
        return ok;
    }();
    static_cast<void>(opened);
    return doc;
}
