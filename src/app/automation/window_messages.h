// The Windows form of remote control: other programs find the main window by its class name
// and send it copy-data and private application messages. This turns one such message into an
// automation request; the window procedure that receives them is Windows-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/automation/automation_dispatcher.h"

// Class name under which the main window is registered, for FindWindow.
inline constexpr const char* kMainWindowClassName = "ZerivaRur";

inline constexpr uint32_t kCopyDataMessage = 0x004A;
inline constexpr uintptr_t kCopyDataRecordFileName = 1;
inline constexpr uintptr_t kCopyDataRecordFolder = 2;
inline constexpr uint32_t kStartMessage = 0x8001;
inline constexpr uint32_t kStopMessage = 0x8002;
inline constexpr uint32_t kExportMessage = 0x8003;

// A copy-data message: tag (1 record file name, 2 record folder) and a payload of UTF-16LE
// text, byteCount / 2 characters. The text ends at its first NUL (senders often count the
// terminator); a trailing odd byte is ignored; an unpaired surrogate becomes U+FFFD.
// std::nullopt for any other tag.
std::optional<AutomationRequest> RequestFromCopyData(uintptr_t tag, const void* payload,
                                                     size_t byteCount);

// 0x8001 start, 0x8002 stop, 0x8003 export; std::nullopt for any other message.
std::optional<AutomationRequest> RequestFromMessage(uint32_t message);
