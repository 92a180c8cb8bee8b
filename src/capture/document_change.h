// How the document's packet array changed, as its observers learn it: a view that holds rows for
// the packets it was told about follows every change without guessing.
#pragma once

#include <cstddef>

struct PacketChange {
    enum class Kind {
        // Packets [first, last) were added after every packet told about before; the packets
        // before first are unchanged.
        kAppended,
        // Packets that arrived late were sorted in before the end told about so far: the packets
        // before first are unchanged, those from first to last (the new count) are new or moved.
        kMerged,
        // The first `first` packets were removed and the others moved down by as many.
        kFrontTrimmed,
        // Every packet is gone.
        kReset,
    };
    Kind kind = Kind::kReset;
    size_t first = 0;
    size_t last = 0;

    bool operator==(const PacketChange&) const = default;
};
