// The packet a double click on the graph picks: of the packet at or before the clicked time and
// the one after it, the one whose start is nearer (the earlier one on a tie).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "capture/document_snapshot.h"
#include "graph/graph_model.h"

// Index into the snapshot's packets; none when t lies outside the data span or there are no
// packets.
std::optional<size_t> PickPacket(const DocumentSnapshot& document, const GraphViewState& state,
                                 int64_t t);
