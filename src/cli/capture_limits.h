// The limits of a headless capture as the window applies them (packet and sample limit,
// auto-remove, full stop, the file size limit, a new record file with multi-file), and the line
// that tells on stderr what a reached limit does to the capture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/document.h"
#include "settings/settings_store.h"

class CaptureLimitNotices {
  public:
    explicit CaptureLimitNotices(const SettingsStore& settings) : settings_(settings) {}

    // After a tick of a recording capture: a text for each limit reached that was not told yet
    // (a full document once per record file, trimming once per capture), and for a record file
    // that was left at its size limit.
    std::vector<std::string> Check(const CKVDoc& document, int fileIndex);
    // When the capture ended by itself (no signal, no time limit, no failure): the text for a
    // last record file of lastFileBytes that ended it at the size limit, "" otherwise.
    std::string AtEnd(uint64_t lastFileBytes) const;

  private:
    // One count limit as the document stands after a tick.
    struct CountLimit {
        const char* name;   // "PD packet"
        const char* items;  // "packets"
        int32_t limit;
        bool autoRemove;
        size_t count;
        bool full;
    };
    // Adds the text for a limit newly reached: full (told once per file) or trimming (once).
    void CheckCount(const CountLimit& limit, bool& fullTold, bool& trimTold, int fileIndex,
                    std::vector<std::string>& texts) const;
    std::string SizeText(const char* outcome) const;

    const SettingsStore& settings_;
    int fileIndex_ = 0;
    bool packetsTold_ = false;
    bool samplesTold_ = false;
    bool packetsTrimTold_ = false;
    bool samplesTrimTold_ = false;
};
