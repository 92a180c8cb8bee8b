// Assembles the transitions of consecutive CcEdgeBlocks of one CC line into raw CCCPackets.
#pragma once

#include <array>
#include <cstdint>

#include "capture/record_sink.h"
#include "capture/timestamp_extender.h"

// Per-line state carried from block to block.
struct CcLineState {
    TimestampExtender blockTime;  // widened block timestamps of this line
    int64_t lineTime = -1;        // current line time in us, -1 = not synchronised
    uint64_t tickAccumulator = 0;
    int previousByte = -1;
    int previousValue = -1;  // last byte taken as a timer value, 0 after a wrap marker
    int repeatCount = 0;
    uint64_t ticksSinceEdge = 0;
    PacketPtr openPacket;
};

class CcEdgeParser {
  public:
    // Parses one CcEdgeBlock at file offset `offset`; other blocks are ignored.
    void ParseBlock(const uint8_t* block, uint64_t offset, RecordSink& sink);

    // Drops both open packets without handing them over and returns to the initial state.
    void Reset();

    const CcLineState& Line(int ccLine) const { return lines_[static_cast<size_t>(ccLine & 1)]; }

  private:
    // Sequence break at the block at offset: hand over every open packet and unsynchronise both
    // lines.
    void BreakContinuity(uint64_t offset, RecordSink& sink);
    void ParseEdgeBytes(CcLineState& line, const uint8_t* bytes, int ccLine, int divider,
                        uint64_t offset, RecordSink& sink);
    // Ends the open packet after ten microseconds of silence; short bursts are noise.
    static void CloseByGap(CcLineState& line, uint64_t offset, RecordSink& sink);

    std::array<CcLineState, 2> lines_;
    int previousBurst_ = -1;
    int previousSequence_ = -1;
    uint64_t runStart_ = 0;  // block of the last sequence break
};
