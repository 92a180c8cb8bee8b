#include "pd/vdm_text.h"

#include "pd/bit_field.h"
#include "pd/message_header.h"
#include "pd/text_format.h"
#include "pd/vdm_constants.h"

namespace {

enum ProductType : uint32_t {
    kPassiveCable = 3,
    kActiveCable = 4,
    kAlternateModeAdapter = 5,
};

// --- VDM header ---

void AppendCommandName(std::string& out, uint32_t command, uint16_t svid) {
    static const char* const kNames[] = {
        "",           "Discover Identity", "Discover SVIDs", "Discover Modes",
        "Enter Mode", " Exit Mode",        " Attention",
    };
    if (command >= 1 && command <= 6) {
        out += kNames[command];
    } else if (command >= 16) {
        if (svid == kSvidDisplayPort && command == 16) {
            out += "DisplayPort Status Update";
        } else if (svid == kSvidDisplayPort && command == 17) {
            out += "DisplayPort Configure";
        } else {
            AppendFormat(out, "SVID Specific Command %d", static_cast<int>(command));
        }
    } else {
        AppendFormat(out, "(Invalid Command %d)", static_cast<int>(command));
    }
}

void AppendVersion(std::string& out, uint32_t major, uint32_t minor) {
    if (major == 0) {
        out += "(Ver.1.0)";
    } else if (major == 1) {
        static const char* const kMinor[] = {"(Ver.2.0)", "(Ver.2.1)", "(Ver.2.x)", "(Ver.2.x)"};
        out += kMinor[minor & 3];
    } else {
        out += "(Unknown Ver.)";
    }
}

void AppendStructuredHeader(std::string& out, uint32_t header) {
    const uint16_t svid = static_cast<uint16_t>(BitField(header, 16, 31));
    AppendCommandName(out, BitField(header, 0, 4), svid);
    static const char* const kCommandTypes[] = {"(Request)", "(ACK)", "(NAK)", "(BUSY)"};
    out += ' ';
    out += kCommandTypes[BitField(header, 6, 7)];
    out += ' ';
    AppendFormat(out, "(SVID=%s)", SvidName(svid).c_str());
    const uint32_t position = BitField(header, 8, 10);
    if (position == 7) {
        out += "(Exit all Active Modes)";
    } else {
        AppendFormat(out, "(Object Position=%d)", static_cast<int>(position));
    }
    AppendVersion(out, BitField(header, 13, 14), BitField(header, 11, 12));
}

// --- Cable and adapter VDOs ---

// Latency codes 1-7 are shared by every cable VDO.
const char* const kLatencyTexts[] = {
    "",
    "(Cable Latency <10ns(<1m))",
    "(Cable Latency 10 to 20ns(<2m))",
    "(Cable Latency 20 to 30ns(<3m))",
    "(Cable Latency 30 to 40ns(<4m))",
    "(Cable Latency 40 to 50ns(<5m))",
    "(Cable Latency 50 to 60ns(<6m))",
    "(Cable Latency 60 to 70ns(<7m))",
    "(Cable Latency 1000ns(<100m))",
    "(Cable Latency 2000ns(<200m))",
    "(Cable Latency 3000ns(<300m))",
};
constexpr uint32_t kLatencyCodeCount = sizeof kLatencyTexts / sizeof kLatencyTexts[0];

void AppendHardwareVersion(std::string& out, uint32_t vdo) {
    AppendFormat(out, "(HWVer=%04Xh)", static_cast<unsigned>(BitField(vdo, 28, 31)));
}

void AppendFirmwareVersion(std::string& out, uint32_t vdo) {
    AppendFormat(out, "(FWVer=%04Xh)", static_cast<unsigned>(BitField(vdo, 24, 27)));
}

// The cable VDO fields of a revision 1.0 / 2.0 message. Active cables print the two VBUS bits
// without their opening parenthesis.
void AppendCableVdoPd2(std::string& out, uint32_t vdo, bool active) {
    AppendFirmwareVersion(out, vdo);
    const uint32_t plug = BitField(vdo, 18, 19);
    static const char* const kPlugs[] = {"(Type-C to Type-A)", "(Type-C to Type-B)",
                                         "(Type-C to Type-C)", "(Type-C Cabtive)"};
    out += kPlugs[plug];
    if (plug >= 2) {
        out += BitSet(vdo, 17) ? "(Type-C Plug to Receptacle)" : "(Type-C Plug to Plug)";
    }
    const uint32_t latency = BitField(vdo, 13, 16);
    if (latency < kLatencyCodeCount) {
        out += kLatencyTexts[latency];
    }
    static const char* const kTerminations[] = {
        "(Both ends Passive, VCONN not required.)",
        "(Both ends Passive, VCONN required.)",
        "(Active and Passive, VCONN required.)",
        "(Both ends Active, VCONN required.)",
    };
    out += kTerminations[BitField(vdo, 11, 12)];
    const auto superSpeed = [&](int bit) { return BitSet(vdo, bit) ? "Config" : "Fixed"; };
    AppendFormat(out, "(SSTX1/SSTX2/SSRX1/SSRX2=%s/%s/%s/%s)", superSpeed(10), superSpeed(9),
                 superSpeed(8), superSpeed(7));
    static const char* const kCurrents[] = {"(VBUS not through cable.)", "(VBUS Curr 3A)",
                                            "(VBUS Curr 5A)", ""};
    out += kCurrents[BitField(vdo, 5, 6)];
    AppendIfBit(out, vdo, 4, active ? "VBUS through cable)" : "(VBUS through cable)");
    AppendIfBit(out, vdo, 3, active ? "SOP'' controller present)" : "(SOP'' controller present)");
    static const char* const kSpeeds[] = {"(USB2.0 only)", "(USB3.1 Gen1)",
                                          "(USB3.1 Gen1 and Gen2)"};
    AppendTableText(out, kSpeeds, BitField(vdo, 0, 2));
}

// Plug type and EPR bit of a revision 3.0 cable VDO.
void AppendCablePlugPd3(std::string& out, uint32_t vdo) {
    static const char* const kPlugs[] = {"(Invalid Type-C Type)", "(Invalid Type-C Type)",
                                         "(Type-C to Type-C)", "(Type-C Cabtive)"};
    out += kPlugs[BitField(vdo, 18, 19)];
    AppendIfBit(out, vdo, 17, "(EPR)");
}

void AppendCableSpeedPd3(std::string& out, uint32_t vdo) {
    static const char* const kSpeeds[] = {"(USB2.0 only)", "(USB3.2 Gen1)", "(USB3.2 / USB4 Gen2)",
                                          "(USB4 Gen3)", "(USB4 Gen4)"};
    AppendTableText(out, kSpeeds, BitField(vdo, 0, 2));
}

void AppendPassiveCablePd3(std::string& out, uint32_t vdo) {
    AppendFirmwareVersion(out, vdo);
    AppendCablePlugPd3(out, vdo);
    const uint32_t latency = BitField(vdo, 13, 16);
    if (latency >= 1 && latency <= 7) {
        out += kLatencyTexts[latency];
    } else if (latency == 8) {
        out += "(Cable Latency > 70ns(>7m))";
    } else {
        out += "(Invalid Cable Latency)";
    }
    static const char* const kTerminations[] = {"(VCONN not required.)", "(VCONN required.)",
                                                "(Invalid Cable Term Type)",
                                                "(Invalid Cable Term Type)"};
    out += kTerminations[BitField(vdo, 11, 12)];
    static const char* const kMaxVbus[] = {"(Max Vbus 20V)", "(Max Vbus 30V)", "(Max Vbus 40V)",
                                           "(Max Vbus 50V)"};
    out += kMaxVbus[BitField(vdo, 9, 10)];
    static const char* const kCurrents[] = {"(Invalid Vbus Current)", "(Vbus 3A)", "(Vbus 5A)",
                                            "(Invalid Vbus Current)"};
    out += kCurrents[BitField(vdo, 5, 6)];
    AppendCableSpeedPd3(out, vdo);
}

void AppendActiveCablePd3(std::string& out, uint32_t vdo) {
    AppendFirmwareVersion(out, vdo);
    AppendCablePlugPd3(out, vdo);
    const uint32_t latency = BitField(vdo, 13, 16);
    if (latency >= 1 && latency <= 10) {
        out += kLatencyTexts[latency];
    } else {
        out += "(Invalid Cable Latency)";
    }
    static const char* const kTerminations[] = {
        "(Invalid Cable Term Type)", "(Invalid Cable Term Type)",
        "(Active and Passive, VCONN required.)", "(Both ends Active, VCONN required.)"};
    out += kTerminations[BitField(vdo, 11, 12)];
    static const char* const kCurrents[] = {"(Invalid Vbus Current)", "(VBUS Curr 3A)",
                                            "(Vbus Curr 5A)", "(Invalid Vbus Current)"};
    out += kCurrents[BitField(vdo, 5, 6)];
    AppendIfBit(out, vdo, 4, "VBUS through cable)");
    AppendIfBit(out, vdo, 3, "SOP'' controller present)");
    AppendCableSpeedPd3(out, vdo);
}

void AppendAlternateModeAdapter(std::string& out, uint32_t vdo) {
    AppendHardwareVersion(out, vdo);
    AppendFirmwareVersion(out, vdo);
    AppendIfBit(out, vdo, 3, "(Vbus required)");
    AppendIfBit(out, vdo, 4, "(Vconn required)");
    static const char* const kVconnPower[] = {"(Vconn 1W)", "(Vconn 1.5W)", "(Vconn 2W)",
                                              "(Vconn 3W)", "(Vconn 4W)",   "(Vconn 5W)",
                                              "(Vconn 6W)"};
    AppendTableText(out, kVconnPower, BitField(vdo, 5, 7));
    static const char* const kSpeeds[] = {"(USB2.0 only)", "(USB3.1 Gen1)",
                                          "(USB3.1 Gen1 and Gen2)", "(USB2.0 billboard onyl)"};
    AppendTableText(out, kSpeeds, BitField(vdo, 0, 2));
}

void AppendProductTypeVdo(std::string& out, uint32_t productType, uint32_t vdo, bool pd3) {
    switch (productType) {
        case kPassiveCable:
            AppendHardwareVersion(out, vdo);
            if (pd3) {
                AppendPassiveCablePd3(out, vdo);
            } else {
                AppendCableVdoPd2(out, vdo, false);
            }
            break;
        case kActiveCable:
            AppendHardwareVersion(out, vdo);
            if (pd3) {
                AppendActiveCablePd3(out, vdo);
            } else {
                AppendCableVdoPd2(out, vdo, true);
            }
            break;
        case kAlternateModeAdapter:
            AppendAlternateModeAdapter(out, vdo);
            break;
        default:
            break;
    }
}

// --- Structured commands with objects ---

void AppendDiscoverIdentity(std::string& out, const CCCPacket& packet, int objectCount) {
    const bool pd3 = HasRevision3Layout(packet);
    const uint32_t idHeader = DataObject(packet, 1);
    const uint32_t productType = BitField(idHeader, 27, 29);
    if (packet.orderedSetKind == kOsSop) {
        static const char* const kUfpTypes[] = {
            "(UFP Type Undefined)",
            "(UFP Hub)",
            "(UFP Peripheral)",
            "(UFP PSD)",
            "(invalid type)",
            "(UFP Alternate Mode Adapter)",
            "(UFP VPD)",
            "(invalid type)",
        };
        // PSD and VPD only exist from revision 3.0 on; earlier messages show no type for them.
        if (pd3 || (productType != 3 && productType != 6)) {
            out += kUfpTypes[productType];
        }
    } else {
        static const char* const kCableTypes[] = {
            "(Type Undefined)", "(invalid type)", "(invalid type)", "(Passive Cable)",
            "(Active Cable)",   "(invalid type)", "(invalid type)", "(invalid type)",
        };
        out += kCableTypes[productType];
    }
    if (pd3) {
        static const char* const kDfpTypes[] = {
            "(DFP Type Undefined)",
            "(DFP Hub)",
            "(DFP Host)",
            "(DFP Power Brick)",
            "(DFP Alternate Mode Controller)",
            "(invalid type)",
            "(invalid type)",
            "(invalid type)",
        };
        out += kDfpTypes[BitField(idHeader, 23, 25)];
    }
    AppendFormat(out, "(USB VID=%04Xh)", static_cast<unsigned>(BitField(idHeader, 0, 15)));
    AppendIfBit(out, idHeader, 31, "(USB Host)");
    AppendIfBit(out, idHeader, 30, "(USB Device)");
    AppendIfBit(out, idHeader, 26, "(Modal Supported)");
    if (objectCount >= 3) {
        AppendFormat(out, "(XID=%Xh)", static_cast<unsigned>(DataObject(packet, 2)));
    }
    if (objectCount >= 4) {
        const uint32_t product = DataObject(packet, 3);
        AppendFormat(out, "(USB PID=%04Xh)", static_cast<unsigned>(BitField(product, 16, 31)));
        AppendFormat(out, "(USB bcdDevice=%04Xh)", static_cast<unsigned>(BitField(product, 0, 15)));
    }
    if (objectCount >= 5) {
        AppendProductTypeVdo(out, productType, DataObject(packet, 4), pd3);
    }
}

void AppendDiscoverSvids(std::string& out, const CCCPacket& packet, int objectCount) {
    int k = 0;
    for (int i = 1; i < objectCount; ++i) {
        const uint32_t object = DataObject(packet, i);
        const uint16_t upper = static_cast<uint16_t>(BitField(object, 16, 31));
        const uint16_t lower = static_cast<uint16_t>(BitField(object, 0, 15));
        if (upper == 0) {
            continue;
        }
        AppendFormat(out, "(SVID%d=%s)", k, SvidName(upper).c_str());
        if (lower != 0) {
            AppendFormat(out, "(SVID%d=%s)", k + 1, SvidName(lower).c_str());
            k += 2;
        } else {
            k += 1;
        }
    }
}

void AppendDiscoverModes(std::string& out, const CCCPacket& packet, int objectCount) {
    for (int i = 1; i < objectCount; ++i) {
        AppendFormat(out, "(Mode%d=%08Xh)", i, static_cast<unsigned>(DataObject(packet, i)));
    }
}

void AppendAttention(std::string& out, const CCCPacket& packet, uint16_t svid) {
    if (svid != kSvidDisplayPort) {
        return;
    }
    const uint32_t status = DataObject(packet, 1);
    out += BitSet(status, 7) ? "(HPD_High)" : "(HPD_Low)";
    AppendIfBit(out, status, 8, "(IRQ_HPD)");
}

}  // namespace

std::string SvidName(uint16_t svid) {
    switch (svid) {
        case kSvidStandard:
            return "StdID";
        case kSvidDisplayPort:
            return "DisplayPort";
        case kSvidThunderbolt:
            return "TBT3";
        default:
            return FormatText("%04Xh", static_cast<unsigned>(svid));
    }
}

std::string VdmText(const CCCPacket& packet) {
    std::string out;
    if (IsExtended(packet)) {
        return out;
    }
    const uint32_t header = DataObject(packet, 0);
    if (!BitSet(header, 15)) {
        const unsigned vendorData = BitField(header, 0, 14);
        AppendFormat(out, "<Unstructured VDM> VID=%04Xh VendorData=%04Xh(%d)",
                     static_cast<unsigned>(BitField(header, 16, 31)), vendorData,
                     static_cast<int>(vendorData));
        return out;
    }
    AppendStructuredHeader(out, header);
    const int objectCount = DataObjectCount(packet);
    if (objectCount < 2) {
        return out;
    }
    switch (BitField(header, 0, 4)) {
        case kVdmDiscoverIdentity:
            AppendDiscoverIdentity(out, packet, objectCount);
            break;
        case kVdmDiscoverSvids:
            AppendDiscoverSvids(out, packet, objectCount);
            break;
        case kVdmDiscoverModes:
            AppendDiscoverModes(out, packet, objectCount);
            break;
        case kVdmAttention:
            AppendAttention(out, packet, static_cast<uint16_t>(BitField(header, 16, 31)));
            break;
        default:
            break;
    }
    return out;
}
