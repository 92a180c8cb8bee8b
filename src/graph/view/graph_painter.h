// The graph's drawing: areas, bands, vRd bands, the PD strip, axes, packet bars, traces,
// markers O and X, the zoom rectangle and the cursor into the frame area, and the measurement
// lines under the graph. Everything it draws comes from the graph core; this only paints.
#pragma once

#include <QPainter>
#include <QPoint>
#include <cstddef>
#include <cstdint>

#include "capture/document_snapshot.h"
#include "graph/graph_model.h"
#include "graph/marker_rules.h"
#include "graph/packet_bars.h"
#include "settings/graph_appearance.h"

enum class Decimation { Fast, Reference };

// One paint's inputs; the model is laid out for the window.
struct GraphScene {
    const GraphModel& model;
    const GraphAppearance& appearance;
    const DocumentSnapshot& document;
    PacketHighlights highlights;
    GraphMarker hoverMarker = GraphMarker::None;
    bool mouseInside = false;
    QPoint mouse;
    bool zoomRectangle = false;  // right button held
    QPoint zoomStart;
    CursorTexts cursor;
    Decimation decimation = Decimation::Fast;
};

QColor ToQColor(RgbColour colour);

// Steps 1-13 of the graph drawing in window coordinates, with the painter's font as the graph
// font.
void PaintGraph(QPainter& painter, const GraphScene& scene);
// The measurement lines, straight into the measurement area.
void PaintMeasurements(QPainter& painter, const GraphScene& scene);
