// DisplayPort alternate mode entry with cable discovery.
#include "device/sim/data_objects.h"
#include "device/sim/scenario_steps.h"
#include "device/sim/scenarios.h"

namespace {

// Structured VDM version 2.0: major 1, minor 0.
uint32_t Vdm(uint16_t svid, int command, int type, int position = 0) {
    return StructuredVdmHeader(svid, command, type, position, 1, 0);
}

// Structured VDM request from `from` and its ACK carrying `response` from `to`.
void VdmRequestAck(Conversation& talk, Party& from, Party& to, uint16_t svid, int command,
                   int position, std::vector<uint32_t> requestObjects,
                   std::vector<uint32_t> responseObjects, const char* label,
                   int32_t orderedSet = kOsSop) {
    requestObjects.insert(requestObjects.begin(), Vdm(svid, command, kVdmRequest, position));
    talk.Data(from, to, kDataVendorDefined, requestObjects, label, orderedSet);
    responseObjects.insert(responseObjects.begin(), Vdm(svid, command, kVdmAck, position));
    talk.Data(to, from, kDataVendorDefined, responseObjects, label, orderedSet);
}

}  // namespace

void BuildAltModeScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    Connection link = MakeConnection(static_cast<int>(random.Between(0, 1)), true);
    Party& dfp = link.source;
    Party& ufp = link.sink;
    bool activeCable = random.Chance(50);
    Attach(talk, link);

    // Cable plug identity on SOP' (and, for an active cable, the far plug on SOP'').
    std::vector<uint32_t> cableIdentity = {0x00000000u, 0x0000C0DEu, ProductVdo(0x7A11, 0x0200)};
    if (activeCable) {
        cableIdentity[0] = IdHeaderVdo(0x2B1C, 4, 0, true, false, false, 3);
        cableIdentity.push_back(ActiveCableVdo1(2, 1, 2, false, 9, 3, 0, 1, true, 3));
        cableIdentity.push_back(ActiveCableVdo2(85, 95, false, true, true, true));
    } else {
        cableIdentity[0] = IdHeaderVdo(0x2B1C, 3, 0, false, false, false, 3);
        cableIdentity.push_back(PassiveCableVdo(1, 1, 2, false, 2, 0, 0, 1, 2));
    }
    VdmRequestAck(talk, dfp, link.cable, kSvidStandard, kVdmDiscoverIdentity, 0, {}, cableIdentity,
                  "Discover Identity", kOsSopPrime);
    if (activeCable) {
        VdmRequestAck(talk, dfp, link.cable, kSvidStandard, kVdmDiscoverIdentity, 0, {},
                      cableIdentity, "Discover Identity", kOsSopDoublePrime);
    }

    Negotiate(talk, dfp, ufp, SprSourcePdos(false),
              FixedRequest(1, 1500, 3000, kRdoUsbCommunications), 5000, 1500);
    talk.WaitMs(100.0);

    VdmRequestAck(talk, dfp, ufp, kSvidStandard, kVdmDiscoverIdentity, 0, {},
                  {IdHeaderVdo(0x3C4D, 2, 0, true, true, false, 2), 0x00000ABCu,
                   ProductVdo(0xD150, 0x0110), UfpVdo(3, 0x1, 2, 0x2, 1)},
                  "Discover Identity");
    VdmRequestAck(talk, dfp, ufp, kSvidStandard, kVdmDiscoverSvids, 0, {},
                  {(uint32_t{kSvidDisplayPort} << 16) | kSvidThunderbolt, 0x00000000u},
                  "Discover SVIDs");
    VdmRequestAck(talk, dfp, ufp, kSvidDisplayPort, kVdmDiscoverModes, 0, {},
                  {DpCapabilitiesVdo(1, 0x1, true, 0x00, 0x1C)}, "Discover Modes");
    VdmRequestAck(talk, dfp, ufp, kSvidDisplayPort, kVdmEnterMode, 1, {}, {}, "Enter Mode");
    VdmRequestAck(talk, dfp, ufp, kSvidDisplayPort, kVdmDpStatusUpdate, 1,
                  {DpStatusVdo(1, true, false, false)}, {DpStatusVdo(2, true, true, false)},
                  "DisplayPort Status Update");
    VdmRequestAck(talk, dfp, ufp, kSvidDisplayPort, kVdmDpConfigure, 1,
                  {DpConfigureVdo(2, 1, 0x04)}, {}, "DisplayPort Configure");
    talk.WaitMs(400.0);
    talk.Data(
        ufp, dfp, kDataVendorDefined,
        {Vdm(kSvidDisplayPort, kVdmAttention, kVdmRequest, 1), DpStatusVdo(2, true, true, true)},
        "Attention");
    talk.WaitMs(300.0);
    talk.Data(ufp, dfp, kDataVendorDefined, {UnstructuredVdmHeader(0x3C4D, 0x0123), 0xCAFE0001u},
              "Vendor_Defined");
    talk.Control(dfp, ufp, kCtrlNotSupported, "Not_Supported");
    talk.WaitMs(500.0);
    VdmRequestAck(talk, dfp, ufp, kSvidDisplayPort, kVdmExitMode, 1, {}, {}, "Exit Mode");
}
