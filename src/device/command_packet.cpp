#include "device/command_packet.h"

#include <algorithm>

#include "capture/byte_order.h"

namespace {

struct TerminationNames {
    CcTermination value;
    std::string_view text;
    std::string_view name;
};

constexpr std::array<TerminationNames, kCcTerminationCount> kTerminations = {{
    {CcTermination::kNone, "None", "none"},
    {CcTermination::kRa, "Ra", "ra"},
    {CcTermination::kRd, "Rd", "rd"},
    {CcTermination::kRpDefault, "Rp (Default USB Power)", "rp-default"},
    {CcTermination::kRp1A5, "Rp (1.5A @ 5V)", "rp-1.5a"},
    {CcTermination::kRp3A0, "Rp (3.0A @ 5V)", "rp-3a"},
}};

const TerminationNames& NamesOf(CcTermination value) {
    return kTerminations[std::min<size_t>(static_cast<size_t>(value), kTerminations.size() - 1)];
}

}  // namespace

uint32_t CommandPacket::Signature() const {
    return ReadU32(bytes.data());
}

uint32_t CommandPacket::Code() const {
    return ReadU32(bytes.data() + 4);
}

CommandPacket MakeCommandPacket(uint32_t code, const uint8_t* payload, size_t payloadSize) {
    CommandPacket packet;
    WriteU32(packet.bytes.data(), kCommandSignature);
    WriteU32(packet.bytes.data() + 4, code);
    size_t size = std::min(payloadSize, kCommandPacketSize - kCommandPayloadOffset);
    if (payload != nullptr) {
        std::copy_n(payload, size, packet.bytes.begin() + kCommandPayloadOffset);
    }
    return packet;
}

CommandPacket SetCcTerminationPacket(CcLine line, CcTermination value) {
    const uint8_t payload[2] = {static_cast<uint8_t>(line), static_cast<uint8_t>(value)};
    return MakeCommandPacket(kCommandSetCcTermination, payload, sizeof payload);
}

CommandPacket SetSamplingIntervalPacket(int intervalMs) {
    uint8_t payload[5] = {};
    WriteU32(payload, intervalMs > 0 ? static_cast<uint32_t>(intervalMs - 1) : 0);
    payload[4] = kSamplingIntervalMode;
    return MakeCommandPacket(kCommandSetSamplingInterval, payload, sizeof payload);
}

CommandPacket EnterFirmwareUpdatePacket() {
    return MakeCommandPacket(kCommandEnterFirmwareUpdate, nullptr, 0);
}

std::string_view CcTerminationText(CcTermination value) {
    return NamesOf(value).text;
}

std::string_view CcTerminationName(CcTermination value) {
    return NamesOf(value).name;
}

std::optional<CcTermination> CcTerminationFromName(std::string_view name) {
    for (const TerminationNames& names : kTerminations) {
        if (names.name == name) {
            return names.value;
        }
    }
    return std::nullopt;
}

std::optional<CcTermination> CcTerminationFromByte(uint8_t value) {
    if (value >= kCcTerminationCount) {
        return std::nullopt;
    }
    return static_cast<CcTermination>(value);
}
