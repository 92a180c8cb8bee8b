// Which controls of the export dialog are enabled, from its state.
#pragma once

#include "tools/export_options.h"
#include "tools/export_range.h"

// CSV alone uses the item radios and the value and column options; ZAZ and pcapng only the
// range.
struct ExportDialogState {
    bool exporting = false;  // an export runs (its timer is active)
    bool hasPackets = false;
    ExportType type = ExportType::kCsv;
    ExportItems items = ExportItems::kPdMessages;
    RangeKind fromKind = RangeKind::kCaptureEdge;
    RangeKind toKind = RangeKind::kCaptureEdge;
    bool fileNameEmpty = false;
    bool rangeValid = false;
};

struct ExportControlStates {
    bool valueOptions = false;  // the seven value check boxes
    bool visibleColumnsOnly = false;
    bool captureEdgeRadios = false;  // "Capture Top" and "Capture End"
    bool packetNumberRadios = false;
    bool markerRadios = false;
    bool typeRadios = false;
    bool pdMessagesItem = false;
    bool voltageCurrentItem = false;
    bool bothItem = false;
    bool fromEdit = false;
    bool fromCombo = false;
    bool toEdit = false;
    bool toCombo = false;
    bool fileButton = false;
    bool exportButton = false;
    bool abortButton = false;
};

ExportControlStates ComputeExportControls(const ExportDialogState& state);
