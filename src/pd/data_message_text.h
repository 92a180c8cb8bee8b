// Description texts of the data messages BIST, Get_Country_Info, Enter_USB, EPR_Mode,
// Source_Info and Revision. Each reads data object 0 and is empty for an extended message.
#pragma once

#include <string>

#include "pd/cc_packet.h"

std::string BistText(const CCCPacket& packet);
std::string CountryInfoText(const CCCPacket& packet);
std::string EnterUsbText(const CCCPacket& packet);
std::string EprModeText(const CCCPacket& packet);
std::string SourceInfoText(const CCCPacket& packet);
std::string RevisionDoText(const CCCPacket& packet);
