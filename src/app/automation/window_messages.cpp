#include "app/automation/window_messages.h"

#include <string>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

std::string Utf16LeToUtf8(const unsigned char* bytes, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const char16_t unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (unit == 0) {
            break;
        }
        if (IsHighSurrogate(unit) && i + 1 < count) {
            const char16_t next = static_cast<char16_t>(bytes[2 * i + 2] | (bytes[2 * i + 3] << 8));
            if (IsLowSurrogate(next)) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
    }
    return out;
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
        request.text = Utf16LeToUtf8(static_cast<const unsigned char*>(payload), byteCount / 2);
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
