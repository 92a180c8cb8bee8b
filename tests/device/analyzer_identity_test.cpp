#include <gtest/gtest.h>

#include "device/analyzer_descriptors.h"
#include "device/analyzer_identity.h"
#include "device/analyzer_ids.h"

namespace {

TEST(FirmwareVersion, CharactersZeroTwoAndThreeAreTheDigits) {
    EXPECT_EQ(ParseFirmwareVersion(u"1.10", 0), 0x0110);
    EXPECT_EQ(ParseFirmwareVersion(u"0.92", 0), 0x0092);
    EXPECT_EQ(ParseFirmwareVersion(u"1.01", 0), 0x0101);
    EXPECT_EQ(ParseFirmwareVersion(u"1.23 beta", 0), 0x0123);
    EXPECT_EQ(FirmwareVersionText(0x0123), "1.23");
    EXPECT_EQ(FirmwareVersionText(0x0092), "0.92");
}

TEST(FirmwareVersion, ThreeCharactersOrFewerKeepThePreviousValue) {
    EXPECT_EQ(ParseFirmwareVersion(u"1.2", 0x0123), 0x0123);
    EXPECT_EQ(ParseFirmwareVersion(u"", 0), 0);
    EXPECT_EQ(ParseFirmwareVersion(u"9", 0x0101), 0x0101);
}

TEST(SerialNumber, HexDigitsReadAsOneNumberLeastSignificantByteFirst) {
    SerialNumber expected = {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD,
                             0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    EXPECT_EQ(ParseSerialNumber(u"0123456789ABCDEF01234567"), expected);
}

TEST(SerialNumber, LowerCaseAndMissingDigitsCountAsZero) {
    SerialNumber lower = ParseSerialNumber(u"0123456789abcdef01234567");
    EXPECT_EQ(lower[7], 0x89);
    EXPECT_EQ(lower[6], 0x00);  // "ab"
    EXPECT_EQ(lower[5], 0x00);  // "cd"
    EXPECT_EQ(lower[4], 0x00);  // "ef"
    SerialNumber mixed = ParseSerialNumber(u"a1");
    EXPECT_EQ(mixed[11], 0x01);
    SerialNumber shortText = ParseSerialNumber(u"12");
    EXPECT_EQ(shortText[11], 0x12);
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(shortText[i], 0) << i;
    }
}

TEST(StringDescriptor, TextIsBLengthMinusTwoHalvedWithinWhatArrived) {
    std::vector<uint8_t> bytes = EncodeStringDescriptor(u"1.23");
    EXPECT_EQ(bytes, (std::vector<uint8_t>{10, 3, '1', 0, '.', 0, '2', 0, '3', 0}));
    EXPECT_EQ(DecodeStringDescriptor(bytes), u"1.23");
    // A bLength beyond the bytes received reads only what arrived.
    bytes[0] = 200;
    EXPECT_EQ(DecodeStringDescriptor(bytes), u"1.23");
    EXPECT_EQ(DecodeStringDescriptor(std::vector<uint8_t>{1}), u"");
    EXPECT_EQ(DecodeStringDescriptor(std::vector<uint8_t>{2, 3, 'x', 0}), u"");
    // The 64-byte buffer holds 31 characters.
    std::u16string longText(40, u'7');
    EXPECT_EQ(DecodeStringDescriptor(EncodeStringDescriptor(longText)).size(), 31u);
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Zoduz µ")), "Zoduz µ");
}

TEST(AnalyzerDescriptors, DeviceDescriptorCarriesIdsAndStringIndexes) {
    std::vector<uint8_t> device = AnalyzerDeviceDescriptor({0x1209, 0x000D}, 0x0123);
    ASSERT_EQ(device.size(), 18u);
    EXPECT_EQ(device[0], 18);
    EXPECT_EQ(device[1], 1);
    EXPECT_EQ(device[8] | (device[9] << 8), 0x1209);
    EXPECT_EQ(device[10] | (device[11] << 8), 0x000D);
    EXPECT_EQ(device[12] | (device[13] << 8), 0x0123);
    EXPECT_EQ(device[16], 6);  // iSerialNumber
    std::vector<uint8_t> config = AnalyzerConfigurationDescriptor();
    EXPECT_EQ(config.size(), 9u + 9u + 7u + 7u);
    EXPECT_EQ(config[2], config.size());
    EXPECT_EQ(config[9 + 5], 0xFF);  // vendor-specific interface
    EXPECT_EQ(config[18 + 2], 0x81);
    EXPECT_EQ(config[25 + 2], 0x01);
    AnalyzerDescriptorTexts texts;
    texts.firmware = "0.92";
    EXPECT_EQ(DecodeStringDescriptor(*AnalyzerStringDescriptor(texts, 3)), u"0.92");
    EXPECT_FALSE(AnalyzerStringDescriptor(texts, 4));
}

TEST(AnalyzerIds, ListsParseAndPrint) {
    std::optional<std::vector<UsbDeviceId>> ids = ParseUsbIdList("1209:000d,1D50:6150");
    ASSERT_TRUE(ids);
    ASSERT_EQ(ids->size(), 2u);
    EXPECT_EQ((*ids)[0], kVirtualAnalyzerId);
    EXPECT_EQ(UsbIdText((*ids)[1]), "1d50:6150");
    for (const char* bad : {"", "1209", "1209:", ":000d", "12090:1", "1209:000d,", "xyz:1"}) {
        EXPECT_FALSE(ParseUsbIdList(bad)) << bad;
    }
    EXPECT_EQ(DefaultAnalyzerIds(), std::vector<UsbDeviceId>{kVirtualAnalyzerId});
    EXPECT_EQ(UsbIdListText(*ids), "1209:000d,1d50:6150");
    EXPECT_EQ(ParseUsbIdList(UsbIdListText(*ids)), ids);
}

}  // namespace
