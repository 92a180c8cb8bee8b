// The window-message form of remote control: copy-data payloads and application messages
// turned into requests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/automation/window_messages.h"

namespace {

std::vector<unsigned char> Utf16Le(const std::u16string& text) {
    std::vector<unsigned char> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

TEST(WindowMessages, ClassNameAndMessageNumbers) {
    EXPECT_STREQ(kMainWindowClassName, "ZerivaRur");
    EXPECT_EQ(kCopyDataMessage, 0x004Au);
    EXPECT_EQ(RequestFromMessage(0x8001)->kind, AutomationRequestKind::kStart);
    EXPECT_EQ(RequestFromMessage(0x8002)->kind, AutomationRequestKind::kStop);
    EXPECT_EQ(RequestFromMessage(0x8003)->kind, AutomationRequestKind::kExport);
    EXPECT_FALSE(RequestFromMessage(0x8004).has_value());
    EXPECT_FALSE(RequestFromMessage(0x8000).has_value());
}

TEST(WindowMessages, CopyDataOneIsTheRecordFileNameTwoTheFolder) {
    const std::vector<unsigned char> name = Utf16Le(u"bench.zaz");
    std::optional<AutomationRequest> request = RequestFromCopyData(1, name.data(), name.size());
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->kind, AutomationRequestKind::kSetRecordFileName);
    EXPECT_EQ(request->text, "bench.zaz");

    const std::vector<unsigned char> folder = Utf16Le(u"C:\\Captures");
    request = RequestFromCopyData(2, folder.data(), folder.size());
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->kind, AutomationRequestKind::kSetRecordFolder);
    EXPECT_EQ(request->text, "C:\\Captures");

    EXPECT_FALSE(RequestFromCopyData(3, name.data(), name.size()).has_value());
}

TEST(WindowMessages, TextEndsAtTheTerminatorAndAnOddByteIsIgnored) {
    std::vector<unsigned char> bytes = Utf16Le(std::u16string(u"run1\0junk", 9));
    EXPECT_EQ(RequestFromCopyData(1, bytes.data(), bytes.size())->text, "run1");
    bytes = Utf16Le(u"ab");
    bytes.push_back('c');
    EXPECT_EQ(RequestFromCopyData(1, bytes.data(), bytes.size())->text, "ab");
    EXPECT_EQ(RequestFromCopyData(1, nullptr, 0)->text, "");
}

TEST(WindowMessages, NonAsciiTextBecomesUtf8) {
    const std::vector<unsigned char> bytes = Utf16Le(u"Ladeger\u00e4t \u20ac \U0001F50C");
    EXPECT_EQ(RequestFromCopyData(1, bytes.data(), bytes.size())->text,
              "Ladeger\xC3\xA4t \xE2\x82\xAC \xF0\x9F\x94\x8C");
}

TEST(WindowMessages, AnUnpairedSurrogateBecomesTheReplacementCharacter) {
    const std::vector<unsigned char> bytes = Utf16Le(std::u16string{u'a', char16_t(0xD800), u'b'});
    EXPECT_EQ(RequestFromCopyData(2, bytes.data(), bytes.size())->text,
              "a\xEF\xBF\xBD"
              "b");
    const std::vector<unsigned char> lone = Utf16Le(std::u16string{char16_t(0xDC00)});
    EXPECT_EQ(RequestFromCopyData(2, lone.data(), lone.size())->text, "\xEF\xBF\xBD");
}

}  // namespace
