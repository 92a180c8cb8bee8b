// The File commands without a window: the save question's decision, opening, saving and what
// the user is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/commands/document_commands.h"
#include "capture/document.h"
#include "capture/stream_builder.h"
#include "capture/temp_files.h"

namespace {

// Commands on a document with scripted answers, recording what they ask and tell.
class DocumentCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StreamBuilder stream;
        stream.AddSamples(
            {{.timestamp = 1000, .vbusVoltage = 5000}, {.timestamp = 2000, .vbusVoltage = 5001}});
        first_ = dir_.File("first.zaz");
        second_ = dir_.File("second.zaz");
        WriteFile(first_, stream.Bytes());
        stream.AddSamples({{.timestamp = 3000, .vbusVoltage = 5002}});
        WriteFile(second_, stream.Bytes());
    }

    DocumentCommandHooks Hooks() {
        DocumentCommandHooks hooks;
        hooks.askSaveChanges = [this](const std::string& title) {
            questions_.push_back(title);
            return answer_;
        };
        hooks.chooseSavePath = [this](const std::string&) { return chosenPath_; };
        hooks.showError = [this](const std::string& text) { errors_.push_back(text); };
        hooks.opened = [this](const std::string& path) { opened_.push_back(path); };
        hooks.saved = [this](const std::string& path) { saved_.push_back(path); };
        hooks.refused = [this](const std::string& path) { refused_.push_back(path); };
        return hooks;
    }

    TempDir dir_;
    std::string first_;
    std::string second_;
    CKVDoc doc_;
    CDocumentCommands commands_{doc_, Hooks()};
    SaveAnswer answer_ = SaveAnswer::kCancel;
    std::optional<std::string> chosenPath_;
    std::vector<std::string> questions_, errors_, opened_, saved_, refused_;
};

TEST_F(DocumentCommandsTest, OpenNamesTheDocumentAfterItsFile) {
    EXPECT_EQ(commands_.DocumentTitle(), "Untitled");
    EXPECT_FALSE(commands_.CanSave());
    const CommandOutcome outcome = commands_.Open(first_);
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(outcome.result.kind, FileResult::kOk);
    EXPECT_EQ(commands_.DocumentPath(), first_);
    EXPECT_EQ(commands_.DocumentTitle(), "first.zaz");
    EXPECT_EQ(opened_, std::vector<std::string>{first_});
    EXPECT_EQ(doc_.SampleCount(), 2u);
    EXPECT_TRUE(commands_.CanSave());
    EXPECT_TRUE(questions_.empty());  // nothing was modified
    doc_.SetRecording(true);
    EXPECT_FALSE(commands_.CanSave());
}

TEST_F(DocumentCommandsTest, SaveQuestionDecidesWhetherTheDocumentIsReplaced) {
    ASSERT_TRUE(commands_.Open(first_).done);
    doc_.SetModified(true);
    answer_ = SaveAnswer::kCancel;
    EXPECT_FALSE(commands_.Open(second_).done);
    EXPECT_FALSE(commands_.New().done);
    EXPECT_EQ(questions_, (std::vector<std::string>{"first.zaz", "first.zaz"}));
    EXPECT_EQ(commands_.DocumentPath(), first_);
    EXPECT_EQ(doc_.SampleCount(), 2u);

    answer_ = SaveAnswer::kNo;  // changes dropped
    EXPECT_TRUE(commands_.Open(second_).done);
    EXPECT_EQ(doc_.SampleCount(), 3u);
    EXPECT_TRUE(saved_.empty());
    EXPECT_FALSE(doc_.Modified());

    doc_.SetModified(true);
    answer_ = SaveAnswer::kYes;  // saved to its own file first
    EXPECT_TRUE(commands_.New().done);
    EXPECT_EQ(saved_, std::vector<std::string>{second_});
    EXPECT_EQ(commands_.DocumentPath(), "");
    EXPECT_EQ(doc_.SampleCount(), 0u);
}

TEST_F(DocumentCommandsTest, FailedSaveInTheQuestionKeepsTheDocument) {
    ASSERT_TRUE(commands_.Open(first_).done);
    doc_.NoteMarkersChanged();
    doc_.SetModified(true);
    std::filesystem::remove(first_);  // the marker blocks have no file to go to
    answer_ = SaveAnswer::kYes;
    EXPECT_FALSE(commands_.MaybeSaveModified());
    EXPECT_EQ(errors_, std::vector<std::string>{"Save File Error"});
    EXPECT_TRUE(doc_.Modified());
}

TEST_F(DocumentCommandsTest, UnreadablePathsLeaveTheDocumentAndSayWhy) {
    ASSERT_TRUE(commands_.Open(first_).done);
    const std::string missing = dir_.File("missing.zaz");
    CommandOutcome outcome = commands_.Open(missing);
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.result.kind, FileResult::kCannotOpen);
    outcome = commands_.Load(dir_.Path().string());
    EXPECT_EQ(outcome.result.kind, FileResult::kNotRegularFile);
    EXPECT_EQ(errors_,
              (std::vector<std::string>{
                  "Cannot open the record file.\n\n\"" + missing + "\"",
                  "The record file is not a regular file.\n\n\"" + dir_.Path().string() + "\""}));
    EXPECT_EQ(refused_, (std::vector<std::string>{missing, dir_.Path().string()}));
    EXPECT_EQ(commands_.DocumentPath(), first_);
    EXPECT_EQ(doc_.SampleCount(), 2u);
}

TEST_F(DocumentCommandsTest, SaveAsAddsTheExtensionAndFollowsTheNewPath) {
    ASSERT_TRUE(commands_.Open(first_).done);
    chosenPath_ = std::nullopt;  // the chooser was cancelled
    EXPECT_FALSE(commands_.SaveAs().done);
    chosenPath_ = dir_.File("copy");
    EXPECT_TRUE(commands_.SaveAs().done);
    const std::string copy = dir_.File("copy.zaz");
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(commands_.DocumentPath(), copy);
    EXPECT_EQ(saved_, std::vector<std::string>{copy});
    // Save now writes to the copy; a failed save tells the user and keeps the path.
    EXPECT_TRUE(commands_.Save().done);
    const CommandOutcome failed = commands_.SaveTo(dir_.File("no-such-folder/x.zaz"));
    EXPECT_FALSE(failed.done);
    EXPECT_EQ(failed.result.kind, FileResult::kCannotOpen);
    EXPECT_EQ(errors_, std::vector<std::string>{"Save File Error"});
    EXPECT_EQ(commands_.DocumentPath(), copy);
}

TEST_F(DocumentCommandsTest, SaveOfANewDocumentAsksForAPath) {
    chosenPath_ = dir_.File("never.zaz");
    EXPECT_FALSE(commands_.Save().done);  // nothing to save: no record file
    EXPECT_FALSE(std::filesystem::exists(dir_.File("never.zaz")));
}

TEST_F(DocumentCommandsTest, ImportedSessionOpensItsRecordFileWithoutAPath) {
    // A path the import hook takes is opened from the record file it returns; the document has
    // no path of its own, so Save asks for one.
    DocumentCommandHooks hooks = Hooks();
    hooks.importSession = [this](const std::string& path,
                                 std::string& error) -> std::optional<std::string> {
        if (path.ends_with(".sr")) {
            return second_;
        }
        if (path.ends_with(".bad")) {
            error = "not a logic session";
        }
        return std::nullopt;
    };
    CDocumentCommands commands(doc_, hooks);
    const std::string session = dir_.File("capture.sr");
    WriteFile(session, {1, 2, 3});
    const CommandOutcome outcome = commands.Load(session);
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(doc_.SampleCount(), 3u);
    EXPECT_EQ(commands.DocumentPath(), "");
    EXPECT_EQ(commands.DocumentTitle(), "Untitled");
    EXPECT_EQ(opened_, (std::vector<std::string>{session}));

    // A failed import says why and leaves the document as it was.
    const std::string bad = dir_.File("capture.bad");
    WriteFile(bad, {1, 2, 3});
    const CommandOutcome failed = commands.Load(bad);
    EXPECT_FALSE(failed.done);
    EXPECT_EQ(errors_, (std::vector<std::string>{"not a logic session"}));
    EXPECT_EQ(doc_.SampleCount(), 3u);

    // Any other path is opened as a record file.
    EXPECT_TRUE(commands.Load(first_).done);
    EXPECT_EQ(doc_.SampleCount(), 2u);
    EXPECT_EQ(commands.DocumentPath(), first_);
}

TEST(RecordFileSuffix, AddedOnlyWithoutAnExtension) {
    EXPECT_EQ(WithRecordFileSuffix("/tmp/capture"), "/tmp/capture.zaz");
    EXPECT_EQ(WithRecordFileSuffix("/tmp/capture.zaz"), "/tmp/capture.zaz");
    EXPECT_EQ(WithRecordFileSuffix("/tmp/capture.bin"), "/tmp/capture.bin");
    EXPECT_EQ(WithRecordFileSuffix("/tmp.d/capture"), "/tmp.d/capture.zaz");
}

}  // namespace
