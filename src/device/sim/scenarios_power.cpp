// Power negotiation scenarios: SPR, EPR, power role swap, resets and the long capture.
#include <array>

#include "device/sim/data_objects.h"
#include "device/sim/scenario_steps.h"
#include "device/sim/scenarios.h"

namespace {

constexpr uint32_t kSinkRequestFlags = kRdoUsbCommunications | kRdoNoUsbSuspend;
// A sink's draw while VBUS changes: below pSnkStdby (2.5 W) even at 28 V.
constexpr int kStandbyMilliamps = 80;

uint32_t PpsRequestFor(int millivolts, int milliamps) {
    return PpsRequest(kSprPpsPosition, millivolts, milliamps, kSinkRequestFlags);
}

// PPS renegotiation: Request, Accept, VBUS moves to the new voltage, PS_RDY.
void PpsStep(Conversation& talk, Connection& link, int millivolts, int milliamps) {
    talk.Data(link.sink, link.source, kDataRequest, {PpsRequestFor(millivolts, milliamps)},
              "Request");
    talk.Control(link.source, link.sink, kCtrlAccept, "Accept");
    int64_t ramp = talk.RampVbus(millivolts, 200.0);
    talk.WaitUs(ramp / 1000 + 2000);
    talk.Control(link.source, link.sink, kCtrlPsRdy, "PS_RDY");
}

}  // namespace

void BuildSprScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    Connection link = MakeConnection(static_cast<int>(random.Between(0, 1)), false);
    Attach(talk, link);
    Negotiate(talk, link.source, link.sink, SprSourcePdos(false),
              FixedRequest(kSpr20VPosition, 3000, 3250, kSinkRequestFlags), 20000, 2800);
    talk.WaitMs(300.0);
    talk.Control(link.source, link.sink, kCtrlGetSinkCap, "Get_Sink_Cap");
    talk.Data(link.sink, link.source, kDataSinkCapabilities,
              {FixedSinkPdo(5000, 3000, 0, kPdoUsbCommunications | kPdoHigherCapability),
               FixedSinkPdo(20000, 3000, 0, 0), PpsApdo(5000, 11000, 3000, false)},
              "Sink_Capabilities");
    talk.WaitMs(500.0);
    talk.SetLoad(500);
    PpsStep(talk, link, 9000, 3000);
    talk.WaitMs(50.0);
    talk.SetLoad(2500);
    talk.WaitMs(800.0);
    PpsStep(talk, link, 8400 + 20 * static_cast<int>(random.Between(0, 40)), 2500);
}

void EnterEpr28V(Conversation& talk, Connection& link) {
    talk.Data(link.sink, link.source, kDataEprMode, {EprModeDataObject(1, 140)}, "EPR_Mode");
    talk.Data(link.source, link.sink, kDataEprMode, {EprModeDataObject(2, 0)}, "EPR_Mode");
    talk.WaitMs(5.0);
    talk.Data(link.source, link.sink, kDataEprMode, {EprModeDataObject(3, 0)}, "EPR_Mode");

    std::vector<uint32_t> caps = SprSourcePdos(true);
    caps.resize(7, 0);  // SPR positions 1-7, unused ones zero
    caps.push_back(FixedSourcePdo(28000, 5000, 0, 0));
    caps.push_back(FixedSourcePdo(36000, 3890, 0, 0));
    caps.push_back(AvsApdo(15000, 36000, 140, 0));
    talk.Extended(link.source, link.sink, kExtEprSourceCapabilities, PdoBlock(caps),
                  "EPR_Source_Capabilities");
    uint32_t rdo = FixedRequest(8, 5000, 5000, kSinkRequestFlags | kRdoEprCapable);
    talk.Data(link.sink, link.source, kDataEprRequest, {rdo, caps[7]}, "EPR_Request");
    talk.Control(link.source, link.sink, kCtrlAccept, "Accept");
    talk.SetLoad(kStandbyMilliamps, 1000.0);  // the sink goes to standby for the change
    talk.WaitMs(kSourceTransitionMs);
    int64_t ramp = talk.RampVbus(28000, 300.0);
    talk.WaitUs(ramp / 1000 + 5000);
    talk.Control(link.source, link.sink, kCtrlPsRdy, "PS_RDY");
}

void BuildEprScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    Connection link = MakeConnection(static_cast<int>(random.Between(0, 1)), true);
    Attach(talk, link);
    // The source checks the cable before offering more than 3 A.
    talk.Data(link.source, link.cable, kDataVendorDefined,
              {StructuredVdmHeader(kSvidStandard, kVdmDiscoverIdentity, kVdmRequest, 0, 1, 0)},
              "Discover Identity", kOsSopPrime);
    talk.Data(link.cable, link.source, kDataVendorDefined,
              {StructuredVdmHeader(kSvidStandard, kVdmDiscoverIdentity, kVdmAck, 0, 1, 0),
               IdHeaderVdo(0x1A2B, 3, 0, false, false, false, 3), 0x00001234u,
               ProductVdo(0x5A01, 0x0100), PassiveCableVdo(1, 2, 2, true, 1, 0, 3, 2, 3)},
              "Discover Identity", kOsSopPrime);
    Negotiate(talk, link.source, link.sink, SprSourcePdos(true),
              FixedRequest(kSpr20VPosition, 3000, 5000, kSinkRequestFlags | kRdoEprCapable), 20000,
              1500);
    talk.WaitMs(100.0);
    talk.Control(link.sink, link.source, kCtrlGetSourceCapExtended, "Get_Source_Cap_Extended");
    talk.Extended(link.source, link.sink, kExtSourceCapabilitiesExtended,
                  SourceCapsExtendedBlock(0x1A2B, 0x0140, 100, 140),
                  "Source_Capabilities_Extended");
    talk.WaitMs(50.0);
    EnterEpr28V(talk, link);
    talk.WaitMs(20.0);
    talk.SetLoad(4500);
    for (int i = 0; i < 8; ++i) {
        // Well inside tSinkEPRKeepAlive (500 ms) between the sink's messages.
        talk.WaitMs(static_cast<double>(random.Between(300, 400)));
        talk.Extended(link.sink, link.source, kExtExtendedControl, ExtendedControlBlock(3, 0),
                      "EPR_KeepAlive");
        talk.Extended(link.source, link.sink, kExtExtendedControl, ExtendedControlBlock(4, 0),
                      "EPR_KeepAlive_Ack");
    }
}

void BuildPrSwapScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    Connection link = MakeConnection(static_cast<int>(random.Between(0, 1)), false);
    Party& first = link.source;  // starts as source and DFP
    Party& second = link.sink;   // dual-role sink, takes over the source role
    Attach(talk, link);
    uint32_t drp = kPdoDualRolePower | kPdoDualRoleData | kPdoUsbCommunications;
    std::vector<uint32_t> firstCaps = {FixedSourcePdo(5000, 3000, 0, drp),
                                       FixedSourcePdo(9000, 2000, 0, 0)};
    Negotiate(talk, first, second, firstCaps, FixedRequest(2, 2000, 2000, kSinkRequestFlags), 9000,
              1200);
    talk.WaitMs(400.0);

    talk.Control(second, first, kCtrlPrSwap, "PR_Swap");
    talk.Control(first, second, kCtrlAccept, "Accept");
    talk.SetLoad(0, 1000.0);
    int64_t off = talk.RampVbus(0, 150.0);
    talk.WaitUs(off / 1000 + 10000);
    first.powerSource = false;  // now the sink: its PS_RDY says so
    talk.Control(first, second, kCtrlPsRdy, "PS_RDY");
    second.powerSource = true;
    int64_t on = talk.RampVbus(5000, 100.0);
    talk.WaitUs(on / 1000 + 15000);
    talk.Control(second, first, kCtrlPsRdy, "PS_RDY");
    talk.WaitMs(30.0);

    std::vector<uint32_t> secondCaps = {FixedSourcePdo(5000, 1500, 0, drp)};
    Negotiate(talk, second, first, secondCaps, FixedRequest(1, 1500, 1500, kSinkRequestFlags), 5000,
              -900);  // the current now flows the other way
    talk.WaitMs(300.0);
    talk.Control(second, first, kCtrlDrSwap, "DR_Swap");
    talk.Control(first, second, kCtrlAccept, "Accept");
    first.dataDfp = false;
    second.dataDfp = true;
    talk.WaitMs(200.0);
    talk.Control(second, first, kCtrlGetSinkCap, "Get_Sink_Cap");
    talk.Data(first, second, kDataSinkCapabilities,
              {FixedSinkPdo(5000, 1500, 1, kPdoDualRolePower | kPdoDualRoleData)},
              "Sink_Capabilities");
}

void BuildHardResetScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    Connection link = MakeConnection(static_cast<int>(random.Between(0, 1)), true);
    Attach(talk, link);
    std::vector<uint32_t> pdos = SprSourcePdos(false);
    Negotiate(talk, link.source, link.sink, pdos, FixedRequest(3, 2000, 3000, kSinkRequestFlags),
              15000, 1800);
    talk.WaitMs(300.0);

    // A protocol error: Soft_Reset starts the MessageIDs over (it carries 0 itself), then the
    // source re-offers.
    link.source.ids.Reset();
    link.sink.ids.Reset();
    talk.Control(link.sink, link.source, kCtrlSoftReset, "Soft_Reset");
    talk.Control(link.source, link.sink, kCtrlAccept, "Accept");
    talk.Data(link.source, link.sink, kDataSourceCapabilities, pdos, "Source_Capabilities");
    talk.Data(link.sink, link.source, kDataRequest,
              {FixedRequest(3, 2000, 3000, kSinkRequestFlags)}, "Request");
    talk.Control(link.source, link.sink, kCtrlAccept, "Accept");
    talk.WaitMs(5.0);
    talk.Control(link.source, link.sink, kCtrlPsRdy, "PS_RDY");
    talk.WaitMs(400.0);

    // Hard Reset: VBUS drops to vSafe0V and comes back at 5 V, everything starts over.
    Party* everyone[] = {&link.source, &link.sink, &link.cable};
    talk.Reset(kOsHardReset, everyone);
    talk.SetLoad(0, 2000.0);
    talk.WaitMs(30.0);
    int64_t down = talk.RampVbus(0, 150.0);
    talk.WaitUs(down / 1000 + 700000);
    int64_t up = talk.RampVbus(5000, 100.0);
    talk.WaitUs(up / 1000 + 200000);
    talk.SetLoad(90);
    Negotiate(talk, link.source, link.sink, pdos, FixedRequest(1, 900, 3000, kSinkRequestFlags),
              5000, 900);
    talk.WaitMs(300.0);

    // The DFP resets the cable plug.
    Party* cable[] = {&link.cable};
    talk.Reset(kOsCableReset, cable);
    talk.WaitMs(20.0);
    talk.Data(link.source, link.cable, kDataVendorDefined,
              {StructuredVdmHeader(kSvidStandard, kVdmDiscoverIdentity, kVdmRequest, 0, 1, 0)},
              "Discover Identity", kOsSopPrime);
    talk.Data(link.cable, link.source, kDataVendorDefined,
              {StructuredVdmHeader(kSvidStandard, kVdmDiscoverIdentity, kVdmNak, 0, 1, 0)},
              "Discover Identity", kOsSopPrime);
}

void BuildLongScenario(Conversation& talk, SimRandom& random, double seconds) {
    const int64_t endNs = talk.Now() + static_cast<int64_t>(seconds * 1e9);
    Connection link = MakeConnection(0, false);
    Attach(talk, link);
    Negotiate(talk, link.source, link.sink, SprSourcePdos(false), PpsRequestFor(5000, 3000), 5000,
              1000);
    int millivolts = 5000;
    int64_t lastRequestNs = talk.Now();
    while (talk.Now() < endNs - 8'000'000'000) {
        talk.WaitMs(static_cast<double>(random.Between(2000, 6000)));
        if (talk.Now() - lastRequestNs > 4'000'000'000) {
            // The sink repeats its PPS request well inside tPPSRequest (10 s).
            PpsStep(talk, link, millivolts, 3000);
            lastRequestNs = talk.Now();
        }
        switch (random.Between(0, 5)) {
            case 0:
                talk.Control(link.sink, link.source, kCtrlGetPpsStatus, "Get_PPS_Status");
                talk.Extended(link.source, link.sink, kExtPpsStatus,
                              PpsStatusBlock(millivolts, 1500, 0), "PPS_Status");
                break;
            case 1:
                talk.Control(link.sink, link.source, kCtrlGetStatus, "Get_Status");
                talk.Extended(link.source, link.sink, kExtStatus, StatusBlock(38, 0x02, 0),
                              "Status");
                break;
            default:
                millivolts = 5000 + 100 * static_cast<int>(random.Between(0, 60));
                PpsStep(talk, link, millivolts, 3000);
                lastRequestNs = talk.Now();
                talk.SetLoad(static_cast<int>(random.Between(300, 3000)), 100.0);
                break;
        }
    }
}
