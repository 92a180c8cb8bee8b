#include "columns/document_context.h"

#include "capture/document.h"
#include "capture/document_snapshot.h"
#include "capture/stored_sample.h"
#include "pd/electrical_readings.h"

SampleLookup DocumentSampleLookup(const CKVDoc& doc) {
    return [&doc](int64_t relTime) -> std::optional<PacketVbusValues> {
        const std::optional<CVbusInfo> sample = doc.SampleAtOrBefore(relTime);
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
    context.timeOrigin = doc.TimeOrigin();
    context.reverseCurrent = reverseCurrent;
    context.samples = DocumentSampleLookup(doc);
    return context;
}

ColumnContext SnapshotColumnContext(const DocumentSnapshot& snapshot, bool reverseCurrent) {
    ColumnContext context;
    context.timeOrigin = snapshot.timeOrigin;
    context.reverseCurrent = reverseCurrent;
    context.samples = [&snapshot](int64_t relTime) -> std::optional<PacketVbusValues> {
        const std::optional<size_t> index = snapshot.FindSample(relTime - snapshot.timeOrigin);
        if (!index) {
            return std::nullopt;
        }
        PacketVbusValues values;
        CopyElectricalReadings(snapshot.samples.At(*index), values);
        return values;
    };
    return context;
}
