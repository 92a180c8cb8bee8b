#include "cli/analyzer_args.h"

VirtualAnalyzerOptions CliVirtualAnalyzerOptions() {
    VirtualAnalyzerOptions options;
    options.paced = false;
    return options;
}

bool ParseAnalyzerArgs(const CliArgs& args, AnalyzerArgs& parsed) {
    parsed.virtualOptions = CliVirtualAnalyzerOptions();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--virtual") {
            parsed.useVirtual = true;
        } else if (arg == "--ids" || arg == "--firmware" || arg == "--serial") {
            if (!hasValue) {
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--ids") {
                std::optional<std::vector<UsbDeviceId>> ids = ParseUsbIdList(value);
                if (!ids) {
                    return false;
                }
                parsed.ids = *ids;
            } else if (arg == "--firmware") {
                parsed.virtualOptions.texts.firmware = value;
            } else {
                parsed.virtualOptions.texts.serial = value;
            }
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return false;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return true;
}

std::string Field(const std::string& text) {
    if (text.empty()) {
        return "-";
    }
    std::string field = text;
    for (char& c : field) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return field;
}
