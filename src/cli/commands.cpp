#include "cli/commands.h"

int RunCapture(const CliArgs& args);
int RunMonitor(const CliArgs& args);
int RunInfo(const CliArgs& args);
int RunDecode(const CliArgs& args);
int RunFind(const CliArgs& args);
int RunSamples(const CliArgs& args);

int RunSettings(const CliArgs& args);
int RunSimulate(const CliArgs& args);
int RunTree(const CliArgs& args);
int RunFields(const CliArgs& args);
int RunDevices(const CliArgs& args);
int RunCommand(const CliArgs& args);
int RunMeasure(const CliArgs& args);
int RunCheck(const CliArgs& args);
int RunContracts(const CliArgs& args);
int RunExport(const CliArgs& args);
int RunStitch(const CliArgs& args);
int RunImportSr(const CliArgs& args);
int RunExportSr(const CliArgs& args);
int RunExportPcapng(const CliArgs& args);
#ifdef ZODUZ_CLI_REMOTE
int RunRemote(const CliArgs& args);
#endif

namespace {
bool parseOnly = false;
}  // namespace

void SetCliParseOnly(bool on) {
    parseOnly = on;
}

bool CliParseOnly() {
    return parseOnly;
}

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = {
        {"capture",
         "[--virtual [SCENARIO]] [--unpaced] [-o FILE | --folder DIR [--caption NAME]] "
         "[--seconds N] [--max-size MB] [--multi-file] [--interval MS]",
         "record the analyzer's stream to record files until N seconds pass or SIGINT/SIGTERM",
         RunCapture},
        {"monitor", "[--virtual [SCENARIO]] [--seconds N]",
         "the control view's live read-outs once a second: VBUS, CC1, CC2, VCONN, CC status, peak",
         RunMonitor},
        {"info", "FILE", "blocks, samples, raw packets, InfoBlock entries and the decoded document",
         RunInfo, true},
        {"decode",
         "FILE [--reverse-current] [--format tsv|json] [--filter [--set LABEL=on|off] "
         "[--check-all] [--clear-all] [--check-all-types] [--clear-all-types] [--text TEXT]]",
         "every packet (or every packet the display filter shows) with its 38 column texts, as "
         "TSV or one JSON object per line",
         RunDecode, true},
        {"find",
         "FILE [--set LABEL=on|off] [--check-all] [--clear-all] [--check-all-types] "
         "[--clear-all-types] [--text TEXT] [--backward] [--from N] [--reverse-current]",
         "every packet the find criteria match, with the matched column (id and title)", RunFind,
         true},
        {"samples", "FILE", "every VBUS/CC sample as tab-separated values", RunSamples},
        {"settings", "", "print every effective application setting and whether it is the default",
         RunSettings},
        {"simulate",
         "SCENARIO -o FILE [--seconds N] [--seed N] [--interval-ms N] [--divider N] "
         "[--unit-interval US] [--jitter US] [--skew US] [--preamble-bits N] "
         "[--damage-kcode N] [--raw] [--script SCRIPT] | --list",
         "write a record file of a synthesized USB PD scenario", RunSimulate},
        {"tree", "FILE N", "the detail tree of packet N: node code, depth and text", RunTree, true},
        {"fields", "FILE N [--node CODE]",
         "the field table of a tree node of packet N (default: the node the tree selects)",
         RunFields, true},
        {"devices", "[--virtual] [--ids VID:PID,...] [--firmware TEXT] [--serial TEXT]",
         "every analyzer found: bus path, ids, firmware, whether it is accepted, serial number",
         RunDevices},
        {"command",
         "[--virtual] [--ids VID:PID,...] [--firmware TEXT] [--serial TEXT] "
         "cc1|cc2 none|ra|rd|rp-default|rp-1.5a|rp-3a | sampling-interval MS | firmware-update",
         "send one command to the analyzer and report whether it took it", RunCommand},
        {"measure",
         "FILE (--from TIME | --from-packet N) (--to TIME | --to-packet N) [--reverse-current]",
         "energy and average power between two times (us, as the list shows them), as the graph's "
         "O to X line",
         RunMeasure, true},
        {"check", "FILE [--format tsv|json] [--fail-on error|warning|never] [--profile 3.0]",
         "USB PD protocol and timing findings, one per line; exit status 4 when one is at or "
         "above --fail-on (default error)",
         RunCheck, true},
        {"contracts", "FILE [--format tsv|json]",
         "every explicit contract: offer, request, latencies, VBUS transition and its end",
         RunContracts, true},
        {"export",
         "FILE [-o OUT] [--type csv|zaz] [--items packets|samples|both] "
         "[--from top|packet:N|marker:A|B|O|X] [--to end|packet:N|marker:A|B|O|X] "
         "[--values LIST] [--all-columns] [--reverse-current]",
         "a range of the capture as CSV or as a record-file slice", RunExport, true},
        {"stitch", "BASE [--count N | --to FILE] [--folder DIR] [-o OUT]",
         "join a numbered record file and its successors into one record file", RunStitch},
        {"import-sr", "IN.sr -o OUT.zaz [--cc1 CHANNEL] [--cc2 CHANNEL]",
         "turn the CC channels of a sigrok logic session into a record file", RunImportSr},
        {"export-sr", "IN.zaz -o OUT.sr",
         "write the CC lines of a record file as a sigrok logic session", RunExportSr},
        {"export-pcapng", "IN.zaz|IN.sr -o OUT.pcapng [--all]",
         "the PD messages as a pcapng file for Wireshark (dissector zoduz_pd.lua)", RunExportPcapng,
         true},
#ifdef ZODUZ_CLI_REMOTE
        {"remote", "set-name NAME | set-folder DIR | start | stop | export",
         "drive the capture of a running zoduz over the D-Bus session bus", RunRemote},
#endif
    };
    return commands;
}
