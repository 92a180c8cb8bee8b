#include "settings/memory_settings_backend.h"

namespace {

// A value of another kind reads as absent, like a registry value of another type.
template <typename T>
std::optional<T> Get(const std::map<std::string, MemorySettingsBackend::Value, std::less<>>& values,
                     std::string_view name) {
    auto found = values.find(name);
    if (found == values.end() || !std::holds_alternative<T>(found->second)) {
        return std::nullopt;
    }
    return std::get<T>(found->second);
}

}  // namespace

std::optional<int32_t> MemorySettingsBackend::ReadInteger(std::string_view name) const {
    return Get<int32_t>(values_, name);
}

std::optional<std::string> MemorySettingsBackend::ReadText(std::string_view name) const {
    return Get<std::string>(values_, name);
}

std::optional<std::vector<uint8_t>> MemorySettingsBackend::ReadBinary(std::string_view name) const {
    return Get<std::vector<uint8_t>>(values_, name);
}

void MemorySettingsBackend::WriteInteger(std::string_view name, int32_t value) {
    Store(name, value);
}

void MemorySettingsBackend::WriteText(std::string_view name, std::string_view value) {
    Store(name, std::string(value));
}

void MemorySettingsBackend::WriteBinary(std::string_view name, std::span<const uint8_t> value) {
    Store(name, std::vector<uint8_t>(value.begin(), value.end()));
}

bool MemorySettingsBackend::Contains(std::string_view name) const {
    return values_.find(name) != values_.end();
}

void MemorySettingsBackend::Store(std::string_view name, Value value) {
    values_.insert_or_assign(std::string(name), std::move(value));
    writeLog_.emplace_back(name);
}
