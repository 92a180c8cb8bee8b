// zoduz-cli remote: drives the capture of a running zoduz over the session bus.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "cli/commands.h"
#include "cli/remote/remote_client.h"

namespace {

constexpr int kRefusedStatus = 1;
constexpr int kUsageStatus = 2;
constexpr int kNoZoduzStatus = 3;

int Usage() {
    std::fprintf(stderr,
                 "usage: zoduz-cli remote set-name NAME | set-folder DIR | start | stop | "
                 "export\n");
    return kUsageStatus;
}

struct RemoteRequest {
    const char* word;
    const char* method;
    bool takesArgument;
};

constexpr RemoteRequest kRequests[] = {
    {"set-name", "SetRecordFileName", true},
    {"set-folder", "SetRecordFolder", true},
    {"start", "Start", false},
    {"stop", "Stop", false},
    {"export", "Export", false},
};

// zoduz may run in another folder: a relative DIR is made absolute here.
std::optional<std::string> AbsoluteFolder(const std::string& folder) {
    if (folder.empty()) {
        return folder;
    }
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(folder, error);
    if (error) {
        return std::nullopt;
    }
    return path.lexically_normal().string();
}

}  // namespace

int RunRemote(const CliArgs& args) {
    if (args.empty()) {
        return Usage();
    }
    const RemoteRequest* request = nullptr;
    for (const RemoteRequest& candidate : kRequests) {
        if (args[0] == candidate.word) {
            request = &candidate;
        }
    }
    if (request == nullptr || args.size() != (request->takesArgument ? 2u : 1u)) {
        return Usage();
    }
    std::optional<std::string> argument;
    if (request->takesArgument) {
        argument = args[1];
        if (args[0] == "set-folder") {
            argument = AbsoluteFolder(args[1]);
            if (!argument) {
                std::fprintf(stderr, "zoduz-cli remote set-folder: cannot resolve '%s'\n",
                             args[1].c_str());
                return kRefusedStatus;
            }
        }
    }
    const RemoteReply reply = CallRemote(request->method, argument);
    switch (reply.status) {
        case RemoteReply::Status::kDone:
            return 0;
        case RemoteReply::Status::kRefused:
            std::fprintf(stderr, "zoduz-cli remote %s: zoduz refused: %s\n", request->word,
                         reply.message.c_str());
            return kRefusedStatus;
        case RemoteReply::Status::kNoBus:
            std::fprintf(stderr,
                         "zoduz-cli remote: no D-Bus session bus (is DBUS_SESSION_BUS_ADDRESS "
                         "set?)%s%s\n",
                         reply.message.empty() ? "" : ": ", reply.message.c_str());
            return kNoZoduzStatus;
        case RemoteReply::Status::kNotRunning:
            std::fprintf(stderr,
                         "zoduz-cli remote: no zoduz is running on the session bus "
                         "(com.dazerav.Zoduz has no owner)\n");
            return kNoZoduzStatus;
        case RemoteReply::Status::kFailed:
            break;
    }
    std::fprintf(stderr, "zoduz-cli remote %s: %s: %s\n", request->word, reply.errorName.c_str(),
                 reply.message.c_str());
    return kRefusedStatus;
}
