#include "check/sample_search.h"

#include <algorithm>
#include <span>

namespace {

// Ranges this short are read sample by sample: asking the summaries would cost about as much.
constexpr size_t kScanSamples = 256;

// The first sample of a range whose value is inside [low, high] (or, with kInside false,
// outside it), found by halving the range and dropping every half whose extremes rule a match
// out.
template <bool kInside>
class BandSearch {
  public:
    BandSearch(const SampleSnapshot& samples, PlotValue value, int64_t low, int64_t high)
        : samples_(samples), value_(value), low_(low), high_(high) {}

    size_t Find(size_t first, size_t end) const {
        if (end - first <= kScanSamples) {
            return Scan(first, end);
        }
        if (!MayHold(samples_.Extremes(first, end - 1, value_))) {
            return end;
        }
        const size_t middle = first + (end - first) / 2;
        const size_t found = Find(first, middle);
        return found != middle ? found : Find(middle, end);
    }

  private:
    bool Matches(int64_t v) const { return (low_ <= v && v <= high_) == kInside; }

    // Outside: exact, the extremes themselves are samples. Inside: a range whose samples lie
    // on both sides of the band may still miss it.
    bool MayHold(const ValueExtremes& e) const {
        if constexpr (kInside) {
            return e.max >= low_ && e.min <= high_;
        } else {
            return e.min < low_ || e.max > high_;
        }
    }

    size_t Scan(size_t first, size_t end) const {
        for (size_t i = first; i < end;) {
            const std::span<const StoredSample> run = samples_.RunFrom(i);
            const size_t length = std::min(run.size(), end - i);
            for (size_t k = 0; k < length; ++k) {
                if (Matches(PlotValueOf(run[k], value_))) {
                    return i + k;
                }
            }
            i += length;
        }
        return end;
    }

    const SampleSnapshot& samples_;
    PlotValue value_;
    int64_t low_;
    int64_t high_;
};

}  // namespace

size_t FindFirstOutside(const SampleSnapshot& samples, size_t first, size_t end, PlotValue value,
                        int64_t low, int64_t high) {
    end = std::min(end, samples.Size());
    if (first >= end) {
        return end;
    }
    return BandSearch<false>(samples, value, low, high).Find(first, end);
}

size_t FindFirstInside(const SampleSnapshot& samples, size_t first, size_t end, PlotValue value,
                       int64_t low, int64_t high) {
    end = std::min(end, samples.Size());
    if (first >= end) {
        return end;
    }
    return BandSearch<true>(samples, value, low, high).Find(first, end);
}
