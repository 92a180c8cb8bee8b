// zoduz-cli measure FILE (--from TIME | --from-packet N) (--to TIME | --to-packet N)
// [--reverse-current]: the graph's "O to X" measurement between two times, with the positive and
// negative energy and the number of samples between them.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cli/commands.h"
#include "cli/number_arg.h"
#include "cli/open_document.h"
#include "cli/packet_arg.h"
#include "query/measurement.h"
#include "query/open_capture.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli measure FILE (--from TIME | --from-packet N) (--to TIME | --to-packet N) "
    "[--reverse-current]\n";

// One end of the measurement: a graph time in µs, or the time of a packet.
struct MeasureEnd {
    std::optional<int64_t> time;
    std::optional<size_t> packet;

    bool IsSet() const { return time || packet; }
};

// Parses "--from TIME" or "--from-packet N" (prefix "--from"); false on a bad or repeated end.
bool ParseEnd(const CliArgs& args, size_t& i, const std::string& prefix, MeasureEnd& end) {
    if (end.IsSet() || i + 1 >= args.size()) {
        return false;
    }
    const std::string& value = args[++i];
    if (args[i - 1] == prefix) {
        end.time = ParseNumber<int64_t>(value);
        return end.time.has_value();
    }
    end.packet = ParsePacketNumber(value);
    return end.packet.has_value();
}

// The graph time of an end: the time itself, or the packet's time relative to the origin.
std::optional<int64_t> ResolveEnd(const MeasureEnd& end, const CKVDoc& doc,
                                  const std::string& path) {
    if (end.time) {
        return end.time;
    }
    PacketPtr packet = doc.PacketAt(*end.packet);
    if (!packet) {
        std::fprintf(stderr, "zoduz-cli measure: %s\n",
                     NoPacketText(*end.packet, path, doc.PacketCount()).c_str());
        return std::nullopt;
    }
    return packet->relTime - doc.TimeOrigin();
}

}  // namespace

int RunMeasure(const CliArgs& args) {
    MeasureEnd from;
    MeasureEnd to;
    bool reverseCurrent = false;
    bool valid = !args.empty() && args[0].rfind("--", 0) != 0;
    for (size_t i = 1; valid && i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--from" || arg == "--from-packet") {
            valid = ParseEnd(args, i, "--from", from);
        } else if (arg == "--to" || arg == "--to-packet") {
            valid = ParseEnd(args, i, "--to", to);
        } else if (arg == "--reverse-current") {
            reverseCurrent = true;
        } else {
            valid = false;
        }
    }
    if (!valid || !from.IsSet() || !to.IsSet()) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CKVDoc doc;
    if (!OpenDocumentForCli("measure", args[0], doc)) {
        return 1;
    }
    std::optional<int64_t> markerO = ResolveEnd(from, doc, args[0]);
    std::optional<int64_t> markerX = markerO ? ResolveEnd(to, doc, args[0]) : std::nullopt;
    if (!markerO || !markerX) {
        return 1;
    }
    const Measurement measured = MeasureBetween(doc.Snapshot(), *markerO, *markerX, reverseCurrent);
    std::printf("%s\n", measured.text.c_str());
    std::printf("positive[mJ]\t%.3f\n", measured.positiveMj);
    std::printf("negative[mJ]\t%.3f\n", measured.negativeMj);
    std::printf("samples\t%zu\n", measured.samples);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
