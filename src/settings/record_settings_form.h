// The values of the Record Settings dialog and their rules, without any widget.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "settings/settings_store.h"

// The entries of the "VBUS Sampling Interval" drop-down, in ms; shown as "%dms".
inline constexpr std::array<int, 13> kSamplingIntervalsMs = {1,  2,   3,   5,   10,  20,  30,
                                                             50, 100, 200, 300, 500, 1000};
inline constexpr int kMinPacketLimit = 100;
inline constexpr int kMaxPacketLimit = 100000;

// "1ms", "2ms", ... for entry i.
std::string SamplingIntervalText(size_t entry);
// The entry the drop-down opens at: the smallest interval not below storedMs (the first for 1
// or less, the last above 500).
size_t SamplingIntervalEntry(int storedMs);

struct RecordSettingsForm {
    int maxPacketCount = kRecordMaxPDPacketCount;
    int maxVbusCount = kRecordMaxVbusInfoCount;
    // Present but hidden in the dialog: carried through unchanged.
    bool captureFullStop = false;
    bool packetAutoRemove = false;
    bool vbusAutoRemove = false;
    int intervalEntry = 4;  // index into kSamplingIntervalsMs; -1 for none

    static RecordSettingsForm FromSettings(const SettingsStore& settings);
    // "Load Default": limits 99999 and 9999999, the switches off, "10ms".
    void LoadDefaults();
    // The interval of the chosen entry in ms, 0 for an unknown entry.
    int IntervalMs() const;

    // OK: the message when the packet limit is outside 100-100000; otherwise stores limits,
    // switches and interval into settings and returns none.
    std::optional<std::string> Accept(SettingsStore& settings) const;
};
