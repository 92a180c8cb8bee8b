// How many packets of a document the strict decoder rejected and what the tolerant pass made
// of them, and the status text that says so.
#pragma once

#include <cstdint>
#include <string>

#include "pd/tolerant_decoder.h"

struct TolerantCounts {
    uint64_t strictRejected = 0;  // no correct CRC and no reset after the strict decode
    uint64_t recovered = 0;       // tolerant decoding on: recovered
    uint64_t recoverable = 0;     // tolerant decoding off: would be recovered

    void Count(TolerantOutcome outcome);
};

// "" when no packet was rejected; otherwise, with tolerant decoding on,
// "3 packets rejected by the strict decoder, 2 recovered by the tolerant decoder", and off,
// "3 packets rejected by the strict decoder, 2 recoverable with tolerant decoding".
std::string TolerantSummaryText(const TolerantCounts& counts, bool tolerantOn);
