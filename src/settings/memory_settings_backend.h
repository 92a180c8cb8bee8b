// In-memory settings storage, used by the tests and by zoduz-cli when no persistent store is
// built in. It also records the names in the order they were written.
#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "settings/settings_backend.h"

class MemorySettingsBackend final : public SettingsBackend {
  public:
    using Value = std::variant<int32_t, std::string, std::vector<uint8_t>>;

    std::optional<int32_t> ReadInteger(std::string_view name) const override;
    std::optional<std::string> ReadText(std::string_view name) const override;
    std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const override;

    void WriteInteger(std::string_view name, int32_t value) override;
    void WriteText(std::string_view name, std::string_view value) override;
    void WriteBinary(std::string_view name, std::span<const uint8_t> value) override;

    bool Flush() override { return true; }
    std::string Location() const override { return "memory"; }

    bool Contains(std::string_view name) const;
    // Every write, in order (a value written twice appears twice).
    const std::vector<std::string>& WriteLog() const { return writeLog_; }
    void ClearWriteLog() { writeLog_.clear(); }

  private:
    void Store(std::string_view name, Value value);

    std::map<std::string, Value, std::less<>> values_;
    std::vector<std::string> writeLog_;
};
