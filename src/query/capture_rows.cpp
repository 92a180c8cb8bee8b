#include "query/capture_rows.h"

#include "columns/document_context.h"
#include "columns/idle_time.h"
#include "pd/packet_column.h"

void PrepareCaptureRows(CaptureRows& rows, bool reverseCurrent) {
    rows.context = DocumentColumnContext(rows.doc, reverseCurrent);
    rows.idleTimes = IdleTimes(rows.doc.Packets(), rows.context.timeOrigin);
}

std::vector<std::string> RowTexts(const CaptureRows& rows, size_t i) {
    std::vector<std::string> texts;
    texts.reserve(kPacketColumnCount);
    const PacketRow row = rows.Row(i);
    for (int column = 0; column < kPacketColumnCount; ++column) {
        texts.push_back(ColumnText(row, column, rows.context));
    }
    return texts;
}
