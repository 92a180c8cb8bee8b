#include "device/analyzer_ids.h"

#include <charconv>
#include <cstdio>

namespace {

std::optional<uint16_t> ParseHex16(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || text.size() > 4 || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

std::vector<UsbDeviceId> DefaultAnalyzerIds() {
    return {kVirtualAnalyzerId};
}

std::string UsbIdText(UsbDeviceId id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", id.vendorId, id.productId);
    return text;
}

std::string UsbIdListText(const std::vector<UsbDeviceId>& ids) {
    std::string text;
    for (const UsbDeviceId& id : ids) {
        text += (text.empty() ? "" : ",") + UsbIdText(id);
    }
    return text;
}

std::optional<std::vector<UsbDeviceId>> ParseUsbIdList(std::string_view text) {
    std::vector<UsbDeviceId> ids;
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view pair = text.substr(0, comma);
        size_t colon = pair.find(':');
        if (colon == std::string_view::npos) {
            return std::nullopt;
        }
        std::optional<uint16_t> vendor = ParseHex16(pair.substr(0, colon));
        std::optional<uint16_t> product = ParseHex16(pair.substr(colon + 1));
        if (!vendor || !product) {
            return std::nullopt;
        }
        ids.push_back({*vendor, *product});
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
        if (text.empty()) {
            return std::nullopt;  // a trailing comma
        }
    }
    if (ids.empty()) {
        return std::nullopt;
    }
    return ids;
}
