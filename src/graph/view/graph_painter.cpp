#include "graph/view/graph_painter.h"

#include <QFontMetrics>
#include <QLine>
#include <QVector>
#include <algorithm>
#include <array>

#include "graph/graph_axes.h"
#include "graph/measurement_text.h"
#include "graph/trace_decimation.h"
#include "graph/view/graph_text.h"
#include "graph/vrd_bands.h"

namespace {

// One text line under the other: the font's full line height, which is more than the pixel
// size a font is chosen by; lines a pixel size apart overlap.
int LineStep(const QPainter& painter, const GraphViewState& state) {
    return std::max(state.fontHeight, QFontMetrics(painter.font()).height());
}

constexpr QColor kMeasurementGrey(150, 150, 150);
constexpr QColor kMarkerALine(255, 128, 0);
constexpr QColor kMarkerBLine(255, 0, 128);

QRect ToQRect(const GraphRect& rect) {
    return {rect.left, rect.top, rect.Width(), rect.Height()};
}

QColor Colour(const GraphScene& scene, GraphColour colour) {
    return ToQColor(scene.appearance.Colour(colour));
}

bool On(const GraphScene& scene, GraphSwitch graphSwitch) {
    return scene.appearance.IsOn(graphSwitch);
}

// The rows of a band across the graph width.
void FillBand(QPainter& painter, const GraphLayout& layout, const GraphBand& band,
              const QColor& colour) {
    painter.fillRect(QRect(layout.graphLeft, band.top, layout.graphWidth, band.bottom - band.top),
                     colour);
}

void PaintBands(QPainter& painter, const GraphScene& scene) {
    const GraphViewState& state = scene.model.state;
    const GraphLayout& layout = scene.model.Geometry();
    if (state.showCurrGraph && !layout.IsEmpty(layout.currBand) && On(scene, GraphSwitch::CurrBG)) {
        FillBand(painter, layout, layout.currBand, Colour(scene, GraphColour::CurrBG));
    }
    if (state.showVoltGraph && !layout.IsEmpty(layout.voltBand)) {
        if (On(scene, GraphSwitch::VolBG)) {
            FillBand(painter, layout, layout.voltBand, Colour(scene, GraphColour::VolBG));
        }
        for (const VrdBand& band : VrdBands(scene.model, scene.appearance)) {
            const QColor fill = Colour(scene, band.colour);
            painter.fillRect(QRect(layout.graphLeft, band.top, layout.graphWidth, band.height),
                             fill);
            if (band.labelled) {
                DrawLabel(painter, layout.graphLeft, band.top + band.height, TextAlignX::Left,
                          TextAlignY::Bottom, QString::fromLatin1(band.label),
                          Colour(scene, GraphColour::VBusVol), fill);
            }
        }
    }
    if (state.showWattGraph && !layout.IsEmpty(layout.wattBand) && On(scene, GraphSwitch::WattBG)) {
        FillBand(painter, layout, layout.wattBand, Colour(scene, GraphColour::WattBG));
    }
    const GraphBand& pd = layout.pdBand;
    const bool overlaps = pd.bottom > layout.graphTop && pd.top < layout.GraphBottom();
    if (state.showPdPackets && overlaps && On(scene, GraphSwitch::PDBG)) {
        FillBand(painter, layout, pd, Colour(scene, GraphColour::PDBG));
    }
}

void PaintTimeAxis(QPainter& painter, const GraphScene& scene) {
    const GraphLayout& layout = scene.model.Geometry();
    const QColor graph = Colour(scene, GraphColour::Graph);
    const QColor axis = Colour(scene, GraphColour::TimeAxis);
    painter.fillRect(ToQRect(layout.timeLabelStrip), graph);
    painter.save();
    // The labels of the first and last lines stand half outside the graph, in the frame.
    painter.setClipRect(QRect(QPoint(layout.frameArea.left, layout.graphTop - kTimeLabelStrip),
                              QPoint(layout.frameArea.right, layout.GraphBottom())));
    AxisLabels labels;
    for (const AxisLine& line : TimeAxisLines(scene.model, On(scene, GraphSwitch::TimeAxis))) {
        if (line.drawLine) {
            painter.setPen(QPen(axis, 1));
            painter.drawLine(line.position, layout.graphTop, line.position, layout.GraphBottom());
        }
        labels.Draw(painter, line.position, layout.graphTop - 1, TextAlignX::Centre,
                    TextAlignY::Bottom, QString::fromStdString(line.label), axis, graph);
    }
    painter.restore();
}

void PaintValueAxis(QPainter& painter, const GraphScene& scene, ValueAxis axis) {
    const GraphLayout& layout = scene.model.Geometry();
    const GraphBand* band = &layout.voltBand;
    GraphColour lineColour = GraphColour::VolAxis;
    GraphColour labelColour = GraphColour::VolAxis;
    GraphSwitch axisSwitch = GraphSwitch::VolAxis;
    int labelX = layout.graphLeft - 1;
    TextAlignX alignX = TextAlignX::Right;
    if (axis == ValueAxis::Current) {
        band = &layout.currBand;
        lineColour = labelColour = GraphColour::CurrAxis;
        axisSwitch = GraphSwitch::CurrAxis;
        labelX = layout.graphLeft + layout.graphWidth + 1;
        alignX = TextAlignX::Left;
    } else if (axis == ValueAxis::Wattage) {
        band = &layout.wattBand;
        lineColour = GraphColour::WattAxis;
        labelColour = GraphColour::VBusWatt;
        axisSwitch = GraphSwitch::WattAxis;
    }
    painter.save();
    painter.setClipRect(QRect(0, band->top, layout.windowWidth, band->bottom - band->top));
    const QColor lineQColour = Colour(scene, lineColour);
    const QColor labelQColour = Colour(scene, labelColour);
    const QColor graph = Colour(scene, GraphColour::Graph);
    AxisLabels labels(band->top, band->bottom);
    for (const AxisLine& line : ValueAxisLines(scene.model, axis, On(scene, axisSwitch))) {
        if (line.drawLine) {
            painter.setPen(QPen(lineQColour, line.penWidth, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(layout.graphLeft, line.position,
                             layout.graphLeft + layout.graphWidth - 1, line.position);
        }
        labels.Draw(painter, labelX, line.position, alignX, TextAlignY::Baseline,
                    QString::fromStdString(line.label), labelQColour, graph);
    }
    painter.restore();
}

void PaintPacketBars(QPainter& painter, const GraphScene& scene) {
    const GraphLayout& layout = scene.model.Geometry();
    painter.save();
    painter.setClipRect(ToQRect(layout.GraphArea()));
    const int barTop = layout.pdBand.top;
    const PacketBarInput input{scene.model.state, layout, scene.document, scene.highlights};
    for (const PacketBar& bar : PlacePacketBars(input)) {
        const QColor colour = ToQColor(bar.colour);
        painter.fillRect(QRect(bar.left, barTop, bar.width, kPdBarHeight), colour);
        DrawLabel(painter, bar.left, barTop, TextAlignX::Left, TextAlignY::Bottom,
                  QString::fromStdString(bar.label), Qt::black, colour);
        if (bar.flag != BarFlag::None) {
            painter.setPen(QPen(colour, 1));
            painter.drawLine(bar.left, bar.flagTop, bar.left, barTop);
            DrawLabel(painter, bar.left, bar.flagTop, TextAlignX::Left, TextAlignY::Top,
                      QString::fromStdString(bar.flagLabel), Qt::black, colour);
        }
    }
    painter.restore();
}

struct TracePen {
    GraphColour colour;
    GraphLineWidth width;
};

TracePen PenOf(TraceKind trace) {
    switch (trace) {
        case TraceKind::VBusVol:
            return {GraphColour::VBusVol, GraphLineWidth::VBusVol};
        case TraceKind::VBusCurr:
            return {GraphColour::VBusCurr, GraphLineWidth::VBusCurr};
        case TraceKind::CC1Vol:
            return {GraphColour::CC1Vol, GraphLineWidth::CC1Vol};
        case TraceKind::CC1Curr:
            return {GraphColour::CC1Curr, GraphLineWidth::CC1Curr};
        case TraceKind::CC2Vol:
            return {GraphColour::CC2Vol, GraphLineWidth::CC2Vol};
        case TraceKind::CC2Curr:
            return {GraphColour::CC2Curr, GraphLineWidth::CC2Curr};
        case TraceKind::VBusWatt:
            return {GraphColour::VBusWatt, GraphLineWidth::VBusWatt};
        case TraceKind::CC1Watt:
            return {GraphColour::CC1Watt, GraphLineWidth::CC1Watt};
        case TraceKind::CC2Watt:
            break;
    }
    return {GraphColour::CC2Watt, GraphLineWidth::CC2Watt};
}

QPoint ToQPoint(const TracePoint& point) {
    return {point.x, point.y};
}

// The polyline as the segments it covers: each pixel column's vertical span and the lines
// between columns. With round caps their union is the polyline's pixels whatever the order of
// the points within a column, so two decimations with the same spans paint the same image.
QVector<QLine> TraceSegments(const TraceDrawing& drawing) {
    QVector<QLine> segments;
    const std::vector<TracePoint>& points = drawing.polyline;
    size_t columnStart = 0;
    for (size_t i = 0; i <= points.size(); ++i) {
        if (i < points.size() && points[i].x == points[columnStart].x) {
            continue;
        }
        if (columnStart < points.size()) {
            int top = points[columnStart].y;
            int bottom = top;
            for (size_t k = columnStart; k < i; ++k) {
                top = std::min(top, points[k].y);
                bottom = std::max(bottom, points[k].y);
            }
            const int x = points[columnStart].x;
            segments.append(QLine(x, top, x, bottom));
        }
        if (i < points.size() && i > 0) {
            segments.append(QLine(ToQPoint(points[i - 1]), ToQPoint(points[i])));
        }
        columnStart = i;
    }
    return segments;
}

void PaintTraces(QPainter& painter, const GraphScene& scene) {
    if (scene.document.samples.Empty()) {
        return;
    }
    const GraphLayout& layout = scene.model.Geometry();
    painter.save();
    painter.setClipRect(ToQRect(layout.GraphArea()));
    painter.setBrush(Qt::NoBrush);
    const TraceInput input{scene.model.state, layout, scene.document};
    for (TraceKind trace : kTraceDrawOrder) {
        if (!IsTraceDrawn(scene.model.state, trace)) {
            continue;
        }
        const TraceDrawing drawing = scene.decimation == Decimation::Fast
                                         ? DecimateTrace(input, trace)
                                         : DecimateTraceReference(input, trace);
        const TracePen tracePen = PenOf(trace);
        const QColor colour = Colour(scene, tracePen.colour);
        const int width = std::max(1, scene.appearance.LineWidth(tracePen.width));
        const QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawLines(TraceSegments(drawing));
        for (const TracePoint& point : drawing.measuringPoints) {
            painter.drawEllipse(QRect(point.x - 2, point.y - 2, 5, 5));
        }
        painter.setPen(QPen(colour, width + 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        for (const TracePoint& point : drawing.peakMarks) {
            painter.drawRect(QRect(point.x - 3, point.y - 3, 6, 6));
        }
    }
    painter.restore();
}

void PaintMarker(QPainter& painter, const GraphScene& scene, GraphMarker marker) {
    const GraphModel& model = scene.model;
    const GraphLayout& layout = model.Geometry();
    const bool hovered = scene.hoverMarker == marker;
    const QColor colour =
        Colour(scene, marker == GraphMarker::X ? GraphColour::MarkerX : GraphColour::MarkerO);
    const MarkerPlace place = PlaceMarker(model, MarkerTime(model.state, marker));
    painter.save();
    painter.setClipRect(ToQRect(layout.GraphArea()));
    if (place.pin == MarkerPin::None || hovered) {
        painter.setPen(
            QPen(colour, hovered ? kHoveredMarkerPen : kMarkerPen, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(place.lineX, layout.graphTop, place.lineX, layout.GraphBottom());
    }
    const QString label = QString::fromStdString(MarkerLabel(marker, place.pin));
    const TextAlignX labelAlign =
        place.pin == MarkerPin::Right ? TextAlignX::Right : TextAlignX::Left;
    DrawLabel(painter, place.lineX, layout.GraphBottom(), labelAlign, TextAlignY::Bottom, label,
              Qt::black, colour);
    if (hovered) {
        const std::vector<ReadoutLine> lines =
            MarkerReadout(scene.document, model.state, scene.appearance, marker);
        const bool left = place.lineX < layout.graphLeft + layout.graphWidth / 2;
        int y = layout.graphTop + kReadoutTopGap;
        for (size_t i = 0; i < lines.size(); ++i) {
            int x = place.lineX;
            if (i > 0) {
                x += left ? 3 : -1;
            }
            DrawLabel(painter, x, y, left ? TextAlignX::Left : TextAlignX::Right, TextAlignY::Top,
                      QString::fromStdString(lines[i].text), Qt::black,
                      ToQColor(ColourFromSetting(lines[i].background)));
            y += LineStep(painter, model.state) + kReadoutLineGap;
        }
    }
    painter.restore();
}

void PaintCursor(QPainter& painter, const GraphScene& scene) {
    const GraphLayout& layout = scene.model.Geometry();
    const QColor cursor = Colour(scene, GraphColour::Cursor);
    const int x = scene.mouse.x();
    const int y = scene.mouse.y();
    painter.setPen(QPen(cursor, 1));
    painter.drawLine(layout.graphLeft, y, layout.graphLeft + layout.graphWidth - 1, y);
    painter.drawLine(x, layout.graphTop, x, layout.GraphBottom() - 1);
    if (scene.hoverMarker == GraphMarker::None) {
        DrawLabel(painter, x, layout.graphTop + 5, TextAlignX::Centre, TextAlignY::Top,
                  QString::fromStdString(scene.cursor.time), Colour(scene, GraphColour::TimeAxis),
                  cursor);
    }
    DrawLabel(painter, layout.graphLeft + 5, y, TextAlignX::Left, TextAlignY::Bottom,
              QString::fromStdString(scene.cursor.voltage), Colour(scene, GraphColour::VBusVol),
              cursor);
    DrawLabel(painter, layout.graphLeft + layout.graphWidth - 5, y, TextAlignX::Right,
              TextAlignY::Bottom, QString::fromStdString(scene.cursor.current),
              Colour(scene, GraphColour::VBusCurr), cursor);
    DrawLabel(painter, layout.graphLeft + 5, y, TextAlignX::Left, TextAlignY::Top,
              QString::fromStdString(scene.cursor.power), Colour(scene, GraphColour::VBusWatt),
              cursor);
}

std::optional<int64_t> GraphTimeOf(const CCCPacket* packet, int64_t timeOrigin) {
    if (packet == nullptr) {
        return std::nullopt;
    }
    return packet->relTime - timeOrigin;
}

}  // namespace

QColor ToQColor(RgbColour colour) {
    return {colour.red, colour.green, colour.blue};
}

void PaintGraph(QPainter& painter, const GraphScene& scene) {
    const GraphViewState& state = scene.model.state;
    const GraphLayout& layout = scene.model.Geometry();
    painter.fillRect(ToQRect(layout.frameArea), Colour(scene, GraphColour::Graph));
    painter.fillRect(ToQRect(layout.GraphArea()), Colour(scene, GraphColour::GraphBG));
    PaintBands(painter, scene);
    PaintTimeAxis(painter, scene);
    if (state.showVoltGraph) {
        PaintValueAxis(painter, scene, ValueAxis::Voltage);
    }
    if (state.showCurrGraph) {
        PaintValueAxis(painter, scene, ValueAxis::Current);
    }
    if (state.showWattGraph) {
        PaintValueAxis(painter, scene, ValueAxis::Wattage);
    }
    if (state.showPdPackets) {
        PaintPacketBars(painter, scene);
    }
    PaintTraces(painter, scene);
    PaintMarker(painter, scene, GraphMarker::O);
    PaintMarker(painter, scene, GraphMarker::X);
    if (scene.zoomRectangle) {
        painter.setPen(QPen(Colour(scene, GraphColour::Cursor), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(scene.zoomStart, scene.mouse).normalized());
    } else if (state.cursorEnabled && scene.mouseInside) {
        PaintCursor(painter, scene);
    }
}

void PaintMeasurements(QPainter& painter, const GraphScene& scene) {
    const GraphViewState& state = scene.model.state;
    const GraphRect& area = scene.model.Geometry().measurementArea;
    painter.save();
    painter.setClipRect(ToQRect(area));
    painter.fillRect(ToQRect(area), kMeasurementGrey);
    MeasurementInput input;
    input.markerOTime = state.markerOTime;
    input.markerXTime = state.markerXTime;
    input.markerATime = GraphTimeOf(scene.highlights.markerA, scene.document.timeOrigin);
    input.markerBTime = GraphTimeOf(scene.highlights.markerB, scene.document.timeOrigin);
    input.showEnergy = state.showWattGraph;
    input.reverseCurrent = state.reverseCurrent;
    int y = area.top;
    for (const MeasurementLine& line : MeasurementLines(scene.document, input)) {
        QColor colour = Colour(scene, GraphColour::MarkerX);
        if (line.colour == MeasurementColour::MarkerA) {
            colour = kMarkerALine;
        } else if (line.colour == MeasurementColour::MarkerB) {
            colour = kMarkerBLine;
        }
        DrawLabel(painter, 0, y, TextAlignX::Left, TextAlignY::Top,
                  QString::fromStdString(line.text), colour, kMeasurementGrey);
        y += LineStep(painter, state);
    }
    painter.restore();
}
