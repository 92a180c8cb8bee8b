#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device/virtual_link.h"

namespace {

// A transport whose reads take a while and which checks that nothing closes it mid-read.
struct SlowReadTransport final : UsbTransport {
    VirtualAnalyzer analyzer{UnpacedAnalyzer()};
    VirtualTransport inner{analyzer};
    std::atomic<int> inside{0};
    std::atomic<int> closedDuringRead{0};
    std::atomic<int> reads{0};

    std::vector<AnalyzerLocation> List(std::span<const UsbDeviceId> ids) override {
        return inner.List(ids);
    }
    TransportResult Open(const std::string& path) override { return inner.Open(path); }
    void Close() override {
        if (inside.load() != 0) {
            ++closedDuringRead;
        }
        inner.Close();
    }
    bool IsOpen() const override { return inner.IsOpen(); }
    TransportResult GetDescriptor(uint8_t type, uint8_t index, uint16_t language,
                                  std::span<uint8_t> out) override {
        return inner.GetDescriptor(type, index, language, out);
    }
    TransportResult WriteCommand(const CommandPacket& packet) override {
        return inner.WriteCommand(packet);
    }
    TransportResult ReadStream(std::span<uint8_t> out, int timeoutMs) override {
        ++inside;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        TransportResult result = inner.ReadStream(out, timeoutMs);
        ++reads;
        --inside;
        return result;
    }
};

TEST(DeviceLinkThreads, ReleaseNeverClosesTheTransportDuringARead) {
    SlowReadTransport transport;
    DeviceLink link(transport);
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> bytes{0};
    std::thread reader([&] {
        std::vector<uint8_t> buffer(kStreamReadSize);
        while (!stop.load()) {
            if (!link.Connected()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            TransportResult read = link.Read(buffer, 20);
            bytes += read.bytes;
        }
    });
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(link.PollDevice());
        link.SetCcTermination(CcLine::kCc1, CcTermination::kRp3A0);
        link.SetSamplingInterval(round % 5 + 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        link.Close();
    }
    stop = true;
    reader.join();
    EXPECT_EQ(transport.closedDuringRead.load(), 0);
    EXPECT_GT(transport.reads.load(), 0);
    EXPECT_GT(bytes.load(), 0u);
}

TEST(DeviceLinkThreads, ReaderSeesTheAnalyzerVanishAndReturn) {
    VirtualAnalyzerOptions options = UnpacedAnalyzer();
    options.paced = true;
    options.firmwareUpdateAbsenceMs = 50;
    VirtualLink v(options);
    ASSERT_TRUE(v.link.PollDevice());
    std::atomic<bool> stop{false};
    std::atomic<int> gone{0};
    std::atomic<uint64_t> bytes{0};
    std::thread reader([&] {
        std::vector<uint8_t> buffer(kStreamReadSize);
        while (!stop.load()) {
            TransportResult read = v.link.Read(buffer, 20);
            bytes += read.bytes;
            if (read.error == TransportError::kGone || read.error == TransportError::kNotOpen) {
                ++gone;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ASSERT_TRUE(v.link.EnterFirmwareUpdate());
    EXPECT_FALSE(v.link.PollDevice());
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_TRUE(v.link.PollDevice());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    stop = true;
    reader.join();
    v.link.Close();
    EXPECT_GT(gone.load(), 0);
    EXPECT_GT(bytes.load(), 0u);
}

}  // namespace
