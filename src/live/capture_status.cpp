#include "live/capture_status.h"

#include <cstdio>
#include <cstring>

#include "columns/column_text.h"

namespace {

int64_t Percent(int64_t value, int64_t limit) {
    return limit > 0 ? value * 100 / limit : 0;
}

std::string Format(const char* format, long long a, long long b) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

std::string FileSizeStatusText(uint64_t bytesWritten, int64_t maxFileSizeMb) {
    auto bytes = static_cast<int64_t>(bytesWritten);
    if (bytesWritten <= 10000000) {
        int64_t kb = bytes / 1000;
        return Format("    [File Size=%lldKB (%lld%%) ]", kb, Percent(kb, maxFileSizeMb * 1000));
    }
    int64_t mb = bytes / 1000 / 1000;
    return Format("    [File Size=%lldMB (%lld%%) ]", mb, Percent(mb, maxFileSizeMb));
}

std::string CapturingStatusText(const CaptureProgress& progress) {
    return "Capturing... " + FormatTime(progress.elapsedUs) +
           FileSizeStatusText(progress.bytesWritten, progress.maxFileSizeMb) +
           Format("    [PD Packets=%lld (%lld%%) ]", progress.packets,
                  Percent(progress.packets, progress.maxPackets)) +
           Format("     [VBUS Samples=%lld (%lld%%) ]", progress.samples,
                  Percent(progress.samples, progress.maxSamples));
}

std::string RecordFileWriteErrorText(int errorNumber) {
    const char* reason = errorNumber > 0 ? std::strerror(errorNumber) : "unknown error";
    char text[256];
    std::snprintf(text, sizeof text, kRecordFileWriteErrorText, reason);
    return text;
}
