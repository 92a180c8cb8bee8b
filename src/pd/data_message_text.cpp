#include "pd/data_message_text.h"

#include <cstdint>

#include "pd/bit_field.h"
#include "pd/message_header.h"
#include "pd/text_format.h"

std::string BistText(const CCCPacket& packet) {
    std::string out;
    if (IsExtended(packet)) {
        return out;
    }
    const uint32_t object = DataObject(packet, 0);
    const uint32_t mode = BitField(object, 28, 31);
    static const char* const kModes[] = {
        "BIST Receiver Mode",          "BIST Transmit Mode",         "Returend BIST Counters",
        "BIST Carrier Mode 0",         "BIST Carrier Mode 1",        "BIST Carrier Mode 2",
        "BIST Carrier Mode 3",         "BIST Eye Pattern",           "BIST Test Data",
        "BIST Shared Test Mode Entry", "BIST Shared Test Mode Exit",
    };
    if (mode < sizeof kModes / sizeof kModes[0]) {
        out += kModes[mode];
    } else {
        AppendFormat(out, "(Unknown BIST code %d)", static_cast<int>(mode));
    }
    AppendFormat(out, " (16-bit unsigned integer = %04Xh)",
                 static_cast<unsigned>(BitField(object, 0, 15)));
    return out;
}

std::string CountryInfoText(const CCCPacket& packet) {
    if (IsExtended(packet)) {
        return {};
    }
    return FormatText("CCDO=%08Xh)", static_cast<unsigned>(DataObject(packet, 0)));
}

std::string EnterUsbText(const CCCPacket& packet) {
    std::string out;
    if (IsExtended(packet)) {
        return out;
    }
    if (DataObjectCount(packet) != 1) {
        return "Invalid Data Objects Count.";
    }
    const uint32_t object = DataObject(packet, 0);
    static const char* const kModes[] = {"USB Mode=USB2.0 ", "USB Mode=USB3.2 ", "USB Mode=USB4 "};
    const uint32_t mode = BitField(object, 28, 30);
    out += mode < 3 ? kModes[mode] : "USB Mode=Unknown ";
    AppendIfBit(out, object, 26, "(USB4 DRD)");
    AppendIfBit(out, object, 25, "(USB3 DRD)");
    static const char* const kSpeeds[] = {
        "(CableSpeed=USB2.0 only)", "(CableSpeed=USB3.2 Gen1)", "(CableSpeed=USB3.2/USB4 Gen2)",
        "(CableSpeed=USB4 Gen3)",   "(CableSpeed=USB4 Gen4)",
    };
    AppendTableText(out, kSpeeds, BitField(object, 21, 23));
    static const char* const kTypes[] = {
        "(CableType=Passive)",
        "(CableType=Active Re-timer)",
        "(CableType=Active Re-driver)",
        "(CableType=Optically isolated)",
    };
    out += kTypes[BitField(object, 19, 20)];
    static const char* const kCurrents[] = {"", "", "(CableCurrent=3A)", "(CableCurrent=5A)"};
    out += kCurrents[BitField(object, 17, 18)];
    AppendIfBit(out, object, 16, "(PCIe Support)");
    AppendIfBit(out, object, 15, "(DP Support)");
    AppendIfBit(out, object, 14, "(TBT Support)");
    AppendIfBit(out, object, 13, "(Host Present)");
    return out;
}

std::string EprModeText(const CCCPacket& packet) {
    std::string out;
    if (IsExtended(packet)) {
        return out;
    }
    const uint32_t object = DataObject(packet, 0);
    const uint32_t action = BitField(object, 24, 31);
    const uint32_t data = BitField(object, 16, 23);
    switch (action) {
        case 1:
            out += "Enter";
            AppendFormat(out, " (EPR Sink Operational PDP=%d[W])", static_cast<int>(data));
            break;
        case 2:
            out += "Enter Acknowledged";
            break;
        case 3:
            out += "Enter Succeeded";
            break;
        case 4: {
            out += "Enter Failed ";
            static const char* const kCauses[] = {
                "(Unknown cause)",
                "(Cable not EPR capable)",
                "(Source failed to become VCONN source)",
                "(EPR Mode Capable bit not set in RDO)",
                "(Source unable to enter EPR Mode at this time)",
                "(EPR Mode Capable bit not set in PDO)",
            };
            AppendTableText(out, kCauses, data);
            break;
        }
        case 5:
            out += "Exit";
            break;
        default:
            out += "(Unknown Action)";
            break;
    }
    return out;
}

std::string SourceInfoText(const CCCPacket& packet) {
    std::string out;
    if (IsExtended(packet)) {
        return out;
    }
    const uint32_t object = DataObject(packet, 0);
    out += BitSet(object, 31) ? "Port Type=Guaranteed" : "Port Type=Managed";
    AppendFormat(out, "(Max PDP=%d[W])", static_cast<int>(BitField(object, 16, 23)));
    AppendFormat(out, "(Present PDP=%d[W])", static_cast<int>(BitField(object, 8, 15)));
    AppendFormat(out, "(Reported PDP=%d[W])", static_cast<int>(BitField(object, 0, 7)));
    return out;
}

std::string RevisionDoText(const CCCPacket& packet) {
    if (IsExtended(packet)) {
        return {};
    }
    const uint32_t object = DataObject(packet, 0);
    return FormatText("Revision %d.%d, Version %d.%d", static_cast<int>(BitField(object, 28, 31)),
                      static_cast<int>(BitField(object, 24, 27)),
                      static_cast<int>(BitField(object, 20, 23)),
                      static_cast<int>(BitField(object, 16, 19)));
}
