// zoduz-cli import-sr / export-sr: sigrok logic sessions to record files and back.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "capture/staged_file.h"
#include "cli/commands.h"
#include "cli/io_args.h"
#include "cli/open_document.h"
#include "tools/sigrok/sr_export.h"
#include "tools/sigrok/sr_import.h"

namespace {

constexpr const char* kImportUsage =
    "usage: zoduz-cli import-sr IN.sr -o OUT.zaz [--cc1 CHANNEL] [--cc2 CHANNEL]\n";
constexpr const char* kExportUsage = "usage: zoduz-cli export-sr IN.zaz -o OUT.sr\n";

struct ConvertArgs {
    std::string input;
    std::string output;
    SrImportOptions channels;
};

// IN, -o OUT and (import only) the channel options; false on a usage error.
bool ParseConvertArgs(const CliArgs& args, bool channelOptions, ConvertArgs& parsed) {
    return ParseInputOutputArgs(
        args, parsed.input, parsed.output, [&](const CliArgs& all, size_t& i) {
            const bool hasValue = channelOptions && i + 1 < all.size() && !all[i + 1].empty();
            std::string* channel = all[i] == "--cc1"   ? &parsed.channels.cc1
                                   : all[i] == "--cc2" ? &parsed.channels.cc2
                                                       : nullptr;
            if (!hasValue || channel == nullptr) {
                return false;
            }
            *channel = all[++i];
            return true;
        });
}

}  // namespace

int RunImportSr(const CliArgs& args) {
    ConvertArgs parsed;
    if (!ParseConvertArgs(args, true, parsed)) {
        std::fputs(kImportUsage, stderr);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    std::string error;
    const std::optional<SrImportResult> result =
        ImportSigrokSession(parsed.input, parsed.output, parsed.channels, error);
    if (!result) {
        std::fprintf(stderr, "zoduz-cli import-sr: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& note : result->metadata.ignoredChannels) {
        std::fprintf(stderr, "zoduz-cli import-sr: %s\n", note.c_str());
    }
    std::printf("sample rate\t%" PRIu64 "\n", result->metadata.sampleRate);
    std::printf("divider\t%d\t%s\n", result->tickBase.divider,
                result->tickBase.exact ? "exact" : "rounded");
    std::printf("cc1 channel\t%d\ncc2 channel\t%d\n", result->cc1Channel, result->cc2Channel);
    std::printf("samples\t%" PRIu64 "\n", result->samples);
    std::printf("cc1 transitions\t%" PRIu64 "\ncc2 transitions\t%" PRIu64 "\n",
                result->transitions[0], result->transitions[1]);
    std::printf("edge blocks\t%" PRIu64 "\nsample blocks\t%" PRIu64 "\n", result->edgeBlocks,
                result->sampleBlocks);
    return 0;
}

int RunExportSr(const CliArgs& args) {
    ConvertArgs parsed;
    if (!ParseConvertArgs(args, false, parsed)) {
        std::fputs(kExportUsage, stderr);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    if (SameFile(parsed.input, parsed.output)) {
        std::fprintf(stderr,
                     "zoduz-cli export-sr: cannot write '%s': it is the record file being "
                     "exported\n",
                     parsed.output.c_str());
        return 1;
    }
    // A session is read through its import, as the decoding commands read it.
    const std::optional<std::string> record = RecordPathForCli("export-sr", parsed.input);
    if (!record) {
        return 1;
    }
    std::string error;
    const std::optional<SrExportResult> result = ExportSigrokSession(*record, parsed.output, error);
    if (!result) {
        std::fprintf(stderr, "zoduz-cli export-sr: %s\n", error.c_str());
        return 1;
    }
    std::printf("sample rate\t%" PRIu64 "\n", result->sampleRate);
    std::printf("samples\t%" PRIu64 "\n", result->samples);
    std::printf("packets\t%" PRIu64 "\ntransitions\t%" PRIu64 "\n", result->packets,
                result->transitions);
    return 0;
}
