#include "settings/settings_store.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "capture/record_naming.h"

namespace {

using S = SettingsStore;

// Order of the settings table: the load order of the integers and bools.
constexpr std::array<ScalarSetting, 28> kScalarSettings = {{
    {"LaunchDriverInstaller", &S::launchDriverInstaller, true},
    {"RecordMaxFileSizeMB", &S::recordMaxFileSizeMB, true},
    {"RecordVbusSamplingIntervalMS", &S::recordVbusSamplingIntervalMS, true},
    {"RecordMaxPDPacketCount", &S::recordMaxPDPacketCount, true},
    {"RecordMaxVbusInfoCount", &S::recordMaxVbusInfoCount, true},
    {"RecordDoNotAskAgain", &S::recordDoNotAskAgain, true},
    {"RecordAppendTimestamp", &S::recordAppendTimestamp, true},
    {"RecordMultiCaptureFile", &S::recordMultiCaptureFile, true},
    {"RecordCaptureFullStop", &S::recordCaptureFullStop, true},
    {"RecordPDPacketAutoRemove", &S::recordPDPacketAutoRemove, true},
    {"RecordVbusInfoAutoRemove", &S::recordVbusInfoAutoRemove, true},
    {"GraphShowPlots", &S::graphShowPlots, true},
    {"GraphShowPDPackets", &S::graphShowPDPackets, true},
    {"GraphAutoScroll", &S::graphAutoScroll, true},
    {"PDMessageAutoScroll", &S::pdMessageAutoScroll, true},
    {"CtrlViewHeight", &S::ctrlViewHeight, true},
    {"VbusCurrDirCfgDoNotAskAgain", &S::vbusCurrDirCfgDoNotAskAgain, true},
    {"VbusCurrDirReverse", &S::vbusCurrDirReverse, true},
    {"PDMessageTolerantDecode", &S::pdMessageTolerantDecode, true},
    {"ChecksSeverityFilter", &S::checksSeverityFilter, true},
    {"ChecksPaneShown", &S::checksPaneShown, true},
    {"ContractsPaneShown", &S::contractsPaneShown, true},
    {"CalVbusVolRatio", &S::calVbusVolRatio, false},
    {"CalCC1VolRatio", &S::calCC1VolRatio, false},
    {"CalCC2VolRatio", &S::calCC2VolRatio, false},
    {"CalVbusCurrRatio", &S::calVbusCurrRatio, false},
    {"CalCC1CurrRatio", &S::calCC1CurrRatio, false},
    {"CalCC2CurrRatio", &S::calCC2CurrRatio, false},
}};

void SetScalar(SettingsStore& store, const ScalarSetting& setting, int32_t value) {
    if (const auto* integer = std::get_if<int32_t S::*>(&setting.field)) {
        store.** integer = value;
    } else {
        store.*std::get<bool S::*>(setting.field) = value != 0;
    }
}

}  // namespace

std::span<const ScalarSetting> ScalarSettings() {
    return kScalarSettings;
}

int32_t ScalarValue(const SettingsStore& store, const ScalarSetting& setting) {
    if (const auto* integer = std::get_if<int32_t S::*>(&setting.field)) {
        return store.**integer;
    }
    return store.*std::get<bool S::*>(setting.field) ? 1 : 0;
}

void ReadSettings(const SettingsBackend& backend, SettingsStore& store,
                  const std::string& defaultDataFolder) {
    store.layout = LayoutRecord{};
    store.firstRunLayout = true;
    if (auto block = backend.ReadBinary(kLayoutValueName)) {
        if (auto layout = LayoutRecordFromBlock(*block)) {
            store.layout = *layout;
            store.firstRunLayout = false;
        }
    }

    store.recordFileFolder = backend.ReadText(kRecordFileFolderName).value_or("");
    if (store.recordFileFolder.empty()) {
        store.recordFileFolder = defaultDataFolder;
    }
    // The caption becomes part of every record file path: one the Record File Settings dialog
    // would refuse (empty, too long, or with a path separator or another character that is
    // not allowed in a file name) would put record files elsewhere or fail to create them.
    store.recordFileCaption = backend.ReadText(kRecordFileCaptionName).value_or("");
    if (store.recordFileCaption.empty() || !IsValidCaption(store.recordFileCaption)) {
        store.recordFileCaption = SettingsStore{}.recordFileCaption;
    }

    const SettingsStore defaults;
    for (const ScalarSetting& setting : kScalarSettings) {
        SetScalar(store, setting,
                  backend.ReadInteger(setting.name).value_or(ScalarValue(defaults, setting)));
    }

    // The Record Settings dialog shows the limits read-only; a stored value never applies.
    store.recordMaxPDPacketCount = kRecordMaxPDPacketCount;
    store.recordMaxVbusInfoCount = kRecordMaxVbusInfoCount;

    for (int column = 0; column < kPacketColumnCount; ++column) {
        store.columns[column] = DefaultColumnInfo(column);
        if (auto block = backend.ReadBinary(ColumnInfoValueName(column))) {
            if (auto info = ColumnInfoFromBlock(*block)) {
                store.columns[column] = *info;
            }
        }
    }

    store.graphFont = DefaultGraphFont();
    if (auto block = backend.ReadBinary(kGraphFontName)) {
        if (auto font = LogFontFromBlock(*block)) {
            store.graphFont = *font;
        }
    }

    store.graphShown = ReadGraphShownFlags(backend);
    store.graphAppearance = ReadGraphAppearance(backend);

    // A list the link could not read would find no analyzer at all.
    store.deviceUsbIds = backend.ReadText(kDeviceUsbIdsName).value_or("");
    if (!ParseUsbIdList(store.deviceUsbIds)) {
        store.deviceUsbIds = SettingsStore{}.deviceUsbIds;
    }
}

bool LoadSettings(const SettingsBackend& backend, SettingsStore& store,
                  const std::string& defaultDataFolder) {
    ReadSettings(backend, store, defaultDataFolder);
    if (store.recordFileFolder != defaultDataFolder || defaultDataFolder.empty()) {
        return true;
    }
    std::error_code error;
    const std::filesystem::path folder(defaultDataFolder);
    if (std::filesystem::is_directory(folder, error)) {
        return true;
    }
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

bool LoadSettings(const SettingsBackend& backend, SettingsStore& store) {
    // The default folder is only looked up (which creates it) when no folder is stored.
    const bool folderStored = !backend.ReadText(kRecordFileFolderName).value_or("").empty();
    return LoadSettings(backend, store, folderStored ? std::string() : DefaultDataFolder());
}

bool SaveSettings(SettingsBackend& backend, const SettingsStore& store) {
    backend.WriteBinary(kLayoutValueName, LayoutRecordBlock(store.layout));
    // The save order puts "LaunchDriverInstaller" ahead of the two texts.
    const ScalarSetting& launchInstaller = kScalarSettings.front();
    backend.WriteInteger(launchInstaller.name, ScalarValue(store, launchInstaller));
    backend.WriteText(kRecordFileFolderName, store.recordFileFolder);
    backend.WriteText(kRecordFileCaptionName, store.recordFileCaption);
    for (const ScalarSetting& setting : std::span(kScalarSettings).subspan(1)) {
        if (setting.written) {
            backend.WriteInteger(setting.name, ScalarValue(store, setting));
        }
    }
    for (int column = 0; column < kPacketColumnCount; ++column) {
        backend.WriteBinary(ColumnInfoValueName(column), ColumnInfoBlock(store.columns[column]));
    }
    backend.WriteBinary(kGraphFontName, LogFontBlock(store.graphFont));
    backend.WriteText(kDeviceUsbIdsName, store.deviceUsbIds);
    // The graph view's own values, handed over when the view went.
    WriteGraphShownFlags(backend, store.graphShown);
    return backend.Flush();
}
