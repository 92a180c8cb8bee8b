// Hand-built captures for the check tests: PD messages with chosen headers, times and payloads
// between a source (port 1, DFP) and a sink (port 2, UFP), and a VBUS/IBUS trace sampled every
// millisecond from straight-line pieces.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/document_snapshot.h"
#include "capture/sample_store.h"
#include "capture/stored_sample.h"
#include "check/check_walk.h"
#include "pd/message_header.h"

enum class Side { kSource, kSink };

// Fixed source PDO, RDOs and the EPR_Mode data object, as the checks decode them.
inline uint32_t FixedPdo(int mv, int ma, uint32_t flags = 0) {
    return flags | (static_cast<uint32_t>(mv / 50) << 10) | static_cast<uint32_t>(ma / 10);
}
inline uint32_t PpsPdo(int minMv, int maxMv, int ma) {
    return (3u << 30) | (static_cast<uint32_t>(maxMv / 100) << 17) |
           (static_cast<uint32_t>(minMv / 100) << 8) | static_cast<uint32_t>(ma / 50);
}
inline uint32_t FixedRdo(int position, int ma, int maxMa, uint32_t flags = 0) {
    return flags | (static_cast<uint32_t>(position) << 28) |
           (static_cast<uint32_t>(ma / 10) << 10) | static_cast<uint32_t>(maxMa / 10);
}
inline uint32_t PpsRdo(int position, int mv, int ma) {
    return (static_cast<uint32_t>(position) << 28) | (static_cast<uint32_t>(mv / 20) << 9) |
           static_cast<uint32_t>(ma / 50);
}
inline constexpr uint32_t kEprCapablePdo = 1u << 23;
inline constexpr uint32_t kEprCapableRdo = 1u << 22;
inline uint32_t EprModeObject(int action) {
    return static_cast<uint32_t>(action) << 24;
}

class TestCapture {
  public:
    int64_t now = 0;
    int revision = 2;  // header field: 2 = PD 3.x
    int gapUs = 300;   // between one exchange and the next
    int goodCrcDelayUs = 60;
    std::vector<PacketPtr> packets;

    // One packet of `duration` µs from now; the clock moves to its end.
    PacketPtr Raw(int orderedSet, uint16_t header, const std::vector<uint8_t>& payload,
                  int64_t duration, bool crcOk, int port) {
        auto packet = std::make_shared<CCCPacket>();
        packet->relTime = now;
        packet->clockDivider = 48;
        packet->totalTicks = static_cast<int32_t>(duration);
        packet->orderedSetKind = static_cast<int16_t>(orderedSet);
        packet->crcOk = crcOk;
        packet->port = static_cast<int8_t>(port);
        if (orderedSet != kOsHardReset && orderedSet != kOsCableReset) {
            std::vector<uint8_t> bytes = {static_cast<uint8_t>(header & 0xFF),
                                          static_cast<uint8_t>(header >> 8)};
            bytes.insert(bytes.end(), payload.begin(), payload.end());
            bytes.insert(bytes.end(), {0, 0, 0, 0});  // CRC
            packet->messageBytes.Assign(bytes.data(), bytes.size());
            packet->messageByteCount = static_cast<int16_t>(bytes.size());
            packet->bytesAssembled = true;
        }
        packets.push_back(packet);
        now += duration;
        return packet;
    }

    // A packet's number: its index in the capture.
    int64_t NumberOf(const PacketPtr& packet) const {
        return std::find(packets.begin(), packets.end(), packet) - packets.begin();
    }

    uint16_t Header(Side from, int type, int objects, int id, bool extended = false) const {
        bool source = from == Side::kSource;
        return static_cast<uint16_t>(type | (source ? 1 << 5 : 0) | (revision << 6) |
                                     (source ? 1 << 8 : 0) | (id << 9) | (objects << 12) |
                                     (extended ? 1 << 15 : 0));
    }

    // A message from `from` with the sender's next MessageID (or `id`), no GoodCRC.
    PacketPtr Send(Side from, int type, const std::vector<uint32_t>& objects = {}, int id = -1,
                   bool crcOk = true) {
        int& counter = from == Side::kSource ? sourceId : sinkId;
        int used = id >= 0 ? id : counter;
        std::vector<uint8_t> payload;
        for (uint32_t object : objects) {
            for (int shift = 0; shift < 32; shift += 8) {
                payload.push_back(static_cast<uint8_t>(object >> shift));
            }
        }
        PacketPtr packet = Raw(kOsSop, Header(from, type, static_cast<int>(objects.size()), used),
                               payload, 100 + 40 * static_cast<int64_t>(objects.size()), crcOk,
                               from == Side::kSource ? 1 : 2);
        counter = (used + 1) % 8;
        return packet;
    }
    // An extended message (unchunked) with its data block.
    PacketPtr SendExtended(Side from, int type, const std::vector<uint8_t>& block) {
        int& counter = from == Side::kSource ? sourceId : sinkId;
        std::vector<uint8_t> payload = {static_cast<uint8_t>(block.size() & 0xFF),
                                        static_cast<uint8_t>(block.size() >> 8)};
        payload.insert(payload.end(), block.begin(), block.end());
        int objects = static_cast<int>((payload.size() + 3) / 4);
        while (payload.size() % 4 != 0) {
            payload.push_back(0);
        }
        PacketPtr packet = Raw(kOsSop, Header(from, type, objects, counter, true), payload, 300,
                               true, from == Side::kSource ? 1 : 2);
        counter = (counter + 1) % 8;
        return packet;
    }
    PacketPtr GoodCrc(Side from, int id) {
        return Raw(kOsSop, Header(from, kCtrlGoodCrc, 0, id), {}, 90, true,
                   from == Side::kSource ? 1 : 2);
    }
    static Side Other(Side side) { return side == Side::kSource ? Side::kSink : Side::kSource; }
    int IdOf(const PacketPtr& packet) const { return MessageId(*packet); }

    // Message, GoodCRC after goodCrcDelayUs, then gapUs of quiet.
    PacketPtr Exchange(Side from, int type, const std::vector<uint32_t>& objects = {}) {
        PacketPtr message = Send(from, type, objects);
        Acknowledge(from, message);
        return message;
    }
    PacketPtr ExchangeExtended(Side from, int type, const std::vector<uint8_t>& block) {
        PacketPtr message = SendExtended(from, type, block);
        Acknowledge(from, message);
        return message;
    }
    void Acknowledge(Side from, const PacketPtr& message) {
        now += goodCrcDelayUs;
        GoodCrc(Other(from), IdOf(message));
        now += gapUs;
    }
    void HardReset() {
        Raw(kOsHardReset, 0, {}, 30, true, 0);
        sourceId = sinkId = 0;
        now += 300;
    }
    void WaitMs(double ms) { now += static_cast<int64_t>(ms * 1000); }

    // VBUS and IBUS: straight lines between the points set, sampled every millisecond.
    void Vbus(int64_t time, int mv) { vbus.push_back({time, mv}); }
    void Ibus(int64_t time, int ma) { ibus.push_back({time, ma}); }

    // The clean SPR start: attach (VBUS up at 10-60 ms), capabilities 150 ms after the attach.
    void Attach() {
        Vbus(0, 0);
        Vbus(10000, 0);
        Vbus(60000, 5000);
        Ibus(0, 0);
        Ibus(60000, 90);
        now = std::max<int64_t>(now, 150000);
    }

    // A clean negotiation from the current VBUS level to `mv`: capabilities, Request, Accept,
    // VBUS moving from 27 ms after the Accept's GoodCRC over 40 ms, PS_RDY 100 ms later.
    struct Negotiation {
        PacketPtr caps, request, accept, psRdy;
        int64_t acceptAckEnd = 0;
    };
    Negotiation Negotiate(const std::vector<uint32_t>& pdos, uint32_t rdo, int mv,
                          int64_t transitionDelayUs = 27000, int64_t psRdyDelayUs = 100000) {
        Negotiation n;
        if (!pdos.empty()) {
            n.caps = Exchange(Side::kSource, kDataSourceCapabilities, pdos);
        }
        n.request = Exchange(Side::kSink, kDataRequest, {rdo});
        n.accept = Send(Side::kSource, kCtrlAccept);
        now += goodCrcDelayUs;
        GoodCrc(Side::kSink, IdOf(n.accept));
        n.acceptAckEnd = now;
        int from = LastVbus();
        Vbus(n.acceptAckEnd + transitionDelayUs, from);
        Vbus(n.acceptAckEnd + transitionDelayUs + 40000, mv);
        now = n.acceptAckEnd + psRdyDelayUs;
        n.psRdy = Exchange(Side::kSource, kCtrlPsRdy);
        return n;
    }

    int LastVbus() const { return vbus.empty() ? 0 : vbus.back().value; }

    DocumentSnapshot Snapshot(int64_t endUs = -1) {
        DocumentSnapshot snapshot;
        snapshot.packets = packets;
        int64_t end = endUs >= 0 ? endUs : now + 2000;
        if (!vbus.empty()) {
            for (int64_t t = 0; t <= end; t += 1000) {
                CVbusInfo info;
                info.time = t;
                info.vbusVoltage = static_cast<uint16_t>(Interpolate(vbus, t));
                info.vbusCurrent = static_cast<int16_t>(Interpolate(ibus, t));
                store.Append(PackSample(info));
            }
        }
        snapshot.samples = store.Snapshot();
        return snapshot;
    }

    CheckReport Check(const CheckOptions& options = {}) {
        DocumentSnapshot snapshot = Snapshot();
        return CheckCapture(snapshot, options);
    }

  private:
    struct Point {
        int64_t time;
        int value;
    };
    static int Interpolate(const std::vector<Point>& points, int64_t t) {
        if (points.empty()) {
            return 0;
        }
        std::vector<Point> sorted = points;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Point& a, const Point& b) { return a.time < b.time; });
        if (t <= sorted.front().time) {
            return sorted.front().value;
        }
        for (size_t i = 1; i < sorted.size(); ++i) {
            if (t <= sorted[i].time) {
                const Point& a = sorted[i - 1];
                const Point& b = sorted[i];
                if (b.time == a.time) {
                    return b.value;
                }
                return static_cast<int>(a.value +
                                        (b.value - a.value) * (t - a.time) / (b.time - a.time));
            }
        }
        return sorted.back().value;
    }

    int sourceId = 0;
    int sinkId = 0;
    std::vector<Point> vbus;
    std::vector<Point> ibus;
    SampleStore store;
};

// The findings of one rule.
inline std::vector<Finding> Of(const CheckReport& report, const std::string& rule) {
    std::vector<Finding> found;
    for (const Finding& finding : report.findings) {
        if (finding.rule == rule) {
            found.push_back(finding);
        }
    }
    return found;
}

// Every finding as "RULE severity: text", for failure messages.
inline std::string Describe(const CheckReport& report) {
    std::string out;
    for (const Finding& finding : report.findings) {
        out += finding.rule + " " + SeverityName(finding.severity) + ": " + finding.text + "\n";
    }
    return out;
}
