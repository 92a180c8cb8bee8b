// An analyzer on an emulated USB bus: umockdev presents its sysfs device and device node, and
// answers the usbdevfs ioctls that libusb sends to the node (claiming, control and bulk URBs,
// reaping and discarding them) from a VirtualAnalyzer. The code under test goes through the
// real libusb path. The process must run with umockdev's preload library (umockdev-wrapper).
#pragma once

#include <array>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "device/virtual/virtual_analyzer.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// Bus 1: a root hub and the analyzer on its port 1, so the analyzer's path is "1-1".
inline constexpr const char* kEmulatedAnalyzerPath = "1-1";

class EmulatedAnalyzer {
  public:
    explicit EmulatedAnalyzer(VirtualAnalyzerOptions options);
    ~EmulatedAnalyzer();
    EmulatedAnalyzer(const EmulatedAnalyzer&) = delete;
    EmulatedAnalyzer& operator=(const EmulatedAnalyzer&) = delete;

    // True when the process runs with umockdev's preload library.
    static bool Available();

    // The analyzer leaves the bus: its sysfs device goes, and every request on an open node
    // fails with ENODEV as the kernel's do after an unplug.
    void Unplug();
    // Another program holds the interface: claiming it fails with EBUSY.
    void SetClaimedElsewhere(bool claimed);
    // Stream requests stay pending until the host gives up on them.
    void SetSilent(bool silent);

    // Every packet the host wrote to bulk OUT 0x01, in order.
    std::vector<std::vector<uint8_t>> Commands();
    VirtualAnalyzer& Analyzer() { return analyzer_; }

  private:
    struct Urb {
        UMockdevIoctlData* data = nullptr;  // the struct usbdevfs_urb, a reference held
    };

    static int OnIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool HandleIoctl(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client);
    void Reap(UMockdevIoctlClient* client);
    void Discard(UMockdevIoctlClient* client);

    VirtualAnalyzer analyzer_;
    UMockdevTestbed* testbed_ = nullptr;
    UMockdevIoctlBase* handler_ = nullptr;

    std::mutex mutex_;
    bool unplugged_ = false;
    bool claimedElsewhere_ = false;
    bool silent_ = false;
    std::deque<Urb> completed_;
    std::vector<Urb> pending_;
    std::vector<std::vector<uint8_t>> commands_;
};
