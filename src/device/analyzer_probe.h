// Reading an analyzer's identity over a transport: the two string descriptors the link
// judges it by, for the link's poll and for listing every analyzer on the bus.
#pragma once

#include <string>
#include <vector>

#include "capture/info_block.h"
#include "device/usb_transport.h"

// String descriptor `index` (language 0) as text; empty when the request fails.
std::u16string ReadStringDescriptor(UsbTransport& transport, uint8_t index);

struct AnalyzerProbe {
    AnalyzerLocation location;
    TransportResult opened;  // why the analyzer could not be opened, when it could not
    std::string firmwareText;
    uint16_t firmwareVersion = 0;
    std::string serialText;
    SerialNumber serialBytes{};
    bool validFirmware = false;
};

// Opens each analyzer found, reads its identity and closes it again.
std::vector<AnalyzerProbe> ProbeAnalyzers(UsbTransport& transport,
                                          std::span<const UsbDeviceId> ids);
