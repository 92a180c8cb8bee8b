#include "app/ctrl/stream_peak_tap.h"

#include <span>

class StreamPeakTap::StatsSink : public RecordSink {
  public:
    explicit StatsSink(SampleStats& stats) : stats_(stats) {}
    void OnSample(const CVbusInfo& sample) override { UpdateSampleStats(stats_, sample); }
    void OnPacket(PacketPtr /*packet*/) override {}

  private:
    SampleStats& stats_;
};

long StreamPeakTap::ReadStream(uint8_t* buffer, size_t size, int timeoutMs) {
    const long count = source_.ReadStream(buffer, size, timeoutMs);
    if (count > 0) {
        std::lock_guard lock(mutex_);
        StatsSink sink(stats_);
        parser_.Feed(std::span<const uint8_t>(buffer, static_cast<size_t>(count)), sink);
    }
    return count;
}

SampleStats StreamPeakTap::Stats() const {
    std::lock_guard lock(mutex_);
    return stats_;
}
