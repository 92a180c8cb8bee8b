// The resolve pass over a range of edges, with an optional log of the entries it changes so
// that the ambiguity search can take a decision back without copying the edge list.
#pragma once

#include <cstdint>
#include <vector>

#include "pd/cc_packet.h"

// One edge as it was before a change.
struct EdgeChange {
    int32_t index = 0;
    CcEdge before;
};
using EdgeUndoLog = std::vector<EdgeChange>;

// Records edges[index] in the log (when there is one) before it changes.
inline void LogChange(EdgeUndoLog* log, const CcEdge* edges, int32_t index) {
    if (log != nullptr) {
        log->push_back({index, edges[index]});
    }
}

// Puts back every edge changed since the log held `size` entries, newest first.
inline void UndoChanges(EdgeUndoLog& log, CcEdge* edges, size_t size) {
    while (log.size() > size) {
        edges[log.back().index] = log.back().before;
        log.pop_back();
    }
}

// The resolve pass over edges [begin, end), begin >= 1. On a whole edge list (begin 1) it is
// the packet's resolve pass; on a run of role-less edges bounded by edges with a role (or the
// end of the list) it gives that run the roles a whole pass would, since the pass treats each
// such run on its own. Returns the number of edges left in unresolved runs.
int32_t ResolveRange(CcEdge* edges, int32_t begin, int32_t end, EdgeUndoLog* log);
