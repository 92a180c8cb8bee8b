#include "pd/columns/document_context.h"

#include <mutex>

#include "capture/document.h"
#include "pd/electrical_readings.h"

SampleLookup DocumentSampleLookup(const CKVDoc& doc) {
    return [&doc](int64_t relTime) -> std::optional<PacketVbusValues> {
        std::lock_guard lock(doc.Mutex());
        const std::optional<size_t> index = doc.FindSample(relTime - doc.TimeOrigin());
        if (!index) {
            return std::nullopt;
        }
        const std::optional<CVbusInfo> sample = doc.SampleAt(*index);
        if (!sample) {
            return std::nullopt;
        }
        PacketVbusValues values;
        CopyElectricalReadings(*sample, values);
        return values;
    };
}

ColumnContext DocumentColumnContext(const CKVDoc& doc, bool reverseCurrent) {
    ColumnContext context;
    {
        std::lock_guard lock(doc.Mutex());
        context.timeOrigin = doc.TimeOrigin();
    }
    context.reverseCurrent = reverseCurrent;
    context.samples = DocumentSampleLookup(doc);
    return context;
}
