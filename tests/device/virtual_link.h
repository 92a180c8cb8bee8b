// A device link over a virtual analyzer that sends its stream as fast as it is read.
#pragma once

#include <string>

#include "device/device_link.h"
#include "device/virtual/virtual_analyzer.h"
#include "device/virtual/virtual_transport.h"

inline VirtualAnalyzerOptions UnpacedAnalyzer(const std::string& firmware = "1.23") {
    VirtualAnalyzerOptions options;
    options.paced = false;
    options.texts.firmware = firmware;
    options.stream.scenarios = {"spr"};
    return options;
}

struct VirtualLink {
    explicit VirtualLink(VirtualAnalyzerOptions options = UnpacedAnalyzer(),
                         DeviceLinkSettings settings = {})
        : analyzer(std::move(options)), transport(analyzer), link(transport, std::move(settings)) {}

    VirtualAnalyzer analyzer;
    VirtualTransport transport;
    DeviceLink link;
};
