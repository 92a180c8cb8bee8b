// USB PD message header, extended message header, message classes, names and role texts.
//
// The message header is the little-endian u16 at the front of `messageBytes`; it is read even
// when the byte assembly failed (the bytes start zeroed), so every accessor below is defined for
// any packet. Data objects are only read from bytes the packet actually assembled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pd/cc_packet.h"
#include "pd/symbols.h"

// Control message types (Number of Data Objects = 0).
enum ControlMessageType : int {
    kCtrlGoodCrc = 1,
    kCtrlGotoMin = 2,
    kCtrlAccept = 3,
    kCtrlReject = 4,
    kCtrlPing = 5,
    kCtrlPsRdy = 6,
    kCtrlGetSourceCap = 7,
    kCtrlGetSinkCap = 8,
    kCtrlDrSwap = 9,
    kCtrlPrSwap = 10,
    kCtrlVconnSwap = 11,
    kCtrlWait = 12,
    kCtrlSoftReset = 13,
    kCtrlDataReset = 14,
    kCtrlDataResetComplete = 15,
    kCtrlNotSupported = 16,
    kCtrlGetSourceCapExtended = 17,
    kCtrlGetStatus = 18,
    kCtrlFrSwap = 19,
    kCtrlGetPpsStatus = 20,
    kCtrlGetCountryCodes = 21,
    kCtrlGetSinkCapExtended = 22,
    kCtrlGetSourceInfo = 23,
    kCtrlGetRevision = 24,
};

// Data message types (Number of Data Objects > 0).
enum DataMessageType : int {
    kDataSourceCapabilities = 1,
    kDataRequest = 2,
    kDataBist = 3,
    kDataSinkCapabilities = 4,
    kDataBatteryStatus = 5,
    kDataAlert = 6,
    kDataGetCountryInfo = 7,
    kDataEnterUsb = 8,
    kDataEprRequest = 9,
    kDataEprMode = 10,
    kDataSourceInfo = 11,
    kDataRevision = 12,
    kDataVendorDefined = 15,
};

// Extended message types.
enum ExtendedMessageType : int {
    kExtSourceCapabilitiesExtended = 1,
    kExtStatus = 2,
    kExtGetBatteryCap = 3,
    kExtGetBatteryStatus = 4,
    kExtBatteryCapabilities = 5,
    kExtGetManufacturerInfo = 6,
    kExtManufacturerInfo = 7,
    kExtSecurityRequest = 8,
    kExtSecurityResponse = 9,
    kExtFirmwareUpdateRequest = 10,
    kExtFirmwareUpdateResponse = 11,
    kExtPpsStatus = 12,
    kExtCountryInfo = 13,
    kExtCountryCodes = 14,
    kExtSinkCapabilitiesExtended = 15,
    kExtExtendedControl = 16,
    kExtEprSourceCapabilities = 17,
    kExtEprSinkCapabilities = 18,
    kExtVendorDefinedExtended = 30,
};

// --- Ordered set kinds -----------------------------------------------------------------------

// True for the kinds that carry a message: SOP, SOP', SOP'', SOP'_Debug, SOP''_Debug. The
// kind-number form IsSopKind(int32_t) comes with pd/symbols.h.
bool IsSopKind(const CCCPacket& packet);
// True for SOP' and SOP'' (not their debug variants).
bool IsCableKind(int32_t orderedSetKind);

// --- Message header fields -------------------------------------------------------------------

// The 16-bit message header (bytes 0 and 1, little-endian).
uint16_t MessageHeader(const CCCPacket& packet);
// The header as the counters, find and filter read it: MessageHeader once the bytes were
// assembled, 0 before (resets and failed decodes may keep left-over bytes that mean nothing), so
// that such a packet counts and filters as Sink and UFP without a message type.
uint16_t AssembledHeader(const CCCPacket& packet);
// Header bits 0-4, whatever the revision; `MessageType` applies the revision rule.
int MessageTypeBits(const CCCPacket& packet);
// Bit 5: 1 = DFP, 0 = UFP (meaningful for SOP packets).
bool PortDataRoleIsDfp(const CCCPacket& packet);
// Bits 6-7: 0 = 1.0, 1 = 2.0, 2 = 3.0, 3 = reserved.
int SpecRevision(const CCCPacket& packet);
// Bit 8: SOP packets 1 = Source; SOP'/SOP'' packets 1 = sent by a cable plug.
bool PortPowerRoleIsSource(const CCCPacket& packet);
bool CablePlugBit(const CCCPacket& packet);
// Bits 9-11.
int MessageId(const CCCPacket& packet);
// Bits 12-14: the Number of Data Objects field.
int DataObjectCount(const CCCPacket& packet);
// Bit 15 as stored; it only marks an extended message from revision 3.0 on (see IsExtended).
bool ExtendedBit(const CCCPacket& packet);

// --- Extended message header -----------------------------------------------------------------

// Bytes 2 and 3 (little-endian); meaningful only when IsExtended.
uint16_t ExtendedHeader(const CCCPacket& packet);
int ExtDataSize(const CCCPacket& packet);       // bits 0-8
bool ExtRequestChunk(const CCCPacket& packet);  // bit 10
int ExtChunkNumber(const CCCPacket& packet);    // bits 11-14
bool ExtChunked(const CCCPacket& packet);       // bit 15

// --- Message class and type ------------------------------------------------------------------

// True from revision 3.0 on (field value >= 2): only then do bit 4 of the message type, bit 15
// of the header and the revision 3.0 data object layouts count.
bool HasRevision3Layout(const CCCPacket& packet);
// Bits 0-4 from revision 3.0 on (field value >= 2), bits 0-3 before.
int MessageType(const CCCPacket& packet);
bool IsExtended(const CCCPacket& packet);
bool IsControl(const CCCPacket& packet);
bool IsData(const CCCPacket& packet);
// Hard Reset, Cable Reset, or Soft_Reset carried by SOP, SOP' or SOP'' (not the debug sets).
bool IsReset(const CCCPacket& packet);

// --- Names and texts -------------------------------------------------------------------------

// Table entries; empty when the type has no entry.
std::string_view ControlMessageName(int type);
std::string_view DataMessageName(int type);
std::string_view ExtendedMessageName(int type);
// "Hard Reset", "Cable Reset", "(Unknown OS)", a table name, or "Unknown(%d)".
std::string MessageName(const CCCPacket& packet);
// "1.0", "2.0", "3.0", "Rsv(3)"; empty for packets without a message.
std::string RevisionText(const CCCPacket& packet);
// SOP only: "Source" / "Sink".
std::string PowerRoleText(const CCCPacket& packet);
// SOP only: "DFP" / "UFP".
std::string DataRoleText(const CCCPacket& packet);
// SOP' and SOP'' only: "Cable Plug" / "UFP or DFP".
std::string CablePlugText(const CCCPacket& packet);

// --- Data objects ----------------------------------------------------------------------------

// True when data object `index` is within the Number of Data Objects and all four of its bytes
// (2 + 4 * index .. 5 + 4 * index) were assembled.
bool HasDataObject(const CCCPacket& packet, int index);
// Data object `index` (from 0) as a little-endian u32; 0 when HasDataObject is false.
uint32_t DataObject(const CCCPacket& packet, int index);
