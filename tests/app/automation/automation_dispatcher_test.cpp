// Remote control rules without any transport: what reaches the main window, and what is
// refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/automation/automation_dispatcher.h"

namespace {

// Remembers every call and behaves like capture control: start records only with a name.
class RecordingTarget : public AutomationTarget {
  public:
    void SetRecordFileName(const std::string& value) override {
        calls.push_back("name:" + value);
        name = value;
    }
    bool SetRecordFolder(const std::string& value) override {
        calls.push_back("folder:" + value);
        if (value == "/read-only") {
            return false;
        }
        folder = value;
        return true;
    }
    bool HasRecordFileName() const override { return !name.empty(); }
    bool Start() override {
        calls.push_back("start");
        return canRun;
    }
    void Stop() override {
        calls.push_back("stop");
        name.clear();
        folder.clear();
    }
    bool Export() override {
        calls.push_back("export");
        return canExport;
    }

    std::vector<std::string> calls;
    std::string name;
    std::string folder;
    bool canRun = true;
    bool canExport = true;
};

class AutomationDispatcherTest : public testing::Test {
  protected:
    AutomationOutcome Send(AutomationRequestKind kind, const std::string& text = {}) {
        return dispatcher_.Dispatch({kind, text});
    }

    RecordingTarget target_;
    AutomationDispatcher dispatcher_{target_};
};

TEST_F(AutomationDispatcherTest, NameAndFolderReachTheWindowAndStartRuns) {
    EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFileName, "bench.zaz"),
              AutomationOutcome::kDone);
    EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFolder, "/data/captures"),
              AutomationOutcome::kDone);
    EXPECT_EQ(Send(AutomationRequestKind::kStart), AutomationOutcome::kDone);
    EXPECT_EQ(target_.calls,
              (std::vector<std::string>{"name:bench.zaz", "folder:/data/captures", "start"}));
}

TEST_F(AutomationDispatcherTest, StartWithoutARecordFileNameDoesNothing) {
    EXPECT_EQ(Send(AutomationRequestKind::kStart), AutomationOutcome::kNoRecordFileName);
    EXPECT_TRUE(target_.calls.empty());
    // A folder alone is not enough either.
    Send(AutomationRequestKind::kSetRecordFolder, "/data");
    EXPECT_EQ(Send(AutomationRequestKind::kStart), AutomationOutcome::kNoRecordFileName);
    EXPECT_EQ(target_.calls, (std::vector<std::string>{"folder:/data"}));
}

TEST_F(AutomationDispatcherTest, StopForgetsNameAndFolderSoTheNextStartDoesNothing) {
    Send(AutomationRequestKind::kSetRecordFileName, "run1");
    Send(AutomationRequestKind::kSetRecordFolder, "/data");
    EXPECT_EQ(Send(AutomationRequestKind::kStop), AutomationOutcome::kDone);
    EXPECT_TRUE(target_.name.empty());
    EXPECT_TRUE(target_.folder.empty());
    EXPECT_EQ(Send(AutomationRequestKind::kStart), AutomationOutcome::kNoRecordFileName);
}

TEST_F(AutomationDispatcherTest, StartThatRecordsNothingIsReported) {
    target_.canRun = false;
    Send(AutomationRequestKind::kSetRecordFileName, "run1");
    EXPECT_EQ(Send(AutomationRequestKind::kStart), AutomationOutcome::kNotStarted);
}

TEST_F(AutomationDispatcherTest, ExportIsReportedWhenTheWindowCannotExport) {
    EXPECT_EQ(Send(AutomationRequestKind::kExport), AutomationOutcome::kDone);
    target_.canExport = false;
    EXPECT_EQ(Send(AutomationRequestKind::kExport), AutomationOutcome::kExportUnavailable);
    EXPECT_EQ(target_.calls, (std::vector<std::string>{"export", "export"}));
}

TEST_F(AutomationDispatcherTest, NamesThatWouldLeaveTheFolderAreRefused) {
    for (const std::string& name : std::vector<std::string>{
             "../escape.zaz", "sub/run.zaz", "/etc/passwd", "a\\b.zaz", ".", "..", ".zaz",
             std::string("tab\there"), std::string("nul\0x", 5)}) {
        EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFileName, name),
                  AutomationOutcome::kInvalidName)
            << name;
    }
    EXPECT_TRUE(target_.calls.empty());
}

TEST_F(AutomationDispatcherTest, AnEmptyNameOrFolderForgetsIt) {
    Send(AutomationRequestKind::kSetRecordFileName, "run1");
    EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFileName, ""), AutomationOutcome::kDone);
    EXPECT_FALSE(target_.HasRecordFileName());
    EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFolder, ""), AutomationOutcome::kDone);
    EXPECT_EQ(target_.calls, (std::vector<std::string>{"name:run1", "name:", "folder:"}));
}

TEST_F(AutomationDispatcherTest, AFolderTheWindowCannotUseIsRefused) {
    EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFolder, "/read-only"),
              AutomationOutcome::kInvalidFolder);
    EXPECT_EQ(Send(AutomationRequestKind::kSetRecordFolder, "/data\nx"),
              AutomationOutcome::kInvalidFolder);
    EXPECT_TRUE(target_.folder.empty());
}

TEST(RemoteRecordFileName, LengthCountsTheExtensionItGets) {
    EXPECT_TRUE(IsValidRemoteRecordFileName(std::string(246, 'a')));  // + ".zaz" = 250
    EXPECT_FALSE(IsValidRemoteRecordFileName(std::string(247, 'a')));
    EXPECT_TRUE(IsValidRemoteRecordFileName(std::string(246, 'a') + ".zaz"));
    EXPECT_TRUE(IsValidRemoteRecordFileName("Messung 7 – Ladegerät.zaz"));
}

// Names that would give a file nobody finds again: blanks, or "x.ZAZ" becoming "x.ZAZ.zaz".
TEST(RemoteRecordFileName, BlankNamesAndOtherCaseExtensionsAreRefused) {
    for (const char* name : {" ", "   ", " lead", "trail ", "x.ZAZ", "x.Zaz", ".ZAZ"}) {
        EXPECT_FALSE(IsValidRemoteRecordFileName(name)) << "'" << name << "'";
    }
    for (const char* name : {"in between.zaz", "x.zip", "ZAZ", "x.zaz"}) {
        EXPECT_TRUE(IsValidRemoteRecordFileName(name)) << "'" << name << "'";
    }
}

TEST(AutomationOutcomeTexts, EveryRefusalHasANameAndAText) {
    for (AutomationOutcome outcome :
         {AutomationOutcome::kInvalidName, AutomationOutcome::kInvalidFolder,
          AutomationOutcome::kNoRecordFileName, AutomationOutcome::kNotStarted,
          AutomationOutcome::kExportUnavailable}) {
        EXPECT_NE(std::string(AutomationOutcomeName(outcome)), "Done");
        EXPECT_FALSE(std::string(AutomationOutcomeText(outcome)).empty());
    }
    EXPECT_EQ(std::string(AutomationOutcomeName(AutomationOutcome::kNoRecordFileName)),
              "NoRecordFileName");
    EXPECT_EQ(std::string(AutomationOutcomeText(AutomationOutcome::kNoRecordFileName)),
              "no record file name is set");
}

}  // namespace
