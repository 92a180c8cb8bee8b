#include "graph/marker_rules.h"

#include <cstdio>

#include "capture/sample_value_texts.h"
#include "capture/saturating_math.h"
#include "capture/stored_sample.h"
#include "columns/column_text.h"

namespace {

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

const char* MarkerName(GraphMarker marker) {
    return marker == GraphMarker::X ? "X" : "O";
}

}  // namespace

int64_t MarkerTime(const GraphViewState& state, GraphMarker marker) {
    return marker == GraphMarker::X ? state.markerXTime : state.markerOTime;
}

MarkerPlace PlaceMarker(const GraphModel& model, int64_t time) {
    const GraphLayout& layout = model.Geometry();
    MarkerPlace place;
    place.offset = TruncToInt(static_cast<float>(SaturatingSub(time, model.state.leftTime)) *
                              model.state.timeScale);
    if (place.offset < 0) {
        place.pin = MarkerPin::Left;
        place.lineX = layout.graphLeft;
    } else if (place.offset > layout.graphWidth) {
        place.pin = MarkerPin::Right;
        place.lineX = layout.graphLeft + layout.graphWidth;
    } else {
        place.lineX = layout.graphLeft + place.offset;
    }
    return place;
}

bool WithinReach(const GraphModel& model, int64_t markerTime, int mouseX) {
    const GraphLayout& layout = model.Geometry();
    const MarkerPlace place = PlaceMarker(model, markerTime);
    const int64_t distance = int64_t{mouseX} - layout.graphLeft - place.offset;
    if (distance >= -kMarkerReach && distance <= kMarkerReach) {
        return true;
    }
    switch (place.pin) {
        case MarkerPin::Left:
            return mouseX >= layout.graphLeft && mouseX <= layout.graphLeft + kMarkerReach;
        case MarkerPin::Right:
            return mouseX >= layout.graphLeft + layout.graphWidth - kMarkerReach &&
                   mouseX <= layout.graphLeft + layout.graphWidth;
        case MarkerPin::None:
            break;
    }
    return false;
}

GraphMarker HoveredMarker(const GraphModel& model, int mouseX) {
    if (WithinReach(model, model.state.markerXTime, mouseX)) {
        return GraphMarker::X;
    }
    if (WithinReach(model, model.state.markerOTime, mouseX)) {
        return GraphMarker::O;
    }
    return GraphMarker::None;
}

std::string MarkerLabel(GraphMarker marker, MarkerPin pin) {
    const std::string label = std::string(" ") + MarkerName(marker) + " ";
    switch (pin) {
        case MarkerPin::Left:
            return " <<" + label;
        case MarkerPin::Right:
            return label + " >>";
        case MarkerPin::None:
            break;
    }
    return label;
}

std::vector<ReadoutLine> MarkerReadout(const DocumentSnapshot& document,
                                       const GraphViewState& state,
                                       const GraphAppearance& appearance, GraphMarker marker) {
    std::vector<ReadoutLine> lines;
    const std::optional<size_t> index = document.FindSample(MarkerTime(state, marker));
    if (!index) {
        return lines;
    }
    const CVbusInfo sample = UnpackSample(document.samples.At(*index));
    const bool reverse = state.reverseCurrent;
    const GraphColour header =
        marker == GraphMarker::X ? GraphColour::MarkerX : GraphColour::MarkerO;
    lines.push_back({" " + std::string(MarkerName(marker)) + " " +
                         FormatTime(SaturatingSub(sample.time, document.timeOrigin)) + " ",
                     appearance.StoredColour(header)});
    lines.push_back({" VBUS Voltage=" + VBusVoltageText(sample) + "[V] ",
                     appearance.StoredColour(GraphColour::VBusVol)});
    lines.push_back({" VBUS Current=" + VBusCurrentText(sample, reverse) + "[A] ",
                     appearance.StoredColour(GraphColour::VBusCurr)});
    lines.push_back({" VBUS Wattage=" + VBusWattageText(sample, reverse) + "[W] ",
                     appearance.StoredColour(GraphColour::VBusWatt)});
    lines.push_back({" CC1 Voltage=" + CcVoltageText(sample, CcLine::Cc1) + "[V] ",
                     appearance.StoredColour(GraphColour::CC1Vol)});
    lines.push_back({" CC2 Voltage=" + CcVoltageText(sample, CcLine::Cc2) + "[V] ",
                     appearance.StoredColour(GraphColour::CC2Vol)});
    return lines;
}

CursorTexts CursorReadouts(const GraphModel& model, bool mouseInside, int64_t cursorTime, int y) {
    CursorTexts texts;
    if (!mouseInside) {
        return texts;
    }
    const GraphViewState& state = model.state;
    const GraphLayout& layout = model.Geometry();
    texts.time = FormatTime(cursorTime);
    if (state.showVoltGraph && layout.voltBand.Contains(y)) {
        const float volts = static_cast<float>(layout.yV0 - y) / state.voltScale / 1000.0f;
        texts.voltage = Printf("V=%2.2f[V]", volts);
    }
    if (state.showCurrGraph && layout.currBand.Contains(y)) {
        const int rows = state.invertCurrent ? y - layout.yI0 : layout.yI0 - y;
        texts.current = Printf("I=%1.3f[A]", static_cast<float>(rows) / state.currScale / 1000.0f);
    }
    if (state.showWattGraph && layout.wattBand.Contains(y)) {
        const int rows = state.invertCurrent ? y - layout.yW0 : layout.yW0 - y;
        texts.power = Printf("P=%.3f[W]", static_cast<float>(rows) / state.wattScale / 1000.0f);
    }
    return texts;
}

bool InGraphArea(const GraphLayout& layout, int x, int y) {
    return x >= layout.graphLeft && x < layout.graphLeft + layout.graphWidth &&
           y >= layout.graphTop && y < layout.GraphBottom();
}

bool InGraphAreaWithEdges(const GraphLayout& layout, int x, int y) {
    return x >= layout.graphLeft && x <= layout.graphLeft + layout.graphWidth &&
           y >= layout.graphTop && y <= layout.GraphBottom();
}
