#include "device/usb/emulated_analyzer.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/analyzer_descriptors.h"

namespace {

constexpr const char* kAnalyzerSysfs = "/sys/devices/usb1/1-1";
constexpr const char* kAnalyzerNode = "/dev/bus/usb/001/002";
constexpr size_t kSetupSize = 8;
constexpr uint8_t kGetDescriptor = 6;

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

// A root hub: a hub-class device with its status-change interrupt endpoint.
std::string HubDescriptors() {
    return "12010002090001406b1d020006050302010109021900010100e0000904000001090000000705810304"
           "000c";
}

usbdevfs_urb* UrbOf(UMockdevIoctlData* data) {
    return reinterpret_cast<usbdevfs_urb*>(data->data);
}

}  // namespace

bool EmulatedAnalyzer::Available() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

EmulatedAnalyzer::EmulatedAnalyzer(VirtualAnalyzerOptions options)
    : analyzer_([&] {
          options.paced = false;
          return options;
      }()) {
    analyzer_.Open();  // powered up and attached to this host for the whole test
    testbed_ = umockdev_testbed_new();
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedAnalyzer::OnIoctl), this);
    // The handler is attached before the node exists, so no open can miss it.
    umockdev_testbed_attach_ioctl(testbed_, kAnalyzerNode, handler_, nullptr);

    std::string hub = std::string("P: /devices/usb1\nN: bus/usb/001/001\n") +
                      "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n" +
                      "E: BUSNUM=001\nE: DEVNUM=001\nE: DEVNAME=/dev/bus/usb/001/001\n" +
                      "A: busnum=1\\n\nA: devnum=1\\n\nA: speed=480\\n\n" +
                      "A: bConfigurationValue=1\\n\nH: descriptors=" + HubDescriptors() + "\n";
    umockdev_testbed_add_from_string(testbed_, hub.c_str(), nullptr);

    std::vector<uint8_t> descriptors = AnalyzerDeviceDescriptor(analyzer_.Id(), 0x0123);
    std::vector<uint8_t> configuration = AnalyzerConfigurationDescriptor();
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    std::string device = std::string("P: /devices/usb1/1-1\nN: bus/usb/001/002\n") +
                         "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n" +
                         "E: BUSNUM=001\nE: DEVNUM=002\nE: DEVNAME=" + kAnalyzerNode + "\n" +
                         "A: busnum=1\\n\nA: devnum=2\\n\nA: speed=480\\n\n" +
                         "A: bConfigurationValue=1\\n\nH: descriptors=" + Hex(descriptors) + "\n";
    umockdev_testbed_add_from_string(testbed_, device.c_str(), nullptr);
}

EmulatedAnalyzer::~EmulatedAnalyzer() {
    umockdev_testbed_detach_ioctl(testbed_, kAnalyzerNode, nullptr);
    {
        std::lock_guard lock(mutex_);
        for (Urb& urb : completed_) {
            g_object_unref(urb.data);
        }
        for (Urb& urb : pending_) {
            g_object_unref(urb.data);
        }
        completed_.clear();
        pending_.clear();
    }
    g_object_unref(handler_);
    g_object_unref(testbed_);
}

void EmulatedAnalyzer::Unplug() {
    {
        std::lock_guard lock(mutex_);
        unplugged_ = true;
    }
    umockdev_testbed_uevent(testbed_, kAnalyzerSysfs, "remove");
    umockdev_testbed_remove_device(testbed_, kAnalyzerSysfs);
}

void EmulatedAnalyzer::SetClaimedElsewhere(bool claimed) {
    std::lock_guard lock(mutex_);
    claimedElsewhere_ = claimed;
}

void EmulatedAnalyzer::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

std::vector<std::vector<uint8_t>> EmulatedAnalyzer::Commands() {
    std::lock_guard lock(mutex_);
    return commands_;
}

int EmulatedAnalyzer::OnIoctl(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client,
                              void* self) {
    return static_cast<EmulatedAnalyzer*>(self)->HandleIoctl(client) ? TRUE : FALSE;
}

bool EmulatedAnalyzer::HandleIoctl(UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    std::lock_guard lock(mutex_);
    if (unplugged_) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
            UMockdevIoctlData* caps =
                umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
            *reinterpret_cast<uint32_t*>(caps->data) = USBDEVFS_CAP_BULK_CONTINUATION |
                                                       USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                                       USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
            g_object_unref(caps);
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        case USBDEVFS_CLAIMINTERFACE:
            umockdev_ioctl_client_complete(client, claimedElsewhere_ ? -1 : 0,
                                           claimedElsewhere_ ? EBUSY : 0);
            return true;
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESETEP:
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        case USBDEVFS_SUBMITURB:
            Submit(client);
            return true;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            Reap(client);
            return true;
        case USBDEVFS_DISCARDURB:
            Discard(client);
            return true;
        default:
            std::fprintf(stderr, "emulated analyzer: ioctl 0x%lx not emulated\n", request);
            return false;
    }
}

void EmulatedAnalyzer::Submit(UMockdevIoctlClient* client) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    usbdevfs_urb* urb = UrbOf(data);
    const auto length = static_cast<size_t>(std::max(0, urb->buffer_length));
    UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                                            std::max<size_t>(length, 1), nullptr);
    uint8_t* bytes = buffer->data;
    urb->status = 0;
    urb->actual_length = 0;
    bool pending = false;

    if (urb->type == USBDEVFS_URB_TYPE_CONTROL && length >= kSetupSize) {
        const uint8_t* setup = bytes;
        const auto value = static_cast<uint16_t>(setup[2] | (setup[3] << 8));
        const auto wanted = static_cast<size_t>(setup[6] | (setup[7] << 8));
        std::vector<uint8_t> reply(std::min(wanted, length - kSetupSize));
        TransportResult result{TransportError::kIo, 0, {}};
        if (setup[0] == 0x80 && setup[1] == kGetDescriptor) {
            result = analyzer_.GetDescriptor(static_cast<uint8_t>(value >> 8),
                                             static_cast<uint8_t>(value & 0xFF), reply);
        }
        if (result.Ok()) {
            std::copy_n(reply.begin(), result.bytes, bytes + kSetupSize);
            urb->actual_length = static_cast<int>(result.bytes);
        } else {
            urb->status = -EPIPE;  // the device stalls a request it does not have
        }
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kBulkOutEndpoint) {
        commands_.emplace_back(bytes, bytes + length);
        CommandPacket packet;
        std::copy_n(bytes, std::min(length, kCommandPacketSize), packet.bytes.begin());
        analyzer_.WriteCommand(packet);
        urb->actual_length = static_cast<int>(length);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kBulkInEndpoint) {
        if (silent_) {
            pending = true;
        } else {
            TransportResult read = analyzer_.ReadStream(std::span(bytes, length), 0);
            urb->actual_length = static_cast<int>(read.bytes);
        }
    } else {
        urb->status = -EPIPE;
    }
    g_object_unref(buffer);
    (pending ? pending_.push_back(Urb{data}) : completed_.push_back(Urb{data}));
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedAnalyzer::Reap(UMockdevIoctlClient* client) {
    if (completed_.empty()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return;
    }
    Urb urb = completed_.front();
    completed_.pop_front();
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
    umockdev_ioctl_data_set_ptr(pointer, 0, urb.data);
    g_object_unref(pointer);
    g_object_unref(urb.data);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedAnalyzer::Discard(UMockdevIoctlClient* client) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const auto address = *reinterpret_cast<unsigned long*>(arg->data);
    auto found = std::find_if(pending_.begin(), pending_.end(),
                              [&](const Urb& urb) { return urb.data->client_addr == address; });
    if (found == pending_.end()) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    UrbOf(found->data)->status = -ENOENT;
    completed_.push_back(*found);
    pending_.erase(found);
    umockdev_ioctl_client_complete(client, 0, 0);
}
