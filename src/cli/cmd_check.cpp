// zoduz-cli check FILE [--format tsv|json] [--fail-on error|warning|never] [--profile 3.0]: the
// protocol and timing findings of a record file, one per line; exit status 4 when one is at or
// above --fail-on. zoduz-cli contracts FILE [--format tsv|json]: its explicit contracts.
#include <cstdio>
#include <optional>
#include <string>

#include "check/check_format.h"
#include "check/check_walk.h"
#include "cli/commands.h"
#include "cli/open_document.h"

namespace {

// Status when a finding at or above --fail-on was found.
constexpr int kFindingsStatus = 4;

struct CheckArgs {
    std::string path;
    bool json = false;
    std::optional<Severity> failOn = Severity::kError;  // none: never fail
    CheckOptions options;
};

// Parses the arguments; `full` allows the options of check beyond --format.
bool ParseCheckArgs(const CliArgs& args, bool full, CheckArgs& out) {
    bool havePath = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--format" && hasValue) {
            const std::string& value = args[++i];
            if (value != "tsv" && value != "json") {
                return false;
            }
            out.json = value == "json";
        } else if (full && arg == "--fail-on" && hasValue) {
            const std::string& value = args[++i];
            if (value == "error") {
                out.failOn = Severity::kError;
            } else if (value == "warning") {
                out.failOn = Severity::kWarning;
            } else if (value == "never") {
                out.failOn.reset();
            } else {
                return false;
            }
        } else if (full && arg == "--profile" && hasValue) {
            if (args[++i] != "3.0") {
                return false;
            }
            out.options.profile30 = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return false;
        } else if (!havePath) {
            out.path = arg;
            havePath = true;
        } else {
            return false;
        }
    }
    return havePath;
}

// Decodes the file and checks it; false (after the error line) when it cannot be read.
std::optional<CheckReport> CheckFile(const char* command, const CheckArgs& args,
                                     int64_t& timeOrigin) {
    CKVDoc doc;
    if (!OpenDocumentForCli(command, args.path, doc)) {
        return std::nullopt;
    }
    DocumentSnapshot snapshot = doc.Snapshot();
    timeOrigin = snapshot.timeOrigin;
    return CheckCapture(snapshot, args.options);
}

int Flush() {
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int RunCheck(const CliArgs& args) {
    CheckArgs parsed;
    if (!ParseCheckArgs(args, true, parsed)) {
        std::fprintf(stderr,
                     "usage: zoduz-cli check FILE [--format tsv|json] "
                     "[--fail-on error|warning|never] [--profile 3.0]\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    int64_t timeOrigin = 0;
    std::optional<CheckReport> report = CheckFile("check", parsed, timeOrigin);
    if (!report) {
        return 1;
    }
    bool failed = false;
    for (const Finding& finding : report->findings) {
        std::string line =
            parsed.json ? FindingJson(finding, timeOrigin) : FindingTsv(finding, timeOrigin);
        std::fputs(line.c_str(), stdout);
        failed = failed || (parsed.failOn && finding.severity <= *parsed.failOn);
    }
    if (Flush() != 0) {
        return 1;
    }
    return failed ? kFindingsStatus : 0;
}

int RunContracts(const CliArgs& args) {
    CheckArgs parsed;
    if (!ParseCheckArgs(args, false, parsed)) {
        std::fprintf(stderr, "usage: zoduz-cli contracts FILE [--format tsv|json]\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    int64_t timeOrigin = 0;
    std::optional<CheckReport> report = CheckFile("contracts", parsed, timeOrigin);
    if (!report) {
        return 1;
    }
    for (const Contract& contract : report->contracts) {
        std::string line =
            parsed.json ? ContractJson(contract, timeOrigin) : ContractTsv(contract, timeOrigin);
        std::fputs(line.c_str(), stdout);
    }
    return Flush();
}
