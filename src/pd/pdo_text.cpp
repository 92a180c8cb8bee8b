#include "pd/pdo_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "pd/bit_field.h"
#include "pd/chunk_assembler.h"
#include "pd/message_header.h"
#include "pd/text_format.h"

namespace {

enum PdoType : uint32_t { kPdoFixed = 0, kPdoBattery = 1, kPdoVariable = 2, kPdoAugmented = 3 };
enum ApdoKind : uint32_t { kApdoPps = 0, kApdoAvs = 1 };

enum class Direction { kSource, kSink };
enum class Form { kLong, kShort };

uint32_t PdoType(uint32_t pdo) {
    return BitField(pdo, 30, 31);
}
uint32_t ApdoKind(uint32_t pdo) {
    return BitField(pdo, 28, 29);
}
int FixedVoltageMv(uint32_t pdo) {
    return static_cast<int>(BitField(pdo, 10, 19) * 50);
}
int FixedCurrentMa(uint32_t pdo) {
    return static_cast<int>(BitField(pdo, 0, 9) * 10);
}
int MaxVoltageMv(uint32_t pdo) {
    return static_cast<int>(BitField(pdo, 20, 29) * 50);
}
int MinVoltageMv(uint32_t pdo) {
    return static_cast<int>(BitField(pdo, 10, 19) * 50);
}
int BatteryPowerMw(uint32_t pdo) {
    return static_cast<int>(BitField(pdo, 0, 9) * 250);
}

struct FlagText {
    int bit;
    const char* longText;
    const char* shortText;
};

// Flag bits of a Fixed PDO in the order they are printed.
constexpr FlagText kSourceFixedFlags[] = {
    {29, "(Dual-Role Power)", "(DRP)"},
    {28, "(USB Suspend)", "(USB Suspend)"},
    {27, "(Unconstrained)", "(Unconstrained)"},
    {26, "(USB Communications)", "(USB Comm)"},
    {25, "(Data-Role Data)", "(DRD)"},
    {24, "(Unchunked)", "(Unchunked)"},
    {23, "(EPR)", "(EPR)"},
};
constexpr FlagText kSinkFixedFlags[] = {
    {29, "(Dual-Role Power)", "(DRP)"},     {27, "(Unconstrained)", "(Unconstrained)"},
    {28, "(Higher Capability)", "(HiCap)"}, {26, "(USB Communications)", "(USB Comm)"},
    {25, "(Data-Role Data)", "(DRD)"},
};
// Sink Fast Role Swap required current, bits 23-24; code 0 prints nothing.
constexpr const char* kFastRoleSwapTexts[] = {
    "",
    "(FRSwap Default USB)",
    "(FRSwap 1.5A@5V)",
    "(FRSwap 3.0A@5V)",
};

void AppendFixedFlags(std::string& out, uint32_t pdo, Direction direction, Form form) {
    const auto append = [&](const FlagText& flag) {
        if (BitSet(pdo, flag.bit)) {
            out += form == Form::kLong ? flag.longText : flag.shortText;
        }
    };
    if (direction == Direction::kSource) {
        for (const FlagText& flag : kSourceFixedFlags) {
            append(flag);
        }
        return;
    }
    for (const FlagText& flag : kSinkFixedFlags) {
        append(flag);
    }
    out += kFastRoleSwapTexts[BitField(pdo, 23, 24)];
}

// One PDO of a Source_Capabilities or Sink_Capabilities data message, without its number.
// The kind of an APDO; the long and short texts name an unknown kind differently.
void AppendApdoKind(std::string& out, uint32_t pdo, const char* unknownText) {
    switch (ApdoKind(pdo)) {
        case kApdoPps:
            out += "(PPS)";
            break;
        case kApdoAvs:
            out += "(AVS)";
            break;
        default:
            out += unknownText;
            break;
    }
}

void AppendLongPdo(std::string& out, uint32_t pdo, Direction direction) {
    switch (PdoType(pdo)) {
        case kPdoFixed:
            out += "<Fixed>";
            AppendFormat(out, " %d[mV]/%d[mA] ", FixedVoltageMv(pdo), FixedCurrentMa(pdo));
            AppendFixedFlags(out, pdo, direction, Form::kLong);
            if (direction == Direction::kSource) {
                AppendFormat(out, "(Peak Current=%d)", static_cast<int>(BitField(pdo, 20, 21)));
            }
            break;
        case kPdoBattery:
            out += "<Battery>";
            AppendFormat(out, " %d-%d[mV] ", MinVoltageMv(pdo), MaxVoltageMv(pdo));
            AppendFormat(out, "(MaxPower=%d[mW])", BatteryPowerMw(pdo));
            break;
        case kPdoVariable:
            out += "<None-Battery>";
            AppendFormat(out, " %d-%d[mV]/%d[mA] ", MinVoltageMv(pdo), MaxVoltageMv(pdo),
                         FixedCurrentMa(pdo));
            break;
        default:
            out += "<APDO>";
            AppendApdoKind(out, pdo, " (Unknown type)");
            break;
    }
}

// One PDO of an EPR capabilities block, without its number.
void AppendShortPdo(std::string& out, uint32_t pdo, Direction direction) {
    switch (PdoType(pdo)) {
        case kPdoFixed: {
            // Volts and amperes in single precision, as the analyzer's texts always were.
            const float volts = static_cast<float>(FixedVoltageMv(pdo)) / 1000.0f;
            const float amperes = static_cast<float>(FixedCurrentMa(pdo)) / 1000.0f;
            out += "<Fix>";
            AppendFormat(out, "%.2fV/%.2fA", static_cast<double>(volts),
                         static_cast<double>(amperes));
            AppendFixedFlags(out, pdo, direction, Form::kShort);
            break;
        }
        case kPdoBattery:
            out += "<Battery>";
            AppendFormat(out, "%d-%d[mV]", MinVoltageMv(pdo), MaxVoltageMv(pdo));
            AppendFormat(out, "(MaxPower=%d[mW])", BatteryPowerMw(pdo));
            break;
        case kPdoVariable:
            out += "<None-Battery>";
            AppendFormat(out, "%d-%d[mV]/%d[mA]", MinVoltageMv(pdo), MaxVoltageMv(pdo),
                         FixedCurrentMa(pdo));
            break;
        default:
            out += "<APDO>";
            AppendApdoKind(out, pdo,
                           direction == Direction::kSource ? "(Unknown)" : "(Unknown type)");
            break;
    }
}

std::string LongCapsText(const CCCPacket& packet, Direction direction) {
    std::string out;
    if (IsExtended(packet)) {
        return out;
    }
    const int count = DataObjectCount(packet);
    for (int i = 0; i < count; ++i) {
        AppendFormat(out, "[%d]", i + 1);
        AppendLongPdo(out, DataObject(packet, i), direction);
        out += ' ';
    }
    return out;
}

std::string ShortCapsText(const CCCPacket& packet, Direction direction) {
    std::string out;
    if (packet.chunkOffset != 0) {
        return out;
    }
    // Never read past the block actually held, whatever the Data Size claims.
    const std::span<const uint8_t> block = ReassembledBytes(packet);
    const size_t pdoCount = block.size() / 4;
    for (size_t k = 0; k < pdoCount; ++k) {
        const uint8_t* bytes = block.data() + 4 * k;
        const uint32_t pdo =
            static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
            (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
        if (pdo == 0) {
            continue;  // not received yet, or padding; the number is still used up
        }
        AppendFormat(out, "[%d]", static_cast<int>(k + 1));
        AppendShortPdo(out, pdo, direction);
        out += ' ';
    }
    return out;
}

const char* RequestedTypeName(uint32_t pdo) {
    switch (PdoType(pdo)) {
        case kPdoFixed:
            return "Fixed";
        case kPdoBattery:
            return "Battery";
        case kPdoVariable:
            return "Variable";
        default:
            switch (ApdoKind(pdo)) {
                case kApdoPps:
                    return "APDO(PPS)";
                case kApdoAvs:
                    return "APDO(AVS)";
                default:
                    return "APDO(Unknown)";
            }
    }
}

void AppendRequestValues(std::string& out, uint32_t rdo, uint32_t pdo) {
    const bool giveBack = BitSet(rdo, 27);
    switch (PdoType(pdo)) {
        case kPdoFixed:
        case kPdoVariable:
            AppendFormat(out, "(Operating Current=%d[mA])",
                         static_cast<int>(BitField(rdo, 10, 19) * 10));
            AppendFormat(
                out, giveBack ? "(Min Operating Current=%d[mA])" : "(Max Operating Current=%d[mA])",
                static_cast<int>(BitField(rdo, 0, 9) * 10));
            if (giveBack) {
                out += "(GiveBack)";
            }
            break;
        case kPdoBattery:
            AppendFormat(out, "(Operating Power=%d[mW])",
                         static_cast<int>(BitField(rdo, 10, 19) * 250));
            AppendFormat(out,
                         giveBack ? "(Min Operating Power=%d[mW])" : "(Max Operating Power=%d[mW])",
                         static_cast<int>(BitField(rdo, 0, 9) * 250));
            if (giveBack) {
                out += "(GiveBack)";
            }
            break;
        default:
            if (ApdoKind(pdo) == kApdoPps) {
                AppendFormat(out, "(Operating Curren=%d[mA])",
                             static_cast<int>(BitField(rdo, 0, 6) * 50));
                AppendFormat(out, "(Output Voltage=%d[mV])",
                             static_cast<int>(BitField(rdo, 9, 19) * 20));
            } else if (ApdoKind(pdo) == kApdoAvs) {
                AppendFormat(out, "(Operating Curren=%d[mA])",
                             static_cast<int>(BitField(rdo, 0, 6) * 50));
                AppendFormat(out, "(Output Voltage=%d[mV])",
                             static_cast<int>(BitField(rdo, 9, 20) * 25));
            }
            break;
    }
}

struct RequestFlag {
    int bit;
    const char* text;
};
constexpr RequestFlag kRequestFlags[] = {
    {26, "(Capability Mismatch)"},
    {25, "(USB Commincations Capable)"},
    {24, "(No USB Suspend)"},
    {23, "(Unchunked)"},
    {22, "(EPR)"},
};

// The text of a Request Data Object answering `pdo` (none when the PDO is unknown).
std::string RdoText(uint32_t rdo, std::optional<uint32_t> pdo) {
    std::string out = FormatText("Position=%d", static_cast<int>(BitField(rdo, 28, 31)));
    if (!pdo) {
        return out;
    }
    out += '<';
    out += RequestedTypeName(*pdo);
    out += "> ";
    AppendRequestValues(out, rdo, *pdo);
    for (const RequestFlag& flag : kRequestFlags) {
        if (BitSet(rdo, flag.bit)) {
            out += flag.text;
        }
    }
    return out;
}

constexpr const char* kInvalidCount = "Invalid Data Objects Count.";

}  // namespace

std::string SourceCapsText(const CCCPacket& packet) {
    return LongCapsText(packet, Direction::kSource);
}

std::string SinkCapsText(const CCCPacket& packet) {
    return LongCapsText(packet, Direction::kSink);
}

std::string EprSourceCapsText(const CCCPacket& packet) {
    return ShortCapsText(packet, Direction::kSource);
}

std::string EprSinkCapsText(const CCCPacket& packet) {
    return ShortCapsText(packet, Direction::kSink);
}

std::string RequestText(const CCCPacket& packet) {
    if (IsExtended(packet)) {
        return {};
    }
    if (DataObjectCount(packet) != 1) {
        return kInvalidCount;
    }
    const uint32_t rdo = DataObject(packet, 0);
    const int position = static_cast<int>(BitField(rdo, 28, 31));
    std::optional<uint32_t> pdo;
    // The referenced capabilities may have been removed from the capture: then no PDO.
    if (const PacketPtr caps = packet.sourceCapsRef.lock()) {
        if (position >= 1 && position <= DataObjectCount(*caps)) {
            pdo = DataObject(*caps, position - 1);
        }
    }
    return RdoText(rdo, pdo);
}

std::string EprRequestText(const CCCPacket& packet) {
    if (IsExtended(packet)) {
        return {};
    }
    if (DataObjectCount(packet) != 2) {
        return kInvalidCount;
    }
    return RdoText(DataObject(packet, 0), DataObject(packet, 1));
}
