// An analyzer inside the process, built on the synthesizer: it answers descriptor requests as
// the hardware does, obeys the three commands and sends an endless block stream, either paced
// in real time or as fast as it is read. Reads resume the stream exactly where the last one
// stopped; while no host has it open, its clock stands still.
//
// Thread-safe: one thread may read the stream while another asks for descriptors, writes
// commands or opens and closes it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "device/analyzer_descriptors.h"
#include "device/analyzer_ids.h"
#include "device/command_packet.h"
#include "device/usb_transport.h"
#include "device/virtual/virtual_stream.h"

inline constexpr const char* kVirtualAnalyzerPath = "virtual";

struct VirtualAnalyzerOptions {
    VirtualStreamOptions stream;
    AnalyzerDescriptorTexts texts;  // firmware and serial texts among them
    UsbDeviceId id = kVirtualAnalyzerId;
    bool paced = true;  // real time; otherwise every read is filled at once
    // How long the analyzer is gone after EnterFirmwareUpdate before it shows up again.
    int firmwareUpdateAbsenceMs = 3000;
};

class VirtualAnalyzer {
  public:
    using Clock = std::chrono::steady_clock;

    explicit VirtualAnalyzer(VirtualAnalyzerOptions options = {});

    // On the bus (false while it is away in firmware update mode).
    bool Present();
    UsbDeviceId Id() const { return options_.id; }

    // One host at a time: a second Open is refused as busy.
    TransportResult Open();
    void Close();
    bool IsOpen();

    TransportResult GetDescriptor(uint8_t type, uint8_t index, std::span<uint8_t> out);
    // Packets with another signature, unknown codes and out-of-range values are taken and
    // ignored, as firmware ignores what it does not understand.
    TransportResult WriteCommand(const CommandPacket& packet);
    TransportResult ReadStream(std::span<uint8_t> out, int timeoutMs);

    // What the analyzer currently does, for tests and the command line.
    int SamplingIntervalMs();
    CcTermination Termination(CcLine line);
    uint64_t CommandsIgnored();

  private:
    bool PresentLocked(Clock::time_point now);
    uint64_t DeviceNowUs(Clock::time_point now) const;
    size_t CopyDue(std::span<uint8_t> out, uint64_t untilUs, bool paced);
    void ApplyCommand(const CommandPacket& packet);
    TransportResult GoneResult() const;

    VirtualAnalyzerOptions options_;
    std::mutex mutex_;
    std::condition_variable wake_;
    VirtualStream stream_;
    bool open_ = false;
    bool away_ = false;
    Clock::time_point backAt_{};
    uint64_t ignored_ = 0;
    // Pacing: analyzer time `originUs` was reached at `originAt`, set by the first read after
    // an Open.
    bool paceStarted_ = false;
    Clock::time_point originAt_{};
    uint64_t originUs_ = 0;
    // The part of a block a short read left over.
    RecordBlock carry_;
    size_t carryOffset_ = kBlockSize;
};
