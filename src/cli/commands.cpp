#include "cli/commands.h"

int RunSettings(const CliArgs& args);

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = {
        {"settings", "", "print every effective application setting and whether it is the default",
         RunSettings},
    };
    return commands;
}
