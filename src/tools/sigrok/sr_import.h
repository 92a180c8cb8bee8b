// Turns the CC channels of a sigrok logic session (.sr) into a record file: every level change
// becomes a transition in CC edge blocks, at the edge-timer divider closest to the sample rate.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "capture/scratch_files.h"
#include "tools/sigrok/sr_metadata.h"

// The edge-timer divider for a sample rate: 48 MHz / rate when that is a whole number of 1-256
// (the tick then equals the sample period), otherwise the nearest divider within 1-256.
struct SrTickBase {
    int divider = 20;
    bool exact = false;
};
SrTickBase TickBaseForSampleRate(uint64_t sampleRate);

// Longest session imported by default: 7 days of sample time.
inline constexpr uint64_t kMaxSrImportSessionUs = uint64_t{7} * 24 * 3600 * 1000000;

// Which channels carry the CC lines: a channel number or name, or "none" to leave the line out.
// Empty takes the channel named CC1 (CC2); when no channel is named CC1 or CC2, channel 1 (2).
struct SrImportOptions {
    std::string cc1;
    std::string cc2;
    // Longest session imported, in microseconds of sample time (7 days by default), and the
    // most sample bytes read (0: no limit but the length); above either the import stops with
    // an error.
    uint64_t maxSessionUs = kMaxSrImportSessionUs;
    uint64_t maxDataBytes = 0;
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

// Imports `inPath` into the record file `outPath`. The record file also gets zero readings (the
// logic analyzer measured no VBUS) on a 10 ms grid from session time 0: on the grid points next
// to every edge block, once a second between them and at the session end, so that packet times
// count from the session start and the file grows with the transitions, not with the session's
// length. Work and memory are bounded by the sample data; a session longer than
// the limit is refused. The output is written under a private name and replaces
// `outPath` only when complete; the session itself is never the output. `error` says why on
// failure.
std::optional<SrImportResult> ImportSigrokSession(const std::string& inPath,
                                                  const std::string& outPath,
                                                  const SrImportOptions& options,
                                                  std::string& error);

// True when the path names a sigrok session by its extension (".sr", any case).
bool IsSigrokSessionPath(const std::string& path);

// A record file imported from a session, in a private folder of the temporary folder that
// goes away with this object (and with the process on SIGINT, SIGTERM or SIGHUP).
class TemporaryImport {
  public:
    TemporaryImport(ScratchPath folder, std::string record)
        : folder_(std::move(folder)), record_(std::move(record)) {}
    const std::string& RecordPath() const { return record_; }

  private:
    ScratchPath folder_;
    std::string record_;
};

// Opening a session where a record file is expected: imports it with the default channels.
std::unique_ptr<TemporaryImport> ImportToTemporaryRecordFile(const std::string& sessionPath,
                                                             std::string& error);
