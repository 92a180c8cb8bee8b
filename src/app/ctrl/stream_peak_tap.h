// The capture's running VBUS extremes without a document: a stream source that passes the
// analyzer's stream through to the reader thread and keeps the SampleStats of every sample
// in it, for a read-out that runs without recording (zoduz-cli monitor).
#pragma once

#include <mutex>

#include "capture/record_stream.h"
#include "capture/sample_stats.h"
#include "live/stream_source.h"

class StreamPeakTap : public StreamSource {
  public:
    explicit StreamPeakTap(StreamSource& source) : source_(source) {}

    // Called by the reader thread.
    long ReadStream(uint8_t* buffer, size_t size, int timeoutMs) override;

    // The extremes so far; safe from any thread.
    SampleStats Stats() const;

  private:
    class StatsSink;

    StreamSource& source_;
    RecordStreamParser parser_;  // reader thread only
    mutable std::mutex mutex_;
    SampleStats stats_;  // guarded by mutex_
};
