#include "device/usb/libusb_transport.h"

#include <libusb.h>

#include <algorithm>

namespace {

// bmRequestType of a standard request to the device that returns data.
constexpr uint8_t kStandardDeviceIn = 0x80;

// "3-1.4": the bus number, then the port on every hub down to the device.
std::string BusPath(libusb_device* device) {
    std::string path = std::to_string(libusb_get_bus_number(device));
    uint8_t ports[8];
    int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    for (int i = 0; i < depth; ++i) {
        path += (i == 0 ? "-" : ".") + std::to_string(ports[i]);
    }
    return path;
}

struct Endpoints {
    int interfaceNumber = -1;
};

// The interface that holds both bulk endpoints of the analyzer.
Endpoints FindAnalyzerInterface(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS &&
        libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS) {
        return {};
    }
    Endpoints found;
    for (int i = 0; i < config->bNumInterfaces && found.interfaceNumber < 0; ++i) {
        const libusb_interface& interface = config->interface[i];
        for (int alt = 0; alt < interface.num_altsetting; ++alt) {
            const libusb_interface_descriptor& setting = interface.altsetting[alt];
            bool in = false;
            bool out = false;
            for (int e = 0; e < setting.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
                bool bulk = (endpoint.bmAttributes & 0x03) == LIBUSB_TRANSFER_TYPE_BULK;
                in = in || (bulk && endpoint.bEndpointAddress == kBulkInEndpoint);
                out = out || (bulk && endpoint.bEndpointAddress == kBulkOutEndpoint);
            }
            if (in && out) {
                found.interfaceNumber = setting.bInterfaceNumber;
                break;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

}  // namespace

TransportResult LibusbFailure(int code, const std::string& path) {
    switch (code) {
        case LIBUSB_ERROR_ACCESS:
            return {TransportError::kNoPermission, 0,
                    "no permission to open the analyzer at " + path + ": install the udev rule " +
                        kUdevRuleName +
                        " into /etc/udev/rules.d or /usr/lib/udev/rules.d, then replug the "
                        "analyzer"};
        case LIBUSB_ERROR_BUSY:
            return {TransportError::kBusy, 0,
                    "the analyzer at " + path + " is in use by another program"};
        case LIBUSB_ERROR_NO_DEVICE:
            return {TransportError::kGone, 0, "the analyzer at " + path + " was unplugged"};
        case LIBUSB_ERROR_NOT_FOUND:
            return {TransportError::kNotFound, 0, "no analyzer at " + path};
        case LIBUSB_ERROR_TIMEOUT:
            return {TransportError::kTimeout, 0, "the analyzer at " + path + " did not answer"};
        default:
            return {TransportError::kIo, 0, "USB error at " + path + ": " + libusb_strerror(code)};
    }
}

struct LibusbTransport::State {
    libusb_context* context = nullptr;
    std::string startError;
    libusb_device_handle* handle = nullptr;
    int interfaceNumber = -1;
    std::string path;
};

LibusbTransport::LibusbTransport() : state_(std::make_unique<State>()) {
    int started = libusb_init(&state_->context);
    if (started != LIBUSB_SUCCESS) {
        state_->context = nullptr;
        state_->startError = std::string("USB is not available: ") + libusb_strerror(started);
    }
}

LibusbTransport::~LibusbTransport() {
    Close();
    if (state_->context != nullptr) {
        libusb_exit(state_->context);
    }
}

bool LibusbTransport::Available() const {
    return state_->context != nullptr;
}

const std::string& LibusbTransport::StartError() const {
    return state_->startError;
}

std::vector<AnalyzerLocation> LibusbTransport::List(std::span<const UsbDeviceId> ids) {
    std::vector<AnalyzerLocation> found;
    if (state_->context == nullptr) {
        return found;
    }
    libusb_device** devices = nullptr;
    ssize_t count = libusb_get_device_list(state_->context, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS) {
            continue;
        }
        UsbDeviceId id{descriptor.idVendor, descriptor.idProduct};
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) {
            found.push_back({BusPath(devices[i]), id});
        }
    }
    if (count >= 0) {
        libusb_free_device_list(devices, 1);
    }
    std::sort(found.begin(), found.end(),
              [](const AnalyzerLocation& a, const AnalyzerLocation& b) { return a.path < b.path; });
    return found;
}

TransportResult LibusbTransport::Open(const std::string& path) {
    Close();
    if (state_->context == nullptr) {
        return {TransportError::kIo, 0, state_->startError};
    }
    libusb_device** devices = nullptr;
    ssize_t count = libusb_get_device_list(state_->context, &devices);
    libusb_device* device = nullptr;
    for (ssize_t i = 0; i < count && device == nullptr; ++i) {
        if (BusPath(devices[i]) == path) {
            device = devices[i];
        }
    }
    TransportResult result = LibusbFailure(LIBUSB_ERROR_NOT_FOUND, path);
    if (device != nullptr) {
        Endpoints endpoints = FindAnalyzerInterface(device);
        libusb_device_handle* handle = nullptr;
        int status =
            endpoints.interfaceNumber < 0 ? LIBUSB_ERROR_NOT_FOUND : libusb_open(device, &handle);
        if (status == LIBUSB_SUCCESS) {
            status = libusb_claim_interface(handle, endpoints.interfaceNumber);
            if (status != LIBUSB_SUCCESS) {
                libusb_close(handle);
            }
        }
        if (status == LIBUSB_SUCCESS) {
            state_->handle = handle;
            state_->interfaceNumber = endpoints.interfaceNumber;
            state_->path = path;
            result = {};
        } else {
            result = LibusbFailure(status, path);
        }
    }
    if (count >= 0) {
        libusb_free_device_list(devices, 1);
    }
    return result;
}

void LibusbTransport::Close() {
    if (state_->handle == nullptr) {
        return;
    }
    libusb_release_interface(state_->handle, state_->interfaceNumber);
    libusb_close(state_->handle);
    state_->handle = nullptr;
    state_->interfaceNumber = -1;
}

bool LibusbTransport::IsOpen() const {
    return state_->handle != nullptr;
}

TransportResult LibusbTransport::GetDescriptor(uint8_t type, uint8_t index, uint16_t language,
                                               std::span<uint8_t> out) {
    if (state_->handle == nullptr) {
        return {TransportError::kNotOpen, 0, "no analyzer is open"};
    }
    int length = static_cast<int>(std::min<size_t>(out.size(), 0xFFFF));
    int received =
        libusb_control_transfer(state_->handle, kStandardDeviceIn, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                static_cast<uint16_t>((type << 8) | index), language, out.data(),
                                static_cast<uint16_t>(length), kControlTimeoutMs);
    if (received < 0) {
        return LibusbFailure(received, state_->path);
    }
    return {TransportError::kNone, static_cast<size_t>(received), {}};
}

TransportResult LibusbTransport::WriteCommand(const CommandPacket& packet) {
    if (state_->handle == nullptr) {
        return {TransportError::kNotOpen, 0, "no analyzer is open"};
    }
    std::array<uint8_t, kCommandPacketSize> bytes = packet.bytes;
    int sent = 0;
    int status = libusb_bulk_transfer(state_->handle, kBulkOutEndpoint, bytes.data(),
                                      static_cast<int>(bytes.size()), &sent, kControlTimeoutMs);
    if (status != LIBUSB_SUCCESS) {
        TransportResult failure = LibusbFailure(status, state_->path);
        failure.bytes = static_cast<size_t>(sent);
        return failure;
    }
    if (static_cast<size_t>(sent) != bytes.size()) {
        return {TransportError::kIo, static_cast<size_t>(sent),
                "the analyzer at " + state_->path + " took a partial command"};
    }
    return {TransportError::kNone, bytes.size(), {}};
}

TransportResult LibusbTransport::ReadStream(std::span<uint8_t> out, int timeoutMs) {
    if (state_->handle == nullptr) {
        return {TransportError::kNotOpen, 0, "no analyzer is open"};
    }
    int received = 0;
    int length = static_cast<int>(std::min<size_t>(out.size(), 1u << 30));
    // A timeout of 0 means none to libusb; the stream read always has one.
    int status = libusb_bulk_transfer(state_->handle, kBulkInEndpoint, out.data(), length,
                                      &received, static_cast<unsigned>(std::max(1, timeoutMs)));
    // A timeout may still have delivered part of the request: that data belongs to the stream.
    if (status == LIBUSB_SUCCESS || (status == LIBUSB_ERROR_TIMEOUT && received > 0)) {
        return {TransportError::kNone, static_cast<size_t>(received), {}};
    }
    TransportResult failure = LibusbFailure(status, state_->path);
    if (status == LIBUSB_ERROR_TIMEOUT) {
        failure.message = "no data from the analyzer at " + state_->path;
    }
    return failure;
}
