#include "cli/capture_limits.h"

#include "capture/record_naming.h"
#include "pd/text_format.h"

namespace {

// What a full document does to the capture, in the order of the window's limit checks.
const char* FullOutcome(const SettingsStore& settings, int fileIndex) {
    if (!settings.recordCaptureFullStop && settings.recordMultiCaptureFile &&
        fileIndex < kMaxRecordFileIndex) {
        return "the capture continues in a new record file";
    }
    return "the capture stops";
}

std::string LimitText(const char* what, int32_t limit, const char* outcome) {
    return FormatText("the %s limit (%d) was reached: %s", what, limit, outcome);
}

}  // namespace

std::vector<std::string> CaptureLimitNotices::Check(const CKVDoc& document, int fileIndex) {
    std::vector<std::string> texts;
    if (fileIndex != fileIndex_) {
        // A file left without a full document was left at its size limit.
        if (fileIndex_ != 0 && !packetsTold_ && !samplesTold_) {
            texts.push_back(SizeText("the capture continues in a new record file"));
        }
        fileIndex_ = fileIndex;
        packetsTold_ = samplesTold_ = false;
    }
    CheckCount({"VBUS sample", "samples", settings_.recordMaxVbusInfoCount,
                settings_.recordVbusInfoAutoRemove, document.SampleCount(), document.VbusFull()},
               samplesTold_, samplesTrimTold_, fileIndex, texts);
    CheckCount({"PD packet", "packets", settings_.recordMaxPDPacketCount,
                settings_.recordPDPacketAutoRemove, document.PacketCount(), document.PacketsFull()},
               packetsTold_, packetsTrimTold_, fileIndex, texts);
    return texts;
}

void CaptureLimitNotices::CheckCount(const CountLimit& limit, bool& fullTold, bool& trimTold,
                                     int fileIndex, std::vector<std::string>& texts) const {
    if (limit.autoRemove) {
        if (!trimTold && limit.count >= static_cast<size_t>(limit.limit)) {
            trimTold = true;
            const std::string outcome =
                FormatText("the oldest %s are removed as new ones arrive", limit.items);
            texts.push_back(LimitText(limit.name, limit.limit, outcome.c_str()));
        }
    } else if (!fullTold && limit.full) {
        fullTold = true;
        texts.push_back(LimitText(limit.name, limit.limit, FullOutcome(settings_, fileIndex)));
    }
}

std::string CaptureLimitNotices::AtEnd(uint64_t lastFileBytes) const {
    const bool full =
        lastFileBytes > static_cast<uint64_t>(settings_.recordMaxFileSizeMB) * 1000000u;
    return full && !packetsTold_ && !samplesTold_ ? SizeText("the capture stops") : std::string();
}

std::string CaptureLimitNotices::SizeText(const char* outcome) const {
    return FormatText("the record file reached its size limit (%d MB): %s",
                      settings_.recordMaxFileSizeMB, outcome);
}
