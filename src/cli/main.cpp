// zoduz-cli: command-line access to every decode, text and writer of the Zoduz core.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "capture/scratch_files.h"
#include "cli/commands.h"
#include "cli/open_document.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out, "usage: zoduz-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const CliCommand& command : CliCommands()) {
        std::fprintf(out, "  %s%s%s%s\n      %s\n", command.name, command.usage[0] ? " " : "",
                     command.usage, command.decodes ? " [--tolerant]" : "", command.summary);
    }
}

// Output that could not be written (a full disk, for example) fails the command, whatever
// status the command itself returned: a script must not take cut output for a whole one. So
// does a decode that memory cut short.
int CheckOutput(const char* command, int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "zoduz-cli%s%s: cannot write the output\n", command[0] ? " " : "",
                     command);
        return 1;
    }
    return CliDecodeStoppedForMemory() && status == 0 ? 1 : status;
}

// Memory that runs out anywhere (decoding, formatting, writing) ends the command with what it
// printed so far, one line on stderr and status 1; staged outputs go with their owners.
int RunCommand(const CliCommand& command, const CliArgs& args) {
    try {
        return command.run(args);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "zoduz-cli %s: out of memory\n", command.name);
    } catch (const std::system_error& error) {
        // A thread that could not start: the same lack of resources.
        std::fflush(stdout);
        std::fprintf(stderr, "zoduz-cli %s: out of memory (%s)\n", command.name, error.what());
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : CheckOutput("", 0);
    }
    // Staged outputs and temporary imports go with the process; a file size limit fails the
    // write (EFBIG) instead of ending the process.
    RemoveScratchFilesOnSignals();
    std::signal(SIGXFSZ, SIG_IGN);
    CliArgs args(argv + 2, argv + argc);
    for (const CliCommand& command : CliCommands()) {
        if (argv[1] == std::string(command.name)) {
            if (command.decodes && std::erase(args, "--tolerant") > 0) {
                SetCliTolerantDecoding(true);
            }
            return CheckOutput(command.name, RunCommand(command, args));
        }
    }
    std::fprintf(stderr, "zoduz-cli: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
}
