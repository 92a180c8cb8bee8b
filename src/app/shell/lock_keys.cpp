#include "app/shell/lock_keys.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// An LED is lit when its brightness reads as a number above zero.
bool Lit(const std::filesystem::path& led) {
    std::ifstream file(led / "brightness");
    int brightness = 0;
    return static_cast<bool>(file >> brightness) && brightness > 0;
}

}  // namespace

LockKeyStates ReadLockKeyStates(const std::string& ledFolder) {
    LockKeyStates states;
    std::error_code error;
    std::filesystem::directory_iterator entries(ledFolder, error);
    if (error) {
        return states;
    }
    for (const std::filesystem::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        bool* state = EndsWith(name, "::capslock")     ? &states.caps
                      : EndsWith(name, "::numlock")    ? &states.num
                      : EndsWith(name, "::scrolllock") ? &states.scroll
                                                       : nullptr;
        if (state != nullptr && !*state) {
            *state = Lit(entry.path());
        }
    }
    return states;
}
