// The "metadata" file of a sigrok session (.sr): an INI-style text naming the sample rate, the
// sample width, the logic channels and the name of the sample data files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What Zoduz reads from and writes to the first "[device N]" section.
struct SrMetadata {
    std::string captureFile =
        "logic-1";            // "capturefile": the data files are capturefile-1, -2, ...
    uint64_t sampleRate = 0;  // "samplerate", Hz
    int unitSize = 1;         // "unitsize": bytes per sample, channel 1 in bit 0
    int totalProbes = 0;      // "total probes"
    std::vector<std::string> probeNames;  // "probe1", "probe2", ...: index 0 is channel 1
    // Read only: the named channels beyond what the unit size holds, which the import ignores,
    // one text each ("channel 9 (D8) is beyond the unitsize of 1 byte; ignored").
    std::vector<std::string> ignoredChannels;
};

// Largest sample width the import accepts, in bytes.
inline constexpr int kMaxSrUnitSize = 8;

// Reads the metadata text. Needs a device section with a capture file, a sample rate above 0
// and a unit size of 1-8; `error` says what is wrong otherwise. Channels beyond unit size x 8
// (sigrok writes the device's probe count) are dropped.
std::optional<SrMetadata> ParseSrMetadata(std::string_view text, std::string& error);

// The metadata text Zoduz writes: [global] with "sigrok version", [device 1] with capturefile,
// total probes, samplerate, total analog (0), probe1..N and unitsize.
std::string FormatSrMetadata(const SrMetadata& metadata);

// A sample rate as sigrok writes it: a number, optionally with a decimal fraction, an optional
// k, M or G and an optional "Hz" ("4 MHz", "2400 kHz", "2.4 MHz", "1000000"). Nothing for other
// texts, a rate of 0 or one that is not a whole number of hertz.
std::optional<uint64_t> ParseSampleRate(std::string_view text);

// The rate in the largest unit that keeps it whole: "4 MHz", "2400 kHz", "300 Hz".
std::string SampleRateText(uint64_t hertz);

// The 1-based channel a --cc1/--cc2 argument names: a channel number, or a channel name
// (compared without regard to case). Nothing when no channel matches.
std::optional<int> FindSrChannel(const SrMetadata& metadata, std::string_view nameOrNumber);
