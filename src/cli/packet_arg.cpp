#include "cli/packet_arg.h"

#include <cstdio>

#include "cli/open_document.h"
#include "query/open_capture.h"

std::optional<size_t> ParsePacketNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    return value;
}

PacketPtr OpenPacketForCli(const char* command, const std::string& path, size_t number,
                           CKVDoc& doc) {
    if (!OpenDocumentForCli(command, path, doc)) {
        return nullptr;
    }
    PacketPtr packet = number < doc.PacketCount() ? doc.PacketAt(number) : nullptr;
    if (!packet) {
        std::fprintf(stderr, "zoduz-cli %s: %s\n", command,
                     NoPacketText(number, path, doc.PacketCount()).c_str());
    }
    return packet;
}
