// zoduz-cli export-pcapng: the PD messages of a capture as a pcapng file for Wireshark.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/io_args.h"
#include "cli/job_progress.h"
#include "cli/open_document.h"
#include "tools/pcapng_export.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli export-pcapng IN.zaz|IN.sr -o OUT.pcapng [--all]\n";

struct PcapngArgs {
    std::string input;
    std::string output;
    bool all = false;
};

bool ParseArgs(const CliArgs& args, PcapngArgs& parsed) {
    return ParseInputOutputArgs(args, parsed.input, parsed.output,
                                [&](const CliArgs& all, size_t& i) {
                                    parsed.all = parsed.all || all[i] == "--all";
                                    return all[i] == "--all";
                                });
}

}  // namespace

int RunExportPcapng(const CliArgs& args) {
    PcapngArgs parsed;
    if (!ParseArgs(args, parsed)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CKVDoc doc;
    if (!OpenDocumentForCli("export-pcapng", parsed.input, doc)) {
        return 1;
    }
    PcapngExportOptions options;
    options.allPackets = parsed.all;
    size_t written = 0;
    const DocumentSnapshot snapshot = doc.Snapshot();
    for (const PacketPtr& packet : snapshot.packets) {
        written += PcapngSelects(*packet, snapshot.timeOrigin, options) ? 1 : 0;
    }
    std::unique_ptr<ToolJob> job = StartPcapngExport(doc, options, parsed.output, parsed.input);
    const ToolResult result = WaitForJob(*job, "Exporting");
    if (result != ToolResult::kSucceeded) {
        std::fprintf(stderr, "zoduz-cli export-pcapng: %s: '%s'\n", ToolResultText(result),
                     parsed.output.c_str());
        return 1;
    }
    std::printf("packets\t%zu\nleft out\t%zu\n", written, snapshot.packets.size() - written);
    return 0;
}
