#include "cli/io_args.h"

bool ParseInputOutputArgs(const CliArgs& args, std::string& input, std::string& output,
                          const CliOption& option) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "-o" || arg == "--output") && i + 1 < args.size() && !args[i + 1].empty()) {
            output = args[++i];
        } else if (option(args, i)) {
            continue;
        } else if (!arg.empty() && arg[0] != '-' && input.empty()) {
            input = arg;
        } else {
            return false;
        }
    }
    return !input.empty() && !output.empty();
}
