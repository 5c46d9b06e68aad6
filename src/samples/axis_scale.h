#pragma once

namespace brantel {

// The value axis of the chart: its limits and how many ticks it carries, ends included.
struct AxisScale {
    double min = 0;
    double max = 0;
    int ticks = 0;
    bool operator==(const AxisScale&) const = default;
};

// The value axis for values from `low` to `high` (low not above high, both finite): a little
// room on either side, then limits at whole steps of 1, 2 or 5 times a power of ten, at most
// `maxSteps` of them. A single value still gets a spread to stand in.
AxisScale ValueAxisScale(double low, double high, int maxSteps);

}  // namespace brantel
