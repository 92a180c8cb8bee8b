// Subcommands of zoduz-cli. Each takes the arguments after the subcommand name and returns the
// process exit status.
#pragma once

#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

struct CliCommand {
    const char* name;
    const char* usage;    // arguments, shown in the help text
    const char* summary;  // one line
    int (*run)(const CliArgs& args);
    // Decodes a record file: accepts --tolerant anywhere among its arguments.
    bool decodes = false;
};

// Every subcommand, in the order the help text lists them.
const std::vector<CliCommand>& CliCommands();

// For the argument fuzzer: every command returns 0 right after its arguments parsed, before it
// reads, writes or opens anything.
void SetCliParseOnly(bool on);
bool CliParseOnly();
