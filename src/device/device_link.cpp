#include "device/device_link.h"

#include <array>

#include "device/analyzer_identity.h"
#include "device/analyzer_probe.h"

DeviceLink::DeviceLink(UsbTransport& transport, DeviceLinkSettings settings)
    : transport_(transport), settings_(std::move(settings)) {}

DeviceLink::~DeviceLink() {
    Close();
}

bool DeviceLink::PollDevice() {
    if (Connected()) {
        std::array<uint8_t, kDeviceDescriptorSize> descriptor{};
        TransportResult read = transport_.GetDescriptor(kDescriptorTypeDevice, 0, 0, descriptor);
        if (read.Ok() && read.bytes == kDeviceDescriptorSize) {
            return true;
        }
        lastError_ = read.Ok() ? "the analyzer sent a short device descriptor" : read.message;
        // The identity stays until a poll finds no analyzer: the record file being finished
        // after the unplug still carries this analyzer's firmware version and serial number.
        Release();
        return false;
    }

    if (!OpenAnalyzer()) {
        ForgetIdentity();
        return false;
    }
    if (invalidFirmware_) {
        // The analyzer with old firmware is still attached.
        Release();
        return false;
    }
    ReadIdentity();
    invalidFirmware_ = firmwareVersion_ < kMinFirmwareVersion;
    if (invalidFirmware_) {
        lastError_ = "the analyzer's firmware " + firmwareText_ + " is too old";
        Release();
        return false;
    }
    lastError_.clear();
    {
        std::lock_guard lock(gateMutex_);
        readable_ = true;
    }
    connected_.store(true, std::memory_order_release);

    if (settings_.configureAtConnect) {
        if (settings_.samplingIntervalMs != 0) {
            SetSamplingInterval(settings_.samplingIntervalMs);
        }
        SetCcTermination(CcLine::kCc1, CcTermination::kNone);
        SetCcTermination(CcLine::kCc2, CcTermination::kNone);
    }
    return Connected();
}

bool DeviceLink::OpenAnalyzer() {
    std::vector<AnalyzerLocation> found = transport_.List(settings_.ids);
    lastError_.clear();
    for (size_t index = 0; index < found.size() && index < kMaxOpenAttempts; ++index) {
        const std::string& path = found[index].path;
        if (path.size() > kMaxDevicePathLength) {
            lastError_ = "the analyzer's device path is too long";
            return false;
        }
        TransportResult opened = transport_.Open(path);
        if (opened.Ok()) {
            devicePath_ = path;
            deviceId_ = found[index].id;
            handleOpen_ = true;
            return true;
        }
        lastError_ = opened.message;
        if (opened.error == TransportError::kBusy) {
            // The device opened but its interface could not be claimed: the search ends here.
            return false;
        }
    }
    return false;
}

void DeviceLink::ReadIdentity() {
    std::u16string firmware = ReadStringDescriptor(transport_, kFirmwareStringIndex);
    firmwareText_ = Utf16ToUtf8(firmware);
    // A text too short to carry a version gives none. The only version it could keep is that
    // of an analyzer unplugged within the last tick, possibly another one, and taking it would
    // accept firmware that was never checked.
    firmwareVersion_ = ParseFirmwareVersion(firmware, 0);
    std::u16string serial = ReadStringDescriptor(transport_, kSerialStringIndex);
    serialText_ = Utf16ToUtf8(serial);
    serialBytes_ = ParseSerialNumber(serial);
}

void DeviceLink::ForgetIdentity() {
    firmwareText_.clear();
    serialText_.clear();
    firmwareVersion_ = 0;
    invalidFirmware_ = false;
}

bool DeviceLink::SendCommand(const CommandPacket& packet) {
    if (!Connected()) {
        return false;
    }
    return transport_.WriteCommand(packet).Ok();
}

bool DeviceLink::SendCommand(uint32_t code, std::span<const uint8_t> payload) {
    return SendCommand(MakeCommandPacket(code, payload.data(), payload.size()));
}

bool DeviceLink::SetCcTermination(CcLine line, CcTermination value) {
    if (!SendCommand(SetCcTerminationPacket(line, value))) {
        return false;
    }
    (line == CcLine::kCc1 ? cc1Termination_ : cc2Termination_) = value;
    return true;
}

bool DeviceLink::SetSamplingInterval(int intervalMs) {
    return SendCommand(SetSamplingIntervalPacket(intervalMs));
}

bool DeviceLink::EnterFirmwareUpdate() {
    return SendCommand(EnterFirmwareUpdatePacket());
}

CcTermination DeviceLink::Termination(CcLine line) const {
    return line == CcLine::kCc1 ? cc1Termination_ : cc2Termination_;
}

TransportResult DeviceLink::Read(std::span<uint8_t> out, int timeoutMs) {
    {
        std::lock_guard lock(gateMutex_);
        if (!readable_) {
            return {TransportError::kNotOpen, 0, "no analyzer is open"};
        }
        ++readsInside_;
    }
    TransportResult result = transport_.ReadStream(out, timeoutMs);
    {
        std::lock_guard lock(gateMutex_);
        --readsInside_;
    }
    gateIdle_.notify_all();
    return result;
}

void DeviceLink::Release() {
    connected_.store(false, std::memory_order_release);
    {
        std::unique_lock lock(gateMutex_);
        readable_ = false;
        gateIdle_.wait(lock, [this] { return readsInside_ == 0; });
    }
    if (handleOpen_) {
        transport_.Close();
        handleOpen_ = false;
    }
}

void DeviceLink::Close() {
    Release();
}
