#include "graph/graph_axes.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "capture/saturating_math.h"

namespace {

constexpr int64_t kMs = 1000;
constexpr int64_t kSecond = 1000 * kMs;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = 24 * kHour;

int32_t RangeLimit(ValueAxis axis) {
    switch (axis) {
        case ValueAxis::Voltage:
            return 80'000;
        case ValueAxis::Current:
            return 6000;
        case ValueAxis::Wattage:
            return 240'000;
    }
    return 0;
}

float ScaleOf(const GraphViewState& s, ValueAxis axis) {
    switch (axis) {
        case ValueAxis::Voltage:
            return s.voltScale;
        case ValueAxis::Current:
            return s.currScale;
        case ValueAxis::Wattage:
            return s.wattScale;
    }
    return 0;
}

int64_t UnitLength(TimeUnit unit) {
    switch (unit) {
        case TimeUnit::Microsecond:
            return 1;
        case TimeUnit::Millisecond:
            return kMs;
        case TimeUnit::Second:
            return kSecond;
        case TimeUnit::Minute:
            return kMinute;
        case TimeUnit::Hour:
            return kHour;
        case TimeUnit::Day:
            return kDay;
    }
    return 1;
}

const char* UnitSuffix(TimeUnit unit) {
    switch (unit) {
        case TimeUnit::Microsecond:
            return "us";
        case TimeUnit::Millisecond:
            return "ms";
        case TimeUnit::Second:
            return "s";
        case TimeUnit::Minute:
            return "min";
        case TimeUnit::Hour:
            return "h";
        case TimeUnit::Day:
            return "day";
    }
    return "";
}

uint64_t Pow10(int exponent) {
    uint64_t value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

std::string Printf(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

ValueAxisSteps ValueStepsFor(ValueAxis axis, float scale, int graphHeight) {
    float r = static_cast<float>(graphHeight) / scale;
    switch (axis) {
        case ValueAxis::Voltage:
            return r < 5000 ? ValueAxisSteps{100, 500, 100} : ValueAxisSteps{1000, 5000, 1000};
        case ValueAxis::Current:
            if (r < 1000) {
                return {10, 50, 10};
            }
            return scale < 0.03f ? ValueAxisSteps{500, 500, 500} : ValueAxisSteps{100, 500, 100};
        case ValueAxis::Wattage:
            if (r < 1000) {
                return {10, 50, 10};
            }
            if (scale < 0.002f) {
                return {5000, 5000, 5000};
            }
            return scale < 0.03f ? ValueAxisSteps{1000, 5000, 1000} : ValueAxisSteps{100, 500, 100};
    }
    return {};
}

std::optional<int32_t> ValueLabelStep(ValueAxis axis, float scale, int graphHeight,
                                      int fontHeight) {
    ValueAxisSteps steps = ValueStepsFor(axis, scale, graphHeight);
    auto tallEnough = [&](int32_t step, int i) {
        return TruncToInt(static_cast<float>(step) * scale * static_cast<float>(i)) > fontHeight;
    };
    if (tallEnough(axis == ValueAxis::Voltage ? steps.minor : steps.base, 1)) {
        return axis == ValueAxis::Voltage ? steps.minor : steps.base;
    }
    // Multiples of the major step up to the axis range: a band squeezed by the window still
    // gets a label above its zero line.
    for (int i = 1; i < 50 && i * steps.major <= RangeLimit(axis); ++i) {
        if (tallEnough(steps.major, i)) {
            return i * steps.major;
        }
    }
    return std::nullopt;
}

std::string ValueLabel(ValueAxis axis, float scale, int graphHeight, int32_t value) {
    float r = static_cast<float>(graphHeight) / scale;
    switch (axis) {
        case ValueAxis::Voltage:
            return Printf("%1.1fV", static_cast<double>(static_cast<float>(value) / 1000));
        case ValueAxis::Current:
            return r < 1000
                       ? std::to_string(value) + "mA"
                       : Printf("%1.1fA", static_cast<double>(static_cast<float>(value) / 1000));
        case ValueAxis::Wattage:
            return r < 1000
                       ? std::to_string(value) + "mW"
                       : Printf("%.1fW", static_cast<double>(static_cast<float>(value) / 1000));
    }
    return {};
}

int64_t ThinnedGridStep(int64_t step, double scale) {
    if (step <= 0 || !(scale > 0)) {
        return step;
    }
    constexpr int64_t kFactors[] = {1, 2, 5};
    for (int64_t decade = 1; decade <= INT64_MAX / 50 / step; decade *= 10) {
        for (int64_t factor : kFactors) {
            const int64_t candidate = step * factor * decade;
            if (static_cast<double>(candidate) * scale >= kMinGridSpacing) {
                return candidate;
            }
        }
    }
    return step;
}

std::vector<AxisLine> ValueAxisLines(const GraphModel& model, ValueAxis axis, bool axisSwitch) {
    const GraphViewState& s = model.state;
    const GraphLayout& g = model.Geometry();
    float scale = ScaleOf(s, axis);
    int zero = axis == ValueAxis::Voltage ? g.yV0 : axis == ValueAxis::Current ? g.yI0 : g.yW0;
    bool mirrored = axis != ValueAxis::Voltage;
    ValueAxisSteps steps = ValueStepsFor(axis, scale, g.graphHeight);
    // Labels stand a whole text line apart, or the painter would leave every other one out.
    std::optional<int32_t> labelStep =
        ValueLabelStep(axis, scale, g.graphHeight, std::max(s.fontHeight, s.labelHeight));
    // The minor lines that are drawn keep some pixels between them.
    const int64_t gridStep = ThinnedGridStep(steps.minor, static_cast<double>(scale));

    std::vector<AxisLine> lines;
    for (int32_t v = 0; v <= RangeLimit(axis); v += steps.minor) {
        int o = TruncToInt(static_cast<float>(v) * scale);
        if (axis == ValueAxis::Voltage && int64_t{o} + s.voltZeroOffset > g.graphHeight) {
            break;
        }
        if (mirrored && s.invertCurrent) {
            o = -o;
        }
        bool labelled = v == 0 || (labelStep && v % *labelStep == 0);
        AxisLine line;
        line.position = zero - o;
        line.penWidth = v == 0 ? 2 : 1;
        line.drawLine = (axisSwitch && v % gridStep == 0) || labelled;
        std::string text = labelled ? ValueLabel(axis, scale, g.graphHeight, v) : std::string();
        line.label = text;
        lines.push_back(line);
        if (mirrored && v != 0) {
            line.position = zero + o;
            line.label = labelled ? "-" + text : std::string();
            lines.push_back(line);
        }
    }
    return lines;
}

TimeAxisSteps TimeStepsFor(float timeScale) {
    int64_t span = TruncToInt64(640.0 / static_cast<double>(timeScale));
    int64_t ms = span / 1000;
    int64_t s = ms / 1000;
    int64_t min = s / 60;
    int64_t h = min / 60;
    if (h > 240) {
        return {kDay, 10 * kDay, TimeUnit::Day};
    }
    if (h > 24) {
        return {6 * kHour, kDay, TimeUnit::Day};
    }
    if (h > 10) {
        return {kHour, 10 * kHour, TimeUnit::Hour};
    }
    if (min > 60) {
        return {10 * kMinute, kHour, TimeUnit::Hour};
    }
    if (min > 10) {
        return {kMinute, 10 * kMinute, TimeUnit::Minute};
    }
    if (s > 100) {
        return {10 * kSecond, 100 * kSecond, TimeUnit::Second};
    }
    if (s > 10) {
        return {kSecond, 10 * kSecond, TimeUnit::Second};
    }
    if (ms > 1000) {
        return {100 * kMs, kSecond, TimeUnit::Second};
    }
    if (ms > 100) {
        return {10 * kMs, 100 * kMs, TimeUnit::Millisecond};
    }
    if (ms > 10) {
        return {kMs, 10 * kMs, TimeUnit::Millisecond};
    }
    if (span > 1000) {
        return {100, kMs, TimeUnit::Millisecond};
    }
    if (span > 100) {
        return {10, 100, TimeUnit::Microsecond};
    }
    if (span > 10) {
        return {1, 10, TimeUnit::Microsecond};
    }
    return {1, 1, TimeUnit::Microsecond};
}

std::string TimeLabel(int64_t t, TimeUnit unit) {
    uint64_t magnitude = t < 0 ? 0 - static_cast<uint64_t>(t) : static_cast<uint64_t>(t);
    std::string sign = t < 0 ? "-" : "";
    if (unit == TimeUnit::Millisecond) {
        return sign + Printf("%1.0fms", static_cast<double>(static_cast<float>(magnitude) / 1000));
    }
    return sign + std::to_string(magnitude / static_cast<uint64_t>(UnitLength(unit))) +
           UnitSuffix(unit);
}

std::string GridTimeLabel(int64_t t, const TimeAxisSteps& steps) {
    const int64_t unit = UnitLength(steps.unit);
    if (t % unit == 0 || steps.grid >= unit) {
        return TimeLabel(t, steps.unit);
    }
    // The fewest decimals that state every grid time of the unit exactly.
    int decimals = 0;
    for (int64_t scaled = steps.grid; decimals <= 3 && scaled % unit != 0; scaled *= 10) {
        ++decimals;
    }
    if (decimals > 3) {
        return TimeLabel(t, TimeUnit::Minute);
    }
    const uint64_t magnitude = t < 0 ? 0 - static_cast<uint64_t>(t) : static_cast<uint64_t>(t);
    char buffer[64];
    std::snprintf(
        buffer, sizeof buffer, "%s%" PRIu64 ".%0*" PRIu64 "%s", t < 0 ? "-" : "",
        magnitude / static_cast<uint64_t>(unit), decimals,
        magnitude % static_cast<uint64_t>(unit) * Pow10(decimals) / static_cast<uint64_t>(unit),
        UnitSuffix(steps.unit));
    return buffer;
}

std::vector<AxisLine> TimeAxisLines(const GraphModel& model, bool axisSwitch) {
    const GraphViewState& s = model.state;
    const GraphLayout& g = model.Geometry();
    TimeAxisSteps steps = TimeStepsFor(s.timeScale);
    std::vector<AxisLine> lines;
    int previousX = 0;
    int64_t t = SaturatingSub(s.leftTime, s.leftTime % steps.grid);
    for (int n = 0; n < kMaxTimeGridLines && t <= s.rightTime;
         ++n, t = SaturatingAdd(t, steps.grid)) {
        if (t < s.leftTime) {
            continue;
        }
        int x = model.XOfTime(t) - g.graphLeft;
        if (x > g.graphWidth) {
            break;
        }
        if (x >= 0) {
            int dx = x - previousX;
            previousX = x;
            bool labelled = t % steps.label == 0 || dx > 50;
            AxisLine line;
            line.position = g.graphLeft + x;
            line.drawLine = axisSwitch || labelled;
            if (labelled) {
                line.label = GridTimeLabel(t, steps);
            }
            lines.push_back(line);
        }
        if (t == INT64_MAX) {
            break;
        }
    }
    return lines;
}
