// The transport to a VirtualAnalyzer: it stands on a bus of its own at the path "virtual".
#pragma once

#include "device/usb_transport.h"
#include "device/virtual/virtual_analyzer.h"

class VirtualTransport final : public UsbTransport {
  public:
    explicit VirtualTransport(VirtualAnalyzer& analyzer) : analyzer_(analyzer) {}
    ~VirtualTransport() override { Close(); }

    // The analyzer when it is present and its id is among `ids`.
    std::vector<AnalyzerLocation> List(std::span<const UsbDeviceId> ids) override;
    TransportResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    TransportResult GetDescriptor(uint8_t type, uint8_t index, uint16_t language,
                                  std::span<uint8_t> out) override;
    TransportResult WriteCommand(const CommandPacket& packet) override;
    TransportResult ReadStream(std::span<uint8_t> out, int timeoutMs) override;

  private:
    VirtualAnalyzer& analyzer_;
    bool open_ = false;
};
