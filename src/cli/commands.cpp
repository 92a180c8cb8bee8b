#include "cli/commands.h"

int RunInfo(const CliArgs& args);
int RunSamples(const CliArgs& args);

int RunSettings(const CliArgs& args);

const std::vector<CliCommand>& CliCommands() {
    static const std::vector<CliCommand> commands = {
        {"info", "FILE", "blocks, samples, raw packets, InfoBlock entries and the decoded document",
         RunInfo},
        {"samples", "FILE", "every VBUS/CC sample as tab-separated values", RunSamples},
        {"settings", "", "print every effective application setting and whether it is the default",
         RunSettings},
    };
    return commands;
}
