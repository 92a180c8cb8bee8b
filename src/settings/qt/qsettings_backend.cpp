#include "settings/qt/qsettings_backend.h"

#include <QByteArray>
#include <QStringList>
#include <QVariant>
#include <limits>

namespace {

QString Key(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool IsByteArray(const QVariant& value) {
    return value.typeId() == QMetaType::QByteArray;
}

}  // namespace

QSettingsBackend::QSettingsBackend()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QString::fromUtf8(kSettingsOrganisation),
                                            QString::fromUtf8(kSettingsApplication))) {
    settings_->beginGroup(QString::fromUtf8(kSettingsSection));
}

QSettingsBackend::QSettingsBackend(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {
    settings_->beginGroup(QString::fromUtf8(kSettingsSection));
}

QSettingsBackend::~QSettingsBackend() = default;

// Integers are 32-bit values; text forms (INI files keep every value as text) are converted.
// An unsigned 32-bit value reads with the same bits, as a registry DWORD would; anything else
// that is not a whole number in range reads as absent.
std::optional<int32_t> QSettingsBackend::ReadInteger(std::string_view name) const {
    const QVariant value = settings_->value(Key(name));
    if (!value.isValid() || IsByteArray(value)) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool() ? 1 : 0;
    }
    const QString text = value.toString().trimmed();
    if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) {
        return 1;
    }
    if (text.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) {
        return 0;
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok, 10);
    if (!ok || number < std::numeric_limits<int32_t>::min() ||
        number > static_cast<qlonglong>(std::numeric_limits<uint32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(number));
}

std::optional<std::string> QSettingsBackend::ReadText(std::string_view name) const {
    const QVariant value = settings_->value(Key(name));
    if (!value.isValid() || IsByteArray(value)) {
        return std::nullopt;
    }
    // An INI value with an unquoted comma comes back as a list; its text is the joined list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    if (!value.canConvert<QString>()) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

std::optional<std::vector<uint8_t>> QSettingsBackend::ReadBinary(std::string_view name) const {
    const QVariant value = settings_->value(Key(name));
    if (!IsByteArray(value)) {
        return std::nullopt;
    }
    const QByteArray bytes = value.toByteArray();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void QSettingsBackend::WriteInteger(std::string_view name, int32_t value) {
    settings_->setValue(Key(name), value);
}

void QSettingsBackend::WriteText(std::string_view name, std::string_view value) {
    settings_->setValue(Key(name),
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void QSettingsBackend::WriteBinary(std::string_view name, std::span<const uint8_t> value) {
    settings_->setValue(Key(name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                              static_cast<qsizetype>(value.size())));
}

bool QSettingsBackend::Flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

std::string QSettingsBackend::Location() const {
    return (settings_->fileName() + QStringLiteral(" [") + QString::fromUtf8(kSettingsSection) +
            QStringLiteral("]"))
        .toStdString();
}
