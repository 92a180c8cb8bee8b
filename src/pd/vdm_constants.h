// Standard and vendor IDs and structured VDM command codes, shared by the message texts, the
// field layout and the traffic synthesizer.
#pragma once

#include <cstdint>

inline constexpr uint16_t kSvidStandard = 0xFF00;
inline constexpr uint16_t kSvidDisplayPort = 0xFF01;
inline constexpr uint16_t kSvidThunderbolt = 0x8087;

// Command field (bits 0-4) of a structured VDM header.
enum VdmCommand : uint32_t {
    kVdmDiscoverIdentity = 1,
    kVdmDiscoverSvids = 2,
    kVdmDiscoverModes = 3,
    kVdmEnterMode = 4,
    kVdmExitMode = 5,
    kVdmAttention = 6,
    kVdmDpStatusUpdate = 16,
    kVdmDpConfigure = 17,
};

// Command Type field (bits 6-7) of a structured VDM header.
enum VdmCommandType : uint32_t { kVdmRequest = 0, kVdmAck = 1, kVdmNak = 2, kVdmBusy = 3 };
