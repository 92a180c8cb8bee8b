#include "device/sim/block_packer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "capture/info_block.h"

namespace {

// Packets closer than this on one line share a burst.
constexpr uint64_t kBurstIdleLimitUs = 3000;
constexpr size_t kOutputChunk = size_t{4} << 20;

uint64_t TickAt(uint64_t deviceNs, int divider) {
    return deviceNs * 48 / (1000 * static_cast<uint64_t>(divider));
}

// Serial text "53494D000000000000000001" as the analyzer link reads it (last digits first).
constexpr SerialNumber kSimSerial = {0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x4D, 0x49, 0x53};

uint16_t ClampMillivolts(int millivolts) {
    return static_cast<uint16_t>(std::clamp(millivolts, 0, 65535));
}

}  // namespace

void WriteSample(uint8_t* sample, uint32_t timeUs, const ElectricalReading& reading) {
    WriteU32(sample, timeUs);
    WriteU16(sample + 4, ClampMillivolts(reading.vbusMillivolts));
    WriteU16(sample + 6, static_cast<uint16_t>(RawCurrent(reading.vbusMilliamps)));
    WriteU16(sample + 8, ClampMillivolts(reading.ccMillivolts[0]));
    WriteU16(sample + 10, static_cast<uint16_t>(RawCurrent(reading.ccMilliamps[0])));
    WriteU16(sample + 12, ClampMillivolts(reading.ccMillivolts[1]));
    WriteU16(sample + 14, static_cast<uint16_t>(RawCurrent(reading.ccMilliamps[1])));
}

int16_t RawCurrent(int milliamps) {
    // The smallest raw magnitude that ScaleCurrent's truncation brings back to `milliamps`.
    int64_t magnitude = (std::abs(int64_t{milliamps}) * 1598 + 1499) / 1500;
    int64_t raw = milliamps < 0 ? -magnitude : magnitude;
    return static_cast<int16_t>(std::clamp<int64_t>(raw, -32768, 32767));
}

std::vector<TimedBlock> PackEdges(ScenarioScript& script, const PackOptions& options) {
    std::vector<TimedBlock> blocks;
    EdgeBlockWriter writer(options.clockDivider, blocks);
    const int divider = std::clamp(options.clockDivider, 1, 256);
    const uint64_t idleLimitTicks =
        std::max<uint64_t>(kBurstIdleLimitUs * 48 / static_cast<uint64_t>(divider), 3 * 256);
    const uint64_t originNs = options.clockStartUs * 1000;
    std::vector<uint64_t> ticks;
    for (size_t i = 0; i < script.messages.size() && i < script.transitionsNs.size(); ++i) {
        BuiltMessage& message = script.messages[i];
        const std::vector<int64_t>& transitions = script.transitionsNs[i];
        message.clockDivider = divider;
        message.edgeTicks.clear();
        if (transitions.empty()) {
            continue;
        }
        auto deviceNs = [&](int64_t offset) {
            return originNs +
                   static_cast<uint64_t>(std::max<int64_t>(0, message.plannedNs + offset));
        };
        uint64_t first = TickAt(deviceNs(transitions.front()), divider);
        if (writer.InBurst() &&
            (writer.Line() != message.ccLine || first > writer.LastTick() + idleLimitTicks)) {
            writer.EndBurst();
        }
        if (!writer.InBurst()) {
            writer.StartBurst(message.ccLine, first);
        }
        ticks.clear();
        for (int64_t offset : transitions) {
            uint64_t tick = TickAt(deviceNs(offset), divider);
            if (!ticks.empty() && tick <= ticks.back()) {
                tick = ticks.back() + 1;
            }
            ticks.push_back(writer.Transition(tick));
        }
        message.startTimeUs = static_cast<int64_t>(MicrosecondsOfTick(ticks.front(), divider));
        message.edgeTicks.reserve(ticks.size() - 1);
        for (size_t k = 1; k < ticks.size(); ++k) {
            message.edgeTicks.push_back(static_cast<uint8_t>((ticks[k] - ticks[k - 1]) & 0xFF));
        }
    }
    writer.EndBurst();
    return blocks;
}

void StreamOutput::Append(const uint8_t* data, size_t size) {
    buffer_.insert(buffer_.end(), data, data + size);
    written_ += size;
    if (file_ != nullptr && buffer_.size() >= kOutputChunk) {
        Drain();
    }
}

void StreamOutput::Reserve(uint64_t bytes) {
    if (file_ == nullptr) {
        buffer_.reserve(buffer_.size() + static_cast<size_t>(bytes));
    }
}

void StreamOutput::Drain() {
    if (file_ == nullptr || buffer_.empty()) {
        return;
    }
    if (ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        Fail();
    }
    buffer_.clear();
}

bool StreamOutput::Finish(const RecordBlock* leadingBlock) {
    if (file_ == nullptr) {
        if (leadingBlock != nullptr && buffer_.size() >= kBlockSize) {
            std::copy(leadingBlock->bytes.begin(), leadingBlock->bytes.end(), buffer_.begin());
        }
        return ok_;
    }
    Drain();
    if (leadingBlock != nullptr && ok_ &&
        (std::fseek(file_, 0, SEEK_SET) != 0 ||
         std::fwrite(leadingBlock->bytes.data(), 1, kBlockSize, file_) != kBlockSize)) {
        Fail();
    }
    if (std::fflush(file_) != 0 && ok_) {
        Fail();
    }
    return ok_;
}

void StreamOutput::Fail() {
    ok_ = false;
    error_ = errno;
}

PackCounts WriteStream(ScenarioScript& script, const PackOptions& options, int64_t endNs,
                       StreamOutput& output) {
    PackCounts counts;
    std::vector<TimedBlock> edges = PackEdges(script, options);
    counts.edgeBlocks = edges.size();
    const int64_t intervalNs = int64_t{std::clamp(options.intervalMs, 1, 1000)} * 1000000;
    const auto sampleCount = static_cast<uint64_t>(std::max<int64_t>(endNs, 0) / intervalNs + 1);
    output.Reserve(((sampleCount + 2) / 3 + edges.size() + 1) * kBlockSize);
    if (options.recordFile) {
        output.Append(PlaceholderInfoBlock());
    }
    const uint64_t startWritten = output.Written();

    SimRandom noise(options.noiseSeed);
    script.electrical.Rewind();
    counts.firstSampleUs = static_cast<int64_t>(options.clockStartUs);
    size_t nextEdge = 0;
    for (uint64_t index = 0; index < sampleCount;) {
        RecordBlock block;
        uint8_t* bytes = block.bytes.data();
        int inBlock = static_cast<int>(std::min<uint64_t>(3, sampleCount - index));
        uint64_t timeUs = 0;
        for (int i = 0; i < inBlock; ++i, ++index) {
            int64_t ns = static_cast<int64_t>(index) * intervalNs;
            timeUs = options.clockStartUs + static_cast<uint64_t>(ns / 1000);
            WriteSample(bytes + kSampleAreaOffset + kSampleSize * static_cast<size_t>(i),
                        static_cast<uint32_t>(timeUs), script.electrical.At(ns, noise));
        }
        WriteU16(bytes, static_cast<uint16_t>(kSampleKindBit | inBlock));
        while (nextEdge < edges.size() && edges[nextEdge].timeUs <= timeUs) {
            output.Append(edges[nextEdge++].block);
        }
        output.Append(block);
        counts.samples += static_cast<uint64_t>(inBlock);
        ++counts.sampleBlocks;
    }
    for (; nextEdge < edges.size(); ++nextEdge) {
        output.Append(edges[nextEdge].block);
    }
    if (options.recordFile) {
        RecordBlock leading =
            FinishedInfoBlock(kSimFirmwareVersion, kSimSerial, output.Written() - startWritten);
        output.Finish(&leading);
    } else {
        output.Finish(nullptr);
    }
    return counts;
}
