#include "device/virtual/virtual_transport.h"

#include <algorithm>

std::vector<AnalyzerLocation> VirtualTransport::List(std::span<const UsbDeviceId> ids) {
    const UsbDeviceId id = analyzer_.Id();
    if (!analyzer_.Present() || std::find(ids.begin(), ids.end(), id) == ids.end()) {
        return {};
    }
    return {{kVirtualAnalyzerPath, id}};
}

TransportResult VirtualTransport::Open(const std::string& path) {
    Close();
    if (path != kVirtualAnalyzerPath) {
        return {TransportError::kNotFound, 0, "no analyzer at " + path};
    }
    TransportResult result = analyzer_.Open();
    open_ = result.Ok();
    return result;
}

void VirtualTransport::Close() {
    if (open_) {
        analyzer_.Close();
        open_ = false;
    }
}

TransportResult VirtualTransport::GetDescriptor(uint8_t type, uint8_t index, uint16_t /*language*/,
                                                std::span<uint8_t> out) {
    return analyzer_.GetDescriptor(type, index, out);
}

TransportResult VirtualTransport::WriteCommand(const CommandPacket& packet) {
    return analyzer_.WriteCommand(packet);
}

TransportResult VirtualTransport::ReadStream(std::span<uint8_t> out, int timeoutMs) {
    return analyzer_.ReadStream(out, timeoutMs);
}
