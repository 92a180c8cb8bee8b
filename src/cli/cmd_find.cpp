// zoduz-cli find FILE [CRITERIA] [--backward] [--from N] [--reverse-current]: every packet the
// find criteria match, in the order Find Next (or Find Prev) visits them, with the matched
// column.
#include <cstdio>
#include <string>
#include <vector>

#include "capture/document.h"
#include "cli/commands.h"
#include "cli/criteria_args.h"
#include "cli/open_document.h"
#include "cli/packet_arg.h"
#include "pd/packet_column.h"
#include "pd/text_format.h"
#include "query/open_capture.h"
#include "query/packet_search.h"

namespace {

// Nothing matched: apart from 1 (unreadable file) and 2 (bad arguments).
constexpr int kExitNotFound = 3;

struct FindOptions {
    std::string path;
    FindCriteria criteria = FindDefaults();
    bool reverseCurrent = false;
    std::optional<size_t> from;
};

// False with a message on stderr for a bad argument.
bool ParseFindArgs(const CliArgs& args, FindOptions& options) {
    bool havePath = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        const CriteriaArg criteria = ApplyCriteriaArg(args, i, options.criteria, error);
        if (criteria == CriteriaArg::kError) {
            std::fprintf(stderr, "zoduz-cli find: %s\n", error.c_str());
            return false;
        }
        if (criteria == CriteriaArg::kApplied) {
            continue;
        }
        if (arg == "--backward") {
            options.criteria.direction = FindDirection::kBackward;
        } else if (arg == "--reverse-current") {
            options.reverseCurrent = true;
        } else if (arg == "--from") {
            options.from = i + 1 < args.size() ? ParsePacketNumber(args[++i]) : std::nullopt;
            if (!options.from) {
                std::fprintf(stderr, "zoduz-cli find: --from needs a row number\n");
                return false;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "zoduz-cli find: unknown option '%s'\n", arg.c_str());
            return false;
        } else if (!havePath) {
            options.path = arg;
            havePath = true;
        } else {
            return false;
        }
    }
    return havePath;
}

}  // namespace

int RunFind(const CliArgs& args) {
    FindOptions options;
    if (!ParseFindArgs(args, options)) {
        std::fprintf(stderr,
                     "usage: zoduz-cli find FILE %s [--backward] [--from N] "
                     "[--reverse-current]\n",
                     kCriteriaUsage);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    CaptureRows rows;
    if (!OpenRowsForCli("find", options.path, options.reverseCurrent, rows)) {
        return 1;
    }
    const std::vector<PacketPtr>& packets = rows.doc.Packets();
    if (options.from && *options.from >= packets.size()) {
        std::fprintf(stderr, "zoduz-cli find: %s\n",
                     NoPacketText(*options.from, options.path, packets.size()).c_str());
        return 1;
    }
    // Without --from every row is visited; with it the walk starts next to that row, as Find
    // Next and Find Prev do from the selection.
    std::string out;
    const std::vector<FindMatch> matches = FindMatches(options.criteria, rows, options.from);
    for (const FindMatch& match : matches) {
        AppendFormat(out, "%zu\t%d\t", match.row, match.column);
        out += ColumnShortTitle(match.column);
        out += '\n';
    }
    const bool found = !matches.empty();
    if (!found) {
        std::fputs("Message Not Found.\n", stderr);
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    if (std::fflush(stdout) != 0 || !written) {
        return 1;
    }
    return found ? 0 : kExitNotFound;
}
