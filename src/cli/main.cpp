// zoduz-cli: command-line access to every decode, text and writer of the Zoduz core.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out, "usage: zoduz-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const CliCommand& command : CliCommands()) {
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    CliArgs args(argv + 2, argv + argc);
    for (const CliCommand& command : CliCommands()) {
        if (argv[1] == std::string(command.name)) {
            return command.run(args);
        }
    }
    std::fprintf(stderr, "zoduz-cli: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
}
