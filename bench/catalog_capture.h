// The PD-dense capture of the DecodeAll benchmarks: back-to-back copies of the synthesizer's
// catalog scenario (every message type) sampled once a second, so that nearly every block is a
// CC edge block.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "device/sim/simulator.h"

// Writes `copies` seeds of the catalog scenario to `path` as one record file; `adjust` may
// change each copy's options (distortions). Exits the program when the file cannot be written.
inline void WriteCatalogCapture(const std::string& path, int copies,
                                const std::function<void(int, SimulationOptions&)>& adjust = {}) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    for (int copy = 0; copy < copies && out != nullptr; ++copy) {
        SimulationOptions options;
        options.scenario = "catalog";
        options.intervalMs = 1000;
        options.seed = static_cast<uint64_t>(copy + 1);
        options.recordFile = copy == 0;
        options.clockStartUs = 5000000 + static_cast<uint64_t>(copy) * 7000000;
        if (adjust) {
            adjust(copy, options);
        }
        std::optional<SimulationResult> result = Simulate(options);
        if (!result) {
            std::exit(1);
        }
        std::fwrite(result->stream.data(), 1, result->stream.size(), out);
    }
    if (out == nullptr || std::fclose(out) != 0) {
        std::exit(1);
    }
}
