// pcapng blocks (the capture file format of Wireshark and libpcap): Section Header, Interface
// Description and Enhanced Packet blocks with their options, always written little-endian.
// Every block and option value is padded to a multiple of four bytes, and every block ends with
// its total length repeated, so that readers can walk the file in both directions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Block types.
inline constexpr uint32_t kPcapngSectionHeader = 0x0A0D0D0A;
inline constexpr uint32_t kPcapngInterfaceDescription = 0x00000001;
inline constexpr uint32_t kPcapngEnhancedPacket = 0x00000006;
// Written in the writer's byte order; a reader that sees 0x4D3C2B1A swaps.
inline constexpr uint32_t kPcapngByteOrderMagic = 0x1A2B3C4D;

// Option codes used here (a value's meaning depends on the block).
inline constexpr uint16_t kPcapngOptEnd = 0;
inline constexpr uint16_t kPcapngOptComment = 1;
inline constexpr uint16_t kPcapngShbHardware = 2;
inline constexpr uint16_t kPcapngShbUserApplication = 4;
inline constexpr uint16_t kPcapngIfName = 2;
inline constexpr uint16_t kPcapngIfDescription = 3;
inline constexpr uint16_t kPcapngIfTimestampResolution = 9;

// Link type of packets that name the dissector Wireshark hands them to (exported PDUs).
inline constexpr uint16_t kLinkTypeWiresharkUpperPdu = 252;
// if_tsresol value for microsecond timestamps (10^-6 s), the format's default.
inline constexpr uint8_t kPcapngMicroseconds = 6;

struct PcapngOption {
    uint16_t code = 0;
    std::string value;  // raw bytes; at most 65535
};

// A section of unknown length (-1) with the given options.
std::string PcapngSectionHeader(const std::vector<PcapngOption>& options);
// An interface of the given link type; snapLength 0 means no limit.
std::string PcapngInterfaceDescription(uint16_t linkType, uint32_t snapLength,
                                       const std::vector<PcapngOption>& options);
// One packet on interface `interfaceId`, captured whole, at `timestamp` in the interface's
// resolution.
std::string PcapngEnhancedPacket(uint32_t interfaceId, uint64_t timestamp, std::string_view data,
                                 const std::vector<PcapngOption>& options = {});

// Little-endian encoding helpers, shared with the payload writers.
void AppendLe16(std::string& out, uint16_t value);
void AppendLe32(std::string& out, uint32_t value);
// Zero bytes up to the next multiple of four.
void PadToFour(std::string& out);
