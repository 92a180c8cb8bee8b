// zoduz-cli export: a range of a record file as CSV or as a record-file slice, with the export
// dialog's defaults and range rules.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/job_progress.h"
#include "cli/open_document.h"
#include "cli/packet_arg.h"
#include "list/core/column_info.h"
#include "tools/csv_format.h"
#include "tools/export_job.h"
#include "tools/export_markers.h"
#include "tools/export_naming.h"
#include "tools/export_range.h"
#include "tools/sigrok/sr_import.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli export FILE [-o OUT] [--type csv|zaz] [--items packets|samples|both]\n"
    "                        [--from top|packet:N|marker:A|B|O|X]\n"
    "                        [--to end|packet:N|marker:A|B|O|X] [--values LIST]\n"
    "                        [--all-columns] [--reverse-current]\n";

constexpr const char* kValueNames[kValueOptionCount] = {
    "vbus-voltage", "vbus-current", "vbus-wattage", "cc1-voltage",
    "cc1-current",  "cc2-voltage",  "cc2-current",
};

// One end of the range as given: top/end, packet:N or marker:L.
struct RangeArg {
    RangeKind kind = RangeKind::kCaptureEdge;
    uint32_t number = 0;
    char marker = 0;
};

struct ExportArgs {
    std::string file;
    std::string output;
    ExportType type = ExportType::kCsv;
    std::optional<ExportItems> items;
    RangeArg from;
    RangeArg to;
    ValueOptions values = kAllValueOptions;
    bool allColumns = false;
    bool reverseCurrent = false;
};

bool ParseRangeArg(const std::string& text, const char* edge, RangeArg& out) {
    if (text == edge) {
        out.kind = RangeKind::kCaptureEdge;
        return true;
    }
    if (text.rfind("packet:", 0) == 0) {
        std::optional<size_t> number = ParsePacketNumber(text.substr(7));
        out.kind = RangeKind::kPacketNumber;
        out.number = static_cast<uint32_t>(number.value_or(0));
        return number.has_value();
    }
    const std::string marker = text.rfind("marker:", 0) == 0 ? text.substr(7) : std::string();
    if (marker == "A" || marker == "B" || marker == "O" || marker == "X") {
        out.kind = RangeKind::kMarker;
        out.marker = marker[0];
        return true;
    }
    return false;
}

bool ParseValues(const std::string& list, ValueOptions& values) {
    values.fill(false);
    size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, comma - start);
        bool known = false;
        for (int option = 0; option < kValueOptionCount; ++option) {
            if (name == kValueNames[option]) {
                values[option] = true;
                known = true;
            }
        }
        if (!known) {
            return false;
        }
        start = comma + 1;
    }
    return true;
}

bool ParseArgs(const CliArgs& args, ExportArgs& parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        bool ok = true;
        if (arg == "-o" || arg == "--output" || arg == "--type" || arg == "--items" ||
            arg == "--from" || arg == "--to" || arg == "--values") {
            if (!hasValue) {
                return false;
            }
            ++i;
            if (arg == "-o" || arg == "--output") {
                parsed.output = value;
                ok = !value.empty();
            } else if (arg == "--type") {
                ok = value == "csv" || value == "zaz";
                parsed.type = value == "zaz" ? ExportType::kZaz : ExportType::kCsv;
            } else if (arg == "--items") {
                ok = value == "packets" || value == "samples" || value == "both";
                parsed.items = value == "packets"   ? ExportItems::kPdMessages
                               : value == "samples" ? ExportItems::kVoltageCurrent
                                                    : ExportItems::kBoth;
            } else if (arg == "--from") {
                ok = ParseRangeArg(value, "top", parsed.from);
            } else if (arg == "--to") {
                ok = ParseRangeArg(value, "end", parsed.to);
            } else {
                ok = ParseValues(value, parsed.values);
            }
        } else if (arg == "--all-columns") {
            parsed.allColumns = true;
        } else if (arg == "--reverse-current") {
            parsed.reverseCurrent = true;
        } else if (parsed.file.empty() && !arg.empty() && arg[0] != '-') {
            parsed.file = arg;
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return !parsed.file.empty();
}

// Index of the marker of that letter in the dialog's list, -1 when the capture has none.
int MarkerIndex(const std::vector<ExportMarker>& markers, char letter) {
    for (size_t i = 0; i < markers.size(); ++i) {
        if (ExportMarkerLetter(markers[i].kind) == letter) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string RangeErrorText(RangeError error, const ExportArgs& args, size_t packetCount) {
    switch (error) {
        case RangeError::kTopWithoutSamples:
            return "--from top needs samples, and the capture has none";
        case RangeError::kFromPacketMissing:
            return "--from packet:N needs N below the packet count (" +
                   std::to_string(packetCount) + ")";
        case RangeError::kFromMarkerMissing:
            return std::string("--from marker:") + args.from.marker +
                   ": the capture has no Marker " + args.from.marker;
        case RangeError::kEndWithoutSamples:
            return "--to end needs samples, and the capture has none";
        case RangeError::kToPacketWithoutPackets:
            return "--to packet:N needs packets, and the capture has none";
        case RangeError::kToMarkerMissing:
            return std::string("--to marker:") + args.to.marker + ": the capture has no Marker " +
                   args.to.marker;
        case RangeError::kEndBeforeStart:
            return "the range ends before it starts";
        case RangeError::kNone:
            break;
    }
    return {};
}

}  // namespace

int RunExport(const CliArgs& args) {
    ExportArgs parsed;
    if (!ParseArgs(args, parsed)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CKVDoc doc;
    if (!OpenDocumentForCli("export", parsed.file, doc)) {
        return 1;
    }
    const bool hasPackets = doc.PacketCount() != 0;
    const ExportItems items =
        parsed.items.value_or(hasPackets ? ExportItems::kPdMessages : ExportItems::kVoltageCurrent);
    if (parsed.type == ExportType::kCsv && IncludesPackets(items) && !hasPackets) {
        std::fprintf(stderr,
                     "zoduz-cli export: --items %s needs packets, and the capture has none\n",
                     items == ExportItems::kBoth ? "both" : "packets");
        return 1;
    }
    const std::vector<ExportMarker> markers = CollectExportMarkers(doc, StoredGraphMarkers(doc));
    ExportRangeChoice choice;
    choice.fromKind = parsed.from.kind;
    choice.toKind = parsed.to.kind;
    choice.fromNumber = parsed.from.number;
    choice.toNumber = parsed.to.number;
    choice.fromMarker = MarkerIndex(markers, parsed.from.marker);
    choice.toMarker = MarkerIndex(markers, parsed.to.marker);
    const ExportRange range = ValidateExportRange(ExtentOf(doc), markers, choice);
    if (!range.Valid()) {
        std::fprintf(stderr, "zoduz-cli export: invalid range: %s\n",
                     RangeErrorText(range.error, parsed, doc.PacketCount()).c_str());
        return 1;
    }

    ExportRequest request;
    request.type = parsed.type;
    // Named after the file given, also for a session read through a temporary import.
    const std::string named = IsSigrokSessionPath(parsed.file)
                                  ? parsed.file.substr(0, parsed.file.size() - 3) + kZazExtension
                                  : parsed.file;
    request.fileName =
        parsed.output.empty() ? DeriveExportFileName(named, parsed.type) : parsed.output;
    request.csv.items = items;
    request.csv.values = parsed.values;
    request.csv.columns = ExportColumns(DefaultColumnLayout(), !parsed.allColumns);
    request.csv.reverseCurrent = parsed.reverseCurrent;
    request.csv.rangeStart = range.start;
    request.csv.rangeEnd = range.end;
    request.sourcePath = parsed.file;
    std::unique_ptr<ToolJob> job = StartExport(doc, request);
    const ToolResult result = WaitForJob(*job, "Exporting");
    if (result != ToolResult::kSucceeded) {
        std::fprintf(stderr, "zoduz-cli export: %s: '%s'\n", ToolResultText(result),
                     request.fileName.c_str());
        return 1;
    }
    std::printf("%s\n", request.fileName.c_str());
    return 0;
}
