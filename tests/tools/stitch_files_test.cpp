// Choosing files to stitch: sequence numbers, the base and successor lists of a folder, the
// first-k selection and the stitched file's name.
#include <gtest/gtest.h>

#include "capture/temp_files.h"
#include "tools/stitch_files.h"

namespace {

std::vector<std::string> Names(const std::vector<StitchFile>& files) {
    std::vector<std::string> names;
    for (const StitchFile& file : files) {
        names.push_back(file.name);
    }
    return names;
}

// PDCapture_0001 ... _0005, Other.zaz, Trial_0007.zaz, a text file and a folder named like a
// record file.
class StitchFolder : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"PDCapture_0003.zaz", "PDCapture_0001.zaz", "PDCapture_0005.zaz",
                                 "PDCapture_0002.zaz", "PDCapture_0004.zaz", "Other.zaz",
                                 "Trial_0007.zaz", "notes.txt"}) {
            WriteFile(dir_.File(name), {1, 2, 3});
        }
        std::filesystem::create_directory(dir_.File("Folder_0009.zaz"));
        files_ = ListRecordFiles(dir_.Path().string());
    }
    std::string Folder() const { return dir_.Path().string(); }

    TempDir dir_;
    std::vector<StitchFile> files_;
};

}  // namespace

TEST(StitchSequence, FourDecimalDigitsReadAsHex) {
    EXPECT_EQ(StitchSequenceNumber("PDCapture_0001.zaz"), 0x0001);
    EXPECT_EQ(StitchSequenceNumber("/data/PDCapture_0012.ZAZ"), 0x0012);
    EXPECT_EQ(StitchSequenceNumber("_9999.zaz"), 0x9999);
    EXPECT_EQ(StitchSequenceNumber("_999.zaz"), -1);    // eight characters
    EXPECT_EQ(StitchSequenceNumber("x-0001.zaz"), -1);  // no "_"
    EXPECT_EQ(StitchSequenceNumber("x_00A1.zaz"), -1);  // hex digit
    EXPECT_EQ(StitchSequenceNumber("x_0001.csv"), -1);
    EXPECT_EQ(StitchSequenceNumber("Other.zaz"), -1);
}

TEST_F(StitchFolder, BaseListShowsTheFiveNumberedFilesInOrder) {
    EXPECT_EQ(Names(files_),
              (std::vector<std::string>{"Other.zaz", "PDCapture_0001.zaz", "PDCapture_0002.zaz",
                                        "PDCapture_0003.zaz", "PDCapture_0004.zaz",
                                        "PDCapture_0005.zaz", "Trial_0007.zaz"}));
    const std::vector<StitchFile> bases = StitchBaseList(files_, false);
    EXPECT_EQ(Names(bases), (std::vector<std::string>{"PDCapture_0001.zaz", "PDCapture_0002.zaz",
                                                      "PDCapture_0003.zaz", "PDCapture_0004.zaz",
                                                      "PDCapture_0005.zaz", "Trial_0007.zaz"}));
    EXPECT_EQ(bases[0].path, dir_.File("PDCapture_0001.zaz"));
    EXPECT_EQ(StitchBaseList(files_, true).size(), 7u);
}

TEST_F(StitchFolder, CurrentFileIsPreselectedElseTheFirst) {
    const std::vector<StitchFile> bases = StitchBaseList(files_, false);
    EXPECT_EQ(PreselectBase(bases, dir_.File("PDCapture_0003.zaz")), 2);
    EXPECT_EQ(PreselectBase(bases, dir_.File("Other.zaz")), 0);
    EXPECT_EQ(PreselectBase({}, ""), -1);
}

TEST_F(StitchFolder, SuccessorsShareThePrefixAndFollowTheBase) {
    const std::vector<StitchFile> successors =
        StitchSuccessorList(files_, dir_.File("PDCapture_0002.zaz"), false);
    EXPECT_EQ(Names(successors),
              (std::vector<std::string>{"PDCapture_0003.zaz", "PDCapture_0004.zaz",
                                        "PDCapture_0005.zaz"}));
    // Trial_0007 never follows a PDCapture base; a base without number has no successors.
    EXPECT_EQ(Names(StitchSuccessorList(files_, dir_.File("PDCapture_0005.zaz"), false)),
              std::vector<std::string>{});
    EXPECT_TRUE(StitchSuccessorList(files_, dir_.File("Other.zaz"), false).empty());
    EXPECT_EQ(StitchSuccessorList(files_, dir_.File("Other.zaz"), true).size(), 6u);
}

TEST_F(StitchFolder, OutputNameOfTheFirstSuccessorAndNumberingWhenTaken) {
    EXPECT_EQ(StitchOutputPath(Folder(), "PDCapture_0002.zaz", "PDCapture_0003.zaz"),
              dir_.File("Stitched_PDCapture_0002-0003.zaz"));
    WriteFile(dir_.File("Stitched_PDCapture_0001-0002.zaz"), {});
    EXPECT_EQ(StitchOutputPath(Folder(), "PDCapture_0001.zaz", "PDCapture_0002.zaz"),
              dir_.File("Stitched_PDCapture_0001-0002 (1).zaz"));
    EXPECT_EQ(StitchOutputPath(Folder(), "PDCapture_0001.zaz", "PDCapture_0004.zaz"),
              dir_.File("Stitched_PDCapture_0001-0004.zaz"));
}

TEST(StitchOutputName, SequenceBelowTwoOrNoFreeNameGivesNoOutput) {
    auto none = [](const std::string&) { return false; };
    auto all = [](const std::string&) { return true; };
    EXPECT_EQ(StitchOutputPath("/d", "A_0000.zaz", "A_0001.zaz", none), "");
    EXPECT_EQ(StitchOutputPath("/d", "A_0001.zaz", "A_0002.zaz", all), "");
    EXPECT_EQ(StitchOutputPath("/d", "A_0009.zaz", "A_0010.zaz", none),
              "/d/Stitched_A_0009-0010.zaz");
}

TEST(StitchSelection, SelectionIsAlwaysTheFirstItems) {
    // _0003 selected; clicking _0005 selects _0003 to _0005.
    std::vector<bool> selected = {true, false, true};
    EXPECT_EQ(ApplyFirstSelection(selected, 2), 3u);
    EXPECT_EQ(selected, (std::vector<bool>{true, true, true}));
    // Clicking the selected _0004 keeps _0003 and _0004 only.
    EXPECT_EQ(ApplyFirstSelection(selected, 1), 2u);
    EXPECT_EQ(selected, (std::vector<bool>{true, true, false}));
    // Deselecting the first item (ctrl-click) clears the whole selection.
    selected = {false, true, false};
    EXPECT_EQ(ApplyFirstSelection(selected, 0), 0u);
    EXPECT_EQ(selected, (std::vector<bool>{false, false, false}));
}
