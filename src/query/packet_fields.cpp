#include "query/packet_fields.h"

#include <algorithm>
#include <cstdio>

#include "pd/field_tree.h"

std::optional<uint32_t> ParseNodeCode(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.erase(0, 2);
    }
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    uint32_t code = 0;
    for (const char c : text) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        code = code * 16 + digit;
    }
    return code;
}

std::optional<std::vector<FieldRow>> NodeFieldRows(const CCCPacket& packet, int32_t number,
                                                   std::optional<uint32_t> node,
                                                   std::string& error) {
    const PacketTree tree = BuildPacketTree(packet, number);
    const uint32_t code = node.value_or(tree.selectedCode);
    const bool found = std::any_of(tree.nodes.begin(), tree.nodes.end(),
                                   [code](const PacketTreeNode& n) { return n.code == code; });
    if (!found) {
        char text[64];
        std::snprintf(text, sizeof text, "packet %d has no node %08X", number, code);
        error = text;
        return std::nullopt;
    }
    return FieldRowsForNode(packet, code);
}
