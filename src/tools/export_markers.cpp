#include "tools/export_markers.h"

#include "capture/document.h"
#include "columns/column_text.h"

void InsertExportMarker(std::vector<ExportMarker>& markers, const ExportMarker& marker) {
    auto at = markers.begin();
    while (at != markers.end() && at->time < marker.time) {
        ++at;
    }
    if (at == markers.end() && markers.size() >= kMaxExportMarkers) {
        return;
    }
    markers.insert(at, marker);
    if (markers.size() > kMaxExportMarkers) {
        markers.pop_back();
    }
}

char ExportMarkerLetter(ExportMarkerKind kind) {
    switch (kind) {
        case ExportMarkerKind::kA:
            return 'A';
        case ExportMarkerKind::kB:
            return 'B';
        case ExportMarkerKind::kO:
            return 'O';
        case ExportMarkerKind::kX:
            return 'X';
        case ExportMarkerKind::kY:
            break;
    }
    return 'Y';
}

std::string ExportMarkerText(const ExportMarker& marker) {
    return std::string("Marker ") + ExportMarkerLetter(marker.kind) + " (" +
           FormatTime(marker.time) + ")";
}

std::vector<ExportMarker> CollectExportMarkers(const CKVDoc& doc, const GraphMarkerTimes& graph) {
    std::vector<ExportMarker> markers;
    if (const PacketPtr& a = doc.MarkerA()) {
        InsertExportMarker(markers, {a->relTime - doc.TimeOrigin(), ExportMarkerKind::kA});
    }
    if (const PacketPtr& b = doc.MarkerB()) {
        InsertExportMarker(markers, {b->relTime - doc.TimeOrigin(), ExportMarkerKind::kB});
    }
    InsertExportMarker(markers, {graph.markerO, ExportMarkerKind::kO});
    InsertExportMarker(markers, {graph.markerX, ExportMarkerKind::kX});
    return markers;
}

GraphMarkerTimes StoredGraphMarkers(const CKVDoc& doc) {
    auto graphTime = [&doc](int64_t saved) { return saved == -1 ? 0 : saved - doc.TimeOrigin(); };
    return {graphTime(doc.GraphMarkerOTime()), graphTime(doc.GraphMarkerXTime())};
}

GraphMarkerTimes CurrentGraphMarkers(const CKVDoc& doc) {
    return doc.ShownGraphMarkers().value_or(StoredGraphMarkers(doc));
}
