// The common case of the bit recovery's first steps in one walk. In a clean packet every interval
// after the first is a plain half or full: the resolve pass then only pairs consecutive halves,
// and neither its run bookkeeping nor the ambiguity search is needed.
#pragma once

#include "pd/cc_packet.h"

// For a clean packet: sets totalTicks, shortCount and longCount and appends the bits, with each
// edge's bit index, as ClassifyEdges, ResolveEdges and the first step of RecoverBits would, and
// returns true. Returns false, with the counters untouched, for any other packet (an interval
// short, ambiguous or long, or a lone half interval after the first bit): that one takes the
// full path. Expects the edge list, edgeCount > 0 and a positive clock divider.
bool AppendCleanBits(CCCPacket& packet);
