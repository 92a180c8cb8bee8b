// Description texts of the power negotiation messages: capabilities and requests.
#pragma once

#include <string>

#include "pd/cc_packet.h"

// Data message Source_Capabilities / Sink_Capabilities: every PDO in long form, for example
// "[1]<Fixed> 5000[mV]/3000[mA] (USB Communications)(Peak Current=0) ".
std::string SourceCapsText(const CCCPacket& packet);
std::string SinkCapsText(const CCCPacket& packet);

// Extended messages EPR_Source_Capabilities / EPR_Sink_Capabilities: every non-zero PDO of the
// reassembled block in short form; only on the packet that holds the start of the block.
std::string EprSourceCapsText(const CCCPacket& packet);
std::string EprSinkCapsText(const CCCPacket& packet);

// Data message Request: "Position=%d" and, when the referenced Source_Capabilities holds that
// position, the PDO type, the requested values and the flags.
std::string RequestText(const CCCPacket& packet);
// Data message EPR_Request: as RequestText, with the PDO copy carried as data object 1.
std::string EprRequestText(const CCCPacket& packet);
