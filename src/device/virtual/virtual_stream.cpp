#include "device/virtual/virtual_stream.h"

#include <algorithm>

#include "device/sim/scenarios.h"
#include "device/sim/simulator.h"

namespace {

// Level a cable's Ra pulls a source's Rp to: below every vRd band.
constexpr int kRaMillivolts = 80;
// Samples per block: up to three, but a block never waits longer than this for its last one,
// so slow sampling still reaches the host promptly.
constexpr int kMaxBlockSpanMs = 20;
constexpr int64_t kSegmentTailNs = 200'000'000;

}  // namespace

int InjectedCcMillivolts(CcTermination termination, int scenarioMillivolts) {
    switch (termination) {
        case CcTermination::kRpDefault:
        case CcTermination::kRd:
            return kCcDefaultUsbMillivolts;
        case CcTermination::kRp1A5:
            return kCc1A5Millivolts;
        case CcTermination::kRp3A0:
            return kCc3A0Millivolts;
        case CcTermination::kRa:
            return kRaMillivolts;
        case CcTermination::kNone:
            break;
    }
    return scenarioMillivolts;
}

VirtualStream::VirtualStream(VirtualStreamOptions options)
    : options_(std::move(options)),
      intervalMs_(kMinSamplingIntervalMs),
      noise_(options_.seed * 0x9E3779B97F4A7C15ull + 11),
      nextSampleNs_(options_.clockStartUs * 1000) {
    if (options_.scenarios.empty()) {
        options_.scenarios = {"mixed"};
    }
    SetSamplingInterval(options_.samplingIntervalMs);
}

void VirtualStream::SetSamplingInterval(int intervalMs) {
    intervalMs_ = std::clamp(intervalMs, kMinSamplingIntervalMs, kMaxSamplingIntervalMs);
}

void VirtualStream::SetTermination(CcLine line, CcTermination value) {
    terminations_[static_cast<size_t>(line)] = value;
}

CcTermination VirtualStream::Termination(CcLine line) const {
    return terminations_[static_cast<size_t>(line)];
}

void VirtualStream::StartSegment() {
    SimulationOptions simulation;
    simulation.scenario = options_.scenarios[segment_ % options_.scenarios.size()];
    simulation.seed = options_.seed + segment_;
    simulation.clockDivider = options_.clockDivider;
    const ScenarioInfo* info = FindScenario(simulation.scenario);
    if (info != nullptr) {
        simulation.seconds = std::min(info->defaultSeconds, kMaxSegmentSeconds);
    }
    ++segment_;
    std::optional<ScenarioScript> script = BuildScenarioScript(simulation);
    script_ = script ? std::move(*script) : ScenarioScript{};

    // The segment starts on a whole microsecond at the next sample.
    segmentStartNs_ = nextSampleNs_ / 1000 * 1000;
    auto lengthNs = std::max<int64_t>(script_.endNs + kSegmentTailNs,
                                      static_cast<int64_t>(simulation.seconds * 1e9));
    segmentEndNs_ = segmentStartNs_ + static_cast<uint64_t>(lengthNs);
    PackOptions pack;
    pack.clockDivider = options_.clockDivider;
    pack.clockStartUs = segmentStartNs_ / 1000;
    edges_ = PackEdges(script_, pack);
    nextEdge_ = 0;
    // Only the edge blocks are needed from here on; the messages' planned bytes are not.
    script_.messages.clear();
    script_.transitionsNs.clear();
}

void VirtualStream::PutSample(uint8_t* sample, uint64_t deviceNs) {
    auto scenarioNs = static_cast<int64_t>(deviceNs - segmentStartNs_);
    ElectricalReading reading = script_.electrical.At(scenarioNs, noise_);
    for (size_t line = 0; line < 2; ++line) {
        if (terminations_[line] != CcTermination::kNone) {
            int level = InjectedCcMillivolts(terminations_[line], reading.ccMillivolts[line]);
            reading.ccMillivolts[line] = level + static_cast<int>(noise_.Between(-4, 4));
            reading.ccMilliamps[line] = 0;
        }
    }
    WriteSample(sample, static_cast<uint32_t>(deviceNs / 1000), reading);
}

void VirtualStream::BuildSampleBlock() {
    pendingSamples_ = RecordBlock{};
    uint8_t* bytes = pendingSamples_.bytes.data();
    const uint64_t intervalNs = static_cast<uint64_t>(intervalMs_) * 1000000;
    const int wanted = std::clamp(kMaxBlockSpanMs / intervalMs_, 1, kMaxSamplesPerBlock);
    int count = 0;
    while (count < wanted && (count == 0 || nextSampleNs_ < segmentEndNs_)) {
        PutSample(bytes + kSampleAreaOffset + kSampleSize * static_cast<size_t>(count),
                  nextSampleNs_);
        pendingDueUs_ = nextSampleNs_ / 1000;
        nextSampleNs_ += intervalNs;
        ++count;
    }
    WriteU16(bytes, static_cast<uint16_t>(kSampleKindBit | count));
    havePendingSamples_ = true;
}

uint64_t VirtualStream::NextDueUs() {
    if (!havePendingSamples_) {
        // The first segment is built when the stream is first asked for.
        if (nextSampleNs_ >= segmentEndNs_ && nextEdge_ == edges_.size()) {
            StartSegment();
        }
        BuildSampleBlock();
    }
    if (nextEdge_ < edges_.size() && edges_[nextEdge_].timeUs <= pendingDueUs_) {
        return edges_[nextEdge_].timeUs;
    }
    return pendingDueUs_;
}

RecordBlock VirtualStream::Next(uint64_t& dueUs) {
    dueUs = NextDueUs();
    if (nextEdge_ < edges_.size() && edges_[nextEdge_].timeUs <= pendingDueUs_) {
        return edges_[nextEdge_++].block;
    }
    havePendingSamples_ = false;
    return pendingSamples_;
}
