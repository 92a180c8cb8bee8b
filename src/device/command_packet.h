// The 64-byte command packets the analyzer takes on bulk OUT 0x01, and the CC terminations it
// can inject.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr size_t kCommandPacketSize = 64;
// The signature ZIZU that opens every packet: 0x4B564343, on the wire 43 43 56 4B.
inline constexpr uint32_t kCommandSignature = 0x4B564343;
inline constexpr size_t kCommandPayloadOffset = 8;

enum CommandCode : uint32_t {
    kCommandSetCcTermination = 1,
    kCommandSetSamplingInterval = 6,
    kCommandEnterFirmwareUpdate = 7,
};

enum class CcTermination : uint8_t {
    kNone = 0,
    kRa = 1,
    kRd = 2,
    kRpDefault = 3,
    kRp1A5 = 4,
    kRp3A0 = 5,
};
inline constexpr int kCcTerminationCount = 6;

enum class CcLine : uint8_t { kCc1 = 0, kCc2 = 1 };

// The fixed byte at offset 12 of SetSamplingInterval. Its meaning inside the analyzer is not
// known to the host; it is always sent as 3.
inline constexpr uint8_t kSamplingIntervalMode = 3;

struct CommandPacket {
    std::array<uint8_t, kCommandPacketSize> bytes{};

    uint32_t Signature() const;
    uint32_t Code() const;
    const uint8_t* Payload() const { return bytes.data() + kCommandPayloadOffset; }
};

// A packet with the signature, `code` and the payload bytes at offset 8 (the rest zero).
// Payloads longer than 56 bytes are cut.
CommandPacket MakeCommandPacket(uint32_t code, const uint8_t* payload, size_t payloadSize);

CommandPacket SetCcTerminationPacket(CcLine line, CcTermination value);
// The interval travels as milliseconds minus 1; 0 (and anything below) travels as 0.
CommandPacket SetSamplingIntervalPacket(int intervalMs);
CommandPacket EnterFirmwareUpdatePacket();

// "None", "Ra", "Rd", "Rp (Default USB Power)", "Rp (1.5A @ 5V)", "Rp (3.0A @ 5V)": the CC
// Register Injection menu shows "CC1 " or "CC2 " before them.
std::string_view CcTerminationText(CcTermination value);
// The short names of the command line: none, ra, rd, rp-default, rp-1.5a, rp-3a.
std::string_view CcTerminationName(CcTermination value);
std::optional<CcTermination> CcTerminationFromName(std::string_view name);
// A termination byte as the analyzer receives it; nothing for values above 5.
std::optional<CcTermination> CcTerminationFromByte(uint8_t value);
