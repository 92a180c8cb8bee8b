// Storage of the settings section "DADOVIVA". The store itself is Qt-free; the application uses a
// QSettings backend, the tests an in-memory one. Values are named; a read of an absent value or
// of a value that does not convert to the asked kind gives no value, and the caller takes its
// default.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class SettingsBackend {
  public:
    virtual ~SettingsBackend() = default;

    virtual std::optional<int32_t> ReadInteger(std::string_view name) const = 0;
    virtual std::optional<std::string> ReadText(std::string_view name) const = 0;  // UTF-8
    virtual std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const = 0;

    virtual void WriteInteger(std::string_view name, int32_t value) = 0;
    virtual void WriteText(std::string_view name, std::string_view value) = 0;
    virtual void WriteBinary(std::string_view name, std::span<const uint8_t> value) = 0;

    // Pushes the written values to permanent storage; false when that failed.
    virtual bool Flush() = 0;

    // Where the values live, for messages ("memory" for the in-memory backend).
    virtual std::string Location() const = 0;
};
