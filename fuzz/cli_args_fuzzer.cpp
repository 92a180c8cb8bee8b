// Arbitrary command lines for every zoduz-cli command. The commands only parse (they return
// right after their arguments are accepted, before opening, reading or writing anything), so a
// run is quick and harmless; the status must be 0 (accepted) or 2 (usage error). Input: the
// first byte picks the command, the rest are the arguments separated by NUL bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/commands.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    SetCliParseOnly(true);
    // Usage lines would fill the fuzzer's log; its own reports keep their stream.
    stdout = std::fopen("/dev/null", "w");
    stderr = std::fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kMaxArguments = 64;
    if (size == 0) {
        return 0;
    }
    const auto& commands = CliCommands();
    const CliCommand& command = commands[data[0] % commands.size()];
    CliArgs args;
    std::string current;
    for (size_t i = 1; i < size && args.size() < kMaxArguments; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (size > 1 && args.size() < kMaxArguments) {
        args.push_back(current);
    }
    const int status = command.run(args);
    if (status != 0 && status != 2) {
        __builtin_trap();
    }
    return 0;
}
