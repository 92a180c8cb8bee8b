// zoduz-cli stitch: joins a record file and its numbered successors into one record file, with
// the stitch dialog's lists, selection and naming.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "capture/record_naming.h"
#include "capture/staged_file.h"
#include "cli/commands.h"
#include "cli/job_progress.h"
#include "cli/packet_arg.h"
#include "tools/stitch_files.h"
#include "tools/stitch_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: zoduz-cli stitch BASE [--count N | --to FILE] [--folder DIR] [-o OUT]\n";

struct StitchArgs {
    std::string base;
    std::optional<size_t> count;
    std::string to;
    std::string folder;
    std::string output;
};

bool ParseArgs(const CliArgs& args, StitchArgs& parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size() && !args[i + 1].empty();
        if (arg == "--count" || arg == "--to" || arg == "--folder" || arg == "-o" ||
            arg == "--output") {
            if (!hasValue) {
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--count") {
                parsed.count = ParsePacketNumber(value);
                if (!parsed.count) {
                    return false;
                }
            } else if (arg == "--to") {
                parsed.to = value;
            } else if (arg == "--folder") {
                parsed.folder = value;
            } else {
                parsed.output = value;
            }
        } else if (parsed.base.empty() && !arg.empty() && arg[0] != '-') {
            parsed.base = arg;
        } else {
            return false;
        }
    }
    return !parsed.base.empty() && !(parsed.count && !parsed.to.empty());
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "zoduz-cli stitch: %s\n", text.c_str());
    return 1;
}

}  // namespace

int RunStitch(const CliArgs& args) {
    StitchArgs parsed;
    if (!ParseArgs(args, parsed)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
    const std::filesystem::path basePath(parsed.base);
    const std::string baseName = basePath.filename().string();
    std::string folder = parsed.folder;
    if (folder.empty()) {
        folder = basePath.has_parent_path() ? basePath.parent_path().string() : ".";
    }
    const std::vector<StitchFile> files = ListRecordFiles(folder);
    const std::vector<StitchFile> bases = StitchBaseList(files, false);
    const std::string base = JoinRecordPath(folder, baseName);
    const int baseIndex = PreselectBase(bases, base);
    if (baseIndex < 0 || bases[static_cast<size_t>(baseIndex)].path != base) {
        return Fail("no numbered record file '" + baseName + "' in '" + folder + "'");
    }
    const std::vector<StitchFile> successors = StitchSuccessorList(files, base, false);
    if (successors.empty()) {
        return Fail("'" + baseName + "' has no successor in '" + folder + "'");
    }

    // The first k successors: one by default, as the dialog preselects.
    size_t count = parsed.count.value_or(1);
    if (!parsed.to.empty()) {
        const std::filesystem::path toPath(parsed.to);
        const std::string toName = toPath.filename().string();
        // A path names the successor only when it leads to that file of the folder.
        if (toPath.has_parent_path() && !SameFile(parsed.to, JoinRecordPath(folder, toName))) {
            return Fail("'" + parsed.to + "' is not in '" + folder + "'");
        }
        count = 0;
        for (size_t i = 0; i < successors.size() && count == 0; ++i) {
            count = successors[i].name == toName ? i + 1 : 0;
        }
        if (count == 0) {
            return Fail("'" + toName + "' is not a successor of '" + baseName + "'");
        }
    }
    if (count == 0 || count > successors.size()) {
        return Fail("--count must be 1 to " + std::to_string(successors.size()));
    }

    std::vector<std::string> parts = {base};
    for (size_t i = 0; i < count; ++i) {
        parts.push_back(successors[i].path);
    }
    std::string output = parsed.output;
    if (output.empty()) {
        output = StitchOutputPath(folder, baseName, successors[count - 1].name);
        if (output.empty()) {
            return Fail("no free name for the stitched file in '" + folder + "'");
        }
    }
    ToolJob job([&parts, &output](JobControl& control) {
        return WriteStitchedFile(parts, output, control);
    });
    const ToolResult result = WaitForJob(job, "Stitching");
    if (result != ToolResult::kSucceeded) {
        return Fail(std::string(ToolResultText(result)) + ": '" + output + "'");
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
