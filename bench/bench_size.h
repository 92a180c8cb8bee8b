// Data sizes of the benchmark programs. A smoke run (ZODUZ_BENCH_SMOKE set and not "0", as the
// CTest entries of bench/ run the programs) takes the small size everywhere, so that a program
// runs every one of its benchmarks to the end within seconds: it shows that the programs still
// run, not how fast.
#pragma once

#include <cstdlib>
#include <string_view>

inline bool BenchSmokeRun() {
    static const bool smoke = [] {
        const char* value = std::getenv("ZODUZ_BENCH_SMOKE");
        return value != nullptr && *value != '\0' && std::string_view(value) != "0";
    }();
    return smoke;
}

template <typename T>
T BenchSize(T full, T smoke) {
    return BenchSmokeRun() ? smoke : full;
}
