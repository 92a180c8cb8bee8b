// The find and filter criteria on the command line, one option per dialog control: --set
// LABEL=on|off, --check-all, --clear-all, --check-all-types, --clear-all-types, --text TEXT.
#pragma once

#include <string>

#include "cli/commands.h"
#include "list/core/find_criteria.h"

enum class CriteriaArg { kNotCriteria, kApplied, kError };

// Applies args[i] (and its value, advancing i) to the criteria when it is a criteria option.
// On kError, error holds a one-line reason (an unknown label lists the valid ones).
CriteriaArg ApplyCriteriaArg(const CliArgs& args, size_t& i, FindCriteria& criteria,
                             std::string& error);

// The criteria options for a usage line.
inline constexpr const char* kCriteriaUsage =
    "[--set LABEL=on|off] [--check-all] [--clear-all] [--check-all-types] [--clear-all-types] "
    "[--text TEXT]";
