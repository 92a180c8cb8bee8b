// A capture opened for a script: decoded once, then read by any number of threads at once.
// Nothing writes the decoded rows after opening; what is worked out only when first asked for
// (the record stream's counters) is taken under a lock of its own.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "capture/sample_snapshot.h"
#include "query/capture_info.h"
#include "query/capture_rows.h"
#include "query/open_capture.h"

struct OpenOptions {
    bool tolerant = false;        // recover what the strict decoder rejects
    bool reverseCurrent = false;  // negate every current and power shown or measured
};

class OpenedCapture {
  public:
    // Opens and decodes path. Null with outcome telling why when the file cannot be read, when
    // memory ran out while decoding, or when nothing in it reads as analyzer data (kDamaged,
    // "'PATH': No valid record block found: ...").
    static std::shared_ptr<const OpenedCapture> Open(const std::string& path,
                                                     const OpenOptions& options,
                                                     OpenOutcome& outcome);

    const std::string& Path() const { return path_; }
    const OpenOptions& Options() const { return options_; }
    const CaptureRows& Rows() const { return rows_; }
    const CKVDoc& Doc() const { return rows_.doc; }
    // What the window's notice says of a file that ends in a partial block or is shorter than
    // recorded; "" when there is nothing to say.
    const std::string& Problems() const { return problems_; }

    // The record stream's counters, read from the file when first asked for (by any thread);
    // none with error set when the file can no longer be read.
    std::optional<StreamInfo> Stream(std::string& error) const;

  private:
    OpenedCapture() = default;

    std::string path_;
    OpenOptions options_;
    CaptureRows rows_;
    std::string problems_;

    mutable std::mutex streamMutex_;
    mutable bool streamRead_ = false;
    mutable std::optional<StreamInfo> stream_;
    mutable std::string streamError_;
};

// One sample in the layout of the Python module's sample array.
struct SampleRecord {
    int64_t timeUs;  // since the capture start, as zoduz-cli samples prints it
    int32_t vbusMv;
    int32_t vbusMa;
    int32_t cc1Mv;
    int32_t cc1Ma;
    int32_t cc2Mv;
    int32_t cc2Ma;
};
static_assert(sizeof(SampleRecord) == 32);

// Copies the first out.size() samples (out.size() <= samples.Size()), the currents negated with
// reverseCurrent.
void CopySamples(const SampleSnapshot& samples, bool reverseCurrent, std::span<SampleRecord> out);
