#include "capture/cc_edge_parser.h"

#include <utility>

namespace {

// Ten microseconds without a transition end a packet: ticks * divider / 48 >= 10.
constexpr uint64_t kGapTicksTimesDivider = 480;
// Packets closed by the gap rule need at least this many intervals to be kept.
constexpr int kMinEntries = 4;
// Room for a typical message's intervals, reserved with the first one.
constexpr size_t kTypicalEdges = 768;
// A synchronised idle line follows a block timestamp that drifted further than this.
constexpr int64_t kResyncDriftUs = 500;

void ResetLine(CcLineState& line) {
    TimestampExtender kept = line.blockTime;
    line = CcLineState{};
    line.blockTime = kept;
}

bool Continues(int burst, int sequence, int previousBurst, int previousSequence) {
    if (previousBurst < 0 || previousSequence < 0) {
        return false;
    }
    if (burst == previousBurst && sequence == (previousSequence + 1) % 8) {
        return true;
    }
    return burst == (previousBurst + 1) % 256 && sequence == 0 && (previousSequence + 1) % 8 == 0;
}

// Out of line, so that the byte walk keeps its counters in registers: the intervals a block
// added to the open packet, its interval count and its last block offset.
void AddBlockEdges(CCCPacket& packet, const CcEdge* edges, size_t count, int edgeCount,
                   uint64_t lastBlockOffset) {
    if (count > 0) {
        if (packet.edges.empty()) {
            packet.edges.reserve(kTypicalEdges);
        }
        packet.edges.insert(packet.edges.end(), edges, edges + count);
    }
    packet.edgeCount = static_cast<int16_t>(edgeCount);
    packet.lastBlockOffset = lastBlockOffset;
}

bool DriftedFar(int64_t blockTime, int64_t lineTime) {
    // Unsigned difference: garbage timestamps must not overflow.
    auto diff =
        static_cast<int64_t>(static_cast<uint64_t>(blockTime) - static_cast<uint64_t>(lineTime));
    return diff > kResyncDriftUs || diff < -kResyncDriftUs;
}

}  // namespace

void CcEdgeParser::ParseBlock(const uint8_t* block, uint64_t offset, RecordSink& sink) {
    uint16_t kindWord = KindWord(block);
    if (KindOf(kindWord) != BlockKind::kCcEdge) {
        return;
    }
    EdgeBlockHeader header = ReadEdgeBlockHeader(block);
    bool continues = Continues(header.burst, header.sequence, previousBurst_, previousSequence_);
    previousBurst_ = header.burst;
    previousSequence_ = header.sequence;
    if (!continues) {
        BreakContinuity(offset, sink);
        runStart_ = offset;
    }

    CcLineState& line = lines_[static_cast<size_t>(header.ccLine)];
    int64_t blockTime = line.blockTime.Extend(header.timestamp);
    if (line.lineTime == -1 && header.sequence != 0) {
        return;
    }
    if (line.lineTime == -1 ||
        (header.sequence == 0 && !line.openPacket && DriftedFar(blockTime, line.lineTime))) {
        line.lineTime = blockTime;
        line.tickAccumulator =
            static_cast<uint64_t>(blockTime) * 48 / static_cast<uint64_t>(header.divider);
    }
    ParseEdgeBytes(line, block + kEdgeBytesOffset, header.ccLine, header.divider, offset, sink);
}

// The line's counters live in locals while the bytes are walked (every byte moves them), and go
// back to the line before a packet is handed over and at the end of the block; the open
// packet's new intervals gather in a local array and join its edge list at those points too.
// The line time follows the tick count; it is worked out where it is read: for a new packet and
// at the end.
void CcEdgeParser::ParseEdgeBytes(CcLineState& line, const uint8_t* bytes, int ccLine, int divider,
                                  uint64_t offset, RecordSink& sink) {
    static_assert(kEdgeBytesPerBlock > 1, "every block moves the line time on");
    const auto div = static_cast<uint64_t>(divider);
    // The gap rule ticks * divider >= 480 as a tick count (the divider is 1 to 256).
    const uint64_t gapTicks = (kGapTicksTimesDivider + div - 1) / div;
    size_t i = 0;
    if (line.previousByte == -1) {
        line.previousByte = bytes[0];
        line.previousValue = bytes[0];
        i = 1;
    }
    int previousByte = line.previousByte;
    int previousValue = line.previousValue;
    int repeatCount = line.repeatCount;
    uint64_t ticksSinceEdge = line.ticksSinceEdge;
    uint64_t tickAccumulator = line.tickAccumulator;
    CCCPacket* packet = line.openPacket.get();
    int edgeCount = packet != nullptr ? packet->edgeCount : 0;
    CcEdge newEdges[kEdgeBytesPerBlock];
    size_t newEdgeCount = 0;
    bool extended = false;  // the open packet had a transition in this block

    auto lineTime = [&] { return static_cast<int64_t>(tickAccumulator * div / 48); };
    auto storeLine = [&] {
        line.previousByte = previousByte;
        line.previousValue = previousValue;
        line.repeatCount = repeatCount;
        line.ticksSinceEdge = ticksSinceEdge;
        line.tickAccumulator = tickAccumulator;
        line.lineTime = lineTime();
        if (packet != nullptr) {
            AddBlockEdges(*packet, newEdges, newEdgeCount, edgeCount,
                          extended ? offset + kBlockSize - 1 : packet->lastBlockOffset);
            newEdgeCount = 0;
        }
    };

    for (; i < kEdgeBytesPerBlock; ++i) {
        const int v = bytes[i];
        const bool transition = v != previousByte;
        int value = 0;
        if (transition) {
            value = v;
            repeatCount = 0;
        } else {
            ++repeatCount;  // the timer passed zero without a transition
        }
        // The timer counts up and wraps at 256: the ticks from one value to the next.
        const int from = previousValue;
        uint64_t elapsed = static_cast<uint64_t>((value - from) & 0xFF);
        if (value == from) {
            elapsed = repeatCount < 2 ? 0 : 256;
        }
        ticksSinceEdge += elapsed;
        tickAccumulator += elapsed;
        previousByte = v;
        previousValue = value;

        if (packet != nullptr && ticksSinceEdge >= gapTicks) {
            storeLine();
            CloseByGap(line, offset, sink);
            packet = nullptr;
            extended = false;
        }
        if (!transition) {
            continue;
        }
        if (packet == nullptr) {
            auto opened = std::make_shared<CCCPacket>();
            opened->ccLine = static_cast<uint8_t>(ccLine);
            opened->clockDivider = static_cast<int16_t>(divider);
            opened->startTime = lineTime();
            opened->firstBlockOffset = offset;
            opened->runStartOffset = runStart_;
            packet = opened.get();
            line.openPacket = std::move(opened);
            edgeCount = 0;
        } else if (edgeCount < kMaxEdges) {
            newEdges[newEdgeCount].ticks = static_cast<uint8_t>(ticksSinceEdge & 0xFF);
            ++newEdgeCount;
            ++edgeCount;
        }
        extended = true;
        ticksSinceEdge = 0;
    }
    storeLine();
}

void CcEdgeParser::CloseByGap(CcLineState& line, uint64_t offset, RecordSink& sink) {
    PacketPtr packet = std::move(line.openPacket);
    line.openPacket.reset();
    packet->handoverOffset = offset;
    if (packet->edgeCount >= kMinEntries) {
        sink.OnPacket(std::move(packet));
    }
}

void CcEdgeParser::BreakContinuity(uint64_t offset, RecordSink& sink) {
    for (CcLineState& line : lines_) {
        if (line.openPacket) {
            PacketPtr packet = std::move(line.openPacket);
            line.openPacket.reset();
            packet->handoverOffset = offset;
            sink.OnPacket(std::move(packet));
        }
        ResetLine(line);
    }
}

void CcEdgeParser::Reset() {
    lines_ = {};
    previousBurst_ = -1;
    previousSequence_ = -1;
}
