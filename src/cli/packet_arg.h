// Shared by the zoduz-cli commands that show one packet of a record file: the packet number
// argument and the packet it names.
#pragma once

#include <optional>
#include <string>

#include "capture/document.h"

// A packet number in decimal (0 or more); empty for any other text.
std::optional<size_t> ParsePacketNumber(const std::string& text);

// Opens and decodes `path` into `doc` and returns packet `number`. Prints a one-line error on
// stderr and returns null when the file cannot be read or has no such packet (exit status 1).
PacketPtr OpenPacketForCli(const char* command, const std::string& path, size_t number,
                           CKVDoc& doc);
