#include "graph/vrd_bands.h"

#include "capture/saturating_math.h"

namespace {

struct VrdRange {
    int lower;  // mV
    int upper;
    const char* label;
    GraphColour colour;
    GraphSwitch enable;
};

constexpr VrdRange kRanges[] = {
    {250, 610, "vRd-USB", GraphColour::VRdUSB, GraphSwitch::VRdUSBBG},
    {700, 1160, "vRd-1.5", GraphColour::VRd15, GraphSwitch::VRd15BG},
    {1310, 2040, "vRd-3.0", GraphColour::VRd30, GraphSwitch::VRd30BG},
};

}  // namespace

std::vector<VrdBand> VrdBands(const GraphModel& model, const GraphAppearance& appearance) {
    const GraphViewState& state = model.state;
    const GraphLayout& layout = model.Geometry();
    std::vector<VrdBand> bands;
    if (!state.showVoltGraph || layout.IsEmpty(layout.voltBand) ||
        !(state.traceCC1Vol || state.traceCC2Vol)) {
        return bands;
    }
    for (const VrdRange& range : kRanges) {
        if (!appearance.IsOn(range.enable)) {
            continue;
        }
        VrdBand band;
        band.top = layout.yV0 - TruncToInt(state.voltScale * static_cast<float>(range.upper));
        band.height = TruncToInt(state.voltScale * static_cast<float>(range.upper - range.lower));
        band.label = range.label;
        band.labelled = band.height > kVrdLabelMinHeight;
        band.colour = range.colour;
        bands.push_back(band);
    }
    return bands;
}
