// The analyzer a capture talks to: a transport, the device link over it, and the two faces
// live capture needs of it (polls and identity for capture control, the stream for the reader
// thread).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "live/capture_control.h"
#include "live/stream_source.h"

class VirtualAnalyzer;

class AnalyzerConnection : public CaptureDevice, public StreamSource {
  public:
    // The in-process analyzer playing `scenario` endlessly, in real time or as fast as read.
    // None for an unknown scenario.
    static std::unique_ptr<AnalyzerConnection> Virtual(const std::string& scenario,
                                                       bool paced = true);
    // Real analyzers on the USB bus (through libusb) with one of ids.
    static std::unique_ptr<AnalyzerConnection> Usb(const std::vector<UsbDeviceId>& ids);
    // Over a transport owned elsewhere.
    explicit AnalyzerConnection(UsbTransport& transport);
    ~AnalyzerConnection() override;

    bool Poll() override { return link_->PollDevice(); }
    RecorderIdentity Identity() const override;
    long ReadStream(uint8_t* buffer, size_t size, int timeoutMs) override;

    DeviceLink& Link() { return *link_; }
    // The sampling interval sent at every connect.
    void SetSamplingInterval(int intervalMs);
    bool IsVirtual() const override { return analyzer_ != nullptr; }

  private:
    AnalyzerConnection(std::unique_ptr<VirtualAnalyzer> analyzer,
                       std::unique_ptr<UsbTransport> transport);

    std::unique_ptr<VirtualAnalyzer> analyzer_;
    std::unique_ptr<UsbTransport> ownedTransport_;
    std::unique_ptr<DeviceLink> link_;
};
