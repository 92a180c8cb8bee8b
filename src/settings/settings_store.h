// Every persisted application setting of section "DADOVIVA", held in memory with its default,
// and its loading at start-up and saving at exit. Dialogs and commands change the fields
// directly; nothing is written before SaveSettings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "device/analyzer_ids.h"
#include "list/core/column_info.h"
#include "settings/graph_appearance.h"
#include "settings/layout_record.h"
#include "settings/log_font.h"
#include "settings/settings_backend.h"

// The count limits are fixed: whatever is stored, loading sets them to these values.
inline constexpr int32_t kRecordMaxPDPacketCount = 99999;
inline constexpr int32_t kRecordMaxVbusInfoCount = 9999999;
inline constexpr int32_t kCalibrationRatioOne = 1000000;  // millionths

struct SettingsStore {
    LayoutRecord layout;  // "ZoduzAppSettings"
    // No layout record was stored (a first run): the window chooses its size from the screen
    // and its rows and columns from its size instead of the record's defaults.
    bool firstRunLayout = false;
    std::string recordFileFolder;  // "" until loaded: then the default data folder
    std::string recordFileCaption = "PDCapture";
    bool launchDriverInstaller = true;
    int32_t recordMaxFileSizeMB = 100;  // units of 1 000 000 bytes
    int32_t recordVbusSamplingIntervalMS = 10;
    int32_t recordMaxPDPacketCount = kRecordMaxPDPacketCount;
    int32_t recordMaxVbusInfoCount = kRecordMaxVbusInfoCount;
    bool recordDoNotAskAgain = false;
    bool recordAppendTimestamp = false;
    bool recordMultiCaptureFile = false;
    bool recordCaptureFullStop = false;
    bool recordPDPacketAutoRemove = false;
    bool recordVbusInfoAutoRemove = false;
    bool graphShowPlots = false;
    bool graphShowPDPackets = true;
    bool graphAutoScroll = true;
    bool pdMessageAutoScroll = true;
    int32_t ctrlViewHeight = 0;  // 0: a quarter of the window height, at most 100
    bool vbusCurrDirCfgDoNotAskAgain = false;
    bool vbusCurrDirReverse = false;
    // "PDMessageTolerantDecode": packets the strict decoder rejects go through the tolerant pass.
    bool pdMessageTolerantDecode = false;
    // The Checks pane's severity filter (0 errors, 1 errors and warnings, 2 all) and whether the
    // Checks and Contracts panes are shown.
    int32_t checksSeverityFilter = 2;
    bool checksPaneShown = false;
    bool contractsPaneShown = false;
    // Calibration ratios, millionths. Read at start-up, never written by the application.
    int32_t calVbusVolRatio = kCalibrationRatioOne;
    int32_t calCC1VolRatio = kCalibrationRatioOne;
    int32_t calCC2VolRatio = kCalibrationRatioOne;
    int32_t calVbusCurrRatio = kCalibrationRatioOne;
    int32_t calCC1CurrRatio = kCalibrationRatioOne;
    int32_t calCC2CurrRatio = kCalibrationRatioOne;
    ColumnLayout columns = DefaultColumnLayout();  // "ColumnInfo0" ... "ColumnInfo37"
    LogFontRecord graphFont = DefaultGraphFont();  // "GraphFont"
    // "EnableGraphVoltage", "EnableGraphCurrent", "EnableGraphWattage": the graph takes them when
    // it is built and gives them back when it goes.
    GraphShownFlags graphShown;
    // The graph's colours, line widths and switches: read, never written.
    GraphAppearance graphAppearance = DefaultGraphAppearance();
    // "DeviceUsbIds": the vendor:product ids the device link looks for.
    std::string deviceUsbIds = UsbIdListText(DefaultAnalyzerIds());

    bool operator==(const SettingsStore&) const = default;
};

// One integer or bool value of the store, in the order of the settings table.
struct ScalarSetting {
    const char* name;
    std::variant<int32_t SettingsStore::*, bool SettingsStore::*> field;
    bool written;  // false for the calibration ratios
};
std::span<const ScalarSetting> ScalarSettings();
int32_t ScalarValue(const SettingsStore& store, const ScalarSetting& setting);

inline constexpr const char* kLayoutValueName = "ZoduzAppSettings";
inline constexpr const char* kRecordFileFolderName = "RecordFileFolder";
inline constexpr const char* kRecordFileCaptionName = "RecordFileCaption";
inline constexpr const char* kGraphFontName = "GraphFont";
inline constexpr const char* kDeviceUsbIdsName = "DeviceUsbIds";

// Reads every value in the load order; absent values and blocks of the wrong size or signature
// keep their defaults, bools become 0 or 1, the count limits are forced, an empty record folder
// becomes defaultDataFolder, and a caption that is empty or not a valid file name caption
// becomes "PDCapture". Touches nothing outside the store.
void ReadSettings(const SettingsBackend& backend, SettingsStore& store,
                  const std::string& defaultDataFolder);

// ReadSettings, then creates the default data folder when it was taken and does not exist.
// Returns false only when that folder was needed and could not be created.
bool LoadSettings(const SettingsBackend& backend, SettingsStore& store,
                  const std::string& defaultDataFolder);
// The application's start-up: the default data folder is the user's documents folder + "Zoduz".
bool LoadSettings(const SettingsBackend& backend, SettingsStore& store);

// Writes every value in the save order (the calibration ratios excepted) and flushes the
// backend; returns the flush result.
bool SaveSettings(SettingsBackend& backend, const SettingsStore& store);
