// Turns the CC channels of a sigrok logic session (.sr) into a record file: every level change
// becomes a transition in CC edge blocks, at the edge-timer divider closest to the sample rate.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/sigrok/sr_metadata.h"

// The edge-timer divider for a sample rate: 48 MHz / rate when that is a whole number of 1-256
// (the tick then equals the sample period), otherwise the nearest divider within 1-256.
struct SrTickBase {
    int divider = 20;
    bool exact = false;
};
SrTickBase TickBaseForSampleRate(uint64_t sampleRate);

// Which channels carry the CC lines: a channel number or name, or "none" to leave the line out.
// Empty takes the channel named CC1 (CC2); when no channel is named CC1 or CC2, channel 1 (2).
struct SrImportOptions {
    std::string cc1;
    std::string cc2;
};

struct SrImportResult {
    SrMetadata metadata;
    SrTickBase tickBase;
    int cc1Channel = 0;  // 1-based, 0 = none
    int cc2Channel = 0;
    uint64_t samples = 0;
    uint64_t transitions[2] = {0, 0};
    uint64_t edgeBlocks = 0;
    uint64_t sampleBlocks = 0;
    uint64_t dataBytes = 0;  // logic sample bytes read
};

// Imports `inPath` into the record file `outPath`. The record file also gets a zero reading
// every 10 ms of the session (the logic analyzer measured no VBUS), the first at session
// time 0, so that packet times count from the session start. `error` says why on failure.
std::optional<SrImportResult> ImportSigrokSession(const std::string& inPath,
                                                  const std::string& outPath,
                                                  const SrImportOptions& options,
                                                  std::string& error);

// True when the path names a sigrok session by its extension (".sr", any case).
bool IsSigrokSessionPath(const std::string& path);

// Opening a session where a record file is expected: imports it with the default channels into
// a new record file in the temporary folder and returns that file's path.
std::optional<std::string> ImportToTemporaryRecordFile(const std::string& sessionPath,
                                                       std::string& error);
