#include "device/analyzer_probe.h"

#include <array>

#include "device/analyzer_identity.h"

std::u16string ReadStringDescriptor(UsbTransport& transport, uint8_t index) {
    std::array<uint8_t, kStringDescriptorBufferSize> buffer{};
    TransportResult read = transport.GetDescriptor(kDescriptorTypeString, index, 0, buffer);
    if (!read.Ok()) {
        return {};
    }
    return DecodeStringDescriptor(std::span(buffer).first(std::min(read.bytes, buffer.size())));
}

std::vector<AnalyzerProbe> ProbeAnalyzers(UsbTransport& transport,
                                          std::span<const UsbDeviceId> ids) {
    std::vector<AnalyzerProbe> probes;
    for (const AnalyzerLocation& location : transport.List(ids)) {
        AnalyzerProbe probe;
        probe.location = location;
        probe.opened = transport.Open(location.path);
        if (probe.opened.Ok()) {
            std::u16string firmware = ReadStringDescriptor(transport, kFirmwareStringIndex);
            std::u16string serial = ReadStringDescriptor(transport, kSerialStringIndex);
            transport.Close();
            probe.firmwareText = Utf16ToUtf8(firmware);
            probe.firmwareVersion = ParseFirmwareVersion(firmware, 0);
            probe.serialText = Utf16ToUtf8(serial);
            probe.serialBytes = ParseSerialNumber(serial);
            probe.validFirmware = probe.firmwareVersion >= kMinFirmwareVersion;
        }
        probes.push_back(std::move(probe));
    }
    return probes;
}
