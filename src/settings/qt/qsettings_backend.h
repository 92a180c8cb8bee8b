// The application's settings storage: QSettings of organisation "Dazerav Inc.", application
// "Zoduz", group "DADOVIVA" (the registry key of the current user on Windows, the user's
// configuration folder elsewhere). Binary values are stored as byte arrays.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "settings/settings_backend.h"

inline constexpr const char* kSettingsOrganisation = "Dazerav Inc.";
inline constexpr const char* kSettingsApplication = "Zoduz";
inline constexpr const char* kSettingsSection = "DADOVIVA";

class QSettingsBackend final : public SettingsBackend {
  public:
    // The per-user store the application uses.
    QSettingsBackend();
    // A store in an INI file of the caller's choice (same section and value forms).
    explicit QSettingsBackend(const QString& iniFile);
    ~QSettingsBackend() override;

    std::optional<int32_t> ReadInteger(std::string_view name) const override;
    std::optional<std::string> ReadText(std::string_view name) const override;
    std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const override;

    void WriteInteger(std::string_view name, int32_t value) override;
    void WriteText(std::string_view name, std::string_view value) override;
    void WriteBinary(std::string_view name, std::span<const uint8_t> value) override;

    bool Flush() override;
    std::string Location() const override;

  private:
    std::unique_ptr<QSettings> settings_;
};
