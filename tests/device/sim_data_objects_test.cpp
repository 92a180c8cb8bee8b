// Data objects and extended data blocks of the synthesizer, checked against their documented
// layouts and worked examples.
#include <gtest/gtest.h>

#include "device/sim/data_objects.h"

namespace {

uint32_t Bits(uint32_t value, int low, int width) {
    return (value >> low) & ((1u << width) - 1);
}

}  // namespace

TEST(SimPdo, FixedSupplyWorkedExample) {
    // 5 V / 3 A with only USB Communications Capable set.
    EXPECT_EQ(FixedSourcePdo(5000, 3000, 0, kPdoUsbCommunications), 0x0401912Cu);
    uint32_t pdo = FixedSourcePdo(20000, 5000, 2, kPdoEprCapable | kPdoDualRolePower);
    EXPECT_EQ(Bits(pdo, 30, 2), 0u);
    EXPECT_EQ(Bits(pdo, 10, 10) * 50, 20000u);
    EXPECT_EQ(Bits(pdo, 0, 10) * 10, 5000u);
    EXPECT_EQ(Bits(pdo, 20, 2), 2u);
    EXPECT_EQ(Bits(pdo, 23, 1), 1u);
    EXPECT_EQ(Bits(pdo, 29, 1), 1u);
}

TEST(SimPdo, SinkFixedCarriesTheFastRoleSwapCurrent) {
    uint32_t pdo = FixedSinkPdo(5000, 1500, 3, kPdoHigherCapability | kPdoEprCapable);
    EXPECT_EQ(Bits(pdo, 23, 2), 3u);
    EXPECT_EQ(Bits(pdo, 28, 1), 1u);
    EXPECT_EQ(Bits(pdo, 0, 10) * 10, 1500u);
}

TEST(SimPdo, BatteryVariableAndAugmentedKinds) {
    uint32_t battery = BatteryPdo(5000, 12000, 24000);
    EXPECT_EQ(Bits(battery, 30, 2), 1u);
    EXPECT_EQ(Bits(battery, 20, 10) * 50, 12000u);
    EXPECT_EQ(Bits(battery, 10, 10) * 50, 5000u);
    EXPECT_EQ(Bits(battery, 0, 10) * 250, 24000u);

    uint32_t variable = VariablePdo(9000, 15000, 2000);
    EXPECT_EQ(Bits(variable, 30, 2), 2u);
    EXPECT_EQ(Bits(variable, 20, 10) * 50, 15000u);
    EXPECT_EQ(Bits(variable, 0, 10) * 10, 2000u);

    uint32_t pps = PpsApdo(3300, 21000, 3000, true);
    EXPECT_EQ(Bits(pps, 30, 2), 3u);
    EXPECT_EQ(Bits(pps, 28, 2), 0u);
    EXPECT_EQ(Bits(pps, 27, 1), 1u);
    EXPECT_EQ(Bits(pps, 17, 8) * 100, 21000u);
    EXPECT_EQ(Bits(pps, 8, 8) * 100, 3300u);
    EXPECT_EQ(Bits(pps, 0, 7) * 50, 3000u);

    uint32_t avs = AvsApdo(15000, 48000, 140, 1);
    EXPECT_EQ(Bits(avs, 30, 2), 3u);
    EXPECT_EQ(Bits(avs, 28, 2), 1u);
    EXPECT_EQ(Bits(avs, 17, 9) * 100, 48000u);
    EXPECT_EQ(Bits(avs, 0, 8), 140u);
    EXPECT_EQ(Bits(avs, 26, 2), 1u);
}

TEST(SimRdo, RequestWorkedExample) {
    // Position 1, 3000 mA operating and maximum, USB Communications Capable, No USB Suspend.
    EXPECT_EQ(FixedRequest(1, 3000, 3000, kRdoUsbCommunications | kRdoNoUsbSuspend), 0x1304B12Cu);
}

TEST(SimRdo, BatteryPpsAndAvsRequests) {
    uint32_t battery = BatteryRequest(3, 12000, 20000, kRdoGiveBack);
    EXPECT_EQ(Bits(battery, 28, 4), 3u);
    EXPECT_EQ(Bits(battery, 27, 1), 1u);
    EXPECT_EQ(Bits(battery, 10, 10) * 250, 12000u);
    EXPECT_EQ(Bits(battery, 0, 10) * 250, 20000u);

    uint32_t pps = PpsRequest(5, 9020, 2500, kRdoEprCapable | kRdoGiveBack);
    EXPECT_EQ(Bits(pps, 28, 4), 5u);
    EXPECT_EQ(Bits(pps, 9, 11) * 20, 9020u);
    EXPECT_EQ(Bits(pps, 0, 7) * 50, 2500u);
    EXPECT_EQ(Bits(pps, 22, 1), 1u);
    EXPECT_EQ(Bits(pps, 27, 1), 0u);  // PPS requests have no GiveBack

    uint32_t avs = AvsRequest(9, 28000, 5000, 0);
    EXPECT_EQ(Bits(avs, 28, 4), 9u);
    EXPECT_EQ(Bits(avs, 9, 12) * 25, 28000u);
    EXPECT_EQ(Bits(avs, 0, 7) * 50, 5000u);
}

TEST(SimVdo, VdmHeaders) {
    // Discover Identity request, SVID FF00h, structured VDM version 2.0.
    EXPECT_EQ(StructuredVdmHeader(kSvidStandard, kVdmDiscoverIdentity, kVdmRequest, 0, 1, 0),
              0xFF00A001u);
    uint32_t exitAll = StructuredVdmHeader(kSvidDisplayPort, kVdmExitMode, kVdmAck, 7, 1, 1);
    EXPECT_EQ(Bits(exitAll, 0, 5), 5u);
    EXPECT_EQ(Bits(exitAll, 6, 2), 1u);
    EXPECT_EQ(Bits(exitAll, 8, 3), 7u);
    EXPECT_EQ(Bits(exitAll, 11, 2), 1u);
    EXPECT_EQ(Bits(exitAll, 16, 16), 0xFF01u);
    EXPECT_EQ(UnstructuredVdmHeader(0x3C4D, 0x0123), 0x3C4D0123u);
    EXPECT_EQ(Bits(UnstructuredVdmHeader(0x3C4D, 0xFFFF), 15, 1), 0u);  // stays unstructured
}

TEST(SimVdo, IdentityAndCableObjects) {
    uint32_t id = IdHeaderVdo(0x2B1C, 4, 2, true, true, false, 3);
    EXPECT_EQ(Bits(id, 0, 16), 0x2B1Cu);
    EXPECT_EQ(Bits(id, 27, 3), 4u);
    EXPECT_EQ(Bits(id, 23, 3), 2u);
    EXPECT_EQ(Bits(id, 26, 1), 1u);
    EXPECT_EQ(Bits(id, 30, 1), 1u);
    EXPECT_EQ(Bits(id, 31, 1), 0u);
    EXPECT_EQ(Bits(id, 21, 2), 3u);
    EXPECT_EQ(ProductVdo(0x5A01, 0x0100), 0x5A010100u);

    uint32_t passive = PassiveCableVdo(1, 2, 2, true, 1, 0, 3, 2, 3);
    EXPECT_EQ(Bits(passive, 28, 4), 1u);
    EXPECT_EQ(Bits(passive, 24, 4), 2u);
    EXPECT_EQ(Bits(passive, 18, 2), 2u);
    EXPECT_EQ(Bits(passive, 17, 1), 1u);
    EXPECT_EQ(Bits(passive, 13, 4), 1u);
    EXPECT_EQ(Bits(passive, 9, 2), 3u);
    EXPECT_EQ(Bits(passive, 5, 2), 2u);
    EXPECT_EQ(Bits(passive, 0, 3), 3u);

    uint32_t active = ActiveCableVdo1(2, 1, 2, false, 9, 3, 0, 1, true, 3);
    EXPECT_EQ(Bits(active, 11, 2), 3u);
    EXPECT_EQ(Bits(active, 13, 4), 9u);
    EXPECT_EQ(Bits(active, 3, 1), 1u);
    EXPECT_EQ(Bits(active, 4, 1), 1u);
}

TEST(SimVdo, DisplayPortObjects) {
    uint32_t status = DpStatusVdo(2, true, true, true);
    EXPECT_EQ(Bits(status, 0, 2), 2u);
    EXPECT_EQ(Bits(status, 3, 1), 1u);
    EXPECT_EQ(Bits(status, 7, 1), 1u);  // HPD high
    EXPECT_EQ(Bits(status, 8, 1), 1u);  // IRQ_HPD
    uint32_t config = DpConfigureVdo(2, 1, 0x04);
    EXPECT_EQ(Bits(config, 0, 2), 2u);
    EXPECT_EQ(Bits(config, 2, 4), 1u);
    EXPECT_EQ(Bits(config, 8, 8), 0x04u);
    uint32_t caps = DpCapabilitiesVdo(1, 1, true, 0, 0x1C);
    EXPECT_EQ(Bits(caps, 6, 1), 1u);
    EXPECT_EQ(Bits(caps, 16, 8), 0x1Cu);
}

TEST(SimDataObjects, WorkedExamplesOfOtherDataMessages) {
    EXPECT_EQ(RevisionDataObject(3, 1, 0, 0), 0x31000000u);
    EXPECT_EQ(SourceInfoDataObject(false, 65, 65, 45), 0x0041412Du);
    EXPECT_EQ(Bits(SourceInfoDataObject(true, 0, 0, 0), 31, 1), 1u);
    EXPECT_EQ(EprModeDataObject(4, 1), 0x04010000u);
    EXPECT_EQ(BistDataObject(5, 0), 0x50000000u);
    EXPECT_EQ(CountryCodeDataObject("DE"), 0x44450000u);
    EXPECT_EQ(CountryCodeDataObject(""), 0u);
    uint32_t usb = EnterUsbDataObject(2, true, false, 3, 1, 3, 0x0001E000u);
    EXPECT_EQ(Bits(usb, 28, 3), 2u);
    EXPECT_EQ(Bits(usb, 26, 1), 1u);
    EXPECT_EQ(Bits(usb, 21, 3), 3u);
    EXPECT_EQ(Bits(usb, 19, 2), 1u);
    EXPECT_EQ(Bits(usb, 17, 2), 3u);
    EXPECT_EQ(Bits(usb, 13, 4), 0xFu);
    uint32_t alert = AlertDataObject(0x02, 1, 2, 3);
    EXPECT_EQ(Bits(alert, 24, 8), 0x02u);
    EXPECT_EQ(Bits(alert, 20, 4), 1u);
    EXPECT_EQ(Bits(alert, 16, 4), 2u);
    EXPECT_EQ(Bits(alert, 0, 4), 3u);
    uint32_t battery = BatteryStatusDataObject(412, true, 2);
    EXPECT_EQ(Bits(battery, 16, 16), 412u);
    EXPECT_EQ(Bits(battery, 9, 1), 1u);
    EXPECT_EQ(Bits(battery, 10, 2), 2u);
}

TEST(SimDataBlocks, CapabilityBlocksPutThePdpRatingsWhereTheyAreRead) {
    std::vector<uint8_t> source = SourceCapsExtendedBlock(0x1A2B, 0x0140, 100, 140);
    ASSERT_EQ(source.size(), 25u);
    EXPECT_EQ(source[0], 0x2B);
    EXPECT_EQ(source[1], 0x1A);
    EXPECT_EQ(source[23], 100);
    EXPECT_EQ(source[24], 140);

    std::vector<uint8_t> sink = SinkCapsExtendedBlock(0x4E5F, 2, 15, 45, 60, 60, 100, 140);
    ASSERT_EQ(sink.size(), 24u);
    EXPECT_EQ(sink[18], 15);
    EXPECT_EQ(sink[19], 45);
    EXPECT_EQ(sink[20], 60);
    EXPECT_EQ(sink[21], 60);
    EXPECT_EQ(sink[22], 100);
    EXPECT_EQ(sink[23], 140);
}

TEST(SimDataBlocks, OtherExtendedBlocks) {
    EXPECT_EQ(ExtendedControlBlock(3, 0), (std::vector<uint8_t>{3, 0}));
    EXPECT_EQ(PpsStatusBlock(9000, 1000, 0), (std::vector<uint8_t>{0xC2, 0x01, 20, 0}));
    EXPECT_EQ(StatusBlock(38, 2, 0).size(), 7u);
    EXPECT_EQ(BatteryCapabilitiesBlock(1, 2, 560, 532).size(), 9u);
    EXPECT_EQ(CountryCodesBlock("USDEJ"), (std::vector<uint8_t>{2, 0, 'U', 'S', 'D', 'E'}));
    std::vector<uint8_t> info = CountryInfoBlock("D", "x");
    EXPECT_EQ(info, (std::vector<uint8_t>{'D', 0, 0, 0, 'x'}));
    EXPECT_EQ(ManufacturerInfoBlock(1, 2, std::string(40, 'm')).size(), 4u + 22);
    EXPECT_EQ(PdoBlock({0x01020304u, 0}), (std::vector<uint8_t>{4, 3, 2, 1, 0, 0, 0, 0}));
}
