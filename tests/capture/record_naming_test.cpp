// Record file names, paths, captions, folders and the rollover decision.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "capture/document.h"
#include "capture/free_record_name.h"
#include "capture/record_naming.h"
#include "stream_builder.h"
#include "temp_files.h"
#include "test_times.h"

namespace {

// Sets an environment variable for the scope of a test.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

}  // namespace

TEST(RecordNaming, BaseNameAndFileNames) {
    EXPECT_EQ(ComposeBaseName(kDefaultCaption, false, October5th()), "PDCapture");
    std::string stamped = ComposeBaseName(kDefaultCaption, true, October5th());
    EXPECT_EQ(stamped, "PDCapture_20231005-142233");
    EXPECT_EQ(RecordFileName(stamped, 1, false), "PDCapture_20231005-142233.zaz");

    EXPECT_EQ(RecordFileName("PDCapture", 1, false), "PDCapture.zaz");
    EXPECT_EQ(RecordFileName("PDCapture", 1, true), "PDCapture_0001.zaz");
    EXPECT_EQ(RecordFileName("PDCapture", 2, true), "PDCapture_0002.zaz");
    EXPECT_EQ(RecordFileName("PDCapture", 2, false), "PDCapture_0002.zaz");
    EXPECT_EQ(RecordFileName("PDCapture", 9999, true), "PDCapture_9999.zaz");
}

TEST(RecordNaming, ExternalNameOverridesAndNeverRepeatsOnRollover) {
    EXPECT_EQ(RecordFileName("PDCapture_20231005-142233", 1, true, "Bench"), "Bench.zaz");
    EXPECT_EQ(RecordFileName("PDCapture", 1, false, "Bench.zaz"), "Bench.zaz");
    // The file just finished keeps its name; the next one is numbered.
    EXPECT_EQ(RecordFileName("PDCapture", 2, true, "Bench.zaz"), "Bench_0002.zaz");
}

TEST(RecordNaming, PathsJoinWithOneSeparator) {
    EXPECT_EQ(JoinRecordPath("/data/caps", "a.zaz"), "/data/caps/a.zaz");
    EXPECT_EQ(JoinRecordPath("/data/caps/", "a.zaz"), "/data/caps/a.zaz");
    EXPECT_EQ(JoinRecordPath("C:\\caps\\", "a.zaz"), "C:\\caps\\a.zaz");
}

TEST(RecordNaming, CaptionLengthAndForbiddenCharacters) {
    std::string caption64(64, 'c');
    EXPECT_TRUE(IsValidCaption(caption64));
    EXPECT_TRUE(IsValidCaption(""));
    EXPECT_FALSE(IsValidCaption(caption64 + "x"));
    // Typing the 65th character has no effect.
    EXPECT_EQ(AcceptCaptionEdit(caption64, caption64 + "x"), caption64);
    for (char forbidden : std::string("\\/:*?\"<>|")) {
        SCOPED_TRACE(forbidden);
        EXPECT_FALSE(IsValidCaption(std::string("ab") + forbidden));
        // Pasting a text with the character restores the previous caption.
        EXPECT_EQ(AcceptCaptionEdit("Before", std::string("After") + forbidden + "x"), "Before");
    }
    EXPECT_EQ(AcceptCaptionEdit("Before", "After-1 (ok)"), "After-1 (ok)");

    // The limit is 64 characters, however many bytes each takes in UTF-8.
    std::string umlauts;
    for (int i = 0; i < 64; ++i) {
        umlauts += "\xC3\xA4";  // a-umlaut
    }
    EXPECT_TRUE(IsValidCaption(umlauts));
    EXPECT_EQ(AcceptCaptionEdit("Before", umlauts), umlauts);
    EXPECT_EQ(AcceptCaptionEdit(umlauts, umlauts + "x"), umlauts);
}

TEST(RecordNaming, WritableFolderTestLeavesNothingBehind) {
    TempDir dir;
    EXPECT_TRUE(IsWritableFolder(dir.Path().string()));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / kWritableTestFileName));
    EXPECT_FALSE(IsWritableFolder(""));
    EXPECT_FALSE(IsWritableFolder(dir.File("missing")));
}

// Another program may plant the probe's name: a symbolic link to a victim, a dangling link, a
// file of its own. The probe follows, truncates and removes none of them.
TEST(RecordNaming, WritableFolderTestTouchesNothingThatExists) {
    TempDir dir;
    const std::vector<uint8_t> precious = {'m', 'i', 'n', 'e'};
    WriteFile(dir.File("victim.txt"), precious);
    std::filesystem::create_directory(dir.File("links"));
    const std::filesystem::path probe = dir.Path() / "links" / kWritableTestFileName;
    std::filesystem::create_symlink(dir.File("victim.txt"), probe);
    EXPECT_TRUE(IsWritableFolder(dir.File("links")));
    EXPECT_TRUE(std::filesystem::is_symlink(probe));
    EXPECT_EQ(ReadFile(dir.File("victim.txt")), precious);

    std::filesystem::remove(probe);
    std::filesystem::create_symlink(dir.File("planted.txt"), probe);
    EXPECT_TRUE(IsWritableFolder(dir.File("links")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("planted.txt")));

    std::filesystem::remove(probe);
    WriteFile(probe.string(), precious);
    EXPECT_TRUE(IsWritableFolder(dir.File("links")));
    EXPECT_EQ(ReadFile(probe.string()), precious);
    // A file is no folder, whatever its name holds.
    EXPECT_FALSE(IsWritableFolder(dir.File("victim.txt")));
}

TEST(RecordNaming, DefaultDataFolderIsCreatedInTheDocumentsFolder) {
    TempDir dir;
    {
        ScopedEnv documents("XDG_DOCUMENTS_DIR", dir.File("docs"));
        EXPECT_EQ(DefaultDataFolder(), dir.File("docs") + "/Zoduz");
        EXPECT_TRUE(std::filesystem::is_directory(dir.File("docs/Zoduz")));
    }
    // Without the variable: the user-dirs file of the configuration folder, $HOME expanded.
    std::filesystem::create_directories(dir.File("config"));
    {
        std::ofstream dirs(dir.File("config/user-dirs.dirs"));
        dirs << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    }
    ScopedEnv home("HOME", dir.Path().string());
    ScopedEnv config("XDG_CONFIG_HOME", dir.File("config"));
    unsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(DefaultDataFolder(), dir.File("Dokumente") + "/Zoduz");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Dokumente/Zoduz")));
}

TEST(RecordNaming, RolloverWhenStrictlyBeyondTheSizeOrRequested) {
    RolloverInput input;
    input.maxFileSizeMb = 1;
    input.fileSize = 1000000;
    EXPECT_EQ(DecideRollover(input), RolloverAction::kContinue);
    input.fileSize = 1000001;
    EXPECT_EQ(DecideRollover(input), RolloverAction::kStop);  // single file: a full file stops
    input.multiFile = true;
    EXPECT_EQ(DecideRollover(input), RolloverAction::kNextFile);
    input.index = kMaxRecordFileIndex;
    EXPECT_EQ(DecideRollover(input), RolloverAction::kStop);
    input.index = 3;
    input.fileSize = 10;
    input.newFileRequested = true;
    EXPECT_EQ(DecideRollover(input), RolloverAction::kNextFile);
    input.maxFileSizeMb = 9999;
    input.newFileRequested = false;
    input.fileSize = 9999000001ull;
    EXPECT_EQ(DecideRollover(input), RolloverAction::kNextFile);
}

TEST(RecordNaming, AttachDecodesTheFileInTheRecordFolder) {
    TempDir dir;
    StreamBuilder stream;
    stream.AddSamples({{100, 5000}, {200, 5001}});
    WriteFile(dir.File("PDCapture_0002.zaz"), stream.Bytes());
    CKVDoc doc;
    doc.AttachRecordFile(dir.Path().string(), "PDCapture_0002.zaz");
    EXPECT_EQ(doc.RecordFilePath(), dir.File("PDCapture_0002.zaz"));
    EXPECT_EQ(doc.SampleCount(), 2u);
}

TEST(RecordNaming, ATakenNameIsNumberedSoThatNoFileOfTheCaptureExists) {
    const std::vector<std::string> none;
    EXPECT_EQ(FreeRecordNameNumber("PDCapture", "", false, none), 0);
    // The single file of a capture without rollover.
    const std::vector<std::string> one = {"PDCapture.zaz", "PDCapture (1).zaz", "notes.txt"};
    EXPECT_EQ(FreeRecordNameNumber("PDCapture", "", false, one), 2);
    EXPECT_EQ(NumberedStem("PDCapture", 2), "PDCapture (2)");
    // A capture that may roll over keeps clear of every numbered file of its stem, also when
    // its first one is gone.
    const std::vector<std::string> numbered = {"PDCapture_0003.zaz", "PDCapture (1)_0001.zaz"};
    EXPECT_EQ(FreeRecordNameNumber("PDCapture", "", true, numbered), 2);
    EXPECT_EQ(FreeRecordNameNumber("PDCapture", "", false, numbered), 0);
    // Names that only look numbered do not count.
    const std::vector<std::string> lookalikes = {"PDCapture_003.zaz", "PDCapture_00a3.zaz",
                                                 "PDCapture_0003.csv"};
    EXPECT_EQ(FreeRecordNameNumber("PDCapture", "", true, lookalikes), 0);
    // An external name, given with or without its extension.
    const std::vector<std::string> remote = {"run.zaz", "run_0002.zaz"};
    EXPECT_EQ(FreeRecordNameNumber("", "run.zaz", false, remote), 1);
    EXPECT_EQ(FreeRecordNameNumber("", "run", true, remote), 1);
    EXPECT_EQ(FreeRecordNameNumber("", "other", true, remote), 0);
    EXPECT_EQ(ExternalNameStem("a.zaz.zaz"), "a.zaz");
    EXPECT_EQ(FreeRecordNameNumber("", "a.zaz.zaz", false, {"a.zaz.zaz"}), 1);
    // When every number is taken there is no free name.
    std::vector<std::string> all = {"x.zaz"};
    for (int n = 1; n <= kMaxRecordFileIndex; ++n) {
        all.push_back(NumberedStem("x", n) + ".zaz");
    }
    EXPECT_FALSE(FreeRecordNameNumber("x", "", false, all).has_value());
}

TEST(RecordNaming, FolderEntriesAreListedByName) {
    TempDir dir;
    WriteFile(dir.File("a.zaz"), {});
    WriteFile(dir.File("b c.zaz"), {});
    std::vector<std::string> names = FolderEntryNames(dir.Path().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.zaz", "b c.zaz"}));
    EXPECT_TRUE(FolderEntryNames(dir.File("missing")).empty());
}
