// Writes the hand-built record files of the reference corpus into a folder:
//   make_hand_captures FOLDER
// Every packet is encoded here from its message bytes by the test-side BMC encoder, not by the
// synthesizer, so that the references do not share their physical layer with the decoder.
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "capture/info_block.h"
#include "capture/stream_builder.h"
#include "pd/bmc_encoding.h"
#include "pd/hand_packets.h"
#include "pd/message_header.h"

namespace {

constexpr int kDivider = 20;

uint64_t TicksAt(uint64_t us) {
    return us * 48 / kDivider;
}

std::vector<uint8_t> Wire(const bmc::OrderedSet& set, const std::vector<uint8_t>& bytes) {
    return bmc::Intervals(bmc::MessageBits(set, bytes));
}

// Messages of one CC line, each at its own start time in microseconds.
struct Burst {
    int ccLine = 0;
    std::vector<uint64_t> startsUs;
    std::vector<std::vector<uint8_t>> intervals;

    void Add(uint64_t us, std::vector<uint8_t> wire) {
        startsUs.push_back(us);
        intervals.push_back(std::move(wire));
    }
};

// A capture: samples every 10 ms from 0 to endUs (5 V, 1 A on VBUS; Rp on CC1), then the bursts
// in the order given, then optional trailing marker blocks.
StreamBuilder Capture(uint64_t endUs, const std::vector<Burst>& bursts) {
    StreamBuilder stream;
    std::vector<RawSample> samples;
    for (uint64_t t = 0; t <= endUs; t += 10000) {
        samples.push_back({.timestamp = static_cast<uint32_t>(t),
                           .vbusVoltage = 5000,
                           .vbusCurrent = 1065,
                           .cc1Voltage = 1650,
                           .cc1Current = 0,
                           .cc2Voltage = 0,
                           .cc2Current = 0});
    }
    stream.AddSamples(samples);
    for (const Burst& burst : bursts) {
        std::vector<uint64_t> ticks;
        for (uint64_t us : burst.startsUs) {
            ticks.push_back(TicksAt(us));
        }
        stream.AddEdgeBurst(burst.ccLine, kDivider, ticks, burst.intervals);
    }
    return stream;
}

bool Write(const std::string& path, const StreamBuilder& stream,
           const std::vector<RecordBlock>& trailer = {}) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::vector<uint8_t>& bytes = stream.Bytes();
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    for (const RecordBlock& block : trailer) {
        ok = ok && std::fwrite(block.bytes.data(), 1, kBlockSize, file) == kBlockSize;
    }
    return std::fclose(file) == 0 && ok;
}

constexpr hand::Header kSourceDfp{.revision = 2, .bit5 = true, .bit8 = true};
constexpr hand::Header kSinkUfp{.revision = 2};

hand::Header Typed(hand::Header h, int type, int id) {
    h.type = type;
    h.id = id;
    return h;
}

std::vector<uint8_t> GoodCrc(const hand::Header& roles, int id) {
    return Wire(bmc::kSop, hand::MessageBytes(Typed(roles, kCtrlGoodCrc, id), {}));
}

// A source offering 5 V / 3 A and 9 V / 3 A, the sink requesting position 1 at 3 A.
Burst PowerNegotiation() {
    Burst cc1;
    cc1.Add(20000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSourceDfp, kDataSourceCapabilities, 0),
                                                      {0x0401912C, 0x0002D12C})));
    cc1.Add(21500, GoodCrc(kSinkUfp, 0));
    cc1.Add(23000,
            Wire(bmc::kSop, hand::MessageBytes(Typed(kSinkUfp, kDataRequest, 0), {0x1304B12C})));
    cc1.Add(24500, GoodCrc(kSourceDfp, 0));
    cc1.Add(26000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSourceDfp, kCtrlAccept, 1), {})));
    cc1.Add(27500, GoodCrc(kSinkUfp, 1));
    cc1.Add(60000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSourceDfp, kCtrlPsRdy, 2), {})));
    cc1.Add(61500, GoodCrc(kSinkUfp, 2));
    return cc1;
}

// VDM header of a structured VDM, version 2.0.
uint32_t Vdm(uint32_t svid, int command, int commandType, int position) {
    return (svid << 16) | (1u << 15) | (1u << 13) | (static_cast<uint32_t>(position) << 8) |
           (static_cast<uint32_t>(commandType) << 6) | static_cast<uint32_t>(command);
}

// Data messages with worked-out descriptions, and a debug ordered set.
Burst DataTexts() {
    Burst cc1;
    const std::vector<std::pair<int, std::vector<uint32_t>>> messages = {
        {kDataBist, {0x50000000}},
        {kDataEprMode, {0x04010000}},
        {kDataSourceInfo, {0x0041412D}},
        {kDataRevision, {0x31000000}},
        {kDataVendorDefined, {Vdm(0xFF00, 1, 0, 0)}},
        {kDataVendorDefined, {Vdm(0xFF00, 2, 1, 0), 0xFF018087}},
        {kDataVendorDefined, {Vdm(0xFF01, 6, 0, 1), 0x180}},
        {kDataVendorDefined, {Vdm(0xFF01, 5, 1, 7)}},
    };
    uint64_t t = 20000;
    int id = 0;
    for (const auto& [type, objects] : messages) {
        cc1.Add(t, Wire(bmc::kSop, hand::MessageBytes(Typed(kSourceDfp, type, id), objects)));
        t += 3000;
        id = (id + 1) % 8;
    }
    cc1.Add(t, Wire(bmc::kSopPrimeDebug,
                    hand::MessageBytes(Typed(kSourceDfp, kDataRevision, 0), {0x31000000})));
    return cc1;
}

// A message, a Hard Reset and a Cable Reset on CC2, then the source starting over.
Burst Resets() {
    Burst cc2;
    cc2.ccLine = 1;
    cc2.Add(20000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSourceDfp, kCtrlSoftReset, 3), {})));
    cc2.Add(22000, bmc::Intervals(bmc::ResetBits(bmc::kHardReset)));
    cc2.Add(50000, bmc::Intervals(bmc::ResetBits(bmc::kCableReset)));
    cc2.Add(80000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSourceDfp, kDataSourceCapabilities, 0),
                                                      {0x0401912C})));
    return cc2;
}

// Faulty traffic on CC1: a bad CRC, a missing EOP, a burst too short for a preamble, and a
// message sent with a unit interval out of range; each followed by a clean GoodCRC.
Burst Faults() {
    Burst cc1;
    const std::vector<uint8_t> request =
        hand::MessageBytes(Typed(kSinkUfp, kDataRequest, 4), {0x1304B12C});
    std::vector<uint8_t> badCrc = bmc::WithCrc(request);
    badCrc.back() ^= 0x5A;
    cc1.Add(20000, bmc::Intervals(bmc::FramedBits(bmc::kSop, badCrc)));
    cc1.Add(22000, GoodCrc(kSourceDfp, 4));

    bmc::Bits noEop = bmc::MessageBits(bmc::kSop, request);
    noEop.resize(noEop.size() - 5);
    cc1.Add(24000, bmc::Intervals(noEop));
    cc1.Add(26000, GoodCrc(kSourceDfp, 5));

    cc1.Add(28000, {4, 4, 8, 4, 4, 8, 8, 4, 4, 8});
    cc1.Add(30000, GoodCrc(kSourceDfp, 6));

    cc1.Add(32000, bmc::Intervals(bmc::MessageBits(bmc::kSop, request), 10, 5));
    cc1.Add(34000, GoodCrc(kSourceDfp, 7));
    return cc1;
}

// The sink's answers on CC2 written to the file before the source's messages on CC1 that came
// first: the document has to put them in time order.
std::vector<Burst> OutOfOrder() {
    Burst cc1 = PowerNegotiation();
    Burst cc2;
    cc2.ccLine = 1;
    cc2.Add(22000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSinkUfp, kCtrlGetSinkCap, 5), {})));
    cc2.Add(25000, Wire(bmc::kSop, hand::MessageBytes(Typed(kSinkUfp, kDataSinkCapabilities, 6),
                                                      {0x0001912C})));
    return {cc2, cc1};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_hand_captures FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = Write(folder + "/hand_power.zaz", Capture(90000, {PowerNegotiation()}));
    ok = Write(folder + "/hand_data_texts.zaz", Capture(60000, {DataTexts()})) && ok;
    ok = Write(folder + "/hand_resets.zaz", Capture(100000, {Resets()})) && ok;
    ok = Write(folder + "/hand_faults.zaz", Capture(50000, {Faults()})) && ok;
    ok = Write(folder + "/hand_out_of_order.zaz", Capture(90000, OutOfOrder())) && ok;

    // Saved markers: the time origin at the Request, Marker A on the Source_Capabilities,
    // Marker B on the Accept, the PS_RDY marked.
    MarkerRecord markers;
    markers.timeOrigin = 23000;
    markers.packets = {{kInfoMarkerA, 20000}, {kInfoMarkerB, 26000}, {kInfoMarkedPacket, 60000}};
    ok = Write(folder + "/hand_markers.zaz", Capture(90000, {PowerNegotiation()}),
               MarkerInfoBlocks(markers)) &&
         ok;

    // Time origins at the ends of the 64-bit range, as a crafted file may hold them.
    MarkerRecord lowest;
    lowest.timeOrigin = std::numeric_limits<int64_t>::min();
    MarkerRecord highest;
    highest.timeOrigin = std::numeric_limits<int64_t>::max();
    std::vector<RecordBlock> extremes = MarkerInfoBlocks(lowest);
    for (const RecordBlock& block : MarkerInfoBlocks(highest)) {
        extremes.push_back(block);
    }
    ok = Write(folder + "/hand_origin_extremes.zaz", Capture(90000, {PowerNegotiation()}),
               extremes) &&
         ok;
    if (!ok) {
        std::fprintf(stderr, "make_hand_captures: cannot write into '%s'\n", folder.c_str());
        return 1;
    }
    return 0;
}
