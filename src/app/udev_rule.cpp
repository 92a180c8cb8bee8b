#include "app/udev_rule.h"

#include <filesystem>

#include "device/usb/libusb_transport.h"

namespace {

// Single quotes around anything but plain path characters; a quote inside becomes '\''.
std::string ShellWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of(
                                            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                            "0123456789/._-+=:,") == std::string::npos;
    if (plain) {
        return word;
    }
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::vector<std::string> UdevRuleFolders() {
    return {"/etc/udev/rules.d", "/lib/udev/rules.d", "/usr/lib/udev/rules.d"};
}

std::string InstalledUdevRule(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const std::filesystem::path path = std::filesystem::path(folder) / kUdevRuleName;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            return path.string();
        }
    }
    return {};
}

std::string UdevRuleTarget() {
    return UdevRuleFolders().front() + "/" + kUdevRuleName;
}

std::vector<std::string> UdevRuleInstallCommand(const std::string& source) {
    return {"install", "-m", "0644", source, UdevRuleTarget()};
}

std::string ManualUdevRuleInstallLine(const std::string& source) {
    std::string line = "sudo";
    for (const std::string& word : UdevRuleInstallCommand(source)) {
        line += ' ';
        line += ShellWord(word);
    }
    return line;
}
