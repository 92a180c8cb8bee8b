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

void CcEdgeParser::ParseEdgeBytes(CcLineState& line, const uint8_t* bytes, int ccLine, int divider,
                                  uint64_t offset, RecordSink& sink) {
    const auto div = static_cast<uint64_t>(divider);
    for (size_t i = 0; i < kEdgeBytesPerBlock; ++i) {
        int v = bytes[i];
        if (line.previousByte == -1) {
            line.previousByte = v;
            line.previousValue = v;
            continue;
        }
        bool transition = v != line.previousByte;
        int value = 0;
        if (transition) {
            value = v;
            line.repeatCount = 0;
        } else {
            ++line.repeatCount;  // the timer passed zero without a transition
        }
        int from = line.previousValue;
        uint64_t elapsed = 0;
        if (value > from) {
            elapsed = static_cast<uint64_t>(value - from);
        } else if (value < from) {
            elapsed = static_cast<uint64_t>(256 + value - from);
        } else {
            elapsed = line.repeatCount < 2 ? 0 : 256;
        }
        line.ticksSinceEdge += elapsed;
        line.tickAccumulator += elapsed;
        line.lineTime = static_cast<int64_t>(line.tickAccumulator * div / 48);
        line.previousByte = v;
        line.previousValue = value;

        if (line.openPacket && line.ticksSinceEdge * div >= kGapTicksTimesDivider) {
            CloseByGap(line, offset, sink);
        }
        if (!transition) {
            continue;
        }
        if (!line.openPacket) {
            auto packet = std::make_shared<CCCPacket>();
            packet->ccLine = ccLine;
            packet->clockDivider = divider;
            packet->startTime = line.lineTime;
            packet->firstBlockOffset = offset;
            packet->runStartOffset = runStart_;
            line.openPacket = std::move(packet);
        } else if (line.openPacket->edgeCount < kMaxEdges) {
            if (line.openPacket->edges.empty()) {
                line.openPacket->edges.reserve(kTypicalEdges);
            }
            CcEdge edge;
            edge.ticks = static_cast<uint8_t>(line.ticksSinceEdge & 0xFF);
            line.openPacket->edges.push_back(edge);
            ++line.openPacket->edgeCount;
        }
        line.openPacket->lastBlockOffset = offset + kBlockSize - 1;
        line.ticksSinceEdge = 0;
    }
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
