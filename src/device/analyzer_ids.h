// USB vendor:product ids the link looks for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/usb_transport.h"

// The virtual analyzer's ids, from the pid.codes range set aside for testing (vendor 0x1209,
// products 0x0001-0x000F), which no shipped product may carry. Development firmware of the
// analyzer can use them as well.
inline constexpr UsbDeviceId kVirtualAnalyzerId{0x1209, 0x000D};

// The ids searched when no other list is set.
std::vector<UsbDeviceId> DefaultAnalyzerIds();

// "1209:000d" as text: four lower-case hex digits each.
std::string UsbIdText(UsbDeviceId id);
// The list as ParseUsbIdList reads it: "1209:000d,1d50:6150".
std::string UsbIdListText(const std::vector<UsbDeviceId>& ids);
// A comma-separated list of VID:PID pairs in hex ("1209:000d,1d50:6150"); nothing when any
// pair is malformed or the list is empty.
std::optional<std::vector<UsbDeviceId>> ParseUsbIdList(std::string_view text);
