// zoduz-cli fields FILE N [--node CODE]: the field table of one tree node of packet N.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/packet_arg.h"
#include "pd/field_rows.h"
#include "query/packet_fields.h"

namespace {

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

}  // namespace

int RunFields(const CliArgs& args) {
    const std::optional<FieldsArgs> parsed = ParseFieldsArgs(args);
    if (!parsed) {
        std::fprintf(stderr, "usage: zoduz-cli fields FILE N [--node CODE]\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CKVDoc doc;
    const PacketPtr packet = OpenPacketForCli("fields", parsed->path, parsed->number, doc);
    if (!packet) {
        return 1;
    }
    std::string error;
    const std::optional<std::vector<FieldRow>> rows =
        NodeFieldRows(*packet, static_cast<int32_t>(parsed->number), parsed->node, error);
    if (!rows) {
        std::fprintf(stderr, "zoduz-cli fields: %s\n", error.c_str());
        return 1;
    }
    const char* separator = "";
    for (const FieldColumn& column : kFieldColumns) {
        std::printf("%s%s", separator, column.title);
        separator = "\t";
    }
    std::printf("\n");
    for (const FieldRow& row : *rows) {
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", row.offset.c_str(), row.length.c_str(),
                    row.name.c_str(), row.value.c_str(), row.description.c_str(), row.hex.c_str(),
                    row.ascii.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
