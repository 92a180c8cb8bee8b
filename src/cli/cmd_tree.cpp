// zoduz-cli tree FILE N: the detail tree of packet N, one node per line.
#include <cstdio>

#include "cli/commands.h"
#include "cli/packet_arg.h"
#include "pd/field_tree.h"

int RunTree(const CliArgs& args) {
    const std::optional<size_t> number =
        args.size() == 2 ? ParsePacketNumber(args[1]) : std::nullopt;
    if (!number) {
        std::fprintf(stderr, "usage: zoduz-cli tree FILE N\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CKVDoc doc;
    const PacketPtr packet = OpenPacketForCli("tree", args[0], *number, doc);
    if (!packet) {
        return 1;
    }
    for (const PacketTreeNode& node :
         BuildPacketTree(*packet, static_cast<int32_t>(*number)).nodes) {
        std::printf("%08X\t%d\t%s\n", node.code, node.depth, node.text.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
