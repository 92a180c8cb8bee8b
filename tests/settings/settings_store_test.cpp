// Loading and saving the application settings: defaults, size/signature checks, forced limits,
// calibration ratios that are never written, save order and round trip.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/temp_files.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

namespace {

const std::string kDataFolder = "/nonexistent/documents/Zoduz";

SettingsStore Loaded(const MemorySettingsBackend& backend) {
    SettingsStore store;
    ReadSettings(backend, store, kDataFolder);
    return store;
}

std::vector<uint8_t> ValidLayoutBlock() {
    LayoutRecord layout;
    layout.windowWidth = 1600;
    auto block = LayoutRecordBlock(layout);
    return {block.begin(), block.end()};
}

TEST(SettingsLoad, EmptyStoreGivesEveryDefaultOfTheTable) {
    MemorySettingsBackend backend;
    const SettingsStore store = Loaded(backend);

    EXPECT_EQ(store.layout.signature, 0x5555AAAAu);
    EXPECT_EQ(store.layout.version, 0x0100);
    EXPECT_EQ(store.layout.zero, 0);
    EXPECT_EQ(store.layout.windowWidth, 1200);
    EXPECT_EQ(store.layout.windowHeight, 700);
    EXPECT_EQ(store.layout.listRowHeight, 100);
    EXPECT_EQ(store.layout.fieldTableWidth, 100);
    EXPECT_EQ(store.layout.listFontStored, 0);
    EXPECT_EQ(store.layout.listFont, LogFontRecord{});

    EXPECT_EQ(store.recordFileFolder, kDataFolder);
    EXPECT_EQ(store.recordFileCaption, "PDCapture");
    EXPECT_TRUE(store.launchDriverInstaller);
    EXPECT_EQ(store.recordMaxFileSizeMB, 100);
    EXPECT_EQ(store.recordVbusSamplingIntervalMS, 10);
    EXPECT_EQ(store.recordMaxPDPacketCount, 99999);
    EXPECT_EQ(store.recordMaxVbusInfoCount, 9999999);
    EXPECT_FALSE(store.recordDoNotAskAgain);
    EXPECT_FALSE(store.recordAppendTimestamp);
    EXPECT_FALSE(store.recordMultiCaptureFile);
    EXPECT_FALSE(store.recordCaptureFullStop);
    EXPECT_FALSE(store.recordPDPacketAutoRemove);
    EXPECT_FALSE(store.recordVbusInfoAutoRemove);
    EXPECT_FALSE(store.graphShowPlots);
    EXPECT_TRUE(store.graphShowPDPackets);
    EXPECT_TRUE(store.graphAutoScroll);
    EXPECT_TRUE(store.pdMessageAutoScroll);
    EXPECT_EQ(store.ctrlViewHeight, 0);
    EXPECT_FALSE(store.vbusCurrDirCfgDoNotAskAgain);
    EXPECT_FALSE(store.vbusCurrDirReverse);
    for (int32_t ratio : {store.calVbusVolRatio, store.calCC1VolRatio, store.calCC2VolRatio,
                          store.calVbusCurrRatio, store.calCC1CurrRatio, store.calCC2CurrRatio}) {
        EXPECT_EQ(ratio, 1000000);
    }

    EXPECT_EQ(store.columns[0], (ColumnInfo{1, 50, 0}));
    EXPECT_EQ(store.columns[6], (ColumnInfo{1, 40, 10}));
    EXPECT_EQ(store.columns[16], (ColumnInfo{0, 60, 27}));
    EXPECT_EQ(store.columns[21], (ColumnInfo{1, 300, 24}));
    EXPECT_EQ(store.columns[31], (ColumnInfo{0, 70, 9}));
    EXPECT_EQ(store.columns[37], (ColumnInfo{0, 70, 37}));
    std::vector<bool> orderSeen(38, false);
    for (const ColumnInfo& info : store.columns) {
        ASSERT_GE(info.order, 0);
        ASSERT_LT(info.order, 38);
        orderSeen[info.order] = true;
    }
    EXPECT_EQ(std::count(orderSeen.begin(), orderSeen.end(), true), 38);

    EXPECT_EQ(store.graphFont.height, 16);
    EXPECT_EQ(store.graphFont.weight, 0);
    EXPECT_EQ(store.graphFont.charSet, 1);
    EXPECT_EQ(store.graphFont.quality, 1);
    EXPECT_EQ(LogFontFaceName(store.graphFont), "Arial");
}

TEST(SettingsLoad, FreshAccountCreatesTheDefaultDataFolder) {
    const TempDir scratch;
    const auto root = scratch.Path() / "home";
    const auto folder = root / "Documents" / "Zoduz";
    std::filesystem::remove_all(root);

    MemorySettingsBackend backend;
    SettingsStore store;
    EXPECT_TRUE(LoadSettings(backend, store, folder.string()));
    EXPECT_EQ(store.recordFileFolder, folder.string());
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A stored folder is taken as it is; the default folder is then not created.
    std::filesystem::remove_all(root);
    backend.WriteText("RecordFileFolder", (root / "elsewhere").string());
    EXPECT_TRUE(LoadSettings(backend, store, folder.string()));
    EXPECT_EQ(store.recordFileFolder, (root / "elsewhere").string());
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST(SettingsLoad, DocumentsFolderRuleOnlyWhenNoFolderIsStored) {
    const TempDir scratch;
    const auto documents = scratch.Path() / "Documents";
    ::setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);

    MemorySettingsBackend backend;
    backend.WriteText("RecordFileFolder", "/srv/captures");
    SettingsStore store;
    EXPECT_TRUE(LoadSettings(backend, store));
    EXPECT_EQ(store.recordFileFolder, "/srv/captures");
    EXPECT_FALSE(std::filesystem::exists(documents / "Zoduz"));

    backend.WriteText("RecordFileFolder", "");
    EXPECT_TRUE(LoadSettings(backend, store));
    EXPECT_EQ(std::filesystem::path(store.recordFileFolder), documents / "Zoduz");
    EXPECT_TRUE(std::filesystem::is_directory(documents / "Zoduz"));

    ::unsetenv("XDG_DOCUMENTS_DIR");
}

TEST(SettingsLoad, UncreatableDefaultFolderIsReported) {
    const TempDir scratch;
    const auto file = scratch.Path() / "not-a-folder";
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    MemorySettingsBackend backend;
    SettingsStore store;
    EXPECT_FALSE(LoadSettings(backend, store, (file / "Zoduz").string()));
    EXPECT_EQ(store.recordFileFolder, (file / "Zoduz").string());
}

TEST(SettingsLoad, OnlyAStoredLayoutRecordEndsTheFirstRunLayout) {
    MemorySettingsBackend backend;
    EXPECT_TRUE(Loaded(backend).firstRunLayout);
    std::vector<uint8_t> damaged = ValidLayoutBlock();
    damaged[0] ^= 0xFF;  // signature
    backend.WriteBinary("ZoduzAppSettings", damaged);
    EXPECT_TRUE(Loaded(backend).firstRunLayout);
    backend.WriteBinary("ZoduzAppSettings", ValidLayoutBlock());
    EXPECT_FALSE(Loaded(backend).firstRunLayout);
    // A window closed after a first run stores its layout: the next start restores it.
    SettingsStore firstRun = Loaded(MemorySettingsBackend());
    MemorySettingsBackend saved;
    SaveSettings(saved, firstRun);
    EXPECT_FALSE(Loaded(saved).firstRunLayout);
}

TEST(SettingsLoad, LayoutRecordNeedsExactSizeSignatureAndVersion) {
    MemorySettingsBackend backend;
    backend.WriteBinary("ZoduzAppSettings", ValidLayoutBlock());
    EXPECT_EQ(Loaded(backend).layout.windowWidth, 1600);

    std::vector<uint8_t> shortBlock = ValidLayoutBlock();
    shortBlock.resize(116);
    backend.WriteBinary("ZoduzAppSettings", shortBlock);
    EXPECT_EQ(Loaded(backend).layout, LayoutRecord{});

    std::vector<uint8_t> longBlock = ValidLayoutBlock();
    longBlock.push_back(0);
    backend.WriteBinary("ZoduzAppSettings", longBlock);
    EXPECT_EQ(Loaded(backend).layout, LayoutRecord{});

    std::vector<uint8_t> version0101 = ValidLayoutBlock();
    version0101[4] = 0x01;  // version low byte: 0x0101
    backend.WriteBinary("ZoduzAppSettings", version0101);
    EXPECT_EQ(Loaded(backend).layout, LayoutRecord{});

    std::vector<uint8_t> badSignature = ValidLayoutBlock();
    badSignature[0] = 0xAB;
    backend.WriteBinary("ZoduzAppSettings", badSignature);
    EXPECT_EQ(Loaded(backend).layout, LayoutRecord{});

    // A value of another kind is ignored as well.
    backend.WriteInteger("ZoduzAppSettings", 5);
    EXPECT_EQ(Loaded(backend).layout, LayoutRecord{});
}

TEST(SettingsLoad, CountLimitsAreForcedWhateverIsStored) {
    MemorySettingsBackend backend;
    backend.WriteInteger("RecordMaxPDPacketCount", 500);
    backend.WriteInteger("RecordMaxVbusInfoCount", 12);
    const SettingsStore store = Loaded(backend);
    EXPECT_EQ(store.recordMaxPDPacketCount, 99999);
    EXPECT_EQ(store.recordMaxVbusInfoCount, 9999999);
}

TEST(SettingsLoad, OutOfRangeNumbersAreTakenAsTheyAre) {
    MemorySettingsBackend backend;
    backend.WriteInteger("RecordMaxFileSizeMB", 0);
    backend.WriteInteger("CtrlViewHeight", -40);
    backend.WriteInteger("RecordVbusSamplingIntervalMS", 100000);
    const SettingsStore store = Loaded(backend);
    EXPECT_EQ(store.recordMaxFileSizeMB, 0);
    EXPECT_EQ(store.ctrlViewHeight, -40);
    EXPECT_EQ(store.recordVbusSamplingIntervalMS, 100000);
}

TEST(SettingsLoad, BoolsBecomeZeroOrOneAndWrongKindsTakeDefaults) {
    MemorySettingsBackend backend;
    backend.WriteInteger("GraphShowPlots", 7);
    backend.WriteInteger("GraphAutoScroll", 0);
    backend.WriteText("RecordMaxFileSizeMB", "250");  // text where an integer belongs
    backend.WriteBinary("RecordFileCaption", std::vector<uint8_t>{'a', 'b'});
    SettingsStore store = Loaded(backend);
    EXPECT_TRUE(store.graphShowPlots);
    EXPECT_FALSE(store.graphAutoScroll);
    EXPECT_EQ(store.recordMaxFileSizeMB, 100);
    EXPECT_EQ(store.recordFileCaption, "PDCapture");

    MemorySettingsBackend saved;
    SaveSettings(saved, store);
    EXPECT_EQ(saved.ReadInteger("GraphShowPlots"), 1);
}

TEST(SettingsLoad, CaptionThatCannotNameAFileTakesTheDefault) {
    MemorySettingsBackend backend;
    const std::string tooLong(65, 'c');
    for (const std::string& bad : {std::string(), std::string("../../etc/x"), std::string("a\\b"),
                                   std::string("run:1"), std::string("what?"), tooLong}) {
        backend.WriteText("RecordFileCaption", bad);
        EXPECT_EQ(Loaded(backend).recordFileCaption, "PDCapture") << bad;
    }
    const std::string longest(64, 'c');
    for (const std::string& good : {std::string("Bench run 2"), std::string("x.y"), longest}) {
        backend.WriteText("RecordFileCaption", good);
        EXPECT_EQ(Loaded(backend).recordFileCaption, good);
    }
}

TEST(SettingsLoad, CalibrationRatioSurvivesRunsUnwritten) {
    MemorySettingsBackend backend;
    backend.WriteInteger("CalVbusVolRatio", 1010000);
    backend.WriteInteger("CalCC2CurrRatio", 990000);
    for (int run = 0; run < 3; ++run) {
        SettingsStore store;
        ReadSettings(backend, store, kDataFolder);
        EXPECT_EQ(store.calVbusVolRatio, 1010000);
        EXPECT_EQ(store.calCC2CurrRatio, 990000);
        EXPECT_EQ(store.calCC1VolRatio, 1000000);
        // Even a changed in-memory ratio is not written.
        store.calVbusVolRatio = 1;
        backend.ClearWriteLog();
        ASSERT_TRUE(SaveSettings(backend, store));
        for (const std::string& name : backend.WriteLog()) {
            EXPECT_NE(name.rfind("Cal", 0), 0u) << name;
        }
        EXPECT_EQ(backend.ReadInteger("CalVbusVolRatio"), 1010000);
        EXPECT_FALSE(backend.Contains("CalCC1VolRatio"));
    }
}

TEST(SettingsLoad, GraphFontNeedsExactly92Bytes) {
    MemorySettingsBackend backend;
    LogFontRecord font = DefaultGraphFont();
    font.height = -20;
    font.weight = 700;
    SetLogFontFaceName(font, "Courier New");
    const auto block = LogFontBlock(font);
    backend.WriteBinary("GraphFont", block);
    EXPECT_EQ(Loaded(backend).graphFont, font);

    backend.WriteBinary("GraphFont", std::span(block).first(60));
    const LogFontRecord loaded = Loaded(backend).graphFont;
    EXPECT_EQ(loaded, DefaultGraphFont());
    EXPECT_EQ(LogFontFaceName(loaded), "Arial");
    EXPECT_EQ(loaded.height, 16);
}

TEST(SettingsLoad, DeviceUsbIdsMustBeAReadableList) {
    MemorySettingsBackend backend;
    EXPECT_EQ(Loaded(backend).deviceUsbIds, "1209:000d");
    backend.WriteText("DeviceUsbIds", "1D50:6150,1209:000d");
    EXPECT_EQ(Loaded(backend).deviceUsbIds, "1D50:6150,1209:000d");
    for (const char* bad : {"", "1d50", "1d50:6150,", "usb"}) {
        backend.WriteText("DeviceUsbIds", bad);
        EXPECT_EQ(Loaded(backend).deviceUsbIds, "1209:000d") << bad;
    }
}

TEST(SettingsLoad, ColumnInfoNeedsExactly12Bytes) {
    MemorySettingsBackend backend;
    const std::vector<uint8_t> eightBytes = {1, 0, 0, 0, 99, 0, 0, 0};
    backend.WriteBinary("ColumnInfo5", eightBytes);
    // A stored record is taken unchanged, even with odd values.
    const auto block = ColumnInfoBlock({3, -1, 200});
    backend.WriteBinary("ColumnInfo6", block);
    const SettingsStore store = Loaded(backend);
    EXPECT_EQ(store.columns[5], (ColumnInfo{0, 70, 5}));
    EXPECT_EQ(store.columns[6], (ColumnInfo{3, -1, 200}));
    EXPECT_EQ(store.columns[7], (ColumnInfo{1, 80, 11}));
}

SettingsStore EveryValueChanged() {
    SettingsStore store;
    store.layout.windowWidth = 1920;
    store.layout.windowHeight = 1080;
    store.layout.listRowHeight = 333;
    store.layout.fieldTableWidth = 444;
    store.layout.listFontStored = 1;
    store.layout.listFont.height = -13;
    SetLogFontFaceName(store.layout.listFont, "Consolas");
    store.recordFileFolder = "/data/captures/ü";
    store.recordFileCaption = "Bench, run 2";
    store.launchDriverInstaller = false;
    store.recordMaxFileSizeMB = 9999;
    store.recordVbusSamplingIntervalMS = 1;
    store.recordDoNotAskAgain = true;
    store.recordAppendTimestamp = true;
    store.recordMultiCaptureFile = true;
    store.recordCaptureFullStop = true;
    store.recordPDPacketAutoRemove = true;
    store.recordVbusInfoAutoRemove = true;
    store.graphShowPlots = true;
    store.graphShowPDPackets = false;
    store.graphAutoScroll = false;
    store.pdMessageAutoScroll = false;
    store.ctrlViewHeight = 90;
    store.vbusCurrDirCfgDoNotAskAgain = true;
    store.vbusCurrDirReverse = true;
    for (int column = 0; column < kPacketColumnCount; ++column) {
        store.columns[column] = {column % 2, 10 + column, 37 - column};
    }
    store.graphFont.height = -24;
    store.graphFont.italic = 1;
    SetLogFontFaceName(store.graphFont, "DejaVu Sans");
    store.deviceUsbIds = "1209:000d,1d50:6150";
    return store;
}

TEST(SettingsSave, SaveThenLoadRoundTripsEveryValue) {
    const SettingsStore original = EveryValueChanged();
    MemorySettingsBackend backend;
    ASSERT_TRUE(SaveSettings(backend, original));
    EXPECT_EQ(Loaded(backend), original);
}

TEST(SettingsSave, WritesInTheDocumentedOrder) {
    MemorySettingsBackend backend;
    SaveSettings(backend, SettingsStore{});
    std::vector<std::string> expected = {"ZoduzAppSettings",         "LaunchDriverInstaller",
                                         "RecordFileFolder",         "RecordFileCaption",
                                         "RecordMaxFileSizeMB",      "RecordVbusSamplingIntervalMS",
                                         "RecordMaxPDPacketCount",   "RecordMaxVbusInfoCount",
                                         "RecordDoNotAskAgain",      "RecordAppendTimestamp",
                                         "RecordMultiCaptureFile",   "RecordCaptureFullStop",
                                         "RecordPDPacketAutoRemove", "RecordVbusInfoAutoRemove",
                                         "GraphShowPlots",           "GraphShowPDPackets",
                                         "GraphAutoScroll",          "PDMessageAutoScroll",
                                         "CtrlViewHeight",           "VbusCurrDirCfgDoNotAskAgain",
                                         "VbusCurrDirReverse",       "PDMessageTolerantDecode",
                                         "ChecksSeverityFilter",     "ChecksPaneShown",
                                         "ContractsPaneShown"};
    for (int column = 0; column < 38; ++column) {
        expected.push_back("ColumnInfo" + std::to_string(column));
    }
    expected.push_back("GraphFont");
    expected.push_back("DeviceUsbIds");
    // The graph's shown flags, which the graph view gives back when it goes.
    for (const char* name : {"EnableGraphVoltage", "EnableGraphCurrent", "EnableGraphWattage"}) {
        expected.push_back(name);
    }
    EXPECT_EQ(backend.WriteLog(), expected);
    EXPECT_EQ(backend.ReadBinary("ZoduzAppSettings")->size(), 120u);
    EXPECT_EQ(backend.ReadBinary("ColumnInfo37")->size(), 12u);
    EXPECT_EQ(backend.ReadBinary("GraphFont")->size(), 92u);
    EXPECT_EQ(backend.ReadInteger("RecordMaxPDPacketCount"), 99999);
}

}  // namespace
