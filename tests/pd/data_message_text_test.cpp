// Texts of BIST, Get_Country_Info, Enter_USB, EPR_Mode, Source_Info and Revision.
#include <gtest/gtest.h>

#include "hand_packets.h"
#include "pd/data_message_text.h"
#include "pd/message_header.h"

namespace {

PacketPtr Data(int type, std::initializer_list<uint32_t> objects) {
    return hand::Data(type, true, true, objects);
}

TEST(BistText, CarrierModeWithZeroLowHalf) {
    EXPECT_EQ(BistText(*Data(kDataBist, {0x50000000})),
              "BIST Carrier Mode 2 (16-bit unsigned integer = 0000h)");
}

TEST(BistText, ModesKeepTheirWordingAndUnknownCodesAreNumbered) {
    EXPECT_EQ(BistText(*Data(kDataBist, {0x20000000})),
              "Returend BIST Counters (16-bit unsigned integer = 0000h)");
    EXPECT_EQ(BistText(*Data(kDataBist, {0xA000BEEF})),
              "BIST Shared Test Mode Exit (16-bit unsigned integer = BEEFh)");
    EXPECT_EQ(BistText(*Data(kDataBist, {0xB000ABCD})),
              "(Unknown BIST code 11) (16-bit unsigned integer = ABCDh)");
}

TEST(CountryInfoText, HasOnlyAClosingParenthesis) {
    EXPECT_EQ(CountryInfoText(*Data(kDataGetCountryInfo, {0x55530000})), "CCDO=55530000h)");
}

TEST(EnterUsbText, TwoDataObjectsAreInvalid) {
    EXPECT_EQ(EnterUsbText(*Data(kDataEnterUsb, {0x20000000, 0})), "Invalid Data Objects Count.");
}

TEST(EnterUsbText, FieldsInOrder) {
    // USB4, USB4 DRD, Gen3 cable, active re-timer, 5 A, PCIe, host present.
    EXPECT_EQ(EnterUsbText(*Data(kDataEnterUsb, {0x246F2000})),
              "USB Mode=USB4 (USB4 DRD)(CableSpeed=USB4 Gen3)(CableType=Active Re-timer)"
              "(CableCurrent=5A)(PCIe Support)(Host Present)");
    EXPECT_EQ(
        EnterUsbText(*Data(kDataEnterUsb, {0x5000C000 | (5u << 21) | (3u << 19) | (1u << 17)})),
        "USB Mode=Unknown (CableType=Optically isolated)(DP Support)(TBT Support)");
    EXPECT_EQ(EnterUsbText(*Data(kDataEnterUsb, {0x12000000 | (2u << 21) | (2u << 17)})),
              "USB Mode=USB3.2 (USB3 DRD)(CableSpeed=USB3.2/USB4 Gen2)(CableType=Passive)"
              "(CableCurrent=3A)");
}

TEST(EprModeText, ActionsAndFailureCauses) {
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x04010000})),
              "Enter Failed (Cable not EPR capable)");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x018C0000})),
              "Enter (EPR Sink Operational PDP=140[W])");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x02000000})), "Enter Acknowledged");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x03000000})), "Enter Succeeded");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x05000000})), "Exit");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x04050000})),
              "Enter Failed (EPR Mode Capable bit not set in PDO)");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x04060000})), "Enter Failed ");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x06000000})), "(Unknown Action)");
    EXPECT_EQ(EprModeText(*Data(kDataEprMode, {0x00000000})), "(Unknown Action)");
}

TEST(SourceInfoText, ManagedAndGuaranteedPorts) {
    EXPECT_EQ(SourceInfoText(*Data(kDataSourceInfo, {0x0041412D})),
              "Port Type=Managed(Max PDP=65[W])(Present PDP=65[W])(Reported PDP=45[W])");
    EXPECT_EQ(SourceInfoText(*Data(kDataSourceInfo, {0x80646464})),
              "Port Type=Guaranteed(Max PDP=100[W])(Present PDP=100[W])(Reported PDP=100[W])");
}

TEST(RevisionDoText, RevisionAndVersion) {
    EXPECT_EQ(RevisionDoText(*Data(kDataRevision, {0x31000000})), "Revision 3.1, Version 0.0");
    EXPECT_EQ(RevisionDoText(*Data(kDataRevision, {0x32120000})), "Revision 3.2, Version 1.2");
}

TEST(DataMessageTexts, ExtendedMessagesHaveNoText) {
    PacketPtr extended = hand::Extended(kOsSop, {.type = 3, .dataSize = 4}, {0, 0, 0, 0x50});
    EXPECT_EQ(BistText(*extended), "");
    EXPECT_EQ(CountryInfoText(*extended), "");
    EXPECT_EQ(EnterUsbText(*extended), "");
    EXPECT_EQ(EprModeText(*extended), "");
    EXPECT_EQ(SourceInfoText(*extended), "");
    EXPECT_EQ(RevisionDoText(*extended), "");
}

}  // namespace
