// Writing a synthesized scenario to a record file for test data, as zoduz-cli simulate and the
// Python module's simulate do it: the options checked first, the record file, optionally the
// script of every message put on the wire, and a summary of what was written.
#pragma once

#include <cstdint>
#include <string>

#include "device/sim/simulator.h"

struct SimulationRequest {
    SimulationOptions options;
    std::string output;  // the record file
    std::string script;  // "" for none
};

struct SimulationSummary {
    std::string scenario;
    uint64_t seed = 0;
    uint64_t messages = 0;
    uint64_t faultyMessages = 0;  // messages a receiver would not decode cleanly
    uint64_t samples = 0;
    uint64_t sampleBlocks = 0;
    uint64_t ccEdgeBlocks = 0;
    int64_t durationUs = 0;
    uint64_t size = 0;  // bytes of the record file
};

struct SimulationOutcome {
    enum Kind {
        kOk,
        kBadRequest,   // options out of range, or a script that would overwrite the record file
        kWriteFailed,  // the record file or the script could not be written
    };
    Kind kind = kOk;
    std::string message;  // why, for a failure
    SimulationSummary summary;
};

SimulationOutcome SimulateRecordFile(const SimulationRequest& request);
