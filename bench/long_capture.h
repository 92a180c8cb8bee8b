// The capture of a little over 100 000 packets that the list and export benchmarks share: the
// `long` scenario at one sample a second, three stretches of 25 500 s recorded back to back
// (the synthesizer makes at most 10 hours at a time). Written once per process into the
// temporary folder; the process exits when that fails.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "bench_size.h"
#include "device/sim/simulator.h"

inline const std::string& LongCapture100k() {
    static const std::string path = [] {
        const std::string file =
            (std::filesystem::temp_directory_path() / "zoduz-bench-long-100k.zaz").string();
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
        SimulationOptions options;
        options.scenario = "long";
        options.seconds = BenchSize(25500.0, 300.0);
        options.intervalMs = 1000;
        for (int stretch = 0; stretch < 3; ++stretch) {
            options.seed = static_cast<uint64_t>(stretch) + 1;
            options.recordFile = stretch == 0;  // one leading InfoBlock for the whole file
            const std::optional<SimulationResult> result = Simulate(options);
            if (!result || std::fwrite(result->stream.data(), 1, result->stream.size(), out) !=
                               result->stream.size()) {
                std::fprintf(stderr, "simulation failed\n");
                std::exit(1);
            }
            // The analyzer clock is 32 bits wide: the next stretch goes on from its wrapped value.
            options.clockStartUs =
                (static_cast<uint64_t>(result->endTimeUs) + 1000000) % (uint64_t{1} << 32);
        }
        if (std::fclose(out) != 0) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
        return file;
    }();
    return path;
}
