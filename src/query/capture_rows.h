// A decoded capture with what the column texts of its packets read: the column context (time
// origin, current direction, sample lookup) and the idle time of every packet as the message
// list computes it (over every packet, shown or hidden). After PrepareCaptureRows nothing
// writes it, so any number of threads may read it at once.
#pragma once

#include <cstdint>
#include <vector>

#include "capture/document.h"
#include "columns/column_text.h"
#include "columns/packet_row.h"

struct CaptureRows {
    CKVDoc doc;
    ColumnContext context;
    std::vector<int64_t> idleTimes;

    // Packet i with its number and idle time.
    PacketRow Row(size_t i) const {
        return {doc.Packets()[i].get(), static_cast<int32_t>(i), idleTimes[i]};
    }
};

// Takes the context (currents negated with reverseCurrent) and the idle times of rows.doc.
void PrepareCaptureRows(CaptureRows& rows, bool reverseCurrent);

// The 38 column texts of row i.
std::vector<std::string> RowTexts(const CaptureRows& rows, size_t i);
