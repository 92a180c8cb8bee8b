// The QSettings storage against a temporary settings location (never the user's own settings),
// and the stored-font <-> QFont conversions.
#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "settings/graph_appearance.h"
#include "settings/qt/log_font_qfont.h"
#include "settings/qt/qsettings_backend.h"
#include "settings/settings_store.h"

namespace {

class QSettingsBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, dir_.path());
        }
    }

    // Direct access to the same file, for placing values from outside the application.
    std::unique_ptr<QSettings> Raw() const {
        auto raw = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               "Dazerav Inc.", "Zoduz");
        raw->beginGroup("DADOVIVA");
        return raw;
    }

    QTemporaryDir dir_;
};

TEST_F(QSettingsBackendTest, LivesUnderTheTemporaryLocation) {
    QSettingsBackend backend;
    EXPECT_EQ(backend.Location().rfind(dir_.path().toStdString(), 0), 0u) << backend.Location();
    EXPECT_NE(backend.Location().find("Dazerav Inc."), std::string::npos);
    EXPECT_NE(backend.Location().find("[DADOVIVA]"), std::string::npos);
}

TEST_F(QSettingsBackendTest, SaveThenLoadRoundTripsEveryValue) {
    SettingsStore original;
    original.layout.windowWidth = 1400;
    original.layout.listFontStored = 1;
    original.layout.listFont.height = -11;
    SetLogFontFaceName(original.layout.listFont, "Segoe UI");
    original.recordFileFolder = dir_.path().toStdString() + "/récords, 2";
    original.recordFileCaption = "Lab;run=3";
    original.launchDriverInstaller = false;
    original.recordMaxFileSizeMB = 1;
    original.recordMultiCaptureFile = true;
    original.graphAutoScroll = false;
    original.ctrlViewHeight = 77;
    original.vbusCurrDirReverse = true;
    original.columns[5] = {1, 71, 3};
    original.columns[37] = {1, 0, 0};
    original.graphFont.height = -18;
    original.graphFont.weight = 700;
    {
        QSettingsBackend backend;
        ASSERT_TRUE(SaveSettings(backend, original));
    }
    EXPECT_TRUE(QFile::exists(dir_.path() + "/Dazerav Inc./Zoduz.conf"));

    QSettingsBackend reopened;
    SettingsStore loaded;
    ASSERT_TRUE(LoadSettings(reopened, loaded, "unused"));
    EXPECT_EQ(loaded, original);

    // Binary values are byte arrays of the record sizes.
    auto raw = Raw();
    EXPECT_EQ(raw->value("ZoduzAppSettings").typeId(), QMetaType::QByteArray);
    EXPECT_EQ(raw->value("ZoduzAppSettings").toByteArray().size(), 120);
    EXPECT_EQ(raw->value("ColumnInfo5").toByteArray().size(), 12);
    EXPECT_EQ(raw->value("GraphFont").toByteArray().size(), 92);
    EXPECT_EQ(raw->value("RecordMaxFileSizeMB").toInt(), 1);
}

TEST_F(QSettingsBackendTest, OutsideValuesSurviveAndOddFormsReadSoundly) {
    {
        auto raw = Raw();
        raw->setValue("CalVbusVolRatio", 1010000);
        raw->setValue("RecordMaxPDPacketCount", 500);
        raw->setValue("GraphShowPlots", "true");  // a hand-edited file
        raw->setValue("RecordMaxFileSizeMB", " 250 ");
        raw->setValue("CtrlViewHeight", "12abc");  // not a number: default
        raw->setValue("ColumnInfo5", QByteArray(8, '\1'));
        raw->setValue("GraphFont", QByteArray(60, '\0'));
        raw->setValue("ColorVBusCurr", 65280);
        raw->setValue("EnableGraphWattage", 0);
        raw->setValue("ColorCursor", "4294967295");  // unsigned 32-bit form of -1
    }
    QSettingsBackend backend;
    SettingsStore store;
    ReadSettings(backend, store, "/docs/Zoduz");
    EXPECT_EQ(store.calVbusVolRatio, 1010000);
    EXPECT_EQ(store.recordMaxPDPacketCount, 99999);
    EXPECT_TRUE(store.graphShowPlots);
    EXPECT_EQ(store.recordMaxFileSizeMB, 250);
    EXPECT_EQ(store.ctrlViewHeight, 0);
    EXPECT_EQ(store.columns[5], DefaultColumnInfo(5));
    EXPECT_EQ(store.graphFont, DefaultGraphFont());
    EXPECT_EQ(ReadGraphAppearance(backend).Colour(GraphColour::VBusCurr), (RgbColour{0, 255, 0}));
    EXPECT_EQ(ReadGraphAppearance(backend).StoredColour(GraphColour::Cursor), -1);
    EXPECT_FALSE(ReadGraphShownFlags(backend).wattage);

    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(SaveSettings(backend, store));
        ReadSettings(backend, store, "/docs/Zoduz");
    }
    auto raw = Raw();
    EXPECT_EQ(raw->value("CalVbusVolRatio").toInt(), 1010000);
    EXPECT_FALSE(raw->contains("CalCC1VolRatio"));
    EXPECT_EQ(raw->value("RecordMaxPDPacketCount").toInt(), 99999);
}

TEST_F(QSettingsBackendTest, ExplicitIniFileUsesTheSameSection) {
    const QString file = dir_.path() + "/other.ini";
    {
        QSettingsBackend backend(file);
        backend.WriteInteger("GraphAutoScroll", 0);
        backend.WriteText("RecordFileCaption", "x");
        ASSERT_TRUE(backend.Flush());
    }
    QSettings raw(file, QSettings::IniFormat);
    EXPECT_EQ(raw.value("DADOVIVA/GraphAutoScroll").toInt(), 0);
    EXPECT_EQ(raw.value("DADOVIVA/RecordFileCaption").toString(), "x");
    QSettingsBackend reopened(file);
    EXPECT_EQ(reopened.ReadText("RecordFileCaption"), "x");
    EXPECT_EQ(reopened.ReadBinary("RecordFileCaption"), std::nullopt);
    EXPECT_EQ(reopened.ReadInteger("Missing"), std::nullopt);
}

TEST(LogFontQFont, DefaultGraphFontIsSixteenPixelArial) {
    const QFont font = FontFromLogFont(DefaultGraphFont());
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic());
}

TEST(LogFontQFont, ChosenFontRoundTripsThroughTheRecord) {
    QFont chosen("DejaVu Sans Mono");
    chosen.setPixelSize(21);
    chosen.setWeight(QFont::Bold);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setFixedPitch(true);
    chosen.setStyleHint(QFont::Monospace);
    const LogFontRecord record = LogFontFromFont(chosen);
    EXPECT_EQ(record.height, -21);
    EXPECT_EQ(record.weight, 700);
    EXPECT_EQ(record.italic, 1);
    EXPECT_EQ(record.underline, 1);
    EXPECT_EQ(record.strikeOut, 0);
    EXPECT_EQ(record.pitchAndFamily, 0x31);
    EXPECT_EQ(LogFontFaceName(record), "DejaVu Sans Mono");

    const QFont back = FontFromLogFont(*LogFontFromBlock(LogFontBlock(record)));
    EXPECT_EQ(back.family(), chosen.family());
    EXPECT_EQ(back.pixelSize(), 21);
    EXPECT_EQ(back.weight(), QFont::Bold);
    EXPECT_TRUE(back.italic());
    EXPECT_TRUE(back.underline());
    EXPECT_TRUE(back.fixedPitch());
}

TEST(LogFontQFont, PointSizedFontsAndExtremeRecords) {
    QFont pointSized("Arial");
    pointSized.setPointSizeF(12);
    EXPECT_EQ(LogFontFromFont(pointSized).height, -16);  // 12 pt at 96 dpi

    LogFontRecord extreme;
    extreme.height = std::numeric_limits<int32_t>::min();
    extreme.weight = 5000;
    const QFont font = FontFromLogFont(extreme);
    EXPECT_GT(font.pixelSize(), 0);
    EXPECT_LE(font.pixelSize(), 96);
    EXPECT_EQ(font.weight(), 1000);
    // A stored height of 2^31 - 1 (or 2^31 read back) is a font of at most 96 pixels, which
    // leaves room for the list header and the graph; ordinary sizes stay as they are.
    extreme.height = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(FontFromLogFont(extreme).pixelSize(), 96);
    extreme.height = -40;
    EXPECT_EQ(FontFromLogFont(extreme).pixelSize(), 40);
}

}  // namespace
