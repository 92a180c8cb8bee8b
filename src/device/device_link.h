// The connection to the analyzer: finds and opens it through a UsbTransport, reads and judges
// its firmware version and serial number, sends its commands and hands the record stream to
// the reader thread.
//
// Threads. PollDevice, the commands and Close run on one thread (the user-interface thread,
// polling once a second). The reader thread calls only Connected() and Read(). The transport
// is released only after `connected` has been cleared and no Read is inside the transport: a
// release waits for a running read to return, which the read timeout bounds, and no new read
// starts once a release has begun. So the reader thread never reads through a closed handle.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "capture/info_block.h"
#include "device/analyzer_ids.h"
#include "device/command_packet.h"
#include "device/usb_transport.h"

// Longest interface path the link accepts.
inline constexpr size_t kMaxDevicePathLength = 260;
// Open attempts over the analyzers found before a poll gives up.
inline constexpr int kMaxOpenAttempts = 17;
// How long a stream read waits for data.
inline constexpr int kDefaultReadTimeoutMs = 200;

struct DeviceLinkSettings {
    // Analyzers to look for.
    std::vector<UsbDeviceId> ids = DefaultAnalyzerIds();
    // Sent at connect when not 0 (the stored "RecordVbusSamplingIntervalMS").
    int samplingIntervalMs = 10;
    // Connecting sends the sampling interval and CC terminations of none, so that the analyzer
    // matches the link's state. A one-shot tool that changes a single setting turns it off.
    bool configureAtConnect = true;
};

class DeviceLink {
  public:
    explicit DeviceLink(UsbTransport& transport, DeviceLinkSettings settings = {});
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Once a tick: checks an open analyzer with a device descriptor read, or looks for one,
    // opens it, reads its identity and (firmware accepted) sends the stored sampling interval
    // and CC terminations of none. Returns connected.
    bool PollDevice();

    // Writes one command packet; false (and nothing sent) while not connected.
    bool SendCommand(uint32_t code, std::span<const uint8_t> payload);
    bool SendCommand(const CommandPacket& packet);
    // Sends the termination and, when the analyzer took it, remembers it for the line.
    bool SetCcTermination(CcLine line, CcTermination value);
    bool SetSamplingInterval(int intervalMs);
    bool EnterFirmwareUpdate();

    // Reader thread: up to out.size() bytes of the record stream, waiting at most `timeoutMs`.
    // kNotOpen when no analyzer is open or the link is being released.
    TransportResult Read(std::span<uint8_t> out, int timeoutMs = kDefaultReadTimeoutMs);

    // Releases the analyzer (the application ends). Waits for a running Read to return.
    void Close();

    bool Connected() const { return connected_.load(std::memory_order_acquire); }
    bool HandleOpen() const { return handleOpen_; }
    const std::string& DevicePath() const { return devicePath_; }
    UsbDeviceId DeviceId() const { return deviceId_; }
    const std::string& FirmwareText() const { return firmwareText_; }
    uint16_t FirmwareVersion() const { return firmwareVersion_; }
    const std::string& SerialText() const { return serialText_; }
    const SerialNumber& SerialBytes() const { return serialBytes_; }
    bool InvalidFirmware() const { return invalidFirmware_; }
    CcTermination Termination(CcLine line) const;
    // Why the latest poll found no usable analyzer (empty when it did, or found none at all).
    const std::string& LastError() const { return lastError_; }

    void SetSettings(DeviceLinkSettings settings) { settings_ = std::move(settings); }
    const DeviceLinkSettings& Settings() const { return settings_; }

  private:
    bool OpenAnalyzer();
    void ReadIdentity();
    void ForgetIdentity();
    void Release();

    UsbTransport& transport_;
    DeviceLinkSettings settings_;

    std::string devicePath_;
    UsbDeviceId deviceId_;
    bool handleOpen_ = false;
    std::atomic<bool> connected_{false};
    std::string firmwareText_;
    uint16_t firmwareVersion_ = 0;
    std::string serialText_;
    SerialNumber serialBytes_{};
    bool invalidFirmware_ = false;
    CcTermination cc1Termination_ = CcTermination::kNone;
    CcTermination cc2Termination_ = CcTermination::kNone;
    std::string lastError_;

    // Read gate: reads in progress, and whether a release has begun.
    std::mutex gateMutex_;
    std::condition_variable gateIdle_;
    int readsInside_ = 0;
    bool readable_ = false;
};
