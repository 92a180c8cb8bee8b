#include "app/automation/window_messages.h"

#include <string>

#include "capture/utf16.h"

namespace {

// The copy-data text: UTF-16LE code units up to the first NUL; a trailing odd byte is ignored.
std::string TextOfCopyData(const unsigned char* bytes, size_t units) {
    std::u16string text;
    for (size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text += unit;
    }
    return Utf16ToUtf8(text);
}

}  // namespace

std::optional<AutomationRequest> RequestFromCopyData(uintptr_t tag, const void* payload,
                                                     size_t byteCount) {
    AutomationRequest request;
    if (tag == kCopyDataRecordFileName) {
        request.kind = AutomationRequestKind::kSetRecordFileName;
    } else if (tag == kCopyDataRecordFolder) {
        request.kind = AutomationRequestKind::kSetRecordFolder;
    } else {
        return std::nullopt;
    }
    if (payload != nullptr) {
        request.text = TextOfCopyData(static_cast<const unsigned char*>(payload), byteCount / 2);
    }
    return request;
}

std::optional<AutomationRequest> RequestFromMessage(uint32_t message) {
    switch (message) {
        case kStartMessage:
            return AutomationRequest{AutomationRequestKind::kStart, {}};
        case kStopMessage:
            return AutomationRequest{AutomationRequestKind::kStop, {}};
        case kExportMessage:
            return AutomationRequest{AutomationRequestKind::kExport, {}};
        default:
            return std::nullopt;
    }
}
