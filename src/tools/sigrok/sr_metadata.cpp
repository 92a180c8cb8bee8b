#include "tools/sigrok/sr_metadata.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "pd/text_format.h"

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    auto [next, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || next != end) {
        return std::nullopt;
    }
    return value;
}

// Channel limit of the widest accepted sample.
constexpr int kMaxChannels = kMaxSrUnitSize * 8;

struct Section {
    bool device = false;
    bool seen = false;  // the first device section was entered
    bool done = false;  // a later section started after it
};

bool ApplyDeviceKey(SrMetadata& metadata, std::string_view key, std::string_view value,
                    std::string& error) {
    if (key == "capturefile") {
        metadata.captureFile = std::string(value);
    } else if (key == "samplerate") {
        const std::optional<uint64_t> rate = ParseSampleRate(value);
        if (!rate) {
            error = "unreadable sample rate '" + std::string(value) + "'";
            return false;
        }
        metadata.sampleRate = *rate;
    } else if (key == "unitsize") {
        metadata.unitSize = ParseNumber<int>(value).value_or(0);
    } else if (key == "total probes") {
        metadata.totalProbes = ParseNumber<int>(value).value_or(-1);
    } else if (key.starts_with("probe")) {
        const std::optional<int> index = ParseNumber<int>(key.substr(5));
        if (index && *index >= 1 && *index <= kMaxChannels) {
            if (metadata.probeNames.size() < static_cast<size_t>(*index)) {
                metadata.probeNames.resize(static_cast<size_t>(*index));
            }
            metadata.probeNames[static_cast<size_t>(*index - 1)] = std::string(value);
        }
    }
    return true;
}

// A session may name more probes than its samples carry bits for (a 16-probe device recorded
// with a unit size of 1): only the channels the unit size holds are read.
void DropChannelsBeyondUnitSize(SrMetadata& metadata) {
    const int held = metadata.unitSize * 8;
    for (size_t i = static_cast<size_t>(held); i < metadata.probeNames.size(); ++i) {
        if (!metadata.probeNames[i].empty()) {
            std::string note;
            AppendFormat(note, "channel %zu (%s) is beyond the unitsize of %d byte%s; ignored",
                         i + 1, metadata.probeNames[i].c_str(), metadata.unitSize,
                         metadata.unitSize == 1 ? "" : "s");
            metadata.ignoredChannels.push_back(std::move(note));
        }
    }
    metadata.totalProbes = std::min(metadata.totalProbes, held);
}

}  // namespace

std::optional<SrMetadata> ParseSrMetadata(std::string_view text, std::string& error) {
    SrMetadata metadata;
    metadata.captureFile.clear();
    metadata.unitSize = 0;
    Section section;
    while (!text.empty() && !section.done) {
        const size_t end = text.find_first_of("\r\n");
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = line.substr(1, line.size() - 2);
            section.done = section.seen;
            section.device = name.starts_with("device ");
            section.seen = section.seen || section.device;
            continue;
        }
        const size_t equals = line.find('=');
        if (!section.device || equals == std::string_view::npos) {
            continue;
        }
        if (!ApplyDeviceKey(metadata, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)),
                            error)) {
            return std::nullopt;
        }
    }
    if (!section.seen) {
        error = "no device section in the metadata";
    } else if (metadata.captureFile.empty()) {
        error = "no capturefile in the metadata";
    } else if (metadata.sampleRate == 0) {
        error = "no samplerate in the metadata";
    } else if (metadata.unitSize < 1 || metadata.unitSize > kMaxSrUnitSize) {
        error = "unsupported unitsize (1-8 bytes)";
    } else if (metadata.totalProbes < 0) {
        error = "unreadable total probes";
    } else {
        if (metadata.totalProbes == 0) {
            metadata.totalProbes = static_cast<int>(metadata.probeNames.size());
        }
        DropChannelsBeyondUnitSize(metadata);
        metadata.probeNames.resize(static_cast<size_t>(metadata.totalProbes));
        return metadata;
    }
    return std::nullopt;
}

std::string FormatSrMetadata(const SrMetadata& metadata) {
    std::string text = "[global]\nsigrok version=0.5.2\n\n[device 1]\n";
    text += "capturefile=" + metadata.captureFile + "\n";
    AppendFormat(text, "total probes=%d\n", metadata.totalProbes);
    text += "samplerate=" + SampleRateText(metadata.sampleRate) + "\n";
    text += "total analog=0\n";
    for (size_t i = 0; i < metadata.probeNames.size(); ++i) {
        AppendFormat(text, "probe%zu=%s\n", i + 1, metadata.probeNames[i].c_str());
    }
    AppendFormat(text, "unitsize=%d\n", metadata.unitSize);
    return text;
}

std::optional<uint64_t> ParseSampleRate(std::string_view text) {
    text = Trim(text);
    if (text.size() >= 2 && EqualNoCase(text.substr(text.size() - 2), "hz")) {
        text = Trim(text.substr(0, text.size() - 2));
    }
    uint64_t scale = 1;
    if (!text.empty()) {
        switch (text.back()) {
            case 'k':
            case 'K':
                scale = 1000;
                break;
            case 'M':
                scale = 1000000;
                break;
            case 'G':
                scale = 1000000000;
                break;
            default:
                break;
        }
        if (scale != 1) {
            text = Trim(text.substr(0, text.size() - 1));
        }
    }
    const size_t point = text.find('.');
    const std::optional<uint64_t> whole = ParseNumber<uint64_t>(text.substr(0, point));
    if (!whole || *whole > UINT64_MAX / scale) {
        return std::nullopt;
    }
    uint64_t rate = *whole * scale;
    if (point != std::string_view::npos) {
        // The fraction must come out as whole hertz: "2.4 MHz" is 2400000 Hz, "1.5 Hz" is not.
        std::string_view digits = text.substr(point + 1);
        uint64_t fractionScale = scale;
        for (const char digit : digits) {
            if (!std::isdigit(static_cast<unsigned char>(digit))) {
                return std::nullopt;
            }
            const uint64_t value = static_cast<uint64_t>(digit - '0');
            if (fractionScale % 10 != 0) {
                if (value != 0) {
                    return std::nullopt;
                }
                continue;
            }
            fractionScale /= 10;
            rate += value * fractionScale;
        }
    }
    if (rate == 0) {
        return std::nullopt;
    }
    return rate;
}

std::string SampleRateText(uint64_t hertz) {
    if (hertz != 0 && hertz % 1000000000 == 0) {
        return FormatText("%llu GHz", static_cast<unsigned long long>(hertz / 1000000000));
    }
    if (hertz != 0 && hertz % 1000000 == 0) {
        return FormatText("%llu MHz", static_cast<unsigned long long>(hertz / 1000000));
    }
    if (hertz != 0 && hertz % 1000 == 0) {
        return FormatText("%llu kHz", static_cast<unsigned long long>(hertz / 1000));
    }
    return FormatText("%llu Hz", static_cast<unsigned long long>(hertz));
}

std::optional<int> FindSrChannel(const SrMetadata& metadata, std::string_view nameOrNumber) {
    for (size_t i = 0; i < metadata.probeNames.size(); ++i) {
        if (!metadata.probeNames[i].empty() && EqualNoCase(metadata.probeNames[i], nameOrNumber)) {
            return static_cast<int>(i + 1);
        }
    }
    const std::optional<int> number = ParseNumber<int>(nameOrNumber);
    if (number && *number >= 1 && *number <= metadata.totalProbes) {
        return number;
    }
    return std::nullopt;
}
