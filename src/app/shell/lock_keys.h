// The caps-lock, num-lock and scroll-lock states, read from the keyboard LEDs the kernel lists
// under /sys/class/leds ("input3::capslock" and the like): a lock counts as on when any
// keyboard shows it lit. No window-system call is needed and nothing is written.
#pragma once

#include <string>

struct LockKeyStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
    bool operator==(const LockKeyStates&) const = default;
};

inline constexpr const char* kLedFolder = "/sys/class/leds";

// The states from the LED folder; all off when the folder cannot be read.
LockKeyStates ReadLockKeyStates(const std::string& ledFolder = kLedFolder);
