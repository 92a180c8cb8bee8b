// The markers an export range can start or end at: at most five, sorted by time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CKVDoc;
struct GraphMarkerTimes;

enum class ExportMarkerKind : int {
    kA = 1,
    kB = 2,
    kO = 3,
    kX = 4,
    kY = 5,
};

struct ExportMarker {
    int64_t time = 0;  // relative to the time origin
    ExportMarkerKind kind = ExportMarkerKind::kA;
};

inline constexpr size_t kMaxExportMarkers = 5;

// Inserts before the first entry whose time is >= the marker's; an entry pushed past the
// fifth place is lost, and with five entries and none later the marker is dropped.
void InsertExportMarker(std::vector<ExportMarker>& markers, const ExportMarker& marker);

// "Marker A ( 1s 500ms   0us)" and the like.
std::string ExportMarkerText(const ExportMarker& marker);

// The letter of a kind: 'A', 'B', 'O', 'X' or 'Y'.
char ExportMarkerLetter(ExportMarkerKind kind);

// Marker A and B of the document when set, then the graph's Marker O and X.
std::vector<ExportMarker> CollectExportMarkers(const CKVDoc& doc, const GraphMarkerTimes& graph);

// The graph markers as stored with the document, as the graph restores them: the saved time
// minus the origin, or 0 when none was saved.
GraphMarkerTimes StoredGraphMarkers(const CKVDoc& doc);
// Where an export range can reach: the graph's markers as it shows them (moved, or set during a
// live capture), the stored ones when no graph shows the document.
GraphMarkerTimes CurrentGraphMarkers(const CKVDoc& doc);
