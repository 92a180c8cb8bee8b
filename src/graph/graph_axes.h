// Grid lines and labels of the graph's four axes, computed from the view state so that a view
// only draws them: the value axes of the voltage, current and wattage graphs and the time axis.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graph/graph_model.h"

enum class ValueAxis { Voltage, Current, Wattage };

struct ValueAxisSteps {
    int32_t minor = 0;
    int32_t major = 0;
    int32_t base = 0;
};

// Steps by the value range that spans the graph height (graphHeight / scale).
ValueAxisSteps ValueStepsFor(ValueAxis axis, float scale, int graphHeight);
// The value step between labels; none when even the largest steps stand too close.
std::optional<int32_t> ValueLabelStep(ValueAxis axis, float scale, int graphHeight, int fontHeight);
// "%1.1fV", "%dmA" / "%1.1fA", "%dmW" / "%.1fW" of a value in mV, mA or mW.
std::string ValueLabel(ValueAxis axis, float scale, int graphHeight, int32_t value);

// Grid lines closer than this many pixels are thinned to a coarser step.
inline constexpr int kMinGridSpacing = 8;
// The smallest multiple of step of the series 1, 2, 5, 10, 20, 50 ... whose lines stand at
// least kMinGridSpacing pixels apart at scale (pixels per unit).
int64_t ThinnedGridStep(int64_t step, double scale);

struct AxisLine {
    int position = 0;  // y of a value line, x of a time line (window coordinates)
    int penWidth = 1;
    bool drawLine = false;
    std::string label;  // empty: no label
};

// Lines and labels of one value axis, in the order drawn (mirror lines of the current and
// wattage axes right after their positive line). axisSwitch: every minor line is drawn.
std::vector<AxisLine> ValueAxisLines(const GraphModel& model, ValueAxis axis, bool axisSwitch);

enum class TimeUnit { Microsecond, Millisecond, Second, Minute, Hour, Day };

struct TimeAxisSteps {
    int64_t grid = 1;   // µs
    int64_t label = 1;  // µs
    TimeUnit unit = TimeUnit::Microsecond;
};

// Steps by the time that 640 pixels cover at this scale.
TimeAxisSteps TimeStepsFor(float timeScale);
// "%lldus", "%1.0fms", "%llds", "%lldmin", "%lldh", "%lldday" of |t|, "-" before negative t.
std::string TimeLabel(int64_t t, TimeUnit unit);
// The label of grid time t: TimeLabel where t is a whole number of the unit; between whole
// units (labels every grid line of steps.grid) with the decimals the grid step needs, or in
// minutes where no decimal of the unit is exact, so that no two labels name the same time.
std::string GridTimeLabel(int64_t t, const TimeAxisSteps& steps);

// Grid lines of the time axis from leftTime to the right edge of the graph area. A walk that
// would take more than this many grid times (a scale of days per pixel) stops there.
inline constexpr int kMaxTimeGridLines = 100000;
std::vector<AxisLine> TimeAxisLines(const GraphModel& model, bool axisSwitch);
