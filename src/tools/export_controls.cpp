#include "tools/export_controls.h"

ExportControlStates ComputeExportControls(const ExportDialogState& state) {
    ExportControlStates c;
    if (state.exporting) {
        c.abortButton = true;
        return c;
    }
    c.fileButton = true;
    c.captureEdgeRadios = true;
    c.markerRadios = true;
    c.typeRadios = true;
    c.packetNumberRadios = state.hasPackets;
    if (state.type == ExportType::kCsv) {
        c.voltageCurrentItem = true;
        c.pdMessagesItem = state.hasPackets;
        c.bothItem = state.hasPackets;
        c.visibleColumnsOnly = state.hasPackets && IncludesPackets(state.items);
        c.valueOptions = IncludesSamples(state.items);
    }
    c.fromEdit = state.fromKind == RangeKind::kPacketNumber;
    c.fromCombo = state.fromKind == RangeKind::kMarker;
    c.toEdit = state.toKind == RangeKind::kPacketNumber;
    c.toCombo = state.toKind == RangeKind::kMarker;
    c.exportButton = !state.fileNameEmpty && state.rangeValid;
    return c;
}
