#include "device/virtual/virtual_analyzer.h"

#include <algorithm>
#include <cstring>

#include "device/analyzer_identity.h"

VirtualAnalyzer::VirtualAnalyzer(VirtualAnalyzerOptions options)
    : options_(std::move(options)), stream_(options_.stream) {}

bool VirtualAnalyzer::PresentLocked(Clock::time_point now) {
    if (away_ && now >= backAt_) {
        // Back from the firmware update mode, as after a power-up.
        away_ = false;
        stream_.SetSamplingInterval(options_.stream.samplingIntervalMs);
        stream_.SetTermination(CcLine::kCc1, CcTermination::kNone);
        stream_.SetTermination(CcLine::kCc2, CcTermination::kNone);
    }
    return !away_;
}

bool VirtualAnalyzer::Present() {
    std::lock_guard lock(mutex_);
    return PresentLocked(Clock::now());
}

TransportResult VirtualAnalyzer::GoneResult() const {
    return {TransportError::kGone, 0, "the analyzer was unplugged"};
}

TransportResult VirtualAnalyzer::Open() {
    std::lock_guard lock(mutex_);
    Clock::time_point now = Clock::now();
    if (!PresentLocked(now)) {
        return {TransportError::kNotFound, 0,
                "no analyzer at " + std::string(kVirtualAnalyzerPath)};
    }
    if (open_) {
        return {TransportError::kBusy, 0, "the virtual analyzer is in use by another host"};
    }
    open_ = true;
    paceStarted_ = false;
    return {};
}

void VirtualAnalyzer::Close() {
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    wake_.notify_all();
}

bool VirtualAnalyzer::IsOpen() {
    std::lock_guard lock(mutex_);
    return open_;
}

TransportResult VirtualAnalyzer::GetDescriptor(uint8_t type, uint8_t index,
                                               std::span<uint8_t> out) {
    std::lock_guard lock(mutex_);
    if (!PresentLocked(Clock::now())) {
        return GoneResult();
    }
    if (!open_) {
        return {TransportError::kNotOpen, 0, "the analyzer is not open"};
    }
    std::vector<uint8_t> descriptor;
    if (type == kDescriptorTypeDevice && index == 0) {
        descriptor = AnalyzerDeviceDescriptor(
            options_.id, ParseFirmwareVersion(Utf8ToUtf16(options_.texts.firmware), 0));
    } else if (type == kDescriptorTypeString) {
        std::optional<std::vector<uint8_t>> text = AnalyzerStringDescriptor(options_.texts, index);
        if (!text) {
            return {TransportError::kIo, 0, "the analyzer has no such string descriptor"};
        }
        descriptor = std::move(*text);
    } else {
        return {TransportError::kIo, 0, "the analyzer has no such descriptor"};
    }
    size_t size = std::min(descriptor.size(), out.size());
    std::copy_n(descriptor.begin(), size, out.begin());
    return {TransportError::kNone, size, {}};
}

void VirtualAnalyzer::ApplyCommand(const CommandPacket& packet) {
    const uint8_t* payload = packet.Payload();
    if (packet.Signature() != kCommandSignature) {
        ++ignored_;
        return;
    }
    switch (packet.Code()) {
        case kCommandSetCcTermination: {
            std::optional<CcTermination> value = CcTerminationFromByte(payload[1]);
            if (payload[0] > 1 || !value) {
                ++ignored_;
                return;
            }
            stream_.SetTermination(static_cast<CcLine>(payload[0]), *value);
            return;
        }
        case kCommandSetSamplingInterval: {
            uint32_t minusOne = ReadU32(payload);
            stream_.SetSamplingInterval(
                static_cast<int>(std::min<uint32_t>(minusOne, kMaxSamplingIntervalMs) + 1));
            return;
        }
        case kCommandEnterFirmwareUpdate:
            away_ = true;
            open_ = false;
            backAt_ = Clock::now() + std::chrono::milliseconds(options_.firmwareUpdateAbsenceMs);
            return;
        default:
            ++ignored_;
            return;
    }
}

TransportResult VirtualAnalyzer::WriteCommand(const CommandPacket& packet) {
    {
        std::lock_guard lock(mutex_);
        if (!PresentLocked(Clock::now())) {
            return GoneResult();
        }
        if (!open_) {
            return {TransportError::kNotOpen, 0, "the analyzer is not open"};
        }
        ApplyCommand(packet);
    }
    wake_.notify_all();
    return {TransportError::kNone, kCommandPacketSize, {}};
}

uint64_t VirtualAnalyzer::DeviceNowUs(Clock::time_point now) const {
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - originAt_);
    return originUs_ + static_cast<uint64_t>(std::max<int64_t>(0, elapsed.count()));
}

size_t VirtualAnalyzer::CopyDue(std::span<uint8_t> out, uint64_t untilUs, bool paced) {
    size_t copied = 0;
    while (copied < out.size()) {
        if (carryOffset_ == kBlockSize) {
            if (paced && stream_.NextDueUs() > untilUs) {
                break;
            }
            uint64_t dueUs = 0;
            carry_ = stream_.Next(dueUs);
            carryOffset_ = 0;
        }
        size_t take = std::min(kBlockSize - carryOffset_, out.size() - copied);
        std::memcpy(out.data() + copied, carry_.bytes.data() + carryOffset_, take);
        carryOffset_ += take;
        copied += take;
    }
    return copied;
}

TransportResult VirtualAnalyzer::ReadStream(std::span<uint8_t> out, int timeoutMs) {
    std::unique_lock lock(mutex_);
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    for (;;) {
        Clock::time_point now = Clock::now();
        if (!PresentLocked(now)) {
            return GoneResult();
        }
        if (!open_) {
            return {TransportError::kNotOpen, 0, "the analyzer is not open"};
        }
        if (!paceStarted_) {
            // The stream goes on from the block after the last one sent.
            paceStarted_ = true;
            originAt_ = now;
            originUs_ = stream_.NextDueUs();
        }
        size_t copied = CopyDue(out, DeviceNowUs(now), options_.paced);
        if (copied > 0 || out.empty()) {
            return {TransportError::kNone, copied, {}};
        }
        if (now >= deadline) {
            return {TransportError::kTimeout, 0, "no data from the analyzer"};
        }
        // Sleep until the next block is complete, the deadline passes or a command or Close
        // changes things.
        uint64_t dueUs = stream_.NextDueUs();
        Clock::time_point dueAt =
            originAt_ + std::chrono::microseconds(dueUs > originUs_ ? dueUs - originUs_ : 0);
        wake_.wait_until(lock, std::min(deadline, dueAt));
    }
}

int VirtualAnalyzer::SamplingIntervalMs() {
    std::lock_guard lock(mutex_);
    return stream_.SamplingIntervalMs();
}

CcTermination VirtualAnalyzer::Termination(CcLine line) {
    std::lock_guard lock(mutex_);
    return stream_.Termination(line);
}

uint64_t VirtualAnalyzer::CommandsIgnored() {
    std::lock_guard lock(mutex_);
    return ignored_;
}
