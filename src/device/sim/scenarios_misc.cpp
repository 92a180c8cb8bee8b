// Fault injection and the catalogue of every message type.
#include <algorithm>
#include <array>

#include "device/sim/data_objects.h"
#include "device/sim/scenario_steps.h"
#include "device/sim/scenarios.h"

namespace {

constexpr uint32_t kRequestFlags = kRdoUsbCommunications | kRdoNoUsbSuspend;

// One SPR negotiation whose messages carry the given faults in order; every faulty message is
// retried cleanly, as a real port would after the missing GoodCRC.
void FaultyNegotiation(Conversation& talk, Connection& link,
                       const std::array<PhyFault, 6>& faults) {
    Party& source = link.source;
    Party& sink = link.sink;
    talk.Data(source, sink, kDataSourceCapabilities, SprSourcePdos(false), "Source_Capabilities",
              kOsSop, faults[0]);
    talk.Data(sink, source, kDataRequest, {FixedRequest(2, 2000, 3000, kRequestFlags)}, "Request",
              kOsSop, faults[1]);
    talk.Control(source, sink, kCtrlAccept, "Accept", kOsSop, faults[2]);
    talk.WaitMs(kSourceTransitionMs);
    int64_t ramp = talk.RampVbus(9000, 300.0);
    talk.WaitUs(ramp / 1000 + 5000);
    talk.Control(source, sink, kCtrlPsRdy, "PS_RDY", kOsSop, faults[3]);
    talk.SetLoad(1800);
    talk.WaitMs(200.0);
    talk.Control(source, sink, kCtrlGetSinkCap, "Get_Sink_Cap", kOsSop, faults[4]);
    talk.Data(sink, source, kDataSinkCapabilities, {FixedSinkPdo(5000, 3000, 0, 0)},
              "Sink_Capabilities", kOsSop, faults[5]);
}

}  // namespace

void BuildNoisyScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    double jitter = talk.JitterUs();
    talk.SetJitterUs(0.12);
    for (int line = 0; line < 2; ++line) {
        Connection link = MakeConnection(line, false);
        Attach(talk, link);
        std::array<PhyFault, 6> faults = {
            PhyFault::kGlitch,
            PhyFault::kBadCrc,
            PhyFault::kMissingEop,
            PhyFault::kDamagedOrderedSet,
            PhyFault::kUnitIntervalOutOfRange,
            PhyFault::kTruncated,
        };
        for (size_t i = faults.size() - 1; i > 0; --i) {
            std::swap(faults[i],
                      faults[static_cast<size_t>(random.Between(0, static_cast<int64_t>(i)))]);
        }
        FaultyNegotiation(talk, link, faults);
        talk.WaitMs(300.0);
        if (line == 0) {
            Detach(talk);  // plugged in again the other way round
        }
    }
    talk.SetJitterUs(jitter);
}

void BuildCatalogScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    Connection link = MakeConnection(static_cast<int>(random.Between(0, 1)), true);
    Party& src = link.source;
    Party& snk = link.sink;
    Attach(talk, link);

    // Every PDO kind on offer; the sink asks for the battery supply.
    std::vector<uint32_t> pdos = {
        FixedSourcePdo(
            5000, 3000, 1,
            kPdoUsbCommunications | kPdoUsbSuspend | kPdoEprCapable | kPdoUnchunkedSupported),
        FixedSourcePdo(12000, 2000, 2, 0),
        BatteryPdo(5000, 12000, 24000),
        VariablePdo(9000, 15000, 2000),
        PpsApdo(3300, 11000, 5000, true),
        AvsApdo(15000, 20000, 45, 1),
    };
    Negotiate(talk, src, snk, pdos, BatteryRequest(3, 12000, 20000, kRequestFlags | kRdoGiveBack),
              9000, 1000);
    talk.Control(snk, src, kCtrlGetSourceCap, "Get_Source_Cap");
    talk.Data(src, snk, kDataSourceCapabilities, pdos, "Source_Capabilities");
    talk.Data(snk, src, kDataRequest, {FixedRequest(1, 2500, 3000, kRequestFlags)}, "Request");
    talk.Control(src, snk, kCtrlWait, "Wait");
    talk.Control(snk, src, kCtrlGetSinkCap, "Get_Sink_Cap");
    talk.Data(snk, src, kDataSinkCapabilities,
              {FixedSinkPdo(5000, 3000, 3, kPdoDualRolePower | kPdoHigherCapability),
               BatteryPdo(5000, 15000, 15000), VariablePdo(5000, 15000, 1500),
               PpsApdo(3300, 11000, 2000, false)},
              "Sink_Capabilities");
    talk.Control(src, snk, kCtrlGotoMin, "GotoMin");
    talk.Control(src, snk, kCtrlPing, "Ping");
    talk.Control(snk, src, kCtrlDrSwap, "DR_Swap");
    talk.Control(src, snk, kCtrlWait, "Wait");
    talk.Control(snk, src, kCtrlVconnSwap, "VCONN_Swap");
    talk.Control(src, snk, kCtrlReject, "Reject");
    talk.Control(snk, src, kCtrlPrSwap, "PR_Swap");
    talk.Control(src, snk, kCtrlReject, "Reject");
    talk.Control(snk, src, kCtrlFrSwap, "FR_Swap");
    talk.Control(src, snk, kCtrlNotSupported, "Not_Supported");
    talk.Data(src, snk, kDataBist, {BistDataObject(5, 0)}, "BIST");
    talk.WaitMs(60.0);
    talk.Data(src, snk, kDataBist, {BistDataObject(8, 0)}, "BIST");
    talk.Data(snk, src, kDataAlert, {AlertDataObject(0x02, 1, 0, 0)}, "Alert");
    talk.Control(src, snk, kCtrlGetStatus, "Get_Status");
    talk.Extended(snk, src, kExtStatus, StatusBlock(41, 0x06, 0x10), "Status");
    talk.Control(snk, src, kCtrlGetPpsStatus, "Get_PPS_Status");
    talk.Extended(src, snk, kExtPpsStatus, PpsStatusBlock(9000, 1000, 0), "PPS_Status");
    talk.Control(snk, src, kCtrlGetSourceCapExtended, "Get_Source_Cap_Extended");
    talk.Extended(src, snk, kExtSourceCapabilitiesExtended,
                  SourceCapsExtendedBlock(0x1A2B, 0x0065, 65, 0), "Source_Capabilities_Extended");
    talk.Control(src, snk, kCtrlGetSinkCapExtended, "Get_Sink_Cap_Extended");
    talk.Extended(snk, src, kExtSinkCapabilitiesExtended,
                  SinkCapsExtendedBlock(0x4E5F, 0x0002, 15, 45, 60, 60, 100, 140),
                  "Sink_Capabilities_Extended");
    talk.Control(snk, src, kCtrlGetSourceInfo, "Get_Source_Info");
    talk.Data(src, snk, kDataSourceInfo, {SourceInfoDataObject(false, 65, 65, 45)}, "Source_Info");
    talk.Control(snk, src, kCtrlGetRevision, "Get_Revision");
    talk.Data(src, snk, kDataRevision, {RevisionDataObject(3, 1, 1, 8)}, "Revision");
    talk.Control(snk, src, kCtrlGetCountryCodes, "Get_Country_Codes");
    talk.Extended(src, snk, kExtCountryCodes, CountryCodesBlock("USDEJPCN"), "Country_Codes");
    talk.Data(snk, src, kDataGetCountryInfo, {CountryCodeDataObject("DE")}, "Get_Country_Info");
    talk.Extended(src, snk, kExtCountryInfo, CountryInfoBlock("DE", "EU charger rules apply"),
                  "Country_Info");
    talk.Extended(src, snk, kExtGetBatteryCap, {0}, "Get_Battery_Cap");
    talk.Extended(snk, src, kExtBatteryCapabilities,
                  BatteryCapabilitiesBlock(0x4E5F, 0x0B01, 560, 532), "Battery_Capabilities");
    talk.Extended(src, snk, kExtGetBatteryStatus, {0}, "Get_Battery_Status");
    talk.Data(snk, src, kDataBatteryStatus, {BatteryStatusDataObject(412, true, 0)},
              "Battery_Status");
    talk.Extended(src, snk, kExtGetManufacturerInfo, {0, 0}, "Get_Manufacturer_Info");
    talk.Extended(snk, src, kExtManufacturerInfo,
                  ManufacturerInfoBlock(0x4E5F, 0x0002, "Zoduz Sink"), "Manufacturer_Info");
    talk.Extended(src, snk, kExtSecurityRequest, {0x01, 0x81, 0x00, 0x00}, "Security_Request");
    std::vector<uint8_t> digests = {0x01, 0x01, 0x01, 0x00};
    for (int i = 0; i < 32; ++i) {
        digests.push_back(static_cast<uint8_t>(0xA0 + i));
    }
    talk.Extended(snk, src, kExtSecurityResponse, digests, "Security_Response");
    talk.Extended(src, snk, kExtFirmwareUpdateRequest, {0x01, 0x81}, "Firmware_Update_Request");
    talk.Extended(snk, src, kExtFirmwareUpdateResponse,
                  {0x01, 0x01, 0x00, 0x5F, 0x4E, 0x02, 0x00, 0x01, 0x02, 0x01, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00},
                  "Firmware_Update_Response");
    talk.Extended(snk, src, kExtExtendedControl, ExtendedControlBlock(1, 0), "EPR_Get_Source_Cap");
    std::vector<uint32_t> epr = pdos;
    epr.resize(7, 0);
    epr.push_back(FixedSourcePdo(28000, 5000, 0, 0));
    epr.push_back(AvsApdo(15000, 28000, 140, 0));
    talk.Extended(src, snk, kExtEprSourceCapabilities, PdoBlock(epr), "EPR_Source_Capabilities");
    talk.Extended(src, snk, kExtExtendedControl, ExtendedControlBlock(2, 0), "EPR_Get_Sink_Cap");
    talk.Extended(snk, src, kExtEprSinkCapabilities,
                  PdoBlock({FixedSinkPdo(5000, 3000, 0, 0), FixedSinkPdo(20000, 5000, 0, 0), 0, 0,
                            0, 0, 0, FixedSinkPdo(28000, 5000, 0, 0)}),
                  "EPR_Sink_Capabilities");
    // Outside EPR mode the source turns an EPR_Request down.
    talk.Data(snk, src, kDataEprRequest,
              {FixedRequest(8, 5000, 5000, kRequestFlags | kRdoEprCapable), epr[7]}, "EPR_Request");
    talk.Control(src, snk, kCtrlReject, "Reject");
    talk.Data(snk, src, kDataEprMode, {EprModeDataObject(1, 100)}, "EPR_Mode");
    talk.Data(src, snk, kDataEprMode, {EprModeDataObject(4, 1)}, "EPR_Mode");
    talk.Data(snk, src, kDataEprMode, {EprModeDataObject(5, 0)}, "EPR_Mode");
    std::vector<uint8_t> vendorBlock;
    AppendU32(vendorBlock, UnstructuredVdmHeader(0x1A2B, 0x0001));
    for (int i = 0; i < 36; ++i) {
        vendorBlock.push_back(static_cast<uint8_t>(i * 7));
    }
    talk.UnchunkedExtendedMessage(src, snk, kExtVendorDefinedExtended, vendorBlock,
                                  "Vendor_Defined_Extended");
    talk.Data(src, snk, kDataEnterUsb, {EnterUsbDataObject(2, true, false, 3, 0, 3, 0x0001E000u)},
              "Enter_USB");
    talk.Control(snk, src, kCtrlAccept, "Accept");
    talk.Control(src, snk, kCtrlDataReset, "Data_Reset");
    talk.Control(snk, src, kCtrlAccept, "Accept");
    talk.WaitMs(30.0);
    talk.Control(src, snk, kCtrlDataResetComplete, "Data_Reset_Complete");
    // Soft_Reset starts both counters over and carries MessageID 0 itself.
    src.ids.Reset();
    snk.ids.Reset();
    talk.Control(snk, src, kCtrlSoftReset, "Soft_Reset");
    talk.Control(src, snk, kCtrlAccept, "Accept");

    // Debug ordered sets between the source and a debug accessory in the cable.
    talk.Data(src, link.cable, kDataVendorDefined, {UnstructuredVdmHeader(0x1A2B, 0x0DB6)},
              "Vendor_Defined", kOsSopPrimeDebug);
    talk.Control(src, link.cable, kCtrlGetStatus, "Get_Status", kOsSopDoublePrimeDebug);

    // A PD 2.0 pair after replugging: four-bit message types, no extended messages.
    Detach(talk);
    Connection legacy = MakeConnection(link.ccLine, false, 1);
    Attach(talk, legacy);
    Negotiate(
        talk, legacy.source, legacy.sink,
        {FixedSourcePdo(5000, 2000, 0, kPdoUsbCommunications), FixedSourcePdo(12000, 1500, 0, 0)},
        FixedRequest(2, 1500, 1500, kRequestFlags), 12000, 1200);
}
