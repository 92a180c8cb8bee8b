// Writes CC line transitions, given as edge-timer ticks, into CcEdgeBlocks that the edge
// parser reads back as the same packets: 8-bit timer captures, wrap markers, burst and
// sequence numbers and block timestamps. The synthesizer and the logic-analyzer import use it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "capture/record_block.h"

// A block with the device time used to interleave it with the others.
struct TimedBlock {
    uint64_t timeUs = 0;
    uint64_t endUs = 0;  // the time of its last capture
    RecordBlock block;
};

// The clock setting word of a CcEdgeBlock that the parser reads as `divider` (1-256). A setting
// of 0 means the default of 20, so a divider of 1 is written with the low byte 0 and bit 8 set.
constexpr uint16_t ClockSettingOf(int divider) {
    return divider <= 1 ? uint16_t{0x100} : static_cast<uint16_t>((divider - 1) & 0xFF);
}

// Microseconds of a tick count: ticks x divider / 48, truncated like the parser's line time.
constexpr uint64_t MicrosecondsOfTick(uint64_t tick, int divider) {
    return tick * static_cast<uint64_t>(divider) / 48;
}

// Writes the transitions of the CC lines burst by burst into CcEdgeBlocks.
class EdgeBlockWriter {
  public:
    EdgeBlockWriter(int clockDivider, std::vector<TimedBlock>& out);

    // Opens a burst on `ccLine` whose first transition comes at tick `firstTick`: a new burst
    // number, sequence 0, and a reference capture just before the transition.
    void StartBurst(int ccLine, uint64_t firstTick);
    // Records a transition at `tick`, preceded by the wrap markers the gap needs. A tick that
    // the 8-bit captures cannot express after a wrap marker moves on by one; returns the tick
    // used.
    uint64_t Transition(uint64_t tick);
    // Idles until the open packet ends (ten microseconds without a transition), fills the block
    // with wrap markers and closes the burst.
    void EndBurst();

    bool InBurst() const { return inBurst_; }
    int Line() const { return line_; }
    int Divider() const { return divider_; }
    uint64_t LastTick() const { return tick_; }

  private:
    void Emit(uint8_t byte, uint64_t tick);
    void EmitMarker();
    int MarkerAdvance() const;
    void FlushBlock();

    int divider_;
    std::vector<TimedBlock>& out_;
    bool inBurst_ = false;
    int line_ = 0;
    int burst_ = -1;
    int sequence_ = -1;
    std::array<uint8_t, kEdgeBytesPerBlock> bytes_{};
    int count_ = 0;
    uint64_t blockTimeUs_ = 0;
    uint64_t lastByteTick_ = 0;
    uint64_t tick_ = 0;  // timer position of the latest capture
    int previousByte_ = 0;
    int previousValue_ = 0;
    int repeatCount_ = 0;
    uint64_t ticksSinceEdge_ = 0;
};
