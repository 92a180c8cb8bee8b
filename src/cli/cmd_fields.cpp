// zoduz-cli fields FILE N [--node CODE]: the field table of one tree node of packet N.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/packet_arg.h"
#include "pd/field_rows.h"
#include "pd/field_tree.h"

namespace {

// A node code in hex (up to eight digits, optional "0x").
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

struct FieldsArgs {
    std::string path;
    size_t number = 0;
    std::optional<uint32_t> node;
};

std::optional<FieldsArgs> ParseFieldsArgs(const CliArgs& args) {
    FieldsArgs parsed;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--node") {
            if (i + 1 >= args.size() || parsed.node) {
                return std::nullopt;
            }
            parsed.node = ParseNodeCode(args[++i]);
            if (!parsed.node) {
                return std::nullopt;
            }
        } else {
            positional.push_back(args[i]);
        }
    }
    const std::optional<size_t> number =
        positional.size() == 2 ? ParsePacketNumber(positional[1]) : std::nullopt;
    if (!number) {
        return std::nullopt;
    }
    parsed.path = positional[0];
    parsed.number = *number;
    return parsed;
}

bool TreeHasNode(const PacketTree& tree, uint32_t code) {
    for (const PacketTreeNode& node : tree.nodes) {
        if (node.code == code) {
            return true;
        }
    }
    return false;
}

}  // namespace

int RunFields(const CliArgs& args) {
    const std::optional<FieldsArgs> parsed = ParseFieldsArgs(args);
    if (!parsed) {
        std::fprintf(stderr, "usage: zoduz-cli fields FILE N [--node CODE]\n");
        return 2;
    }
    CKVDoc doc;
    const PacketPtr packet = OpenPacketForCli("fields", parsed->path, parsed->number, doc);
    if (!packet) {
        return 1;
    }
    const PacketTree tree = BuildPacketTree(*packet);
    const uint32_t code = parsed->node.value_or(tree.selectedCode);
    if (!TreeHasNode(tree, code)) {
        std::fprintf(stderr, "zoduz-cli fields: packet %zu has no node %08X\n", parsed->number,
                     code);
        return 1;
    }
    const char* separator = "";
    for (const FieldColumn& column : kFieldColumns) {
        std::printf("%s%s", separator, column.title);
        separator = "\t";
    }
    std::printf("\n");
    for (const FieldRow& row : FieldRowsForNode(*packet, code)) {
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", row.offset.c_str(), row.length.c_str(),
                    row.name.c_str(), row.value.c_str(), row.description.c_str(), row.hex.c_str(),
                    row.ascii.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
