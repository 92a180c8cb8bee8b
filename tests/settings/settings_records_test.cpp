// Byte layouts of the stored records: they must mean the same on every platform.
#include <gtest/gtest.h>

#include <vector>

#include "capture/utf16.h"
#include "list/core/column_info.h"
#include "settings/layout_record.h"
#include "settings/log_font.h"

namespace {

std::vector<uint8_t> Bytes(std::span<const uint8_t> span, size_t offset, size_t count) {
    return {span.begin() + offset, span.begin() + offset + count};
}

TEST(LayoutRecordBytes, DefaultRecordIsLittleEndian) {
    const auto block = LayoutRecordBlock(LayoutRecord{});
    ASSERT_EQ(block.size(), 120u);
    EXPECT_EQ(Bytes(block, 0, 8), (std::vector<uint8_t>{0xAA, 0xAA, 0x55, 0x55, 0x00, 0x01, 0, 0}));
    EXPECT_EQ(Bytes(block, 8, 4), (std::vector<uint8_t>{0xB0, 0x04, 0, 0}));   // 1200
    EXPECT_EQ(Bytes(block, 12, 4), (std::vector<uint8_t>{0xBC, 0x02, 0, 0}));  // 700
    EXPECT_EQ(Bytes(block, 16, 4), (std::vector<uint8_t>{100, 0, 0, 0}));
    EXPECT_EQ(Bytes(block, 20, 4), (std::vector<uint8_t>{100, 0, 0, 0}));
    EXPECT_EQ(Bytes(block, 24, 96), std::vector<uint8_t>(96, 0));  // flag and zero font
}

TEST(LayoutRecordBytes, ListFontSitsAtOffset28) {
    LayoutRecord layout;
    layout.listFontStored = 1;
    layout.listFont.height = -12;
    SetLogFontFaceName(layout.listFont, "MS Gothic");
    const auto block = LayoutRecordBlock(layout);
    EXPECT_EQ(Bytes(block, 24, 4), (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(Bytes(block, 28, 4), (std::vector<uint8_t>{0xF4, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(block, 56, 4), (std::vector<uint8_t>{'M', 0, 'S', 0}));
    EXPECT_EQ(LayoutRecordFromBlock(block), layout);
}

TEST(LayoutRecordBytes, OnlySignatureVersionAndSizeDecide) {
    LayoutRecord layout;
    layout.windowWidth = -5;  // odd values are taken as they are
    layout.fieldTableWidth = 0;
    auto block = LayoutRecordBlock(layout);
    block[6] = 0x12;  // the field after the version is not checked
    const auto taken = LayoutRecordFromBlock(block);
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->zero, 0x12);
    EXPECT_EQ(taken->windowWidth, -5);
    EXPECT_EQ(taken->fieldTableWidth, 0);

    block[5] = 0x02;  // version 0x0200
    EXPECT_EQ(LayoutRecordFromBlock(block), std::nullopt);
}

TEST(StoredBlocks, LongerBlocksAreIgnoredLikeShorterOnes) {
    std::vector<uint8_t> column(13, 1);
    EXPECT_EQ(ColumnInfoFromBlock(column), std::nullopt);
    const auto font = LogFontBlock(DefaultGraphFont());
    std::vector<uint8_t> longFont(font.begin(), font.end());
    longFont.push_back(0);
    EXPECT_EQ(LogFontFromBlock(longFont), std::nullopt);
    EXPECT_EQ(LogFontFromBlock(std::vector<uint8_t>{}), std::nullopt);
}

TEST(ColumnInfoBytes, ThreeLittleEndianIntegers) {
    const auto block = ColumnInfoBlock({1, 300, 24});
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.end()),
              (std::vector<uint8_t>{1, 0, 0, 0, 0x2C, 0x01, 0, 0, 24, 0, 0, 0}));
    EXPECT_EQ(ColumnInfoFromBlock(block), (ColumnInfo{1, 300, 24}));
    EXPECT_EQ(ColumnInfoFromBlock(std::span(block).first(11)), std::nullopt);
    EXPECT_EQ(ColumnInfoValueName(0), "ColumnInfo0");
    EXPECT_EQ(ColumnInfoValueName(37), "ColumnInfo37");
    EXPECT_EQ(DefaultColumnInfo(38), ColumnInfo{});
    EXPECT_EQ(DefaultColumnInfo(-1), ColumnInfo{});
}

TEST(LogFontBytes, DefaultGraphFontIsArialSixteenDraft) {
    const auto block = LogFontBlock(DefaultGraphFont());
    ASSERT_EQ(block.size(), 92u);
    EXPECT_EQ(Bytes(block, 0, 4), (std::vector<uint8_t>{16, 0, 0, 0}));  // height
    EXPECT_EQ(Bytes(block, 4, 16), std::vector<uint8_t>(16, 0));         // width ... weight
    // italic, underline, strike-out, DEFAULT_CHARSET, precisions, DRAFT_QUALITY, pitch/family
    EXPECT_EQ(Bytes(block, 20, 8), (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 1, 0}));
    EXPECT_EQ(Bytes(block, 28, 12),
              (std::vector<uint8_t>{'A', 0, 'r', 0, 'i', 0, 'a', 0, 'l', 0, 0, 0}));
    EXPECT_EQ(Bytes(block, 40, 52), std::vector<uint8_t>(52, 0));
}

TEST(LogFontBytes, EveryFieldRoundTrips) {
    LogFontRecord font;
    font.height = -17;
    font.width = 5;
    font.escapement = 900;
    font.orientation = -900;
    font.weight = 700;
    font.italic = 1;
    font.underline = 1;
    font.strikeOut = 1;
    font.charSet = 128;
    font.outPrecision = 3;
    font.clipPrecision = 2;
    font.quality = 5;
    font.pitchAndFamily = 0x31;
    SetLogFontFaceName(font, "Noto Sans CJK");
    const auto block = LogFontBlock(font);
    EXPECT_EQ(LogFontFromBlock(block), font);
    EXPECT_EQ(LogFontFromBlock(std::span(block).first(91)), std::nullopt);
}

TEST(LogFontFace, LongNamesKeepTheTerminatingZero) {
    LogFontRecord font;
    SetLogFontFaceName(font, std::string(40, 'x'));
    EXPECT_EQ(LogFontFaceName(font), std::string(31, 'x'));
    EXPECT_EQ(font.faceName[31], 0);

    // 30 units, then a character outside the basic plane: the pair does not fit and is dropped
    // whole.
    SetLogFontFaceName(font, std::string(30, 'y') + "\xF0\x9F\x98\x80");
    EXPECT_EQ(LogFontFaceName(font), std::string(30, 'y'));

    SetLogFontFaceName(font, "Meiryo \xE3\x83\xA1");  // non-ASCII survives
    EXPECT_EQ(LogFontFaceName(font), "Meiryo \xE3\x83\xA1");
}

TEST(LogFontFace, UnterminatedStoredFaceReadsAll32Units) {
    auto block = LogFontBlock(DefaultGraphFont());
    for (size_t i = 0; i < 32; ++i) {
        block[28 + 2 * i] = 'z';
        block[29 + 2 * i] = 0;
    }
    EXPECT_EQ(LogFontFaceName(*LogFontFromBlock(block)), std::string(32, 'z'));
}

TEST(Utf16, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE3\x83"), u"\uFFFD");        // cut sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD");        // overlong
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
}

}  // namespace
