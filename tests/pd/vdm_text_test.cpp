// Vendor_Defined message texts.
#include <gtest/gtest.h>

#include "hand_packets.h"
#include "pd/message_header.h"
#include "pd/vdm_text.h"

namespace {

// Structured VDM header fields.
struct Vdm {
    uint16_t svid = 0xFF00;
    int command = 1;
    int commandType = 0;  // 0 Request, 1 ACK, 2 NAK, 3 BUSY
    int position = 0;
    int major = 1;
    int minor = 0;
};

uint32_t VdmHeader(const Vdm& v) {
    return (static_cast<uint32_t>(v.svid) << 16) | (1u << 15) |
           (static_cast<uint32_t>(v.major) << 13) | (static_cast<uint32_t>(v.minor) << 11) |
           (static_cast<uint32_t>(v.position) << 8) | (static_cast<uint32_t>(v.commandType) << 6) |
           static_cast<uint32_t>(v.command);
}

std::string Text(int kind, int revision, std::initializer_list<uint32_t> objects) {
    return VdmText(
        *hand::Message(kind, {.type = kDataVendorDefined, .revision = revision}, objects));
}
std::string SopText(std::initializer_list<uint32_t> objects) {
    return Text(kOsSop, 2, objects);
}

TEST(VdmText, DiscoverIdentityRequestShowsOnlyTheHeaderPart) {
    EXPECT_EQ(SopText({VdmHeader({})}),
              "Discover Identity (Request) (SVID=StdID)(Object Position=0)(Ver.2.0)");
}

TEST(VdmText, DisplayPortAttentionWithHpdHighAndIrq) {
    EXPECT_EQ(SopText({VdmHeader({.svid = 0xFF01, .command = 6, .position = 1}), 0x180}),
              " Attention (Request) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)"
              "(HPD_High)(IRQ_HPD)");
    EXPECT_EQ(SopText({VdmHeader({.svid = 0xFF01, .command = 6, .position = 1}), 0x0}),
              " Attention (Request) (SVID=DisplayPort)(Object Position=1)(Ver.2.0)(HPD_Low)");
    // Attention of another SVID decodes no status.
    EXPECT_EQ(SopText({VdmHeader({.svid = 0x8087, .command = 6, .position = 1}), 0x180}),
              " Attention (Request) (SVID=TBT3)(Object Position=1)(Ver.2.0)");
}

TEST(VdmText, DiscoverSvidsListsBothHalvesOfAnObject) {
    EXPECT_EQ(SopText({VdmHeader({.command = 2, .commandType = 1}), 0xFF018087}),
              "Discover SVIDs (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)"
              "(SVID0=DisplayPort)(SVID1=TBT3)");
}

TEST(VdmText, DiscoverSvidsCountsOnlyNamedSvids) {
    EXPECT_EQ(SopText({VdmHeader({.command = 2, .commandType = 1}), 0xFF010000, 0x00001234,
                       0x05AC0000, 0x00000000}),
              "Discover SVIDs (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)"
              "(SVID0=DisplayPort)(SVID1=05ACh)");
}

TEST(VdmText, ExitModeWithPositionSevenExitsAllModes) {
    EXPECT_EQ(SopText({VdmHeader({.svid = 0xFF01, .command = 5, .commandType = 1, .position = 7})}),
              " Exit Mode (ACK) (SVID=DisplayPort)(Exit all Active Modes)(Ver.2.0)");
}

TEST(VdmText, DiscoverModesListsEveryObject) {
    EXPECT_EQ(SopText({VdmHeader({.svid = 0xFF01, .command = 3, .commandType = 1}), 0x00000405,
                       0x001C0046}),
              "Discover Modes (ACK) (SVID=DisplayPort)(Object Position=0)(Ver.2.0)"
              "(Mode1=00000405h)(Mode2=001C0046h)");
}

TEST(VdmText, CommandTypesAndVersions) {
    EXPECT_EQ(SopText({VdmHeader({.command = 4, .commandType = 2, .position = 1, .minor = 1})}),
              "Enter Mode (NAK) (SVID=StdID)(Object Position=1)(Ver.2.1)");
    EXPECT_EQ(SopText({VdmHeader({.command = 4, .commandType = 3, .minor = 3})}),
              "Enter Mode (BUSY) (SVID=StdID)(Object Position=0)(Ver.2.x)");
    EXPECT_EQ(SopText({VdmHeader({.command = 4, .major = 0})}),
              "Enter Mode (Request) (SVID=StdID)(Object Position=0)(Ver.1.0)");
    EXPECT_EQ(SopText({VdmHeader({.command = 4, .major = 2})}),
              "Enter Mode (Request) (SVID=StdID)(Object Position=0)(Unknown Ver.)");
}

TEST(VdmText, SvidSpecificAndInvalidCommands) {
    const auto header = [](uint16_t svid, int command) {
        return SopText({VdmHeader({.svid = svid, .command = command})});
    };
    const std::string tail = " (Request) (SVID=DisplayPort)(Object Position=0)(Ver.2.0)";
    EXPECT_EQ(header(0xFF01, 16), "DisplayPort Status Update" + tail);
    EXPECT_EQ(header(0xFF01, 17), "DisplayPort Configure" + tail);
    EXPECT_EQ(header(0xFF01, 31), "SVID Specific Command 31" + tail);
    EXPECT_EQ(header(0x1234, 16),
              "SVID Specific Command 16 (Request) (SVID=1234h)(Object Position=0)(Ver.2.0)");
    EXPECT_EQ(header(0xFF01, 0), "(Invalid Command 0)" + tail);
    EXPECT_EQ(header(0xFF01, 9), "(Invalid Command 9)" + tail);
}

TEST(VdmText, UnstructuredVdmShowsVendorIdAndData) {
    EXPECT_EQ(SopText({0x12340005}), "<Unstructured VDM> VID=1234h VendorData=0005h(5)");
    EXPECT_EQ(SopText({0x05AC7FFF, 0xFFFFFFFF}),
              "<Unstructured VDM> VID=05ACh VendorData=7FFFh(32767)");
}

TEST(VdmText, Pd20DiscoverIdentityHidesProductTypesOfLaterRevisions) {
    const uint32_t ack = VdmHeader({.command = 1, .commandType = 1});
    // Product type 3 (PSD) and 6 (VPD) only exist from revision 3.0 on.
    EXPECT_EQ(Text(kOsSop, 1, {ack, 0x18001234}),
              "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(USB VID=1234h)");
    EXPECT_EQ(Text(kOsSop, 1, {ack, 0x30001234}),
              "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(USB VID=1234h)");
    EXPECT_EQ(Text(kOsSop, 2, {ack, 0x18001234}),
              "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(UFP PSD)"
              "(DFP Type Undefined)(USB VID=1234h)");
}

TEST(VdmText, DiscoverIdentityIdHeaderProductAndCertStat) {
    const uint32_t ack = VdmHeader({.command = 1, .commandType = 1});
    // Peripheral, DFP host, USB host and device, modal.
    const uint32_t idHeader = 0xC0000000 | (2u << 27) | (1u << 26) | (2u << 23) | 0x05AC;
    EXPECT_EQ(Text(kOsSop, 2, {ack, idHeader, 0xABC, 0x12340100}),
              "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)"
              "(UFP Peripheral)(DFP Host)(USB VID=05ACh)(USB Host)(USB Device)(Modal Supported)"
              "(XID=ABCh)(USB PID=1234h)(USB bcdDevice=0100h)");
}

TEST(VdmText, PassiveCableVdoByRevision) {
    const uint32_t ack = VdmHeader({.command = 1, .commandType = 1});
    const uint32_t idHeader = (3u << 27) | 0x05AC;
    // HW 1, FW 2, C-to-C, bit 17, latency 1, bit 9, VBUS 5 A, speed 2.
    const uint32_t cable = 0x120A2242;
    const std::string prefix = "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)";
    EXPECT_EQ(Text(kOsSopPrime, 2, {ack, idHeader, 0, 0x12340100, cable}),
              prefix +
                  "(Passive Cable)(DFP Type Undefined)(USB VID=05ACh)(XID=0h)(USB PID=1234h)"
                  "(USB bcdDevice=0100h)(HWVer=0001h)(FWVer=0002h)(Type-C to Type-C)(EPR)"
                  "(Cable Latency <10ns(<1m))(VCONN not required.)(Max Vbus 30V)(Vbus 5A)"
                  "(USB3.2 / USB4 Gen2)");
    EXPECT_EQ(Text(kOsSopPrime, 1, {ack, idHeader, 0, 0x12340100, cable}),
              prefix +
                  "(Passive Cable)(USB VID=05ACh)(XID=0h)(USB PID=1234h)(USB bcdDevice=0100h)"
                  "(HWVer=0001h)(FWVer=0002h)(Type-C to Type-C)(Type-C Plug to Receptacle)"
                  "(Cable Latency <10ns(<1m))(Both ends Passive, VCONN not required.)"
                  "(SSTX1/SSTX2/SSRX1/SSRX2=Fixed/Config/Fixed/Fixed)(VBUS Curr 5A)"
                  "(USB3.1 Gen1 and Gen2)");
}

TEST(VdmText, PassiveCableReservedCodesRevision30) {
    const uint32_t ack = VdmHeader({.command = 1, .commandType = 1});
    // Plug 0, latency 0, termination 3, VBUS current 3, speed 7.
    const uint32_t cable = (3u << 11) | (3u << 5) | 7u;
    EXPECT_EQ(Text(kOsSopPrime, 2, {ack, 3u << 27, 0, 0, cable}),
              "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)"
              "(Passive Cable)(DFP Type Undefined)(USB VID=0000h)(XID=0h)(USB PID=0000h)"
              "(USB bcdDevice=0000h)(HWVer=0000h)(FWVer=0000h)(Invalid Type-C Type)"
              "(Invalid Cable Latency)(Invalid Cable Term Type)(Max Vbus 20V)"
              "(Invalid Vbus Current)");
}

TEST(VdmText, ActiveCableVdoByRevision) {
    const uint32_t ack = VdmHeader({.command = 1, .commandType = 1});
    const uint32_t idHeader = 4u << 27;
    const std::string prefix =
        "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)(Active Cable)";
    // Captive plug to plug, latency 9, both ends active, VBUS 3 A, VBUS through cable, SOP''.
    const uint32_t pd2 = (3u << 18) | (9u << 13) | (3u << 11) | (1u << 5) | (1u << 4) | (1u << 3);
    EXPECT_EQ(Text(kOsSopPrime, 1, {ack, idHeader, 0, 0, pd2}),
              prefix +
                  "(USB VID=0000h)(XID=0h)(USB PID=0000h)(USB bcdDevice=0000h)(HWVer=0000h)"
                  "(FWVer=0000h)(Type-C Cabtive)(Type-C Plug to Plug)"
                  "(Cable Latency 2000ns(<200m))(Both ends Active, VCONN required.)"
                  "(SSTX1/SSTX2/SSRX1/SSRX2=Fixed/Fixed/Fixed/Fixed)(VBUS Curr 3A)"
                  "VBUS through cable)SOP'' controller present)(USB2.0 only)");
    // Revision 3.0: latency 10, termination 0, VBUS 5 A, speed 4.
    const uint32_t pd3 = (2u << 18) | (10u << 13) | (2u << 5) | (1u << 4) | 4u;
    EXPECT_EQ(Text(kOsSopPrime, 2, {ack, idHeader, 0, 0, pd3}),
              prefix +
                  "(DFP Type Undefined)(USB VID=0000h)(XID=0h)(USB PID=0000h)"
                  "(USB bcdDevice=0000h)(HWVer=0000h)(FWVer=0000h)(Type-C to Type-C)"
                  "(Cable Latency 3000ns(<300m))(Invalid Cable Term Type)(Vbus Curr 5A)"
                  "VBUS through cable)(USB4 Gen4)");
}

TEST(VdmText, AlternateModeAdapterVdo) {
    const uint32_t ack = VdmHeader({.command = 1, .commandType = 1});
    const uint32_t idHeader = 5u << 27;
    // HW 3, FW 4, Vbus and Vconn required, Vconn 1.5 W, billboard only.
    const uint32_t ama = 0x34000000 | (1u << 3) | (1u << 4) | (1u << 5) | 3u;
    EXPECT_EQ(Text(kOsSop, 2, {ack, idHeader, 0, 0, ama}),
              "Discover Identity (ACK) (SVID=StdID)(Object Position=0)(Ver.2.0)"
              "(UFP Alternate Mode Adapter)(DFP Type Undefined)(USB VID=0000h)(XID=0h)"
              "(USB PID=0000h)(USB bcdDevice=0000h)(HWVer=0003h)(FWVer=0004h)(Vbus required)"
              "(Vconn required)(Vconn 1.5W)(USB2.0 billboard onyl)");
}

TEST(VdmText, ExtendedMessageHasNoText) {
    EXPECT_EQ(VdmText(*hand::Extended(kOsSop, {.type = 15, .dataSize = 4}, {1, 0, 0, 0})), "");
}

TEST(SvidName, KnownNamesAndHex) {
    EXPECT_EQ(SvidName(0xFF00), "StdID");
    EXPECT_EQ(SvidName(0xFF01), "DisplayPort");
    EXPECT_EQ(SvidName(0x8087), "TBT3");
    EXPECT_EQ(SvidName(0x00AB), "00ABh");
}

}  // namespace
