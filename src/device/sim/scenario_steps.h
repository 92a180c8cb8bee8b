// Building blocks shared by the scenarios: the parties of a connection, attach and detach, and
// a complete power negotiation.
#pragma once

#include <cstdint>
#include <vector>

#include "device/sim/conversation.h"

// The two ports and the cable of one connection. The source starts as DFP, the sink as UFP.
struct Connection {
    Party source;
    Party sink;
    Party cable;
    int ccLine = 0;      // line with the Rp/Rd pair, carrying the messages
    bool vconn = false;  // the source powers the cable on the other line
};

Connection MakeConnection(int ccLine, bool vconn, int specRevision = 2);

// Cable plugged in: Rp/Rd on the CC line (3 A advertisement), VCONN on the other line when the
// connection has it, VBUS up to 5 V, then the sink's wait for the first capabilities.
void Attach(Conversation& talk, const Connection& link);
// Cable pulled: VBUS, load and both CC lines fall to zero, then a quiet spell.
void Detach(Conversation& talk);

// How long a source waits after the GoodCRC of its Accept before VBUS starts to move: inside
// tSrcTransition (25-35 ms).
inline constexpr double kSourceTransitionMs = 30.0;

// How a source carries out an accepted Request; the defaults are well-behaved, the others break
// a rule on purpose.
struct TransitionPlan {
    double transitionMs = kSourceTransitionMs;  // Accept's GoodCRC to the start of the ramp
    int deliveredMillivolts = 0;                // VBUS reached; 0 = the requested voltage
    double psRdyAfterRampMs = 5.0;              // end of the ramp to PS_RDY
    int sinkMilliamps = -1;                     // the sink's draw during the change; -1 = as before
};

// Source_Capabilities, Request, Accept, the VBUS transition, PS_RDY, then the sink's load.
void Negotiate(Conversation& talk, Party& source, Party& sink, const std::vector<uint32_t>& pdos,
               uint32_t request, int millivolts, int loadMilliamps);
// Request, Accept, the transition as planned, PS_RDY, then the sink's load.
void RequestContract(Conversation& talk, Party& source, Party& sink, uint32_t request,
                     int millivolts, int loadMilliamps, const TransitionPlan& plan = {});

// From an EPR-capable SPR contract: EPR_Mode Enter, Enter_Acknowledged, Enter_Succeeded, the
// chunked EPR_Source_Capabilities, EPR_Request for 28 V, Accept with the sink in standby, the
// transition and PS_RDY.
void EnterEpr28V(Conversation& talk, Connection& link);

// The usual SPR offer: 5/9/15/20 V fixed and a PPS range.
std::vector<uint32_t> SprSourcePdos(bool eprCapable);
// Position of the 20 V PDO in SprSourcePdos.
inline constexpr int kSpr20VPosition = 4;
inline constexpr int kSprPpsPosition = 5;
