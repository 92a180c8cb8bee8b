// A transport whose analyzers, answers and failures a test sets field by field.
#pragma once

#include <string>
#include <vector>

#include "device/analyzer_descriptors.h"
#include "device/usb_transport.h"

struct ScriptedTransport final : UsbTransport {
    int analyzers = 1;
    int openableFrom = 0;  // analyzers before this index fail to open with openError
    TransportError openError = TransportError::kBusy;
    size_t pathLength = 5;
    size_t deviceDescriptorSize = kDeviceDescriptorSize;
    std::string firmware = "1.23";
    bool failWrites = false;

    int opens = 0;
    int closes = 0;
    bool open = false;
    std::vector<std::array<uint8_t, kCommandPacketSize>> written;

    std::vector<AnalyzerLocation> List(std::span<const UsbDeviceId> /*ids*/) override {
        std::vector<AnalyzerLocation> found;
        for (int i = 0; i < analyzers; ++i) {
            std::string path = "path" + std::to_string(i);
            path.resize(std::max(path.size(), pathLength), 'x');
            found.push_back({path, {0x1209, 0x000D}});
        }
        return found;
    }
    TransportResult Open(const std::string& path) override {
        ++opens;
        int index = std::stoi(path.substr(4));
        if (index < openableFrom) {
            return {openError, 0, openError == TransportError::kBusy ? "busy" : "refused"};
        }
        open = true;
        return {};
    }
    void Close() override {
        if (open) {
            ++closes;
        }
        open = false;
    }
    bool IsOpen() const override { return open; }
    TransportResult GetDescriptor(uint8_t type, uint8_t index, uint16_t /*language*/,
                                  std::span<uint8_t> out) override {
        std::vector<uint8_t> bytes;
        if (type == kDescriptorTypeDevice) {
            bytes = AnalyzerDeviceDescriptor({0x1209, 0x000D}, 0x0123);
            bytes.resize(deviceDescriptorSize);
        } else {
            AnalyzerDescriptorTexts texts;
            texts.firmware = firmware;
            bytes = AnalyzerStringDescriptor(texts, index).value_or(std::vector<uint8_t>{});
        }
        size_t size = std::min(bytes.size(), out.size());
        std::copy_n(bytes.begin(), size, out.begin());
        return {TransportError::kNone, size, {}};
    }
    TransportResult WriteCommand(const CommandPacket& packet) override {
        if (failWrites) {
            return {TransportError::kIo, 0, "write failed"};
        }
        written.push_back(packet.bytes);
        return {TransportError::kNone, kCommandPacketSize, {}};
    }
    TransportResult ReadStream(std::span<uint8_t> /*out*/, int /*timeoutMs*/) override {
        return {TransportError::kTimeout, 0, "nothing"};
    }
};
