// Rules of the export dialog: the derived file name, the extension correction, the marker list,
// range validation and which controls are enabled.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tools/export_controls.h"
#include "tools/export_markers.h"
#include "tools/export_naming.h"
#include "tools/export_range.h"

namespace {

FileExists ExistingFiles(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) != 0; };
}

// Five packets at 100, 200, ... 500 us, samples from 0 to 1000 us.
CaptureExtent FivePackets() {
    CaptureExtent extent;
    extent.packetCount = 5;
    extent.sampleCount = 11;
    extent.firstSampleTime = 0;
    extent.lastSampleTime = 1000;
    extent.firstPacketTime = 100;
    extent.lastPacketTime = 500;
    extent.lastPacketNumber = 4;
    extent.packetTime = [](size_t i) { return static_cast<int64_t>(i + 1) * 100; };
    return extent;
}

}  // namespace

TEST(ExportFileName, DerivedFromTheRecordFileAndNumberedWhenTaken) {
    EXPECT_EQ(DeriveExportFileName("/data/PDCapture.zaz", ExportType::kCsv, ExistingFiles({})),
              "/data/PDCapture_export.csv");
    EXPECT_EQ(DeriveExportFileName("/data/PDCapture.zaz", ExportType::kCsv,
                                   ExistingFiles({"/data/PDCapture_export.csv"})),
              "/data/PDCapture_export (1).csv");
    EXPECT_EQ(DeriveExportFileName(
                  "/data/PDCapture.ZAZ", ExportType::kZaz,
                  ExistingFiles({"/data/PDCapture_export.zaz", "/data/PDCapture_export (1).zaz"})),
              "/data/PDCapture_export (2).zaz");
    // Another extension is kept.
    EXPECT_EQ(DeriveExportFileName("/data/old.bin", ExportType::kCsv, ExistingFiles({})),
              "/data/old.bin_export.csv");
}

TEST(ExportFileName, AllNumbersTakenGivesTheUnnumberedName) {
    auto everything = [](const std::string&) { return true; };
    EXPECT_EQ(DeriveExportFileName("/d/a.zaz", ExportType::kCsv, everything), "/d/a_export.csv");
}

TEST(ExportFileName, ExtensionCorrectionOnTypeChange) {
    EXPECT_EQ(CorrectExportExtension("/d/PDCapture_export.csv", ExportType::kZaz),
              "/d/PDCapture_export.zaz");
    EXPECT_EQ(CorrectExportExtension("/d/PDCapture_export.zaz", ExportType::kCsv),
              "/d/PDCapture_export.csv");
    EXPECT_EQ(CorrectExportExtension("/d/x.ZAZ", ExportType::kCsv), "/d/x.csv");
    EXPECT_EQ(CorrectExportExtension("/d/x.Csv", ExportType::kCsv), "/d/x.Csv");
    EXPECT_EQ(CorrectExportExtension("/d/x.txt", ExportType::kZaz), "/d/x.txt.zaz");
    // pcapng takes the place of either, and either of its own.
    EXPECT_EQ(CorrectExportExtension("/d/x_export.csv", ExportType::kPcapng), "/d/x_export.pcapng");
    EXPECT_EQ(CorrectExportExtension("/d/x_export.zaz", ExportType::kPcapng), "/d/x_export.pcapng");
    EXPECT_EQ(CorrectExportExtension("/d/x_export.PCAPNG", ExportType::kZaz), "/d/x_export.zaz");
    EXPECT_EQ(CorrectExportExtension("/d/x.pcapng", ExportType::kPcapng), "/d/x.pcapng");
    EXPECT_EQ(DeriveExportFileName("/d/PDCapture.zaz", ExportType::kPcapng,
                                   [](const std::string&) { return false; }),
              "/d/PDCapture_export.pcapng");
}

TEST(ExportMarkerList, SortedByTimeAndAtMostFive) {
    std::vector<ExportMarker> markers;
    InsertExportMarker(markers, {300, ExportMarkerKind::kA});
    InsertExportMarker(markers, {100, ExportMarkerKind::kB});
    InsertExportMarker(markers, {100, ExportMarkerKind::kO});  // before the equal time
    InsertExportMarker(markers, {900, ExportMarkerKind::kX});
    InsertExportMarker(markers, {500, ExportMarkerKind::kY});
    ASSERT_EQ(markers.size(), 5u);
    // Full and nothing later: dropped.
    InsertExportMarker(markers, {1000, ExportMarkerKind::kA});
    // Full: an earlier one pushes the last out.
    InsertExportMarker(markers, {0, ExportMarkerKind::kA});
    std::vector<std::pair<int64_t, ExportMarkerKind>> got;
    for (const ExportMarker& m : markers) {
        got.emplace_back(m.time, m.kind);
    }
    EXPECT_EQ(got,
              (std::vector<std::pair<int64_t, ExportMarkerKind>>{{0, ExportMarkerKind::kA},
                                                                 {100, ExportMarkerKind::kO},
                                                                 {100, ExportMarkerKind::kB},
                                                                 {300, ExportMarkerKind::kA},
                                                                 {500, ExportMarkerKind::kY}}));
}

TEST(ExportMarkerList, ComboTexts) {
    EXPECT_EQ(ExportMarkerText({1500, ExportMarkerKind::kA}), "Marker A (  0s   1ms 500us)");
    EXPECT_EQ(ExportMarkerText({0, ExportMarkerKind::kO}), "Marker O (  0s   0ms   0us)");
    EXPECT_EQ(ExportMarkerText({-2000, ExportMarkerKind::kY}), "Marker Y (- 0s   2ms   0us)");
}

TEST(ExportRangeRules, CaptureTopToEndSpansSamplesAndPackets) {
    ExportRangeChoice choice;
    ExportRange range = ValidateExportRange(FivePackets(), {}, choice);
    ASSERT_TRUE(range.Valid());
    EXPECT_EQ(range.start, 0);
    EXPECT_EQ(range.end, 1000);
    CaptureExtent late = FivePackets();
    late.lastPacketTime = 1200;
    late.firstSampleTime = 150;
    range = ValidateExportRange(late, {}, choice);
    EXPECT_EQ(range.start, 100);
    EXPECT_EQ(range.end, 1200);
}

TEST(ExportRangeRules, FromPacketFiveOfFiveIsInvalid) {
    ExportRangeChoice choice;
    choice.fromKind = RangeKind::kPacketNumber;
    choice.fromNumber = 5;
    EXPECT_EQ(ValidateExportRange(FivePackets(), {}, choice).error, RangeError::kFromPacketMissing);
    choice.fromNumber = 4;
    const ExportRange range = ValidateExportRange(FivePackets(), {}, choice);
    EXPECT_TRUE(range.Valid());
    EXPECT_EQ(range.start, 500);
}

TEST(ExportRangeRules, ToPacketNineOfFiveBecomesFour) {
    ExportRangeChoice choice;
    choice.fromKind = RangeKind::kPacketNumber;
    choice.toKind = RangeKind::kPacketNumber;
    choice.fromNumber = 1;
    choice.toNumber = 9;
    const ExportRange range = ValidateExportRange(FivePackets(), {}, choice);
    EXPECT_TRUE(range.Valid());
    EXPECT_EQ(choice.toNumber, 4u);
    EXPECT_EQ(range.start, 200);
    EXPECT_EQ(range.end, 500);
}

TEST(ExportRangeRules, EachRuleHasItsOwnError) {
    CaptureExtent noSamples = FivePackets();
    noSamples.sampleCount = 0;
    ExportRangeChoice choice;
    EXPECT_EQ(ValidateExportRange(noSamples, {}, choice).error, RangeError::kTopWithoutSamples);
    choice.fromKind = RangeKind::kPacketNumber;
    EXPECT_EQ(ValidateExportRange(noSamples, {}, choice).error, RangeError::kEndWithoutSamples);

    CaptureExtent noPackets = FivePackets();
    noPackets.packetCount = 0;
    EXPECT_EQ(ValidateExportRange(noPackets, {}, choice).error, RangeError::kFromPacketMissing);
    choice = {};
    choice.toKind = RangeKind::kPacketNumber;
    EXPECT_EQ(ValidateExportRange(noPackets, {}, choice).error,
              RangeError::kToPacketWithoutPackets);

    choice = {};
    choice.fromKind = RangeKind::kMarker;
    choice.fromMarker = 0;
    EXPECT_EQ(ValidateExportRange(FivePackets(), {}, choice).error, RangeError::kFromMarkerMissing);
    choice.fromKind = RangeKind::kCaptureEdge;
    choice.toKind = RangeKind::kMarker;
    choice.toMarker = -1;
    EXPECT_EQ(ValidateExportRange(FivePackets(), {{50, ExportMarkerKind::kA}}, choice).error,
              RangeError::kToMarkerMissing);
}

TEST(ExportRangeRules, MarkersGiveTheTimesAndAnEndBeforeTheStartIsInvalid) {
    const std::vector<ExportMarker> markers = {{250, ExportMarkerKind::kA},
                                               {700, ExportMarkerKind::kO}};
    ExportRangeChoice choice;
    choice.fromKind = RangeKind::kMarker;
    choice.toKind = RangeKind::kMarker;
    choice.fromMarker = 0;
    choice.toMarker = 1;
    ExportRange range = ValidateExportRange(FivePackets(), markers, choice);
    EXPECT_TRUE(range.Valid());
    EXPECT_EQ(range.start, 250);
    EXPECT_EQ(range.end, 700);
    std::swap(choice.fromMarker, choice.toMarker);
    EXPECT_EQ(ValidateExportRange(FivePackets(), markers, choice).error,
              RangeError::kEndBeforeStart);
    choice.toMarker = choice.fromMarker;  // a single instant is a valid range
    EXPECT_TRUE(ValidateExportRange(FivePackets(), markers, choice).Valid());
}

TEST(ExportControlRule, ExportingDisablesEverythingButAbort) {
    ExportDialogState state;
    state.exporting = true;
    state.hasPackets = true;
    state.rangeValid = true;
    const ExportControlStates c = ComputeExportControls(state);
    EXPECT_TRUE(c.abortButton);
    EXPECT_FALSE(c.exportButton || c.fileButton || c.typeRadios || c.captureEdgeRadios ||
                 c.markerRadios || c.packetNumberRadios || c.valueOptions || c.visibleColumnsOnly ||
                 c.pdMessagesItem || c.voltageCurrentItem || c.bothItem || c.fromEdit ||
                 c.fromCombo || c.toEdit || c.toCombo);
}

TEST(ExportControlRule, CsvItemsDecideTheOptions) {
    ExportDialogState state;
    state.hasPackets = true;
    state.rangeValid = true;
    state.items = ExportItems::kPdMessages;
    ExportControlStates c = ComputeExportControls(state);
    EXPECT_TRUE(c.visibleColumnsOnly);
    EXPECT_FALSE(c.valueOptions);
    EXPECT_TRUE(c.pdMessagesItem && c.bothItem && c.voltageCurrentItem && c.packetNumberRadios);
    EXPECT_TRUE(c.exportButton && c.fileButton);
    EXPECT_FALSE(c.abortButton);
    state.items = ExportItems::kVoltageCurrent;
    c = ComputeExportControls(state);
    EXPECT_FALSE(c.visibleColumnsOnly);
    EXPECT_TRUE(c.valueOptions);
    state.items = ExportItems::kBoth;
    c = ComputeExportControls(state);
    EXPECT_TRUE(c.visibleColumnsOnly && c.valueOptions);
}

TEST(ExportControlRule, WithoutPacketsOnlyVoltageCurrentAndNoPacketNumbers) {
    ExportDialogState state;
    state.items = ExportItems::kVoltageCurrent;
    state.rangeValid = true;
    const ExportControlStates c = ComputeExportControls(state);
    EXPECT_TRUE(c.voltageCurrentItem && c.valueOptions);
    EXPECT_FALSE(c.pdMessagesItem || c.bothItem || c.packetNumberRadios || c.visibleColumnsOnly);
}

TEST(ExportControlRule, ZazAndPcapngDisableItemsAndOptions) {
    for (ExportType type : {ExportType::kZaz, ExportType::kPcapng}) {
        ExportDialogState state;
        state.type = type;
        state.hasPackets = true;
        state.items = ExportItems::kBoth;
        state.fromKind = RangeKind::kPacketNumber;
        state.rangeValid = true;
        const ExportControlStates c = ComputeExportControls(state);
        EXPECT_FALSE(c.pdMessagesItem || c.voltageCurrentItem || c.bothItem || c.valueOptions ||
                     c.visibleColumnsOnly);
        EXPECT_TRUE(c.typeRadios && c.exportButton && c.packetNumberRadios && c.fromEdit);
    }
}

TEST(ExportControlRule, EditsAndCombosFollowTheirRadiosAndExportNeedsNameAndRange) {
    ExportDialogState state;
    state.hasPackets = true;
    state.fromKind = RangeKind::kPacketNumber;
    state.toKind = RangeKind::kMarker;
    state.rangeValid = false;
    ExportControlStates c = ComputeExportControls(state);
    EXPECT_TRUE(c.fromEdit && c.toCombo);
    EXPECT_FALSE(c.fromCombo || c.toEdit || c.exportButton);
    state.rangeValid = true;
    state.fileNameEmpty = true;
    EXPECT_FALSE(ComputeExportControls(state).exportButton);
}
