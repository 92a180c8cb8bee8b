// Description text of a Vendor_Defined data message.
#pragma once

#include <cstdint>
#include <string>

#include "pd/cc_packet.h"

// "StdID", "DisplayPort", "TBT3", or the SVID as "%04Xh".
std::string SvidName(uint16_t svid);

// The VDM header and, for Discover Identity, Discover SVIDs, Discover Modes and Attention, the
// objects that follow it; empty for an extended message.
std::string VdmText(const CCCPacket& packet);
