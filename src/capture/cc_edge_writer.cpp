#include "capture/cc_edge_writer.h"

#include <algorithm>

#include "capture/byte_order.h"

namespace {

// Ten microseconds without a transition end a packet: ticks x divider >= 480.
constexpr uint64_t kPacketGapTicksTimesDivider = 480;

}  // namespace

EdgeBlockWriter::EdgeBlockWriter(int clockDivider, std::vector<TimedBlock>& out)
    : divider_(std::clamp(clockDivider, 1, 256)), out_(out) {}

void EdgeBlockWriter::StartBurst(int ccLine, uint64_t firstTick) {
    if (inBurst_) {
        EndBurst();
    }
    // A burst number that cannot be read as the continuation of the previous block.
    burst_ = (burst_ + (sequence_ == 7 ? 2 : 1)) & 0xFF;
    sequence_ = -1;
    line_ = ccLine & 1;
    inBurst_ = true;
    count_ = 0;

    // The block timestamp is the reference: the parser restarts its tick count at T x 48 / div.
    uint64_t timeUs = MicrosecondsOfTick(firstTick, divider_);
    while (timeUs > 0 && timeUs * 48 / static_cast<uint64_t>(divider_) >= firstTick) {
        --timeUs;
    }
    uint64_t reference = timeUs * 48 / static_cast<uint64_t>(divider_);
    blockTimeUs_ = timeUs;
    tick_ = reference;
    previousByte_ = previousValue_ = static_cast<int>(reference & 0xFF);
    repeatCount_ = 0;
    ticksSinceEdge_ = 0;
    bytes_[static_cast<size_t>(count_++)] = static_cast<uint8_t>(previousByte_);
    lastByteTick_ = reference;
}

int EdgeBlockWriter::MarkerAdvance() const {
    if (previousValue_ > 0) {
        return 256 - previousValue_;
    }
    return repeatCount_ + 1 < 2 ? 0 : 256;
}

void EdgeBlockWriter::EmitMarker() {
    int advance = MarkerAdvance();
    ++repeatCount_;
    previousValue_ = 0;
    tick_ += static_cast<uint64_t>(advance);
    ticksSinceEdge_ += static_cast<uint64_t>(advance);
    Emit(static_cast<uint8_t>(previousByte_), tick_);
}

uint64_t EdgeBlockWriter::Transition(uint64_t tick) {
    tick = std::max(tick, tick_);
    for (;;) {
        uint64_t gap = tick - tick_;
        int value = static_cast<int>(tick & 0xFF);
        if (value != previousByte_) {
            uint64_t elapsed =
                value > previousValue_   ? static_cast<uint64_t>(value - previousValue_)
                : value < previousValue_ ? static_cast<uint64_t>(256 + value - previousValue_)
                                         : 0;
            if (elapsed == gap) {
                previousByte_ = previousValue_ = value;
                repeatCount_ = 0;
                tick_ = tick;
                ticksSinceEdge_ = 0;
                Emit(static_cast<uint8_t>(value), tick);
                return tick;
            }
        }
        if (tick_ + static_cast<uint64_t>(MarkerAdvance()) > tick) {
            ++tick;  // this low byte cannot follow the marker; take the next tick
            continue;
        }
        EmitMarker();
    }
}

void EdgeBlockWriter::EndBurst() {
    if (!inBurst_) {
        return;
    }
    while (ticksSinceEdge_ * static_cast<uint64_t>(divider_) < kPacketGapTicksTimesDivider) {
        EmitMarker();
    }
    while (count_ != 0) {
        EmitMarker();
    }
    inBurst_ = false;
}

void EdgeBlockWriter::Emit(uint8_t byte, uint64_t tick) {
    if (count_ == 0) {
        // Later blocks of a burst carry the line time of the capture before them, so the parser
        // never sees a drift that would resynchronise it.
        blockTimeUs_ = MicrosecondsOfTick(lastByteTick_, divider_);
    }
    bytes_[static_cast<size_t>(count_++)] = byte;
    lastByteTick_ = tick;
    if (count_ == static_cast<int>(kEdgeBytesPerBlock)) {
        FlushBlock();
    }
}

void EdgeBlockWriter::FlushBlock() {
    if (sequence_ == 7) {
        burst_ = (burst_ + 1) & 0xFF;
        sequence_ = 0;
    } else {
        ++sequence_;
    }
    TimedBlock timed;
    timed.timeUs = blockTimeUs_;
    timed.endUs = MicrosecondsOfTick(lastByteTick_, divider_);
    uint8_t* block = timed.block.bytes.data();
    auto kindWord = static_cast<uint16_t>(sequence_ | (burst_ << 4) | (line_ << 14));
    WriteU16(block, kindWord);
    WriteU32(block + 2, static_cast<uint32_t>(blockTimeUs_));
    WriteU16(block + 6, ClockSettingOf(divider_));
    std::copy(bytes_.begin(), bytes_.end(), block + kEdgeBytesOffset);
    out_.push_back(timed);
    count_ = 0;
}
