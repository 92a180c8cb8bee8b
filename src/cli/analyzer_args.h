// Shared by the zoduz-cli commands that talk to analyzers: the options that choose them
// (--virtual, --ids) and the virtual analyzer's identity (--firmware, --serial).
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"
#include "device/analyzer_ids.h"
#include "device/virtual/virtual_analyzer.h"

struct AnalyzerArgs {
    bool useVirtual = false;
    std::vector<UsbDeviceId> ids = DefaultAnalyzerIds();
    VirtualAnalyzerOptions virtualOptions;
    std::vector<std::string> positional;  // the arguments that are not options
};

// Fills `parsed`; false on a malformed or incomplete option.
bool ParseAnalyzerArgs(const CliArgs& args, AnalyzerArgs& parsed);

// The virtual analyzer as the command line runs it: its stream as fast as it is read.
VirtualAnalyzerOptions CliVirtualAnalyzerOptions();

// A text as one tab-separated field: tabs, line breaks and other control characters become
// spaces, and an empty text is "-".
std::string Field(const std::string& text);
