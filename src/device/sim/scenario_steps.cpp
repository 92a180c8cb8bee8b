#include "device/sim/scenario_steps.h"

#include "device/sim/data_objects.h"

namespace {

constexpr int kVconnMilliamps = 12;

}  // namespace

Connection MakeConnection(int ccLine, bool vconn, int specRevision) {
    Connection link;
    link.source.powerSource = true;
    link.source.dataDfp = true;
    link.source.specRevision = specRevision;
    link.sink.specRevision = specRevision;
    link.cable.cablePlug = true;
    link.cable.specRevision = specRevision;
    link.ccLine = ccLine & 1;
    link.vconn = vconn;
    return link;
}

void Attach(Conversation& talk, const Connection& link) {
    talk.UseLine(link.ccLine);
    talk.SetCc(link.ccLine, kCc3A0Millivolts);
    talk.SetCc(1 - link.ccLine, link.vconn ? kVconnMillivolts : 0,
               link.vconn ? kVconnMilliamps : 0);
    talk.WaitMs(2.0);
    talk.RampVbus(5000, 100.0);
    talk.SetLoad(90);
    talk.WaitMs(180.0);
}

void Detach(Conversation& talk) {
    talk.SetLoad(0, 1000.0);
    int64_t fall = talk.RampVbus(0, 50.0);
    talk.SetCc(0, 0);
    talk.SetCc(1, 0);
    // VBUS discharges to 0 before anything is plugged in again.
    talk.WaitUs(fall / 1000);
    talk.WaitMs(400.0);
}

void Negotiate(Conversation& talk, Party& source, Party& sink, const std::vector<uint32_t>& pdos,
               uint32_t request, int millivolts, int loadMilliamps) {
    talk.Data(source, sink, kDataSourceCapabilities, pdos, "Source_Capabilities");
    RequestContract(talk, source, sink, request, millivolts, loadMilliamps);
}

void RequestContract(Conversation& talk, Party& source, Party& sink, uint32_t request,
                     int millivolts, int loadMilliamps, const TransitionPlan& plan) {
    talk.Data(sink, source, kDataRequest, {request}, "Request");
    talk.Control(source, sink, kCtrlAccept, "Accept");
    if (plan.sinkMilliamps >= 0) {
        talk.SetLoad(plan.sinkMilliamps);
    }
    talk.WaitMs(plan.transitionMs);
    int64_t ramp =
        talk.RampVbus(plan.deliveredMillivolts > 0 ? plan.deliveredMillivolts : millivolts, 300.0);
    talk.WaitUs(ramp / 1000);
    talk.WaitMs(plan.psRdyAfterRampMs);
    talk.Control(source, sink, kCtrlPsRdy, "PS_RDY");
    talk.WaitMs(20.0);
    talk.SetLoad(loadMilliamps);
}

std::vector<uint32_t> SprSourcePdos(bool eprCapable) {
    uint32_t first = kPdoUsbCommunications | kPdoUnconstrainedPower | kPdoDualRoleData |
                     (eprCapable ? kPdoEprCapable : 0);
    return {
        FixedSourcePdo(5000, 3000, 0, first), FixedSourcePdo(9000, 3000, 0, 0),
        FixedSourcePdo(15000, 3000, 0, 0),    FixedSourcePdo(20000, eprCapable ? 5000 : 3250, 0, 0),
        PpsApdo(3300, 21000, 3000, false),
    };
}
