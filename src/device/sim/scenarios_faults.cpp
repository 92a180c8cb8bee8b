// Planted faults: one connection per broken rule (attach, the faulty exchange, detach), so that
// the checks, their tests and the window's Checks pane have every fault in one capture.
#include <functional>

#include "device/sim/data_objects.h"
#include "device/sim/scenario_steps.h"
#include "device/sim/scenarios.h"

namespace {

constexpr uint32_t kFlags = kRdoUsbCommunications | kRdoNoUsbSuspend;

std::vector<uint32_t> Offer() {
    return {FixedSourcePdo(5000, 3000, 0, kPdoUsbCommunications), FixedSourcePdo(9000, 3000, 0, 0)};
}

uint32_t Request9V() {
    return FixedRequest(2, 2000, 2000, kFlags);
}

// One connection of its own: attach, the episode, a quiet spell, detach.
void Episode(Conversation& talk, const std::function<void(Connection&)>& body) {
    Connection link = MakeConnection(0, false);
    Attach(talk, link);
    body(link);
    talk.WaitMs(200.0);
    Detach(talk);
}

// A message with a MessageID of the scenario's choosing, and its GoodCRC.
void SendWithId(Conversation& talk, Party& from, Party& to, int type, int id,
                const std::string& label) {
    talk.Transmit(ControlMessage(from.OriginFor(kOsSop), id, type), label, PhyFault::kNone);
    talk.WaitUs(60);
    talk.Transmit(ControlMessage(to.OriginFor(kOsSop), id, kCtrlGoodCrc), "GoodCRC",
                  PhyFault::kNone);
    talk.WaitUs(400);
}

// The source's capabilities sent `copies` times `gapUs` apart before the sink acknowledges.
void RetriedCapabilities(Conversation& talk, Connection& link, int copies, int64_t gapUs) {
    int id = link.source.ids.Current(kOsSop);
    PdMessage caps =
        DataMessage(link.source.OriginFor(kOsSop), id, kDataSourceCapabilities, Offer());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) {
            talk.WaitUs(gapUs);
        }
        talk.Transmit(caps, "Source_Capabilities", PhyFault::kNone);
    }
    talk.WaitUs(60);
    talk.Transmit(ControlMessage(link.sink.OriginFor(kOsSop), id, kCtrlGoodCrc), "GoodCRC",
                  PhyFault::kNone);
    link.source.ids.Advance(kOsSop);
    talk.WaitUs(400);
    RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500);
}

}  // namespace

void BuildFaultsScenario(Conversation& talk, SimRandom& /*random*/, double /*seconds*/) {
    // P-GOODCRC-TIME: the sink acknowledges the capabilities 400 µs after their end.
    Episode(talk, [&talk](Connection& link) {
        talk.SetGoodCrcDelayUs(400);
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        talk.SetGoodCrcDelayUs(0);
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500);
    });
    // P-RETRY-COUNT: four copies where PD 3.x allows three.
    Episode(talk, [&talk](Connection& link) { RetriedCapabilities(talk, link, 4, 1000); });
    // P-RETRY-TIME: the retry 500 µs after the unacknowledged copy.
    Episode(talk, [&talk](Connection& link) { RetriedCapabilities(talk, link, 2, 500); });
    // P-MSGID-SEQ and P-MSGID-DUP: the sink skips a MessageID, then the source reuses one.
    Episode(talk, [&talk](Connection& link) {
        Negotiate(talk, link.source, link.sink, Offer(), Request9V(), 9000, 500);
        talk.WaitMs(50.0);
        SendWithId(talk, link.sink, link.source, kCtrlGetSinkCap,
                   (link.sink.ids.Current(kOsSop) + 2) % 8, "Get_Sink_Cap");
        talk.WaitMs(50.0);
        SendWithId(talk, link.source, link.sink, kCtrlGetSinkCap,
                   (link.source.ids.Current(kOsSop) + 7) % 8, "Get_Sink_Cap");
    });
    // P-MSGID-RESET: a Soft_Reset that does not carry MessageID 0.
    Episode(talk, [&talk](Connection& link) {
        Negotiate(talk, link.source, link.sink, Offer(), Request9V(), 9000, 500);
        talk.WaitMs(50.0);
        talk.Control(link.sink, link.source, kCtrlSoftReset, "Soft_Reset");
        link.source.ids.Reset();
        link.sink.ids.Advance(kOsSop);
        talk.Control(link.source, link.sink, kCtrlAccept, "Accept");
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
    });
    // T-RCVRSP: the sink requests 20 ms after the capabilities' GoodCRC.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        talk.WaitMs(20.0);
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500);
    });
    // T-SRCTRANS: VBUS starts to move right after the Accept.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500,
                        TransitionPlan{.transitionMs = 2.0});
    });
    // T-PSTRANS: PS_RDY 600 ms after the Accept.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500,
                        TransitionPlan{.psRdyAfterRampMs = 560.0});
    });
    // E-PSRDY-VBUS and E-CONTRACT-V: the source settles at 8.2 V for a 9 V contract.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500,
                        TransitionPlan{.deliveredMillivolts = 8200});
    });
    // T-SRCREADY: an overshoot to 10.6 V that takes 400 ms to come back to 9 V.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500,
                        TransitionPlan{.deliveredMillivolts = 10600, .psRdyAfterRampMs = 300.0});
        talk.WaitMs(100.0);
        talk.RampVbus(9000, 300.0);
    });
    // E-SINK-STANDBY: the sink keeps drawing 1 A while VBUS changes.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, Request9V(), 9000, 500,
                        TransitionPlan{.sinkMilliamps = 1000});
    });
    // E-SINK-CURRENT: the sink draws 2.6 A on a 2 A request, then 3.4 A on a 3 A PDO.
    Episode(talk, [&talk](Connection& link) {
        Negotiate(talk, link.source, link.sink, Offer(), Request9V(), 9000, 2600);
        talk.WaitMs(2500.0);
        talk.Data(link.sink, link.source, kDataRequest, {Request9V()}, "Request");
        talk.Control(link.source, link.sink, kCtrlAccept, "Accept");
        talk.WaitMs(5.0);
        talk.Control(link.source, link.sink, kCtrlPsRdy, "PS_RDY");
        talk.SetLoad(3400);
        talk.WaitMs(2500.0);
    });
    // M-RDO-POS: position 6 of two, rejected.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        talk.Data(link.sink, link.source, kDataRequest, {FixedRequest(6, 1000, 1000, kFlags)},
                  "Request");
        talk.Control(link.source, link.sink, kCtrlReject, "Reject");
    });
    // M-RDO-CUR and S-REQUEST-INVALID: 4 A of a 3 A PDO, accepted.
    Episode(talk, [&talk](Connection& link) {
        talk.Data(link.source, link.sink, kDataSourceCapabilities, Offer(), "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, FixedRequest(2, 4000, 4000, kFlags), 9000,
                        500);
    });
    // M-SRCCAP-ORDER: 15 V offered before 9 V.
    Episode(talk, [&talk](Connection& link) {
        std::vector<uint32_t> pdos = {FixedSourcePdo(5000, 3000, 0, kPdoUsbCommunications),
                                      FixedSourcePdo(15000, 3000, 0, 0),
                                      FixedSourcePdo(9000, 3000, 0, 0)};
        talk.Data(link.source, link.sink, kDataSourceCapabilities, pdos, "Source_Capabilities");
        RequestContract(talk, link.source, link.sink, FixedRequest(3, 2000, 2000, kFlags), 9000,
                        500);
    });
    // T-HARDRESET: after a Hard Reset VBUS stays at 0 V for 1.4 s.
    Episode(talk, [&talk](Connection& link) {
        Negotiate(talk, link.source, link.sink, Offer(), Request9V(), 9000, 500);
        talk.WaitMs(100.0);
        Party* everyone[] = {&link.source, &link.sink};
        talk.Reset(kOsHardReset, everyone);
        talk.SetLoad(0, 2000.0);
        talk.WaitMs(30.0);
        int64_t down = talk.RampVbus(0, 150.0);
        talk.WaitUs(down / 1000 + 1400000);
        int64_t up = talk.RampVbus(5000, 100.0);
        talk.WaitUs(up / 1000 + 150000);
        Negotiate(talk, link.source, link.sink, Offer(), Request9V(), 9000, 500);
    });
    // T-EPR-KEEPALIVE: in EPR mode the sink stays silent for 700 ms.
    Episode(talk, [&talk](Connection& link) {
        link.source.ids.Reset();
        Negotiate(talk, link.source, link.sink, SprSourcePdos(true),
                  FixedRequest(kSpr20VPosition, 3000, 5000, kFlags | kRdoEprCapable), 20000, 1500);
        talk.WaitMs(50.0);
        EnterEpr28V(talk, link);
        talk.WaitMs(700.0);
        talk.Extended(link.sink, link.source, kExtExtendedControl, ExtendedControlBlock(3, 0),
                      "EPR_KeepAlive");
        talk.Extended(link.source, link.sink, kExtExtendedControl, ExtendedControlBlock(4, 0),
                      "EPR_KeepAlive_Ack");
    });
}
