// Arguments of the commands that turn one file into another: IN, -o OUT and their own options.
#pragma once

#include <functional>
#include <string>

#include "cli/commands.h"

// Takes the option at args[i] (and its value, moving i past it); false when it is not one.
using CliOption = std::function<bool(const CliArgs& args, size_t& i)>;

// IN (the one argument not starting with '-'), -o OUT or --output OUT (not empty), and every
// other argument through `option`. False on a usage error: an unknown argument, a second IN,
// or IN or OUT missing.
bool ParseInputOutputArgs(const CliArgs& args, std::string& input, std::string& output,
                          const CliOption& option);
