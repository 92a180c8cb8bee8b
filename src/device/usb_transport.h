// The seam between the device link and a USB stack: find analyzers by vendor:product id, open
// one, read its descriptors, write command packets to bulk OUT 0x01 and read the record stream
// from bulk IN 0x81. Implemented over libusb for real analyzers and in process for the virtual
// analyzer.
//
// Threads: one thread (the user-interface thread) calls List, Open, GetDescriptor,
// WriteCommand and Close; one other thread (the reader thread) may call ReadStream at the same
// time as GetDescriptor and WriteCommand. Close must not run while a ReadStream is in progress;
// DeviceLink guarantees that, so implementations need not. ReadStream always returns within
// about its timeout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/command_packet.h"

struct UsbDeviceId {
    uint16_t vendorId = 0;
    uint16_t productId = 0;

    friend bool operator==(const UsbDeviceId&, const UsbDeviceId&) = default;
};

// One analyzer seen on the bus. `path` names its place ("3-1.4" for bus 3, ports 1 and 4;
// "virtual" for the in-process analyzer) and is what Open takes.
struct AnalyzerLocation {
    std::string path;
    UsbDeviceId id;
};

enum class TransportError : uint8_t {
    kNone,
    kNotFound,      // no analyzer at that path
    kNoPermission,  // the system refused access to the device node
    kBusy,          // the device opened, but another program or driver holds its interface
    kGone,          // the analyzer was unplugged (or left for its firmware update mode)
    kTimeout,       // nothing arrived within the timeout
    kNotOpen,       // the transport has no open analyzer
    kIo,            // any other transfer or system failure
};

// Outcome of one transport operation: the error kind keeps the causes apart, `message` says it
// for a person, `bytes` counts what was transferred (also on a timeout with partial data).
struct TransportResult {
    TransportError error = TransportError::kNone;
    size_t bytes = 0;
    std::string message;

    bool Ok() const { return error == TransportError::kNone; }
};

inline constexpr uint8_t kBulkInEndpoint = 0x81;   // the record stream
inline constexpr uint8_t kBulkOutEndpoint = 0x01;  // command packets
// The reader thread asks for this much per read.
inline constexpr size_t kStreamReadSize = 16384;

inline constexpr uint8_t kDescriptorTypeDevice = 1;
inline constexpr uint8_t kDescriptorTypeString = 3;
inline constexpr size_t kDeviceDescriptorSize = 18;

class UsbTransport {
  public:
    virtual ~UsbTransport() = default;

    // Every analyzer present whose ids are in `ids`, in a stable bus order.
    virtual std::vector<AnalyzerLocation> List(std::span<const UsbDeviceId> ids) = 0;
    // Opens the analyzer at `path` and claims its interface; an open analyzer is closed first.
    virtual TransportResult Open(const std::string& path) = 0;
    // Releases the interface and the device. Harmless when nothing is open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // A standard GET_DESCRIPTOR request on the control pipe into `out`; `bytes` is the
    // length the device returned.
    virtual TransportResult GetDescriptor(uint8_t type, uint8_t index, uint16_t language,
                                          std::span<uint8_t> out) = 0;
    // Writes one 64-byte command packet to bulk OUT 0x01.
    virtual TransportResult WriteCommand(const CommandPacket& packet) = 0;
    // Reads up to out.size() bytes of the record stream from bulk IN 0x81, waiting at most
    // `timeoutMs` for them.
    virtual TransportResult ReadStream(std::span<uint8_t> out, int timeoutMs) = 0;
};
