// The rules of the Record File Settings and Record Settings dialogs, without widgets.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/record_file_form.h"
#include "settings/record_settings_form.h"
#include "temp_files.h"
#include "test_times.h"

TEST(RecordFileForm, CaptionEditsWithA65thCharacterOrAForbiddenOneAreUndone) {
    RecordFileForm form;
    std::string sixtyFour(64, 'a');
    EXPECT_TRUE(form.EditCaption(sixtyFour));
    EXPECT_FALSE(form.EditCaption(sixtyFour + "b"));
    EXPECT_EQ(form.caption, sixtyFour);
    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_FALSE(form.EditCaption(std::string("Cap") + c + "ture")) << c;
        EXPECT_EQ(form.caption, sixtyFour);
    }
    EXPECT_TRUE(form.EditCaption("Bench run 2"));
    EXPECT_TRUE(form.EditCaption(""));  // empty is refused only on OK
}

TEST(RecordFileForm, DisplayedNameFollowsTimestampAndMultiFile) {
    RecordFileForm form;
    EXPECT_EQ(form.DisplayedFileName(), "PDCapture.zaz");
    form.multiFile = true;
    EXPECT_EQ(form.DisplayedFileName(), "PDCapture_0001.zaz");
    std::tm local = October5th();
    form.ClickAppendTimestamp(true, std::mktime(&local));
    form.multiFile = false;
    EXPECT_EQ(form.DisplayedFileName(), "PDCapture_20231005-142233.zaz");
    form.Open(std::mktime(&local) + 61);
    EXPECT_EQ(form.BaseName(), "PDCapture_20231005-142334");
}

TEST(RecordFileForm, LoadDefaultsResetsEveryValue) {
    RecordFileForm form;
    form.caption = "x";
    form.appendTimestamp = form.multiFile = form.doNotAskAgain = true;
    form.maxFileSizeText = "5";
    form.folder = "/elsewhere";
    form.LoadDefaults("/home/u/Documents/Zoduz");
    EXPECT_EQ(form.caption, "PDCapture");
    EXPECT_FALSE(form.appendTimestamp || form.multiFile || form.doNotAskAgain);
    EXPECT_EQ(form.maxFileSizeText, "100");
    EXPECT_EQ(form.folder, "/home/u/Documents/Zoduz");
}

TEST(RecordFileForm, OkChecksSizeThenCaptionThenFolderBeforeStoring) {
    TempDir dir;
    SettingsStore settings;
    RecordFileForm form = RecordFileForm::FromSettings(settings);
    form.folder = dir.Path().string();
    for (const char* bad : {"0", "10000", "-1", "12a", "", "1.5"}) {
        form.maxFileSizeText = bad;
        EXPECT_EQ(form.Accept(settings), "Enter an integer between 1 and 9999.") << bad;
    }
    form.maxFileSizeText = "9999";
    form.caption = "";
    EXPECT_EQ(form.Accept(settings), "Enter Filename.");
    form.caption = "Run";
    form.folder = dir.File("not-there");
    EXPECT_EQ(form.Accept(settings),
              "This Record File Folder is not a writable folder. Please change it to another "
              "folder.");
    form.folder = "";
    EXPECT_EQ(form.Accept(settings),
              "This Record File Folder is not a writable folder. Please change it to another "
              "folder.");
    EXPECT_EQ(settings, SettingsStore());  // nothing stored yet

    form.folder = dir.Path().string();
    form.multiFile = form.appendTimestamp = form.doNotAskAgain = true;
    EXPECT_EQ(form.Accept(settings), std::nullopt);
    EXPECT_EQ(settings.recordFileCaption, "Run");
    EXPECT_EQ(settings.recordMaxFileSizeMB, 9999);
    EXPECT_EQ(settings.recordFileFolder, dir.Path().string());
    EXPECT_TRUE(settings.recordMultiCaptureFile && settings.recordAppendTimestamp &&
                settings.recordDoNotAskAgain);
    // The writability test leaves nothing behind.
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(RecordSettingsForm, IntervalListAndTheEntryItOpensAt) {
    ASSERT_EQ(kSamplingIntervalsMs.size(), 13u);
    EXPECT_EQ(SamplingIntervalText(0), "1ms");
    EXPECT_EQ(SamplingIntervalText(12), "1000ms");
    EXPECT_EQ(SamplingIntervalEntry(-5), 0u);
    EXPECT_EQ(SamplingIntervalEntry(1), 0u);
    EXPECT_EQ(SamplingIntervalEntry(4), 3u);  // 5ms
    EXPECT_EQ(SamplingIntervalEntry(10), 4u);
    EXPECT_EQ(SamplingIntervalEntry(500), 11u);
    EXPECT_EQ(SamplingIntervalEntry(501), 12u);
    EXPECT_EQ(SamplingIntervalEntry(100000), 12u);
}

TEST(RecordSettingsForm, HiddenSwitchesAreCarriedThroughAndDefaultsReset) {
    SettingsStore settings;
    settings.recordCaptureFullStop = true;
    settings.recordVbusInfoAutoRemove = true;
    settings.recordVbusSamplingIntervalMS = 7;
    RecordSettingsForm form = RecordSettingsForm::FromSettings(settings);
    EXPECT_EQ(form.intervalEntry, 4);  // 10ms
    form.intervalEntry = 0;
    EXPECT_EQ(form.Accept(settings), std::nullopt);
    EXPECT_TRUE(settings.recordCaptureFullStop);
    EXPECT_TRUE(settings.recordVbusInfoAutoRemove);
    EXPECT_FALSE(settings.recordPDPacketAutoRemove);
    EXPECT_EQ(settings.recordVbusSamplingIntervalMS, 1);

    form.LoadDefaults();
    EXPECT_EQ(form.maxPacketCount, 99999);
    EXPECT_EQ(form.maxVbusCount, 9999999);
    EXPECT_FALSE(form.captureFullStop || form.packetAutoRemove || form.vbusAutoRemove);
    EXPECT_EQ(form.IntervalMs(), 10);
    form.intervalEntry = -1;
    EXPECT_EQ(form.Accept(settings), std::nullopt);
    EXPECT_EQ(settings.recordVbusSamplingIntervalMS, 0);  // an unknown entry stores 0
}

TEST(RecordSettingsForm, PacketLimitIsCheckedOnOk) {
    SettingsStore settings;
    RecordSettingsForm form;
    form.maxPacketCount = 99;
    EXPECT_EQ(form.Accept(settings), "Enter an integer between 100 and 100000.");
    form.maxPacketCount = 100001;
    EXPECT_EQ(form.Accept(settings), "Enter an integer between 100 and 100000.");
    form.maxPacketCount = 100000;
    EXPECT_EQ(form.Accept(settings), std::nullopt);
    EXPECT_EQ(settings.recordMaxPDPacketCount, 100000);
}
