// The peak tap between the analyzer and the reader thread: the stream passes unchanged and the
// VBUS extremes of its samples can be read from another thread meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "app/ctrl/readouts.h"
#include "app/ctrl/stream_peak_tap.h"
#include "stream_builder.h"

namespace {

// Hands out a byte stream in odd-sized pieces, then reports a failed read.
class PieceSource : public StreamSource {
  public:
    explicit PieceSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    long ReadStream(uint8_t* buffer, size_t size, int /*timeoutMs*/) override {
        if (offset_ >= bytes_.size()) {
            return -1;
        }
        const size_t count = std::min({size, bytes_.size() - offset_, size_t{37}});
        std::memcpy(buffer, bytes_.data() + offset_, count);
        offset_ += count;
        return static_cast<long>(count);
    }

  private:
    std::vector<uint8_t> bytes_;
    size_t offset_ = 0;
};

std::vector<uint8_t> Stream() {
    StreamBuilder builder(false);
    // Raw currents scale by 1500/1598: 1598 is 1500 mA, 3196 is 3000 mA.
    for (int repeat = 0; repeat < 200; ++repeat) {
        builder.AddSampleBlock(0x2003, {{10u, 5000, 1598, 420, 0, 0, 0},
                                        {20u, 20000, 3196, 1680, 0, 4900, 0},
                                        {30u, 5000, -1598, 420, 0, 0, 0}});
    }
    return builder.Bytes();
}

}  // namespace

TEST(StreamPeakTap, PassesTheStreamAndKeepsTheVbusExtremesAcrossThreads) {
    const std::vector<uint8_t> bytes = Stream();
    PieceSource source(bytes);
    StreamPeakTap tap(source);

    std::vector<uint8_t> passed;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        uint8_t buffer[256];
        for (long count; (count = tap.ReadStream(buffer, sizeof buffer, 10)) >= 0;) {
            passed.insert(passed.end(), buffer, buffer + count);
        }
        done = true;
    });
    // The maximum never falls and the minimum never rises while the stream goes by.
    int32_t lastMax = 0;
    int32_t lastMin = 0;
    while (!done) {
        const SampleStats stats = tap.Stats();
        EXPECT_GE(stats.maxVbusPower, lastMax);
        EXPECT_LE(stats.minVbusPower, lastMin);
        lastMax = stats.maxVbusPower;
        lastMin = stats.minVbusPower;
    }
    reader.join();

    EXPECT_EQ(passed, bytes);
    const SampleStats stats = tap.Stats();
    EXPECT_EQ(stats.maxVbusPower, 60000);
    EXPECT_EQ(stats.maxVbusPowerVoltage, 20000);
    EXPECT_EQ(stats.maxVbusPowerCurrent, 3000);
    EXPECT_EQ(stats.minVbusPower, -7500);
    EXPECT_EQ(PeakPowerText(stats),
              "Peak VBUS Power\n  60.00 [W] (20.00 [V] 3.000 [A])\n"
              "Peak VBUS Power (Dir=Rvs)\n  -7.50 [W] (5.00 [V] -1.500 [A])\n");
}
