// Crafted record streams that push the decoder to its limits: bursts whose intervals are mostly
// ambiguous, maximal packets whose ambiguous runs each resolve two ways, floods of tiny bursts,
// and CC lines whose packets arrive out of time order. Shared by the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace hostile {

// Edge-timer divider of every generated burst: one tick is 20/48 us, a half unit interval about
// four ticks, so 4 ticks are half, 6 ambiguous and 8 full.
inline constexpr int kDivider = 20;
inline constexpr uint8_t kHalf = 4;
inline constexpr uint8_t kAmbiguous = 6;
inline constexpr uint8_t kFull = 8;

// Deterministic pseudo-random numbers (a 64-bit linear congruential generator).
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<uint32_t>(state_ >> 33);
    }
    bool OneIn(uint32_t n) { return Next() % n == 0; }

  private:
    uint64_t state_;
};

// A record stream: the placeholder InfoBlock, one sample at time 0 (the capture start), then
// bursts of CC edge blocks. Every burst starts a new burst number, so it never continues the
// block before it and its line synchronises on the burst's block time.
class StreamWriter {
  public:
    StreamWriter() {
        uint8_t info[64] = {0xF0, 0xFF};
        Append(info);
        uint8_t sample[64] = {0x01, 0x20};  // one sample, timestamp 0, VBUS 5 V
        sample[6] = 0x88;
        sample[7] = 0x13;
        Append(sample);
    }

    // One burst on `line` starting at `timeUs`: the packets' intervals one after another, each
    // packet ended by two passes of the timer through zero (at least 256 ticks of silence).
    void Burst(int line, uint32_t timeUs, const std::vector<std::vector<uint8_t>>& packets) {
        std::vector<uint8_t> captures{0};
        for (const std::vector<uint8_t>& intervals : packets) {
            uint8_t value = captures.back() == 1 ? 2 : 1;  // the first edge must change the byte
            captures.push_back(value);
            for (uint8_t ticks : intervals) {
                value = static_cast<uint8_t>(value + ticks);
                captures.push_back(value);
            }
            captures.push_back(value);
            captures.push_back(value);
        }
        while (captures.size() % kCapturesPerBlock != 0) {
            captures.push_back(captures.back());
        }
        burst_ = (burst_ + 2) & 0xFF;
        const size_t blocks = captures.size() / kCapturesPerBlock;
        for (size_t b = 0; b < blocks; ++b) {
            // A continued block: the same burst number with the next sequence number, or the
            // next burst number after sequence 7. Its time is not read while a packet is open.
            const unsigned sequence = b % 8;
            const unsigned burst = (burst_ + b / 8) & 0xFF;
            uint8_t block[64] = {};
            const auto kind = static_cast<uint16_t>(sequence | burst << 4 | (line & 1) << 14);
            block[0] = static_cast<uint8_t>(kind);
            block[1] = static_cast<uint8_t>(kind >> 8);
            std::memcpy(block + 2, &timeUs, 4);  // little-endian hosts only, as the tests run
            std::memcpy(block + 8, captures.data() + b * kCapturesPerBlock, kCapturesPerBlock);
            Append(block);
        }
        burst_ = (burst_ + (blocks - 1) / 8) & 0xFF;
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    static constexpr size_t kCapturesPerBlock = 56;

    void Append(const uint8_t (&block)[64]) { bytes_.insert(bytes_.end(), block, block + 64); }

    std::vector<uint8_t> bytes_;
    unsigned burst_ = 0;
};

// Bursts of 20 intervals, each after the first ambiguous with probability 4/5, else half or
// full: nearly every burst enters the ambiguity search with a dozen or more open decisions.
inline std::vector<uint8_t> AmbiguousBursts(size_t bytes, uint64_t seed = 1) {
    StreamWriter stream;
    Random random(seed);
    uint32_t time = 1000;
    while (stream.Size() < bytes) {
        std::vector<std::vector<uint8_t>> packets(2);
        for (std::vector<uint8_t>& intervals : packets) {
            intervals.push_back(kFull);
            while (intervals.size() < 20) {
                intervals.push_back(random.OneIn(5) ? (random.OneIn(2) ? kHalf : kFull)
                                                    : kAmbiguous);
            }
        }
        stream.Burst(static_cast<int>(random.Next() & 1), time, packets);
        time += 1000;  // two packets of about 260 us
    }
    return stream.Bytes();
}

// Maximal packets (5000 intervals): a preamble, then pairs of ambiguous intervals between zero
// bits. Every pair resolves as one bit 1 or as two bits 0, so the search has 2^k complete
// assignments, each one a full bit recovery of the whole packet that no CRC accepts.
inline std::vector<uint8_t> BranchingPackets(size_t bytes) {
    std::vector<uint8_t> intervals;
    for (int bit = 0; bit < 64; ++bit) {
        if (bit % 2 == 0) {
            intervals.push_back(kFull);
        } else {
            intervals.push_back(kHalf);
            intervals.push_back(kHalf);
        }
    }
    while (intervals.size() + 4 <= 5000) {
        intervals.insert(intervals.end(), {kFull, kAmbiguous, kAmbiguous, kFull});
    }
    StreamWriter stream;
    uint32_t time = 1000;
    while (stream.Size() < bytes) {
        stream.Burst(0, time, {intervals});
        time += 20000;  // the packet lasts about 14 ms
    }
    return stream.Bytes();
}

// Bursts of the shortest packets the edge parser keeps (four intervals of BMC-like lengths),
// eight to a block: as many packets as a file of its size can hold.
inline std::vector<uint8_t> TinyBursts(size_t bytes) {
    StreamWriter stream;
    uint32_t time = 1000;
    const std::vector<std::vector<uint8_t>> packets(7, {kFull, kHalf, kHalf, kFull});
    while (stream.Size() < bytes) {
        stream.Burst(0, time, packets);
        time += 2000;  // seven packets of about 210 us
    }
    return stream.Bytes();
}

// Packets of both CC lines at interleaved times, `perLine` on each line, in bursts of `perBurst`
// packets (about 150 us each). In order, the bursts of both lines alternate in time order; out
// of order, every CC1 burst comes first and the CC2 bursts, which fall between them in time,
// follow: each CC2 packet belongs in the middle of the packets before it.
inline std::vector<uint8_t> InterleavedLines(size_t perLine, bool inOrder, size_t perBurst = 4) {
    StreamWriter stream;
    const std::vector<std::vector<uint8_t>> burst(perBurst, {kFull, kHalf, kHalf, kFull, kFull});
    const size_t bursts = (perLine + perBurst - 1) / perBurst;
    auto timeOf = [perBurst](size_t index, int line) {
        return static_cast<uint32_t>(1000 +
                                     (2 * index + static_cast<size_t>(line)) * perBurst * 300);
    };
    if (inOrder) {
        for (size_t i = 0; i < bursts; ++i) {
            stream.Burst(0, timeOf(i, 0), burst);
            stream.Burst(1, timeOf(i, 1), burst);
        }
    } else {
        for (int line = 0; line < 2; ++line) {
            for (size_t i = 0; i < bursts; ++i) {
                stream.Burst(line, timeOf(i, line), burst);
            }
        }
    }
    return stream.Bytes();
}

// CC1 burst i at 1000 + 2000 i us and CC2 burst i 1000 us later, `perBurst` packets each; every
// CC2 burst is written after the CC1 burst that follows it, as a line whose burst ends later
// hands its packets over later. A reader that stops after a CC1 burst has listed packets that
// the next CC2 burst belongs before. `afterCc1`, when given, gets the stream size after every
// CC1 burst.
inline std::vector<uint8_t> LaggingLines(size_t bursts, size_t perBurst,
                                         std::vector<size_t>* afterCc1 = nullptr) {
    StreamWriter stream;
    const std::vector<std::vector<uint8_t>> burst(perBurst, {kFull, kHalf, kHalf, kFull, kFull});
    auto timeOf = [](size_t index, int line) {
        return static_cast<uint32_t>(1000 + index * 2000 + static_cast<size_t>(line) * 1000);
    };
    for (size_t i = 0; i <= bursts; ++i) {
        if (i < bursts) {
            stream.Burst(0, timeOf(i, 0), burst);
            if (afterCc1 != nullptr) {
                afterCc1->push_back(stream.Size());
            }
        }
        if (i > 0) {
            stream.Burst(1, timeOf(i - 1, 1), burst);
        }
    }
    return stream.Bytes();
}

}  // namespace hostile
