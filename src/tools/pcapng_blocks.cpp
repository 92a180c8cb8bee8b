#include "tools/pcapng_blocks.h"

#include <algorithm>

namespace {

// Options as the block body carries them, closed by opt_endofopt when there is any.
void AppendOptions(std::string& out, const std::vector<PcapngOption>& options) {
    for (const PcapngOption& option : options) {
        const size_t length = std::min<size_t>(option.value.size(), UINT16_MAX);
        AppendLe16(out, option.code);
        AppendLe16(out, static_cast<uint16_t>(length));
        out.append(option.value, 0, length);
        PadToFour(out);
    }
    if (!options.empty()) {
        AppendLe16(out, kPcapngOptEnd);
        AppendLe16(out, 0);
    }
}

// Type, total length, body, total length again.
std::string Block(uint32_t type, const std::string& body) {
    const auto total = static_cast<uint32_t>(body.size() + 12);
    std::string block;
    block.reserve(total);
    AppendLe32(block, type);
    AppendLe32(block, total);
    block += body;
    AppendLe32(block, total);
    return block;
}

}  // namespace

void AppendLe16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void AppendLe32(std::string& out, uint32_t value) {
    AppendLe16(out, static_cast<uint16_t>(value & 0xFFFF));
    AppendLe16(out, static_cast<uint16_t>(value >> 16));
}

void PadToFour(std::string& out) {
    out.append((4 - out.size() % 4) % 4, '\0');
}

std::string PcapngSectionHeader(const std::vector<PcapngOption>& options) {
    std::string body;
    AppendLe32(body, kPcapngByteOrderMagic);
    AppendLe16(body, 1);           // major version
    AppendLe16(body, 0);           // minor version
    AppendLe32(body, 0xFFFFFFFF);  // section length: not given
    AppendLe32(body, 0xFFFFFFFF);
    AppendOptions(body, options);
    return Block(kPcapngSectionHeader, body);
}

std::string PcapngInterfaceDescription(uint16_t linkType, uint32_t snapLength,
                                       const std::vector<PcapngOption>& options) {
    std::string body;
    AppendLe16(body, linkType);
    AppendLe16(body, 0);  // reserved
    AppendLe32(body, snapLength);
    AppendOptions(body, options);
    return Block(kPcapngInterfaceDescription, body);
}

std::string PcapngEnhancedPacket(uint32_t interfaceId, uint64_t timestamp, std::string_view data,
                                 const std::vector<PcapngOption>& options) {
    std::string body;
    body.reserve(20 + data.size() + 3);
    AppendLe32(body, interfaceId);
    AppendLe32(body, static_cast<uint32_t>(timestamp >> 32));
    AppendLe32(body, static_cast<uint32_t>(timestamp & 0xFFFFFFFF));
    AppendLe32(body, static_cast<uint32_t>(data.size()));  // captured length
    AppendLe32(body, static_cast<uint32_t>(data.size()));  // original length
    body.append(data);
    PadToFour(body);
    AppendOptions(body, options);
    return Block(kPcapngEnhancedPacket, body);
}
