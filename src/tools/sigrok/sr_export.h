// Writes the CC lines of a record file as a sigrok logic session (.sr) that PulseView opens:
// channel 1 "CC1", channel 2 "CC2", one byte per sample, at 48 MHz divided by the common
// divisor of the packets' edge-timer dividers, so that every edge lands on a whole sample.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct SrExportResult {
    uint64_t sampleRate = 0;
    uint64_t samples = 0;
    uint64_t packets = 0;
    uint64_t transitions = 0;
};

// Longest session written, in samples (one byte each before compression).
inline constexpr uint64_t kMaxSrExportSamples = uint64_t{1} << 33;
// Samples per data file ("logic-1-1", "logic-1-2", ...).
inline constexpr uint64_t kSrChunkSamples = uint64_t{4} << 20;

// Session time 0 is the record file's first VBUS sample (its first packet when it has none);
// every packet's transitions toggle its line, both lines start low, and the session ends a
// millisecond after the last transition. Fails with `error` when the record file cannot be read,
// holds no packet, or would need more than kMaxSrExportSamples samples.
std::optional<SrExportResult> ExportSigrokSession(const std::string& recordPath,
                                                  const std::string& outPath, std::string& error);
