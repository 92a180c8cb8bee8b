// The transport to real analyzers over libusb-1.0: devices are found by vendor:product id,
// the vendor interface holding bulk IN 0x81 and bulk OUT 0x01 is claimed, descriptors travel
// on the control pipe, and every transfer has a timeout so a silent analyzer never holds a
// thread.
#pragma once

#include <memory>
#include <string>

#include "device/usb_transport.h"

// Where the udev rule that gives the logged-in user access to the analyzer is installed.
inline constexpr const char* kUdevRuleName = "60-zoduz.rules";
// How long a command packet or a descriptor request may take.
inline constexpr int kControlTimeoutMs = 1000;

class LibusbTransport final : public UsbTransport {
  public:
    LibusbTransport();
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    // False when libusb could not start (no USB support at all); every call then fails.
    bool Available() const;
    const std::string& StartError() const;

    std::vector<AnalyzerLocation> List(std::span<const UsbDeviceId> ids) override;
    TransportResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override;
    TransportResult GetDescriptor(uint8_t type, uint8_t index, uint16_t language,
                                  std::span<uint8_t> out) override;
    TransportResult WriteCommand(const CommandPacket& packet) override;
    TransportResult ReadStream(std::span<uint8_t> out, int timeoutMs) override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The result for a libusb error code met at `path`: the kind and a message for a person
// (no permission names the udev rule).
TransportResult LibusbFailure(int code, const std::string& path);
