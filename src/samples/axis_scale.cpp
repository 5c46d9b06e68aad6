#include "samples/axis_scale.h"

#include <algorithm>
#include <cmath>

#include "samples/view_range.h"

namespace brantel {
namespace {

// Room above and below the values, as a share of their spread.
constexpr double kValueMargin = 0.05;
// Slack for the rounding of a value that is already a whole number of steps.
constexpr double kStepSlack = 1e-9;

}  // namespace

AxisScale ValueAxisScale(const double lowest, const double highest, int maxSteps) {
    const double margin = highest > lowest ? (highest - lowest) * kValueMargin
                                           : std::max(std::abs(highest) * kValueMargin, 1.0);
    const double low = lowest - margin;
    const double high = highest + margin;
    maxSteps = std::max(maxSteps, 1);
    // Rounding the limits out may take a step more than the width alone: then a coarser step.
    for (double step = TickStep(high - low, maxSteps); step > 0;
         step = TickStep(step * (1 + 1e-6), 1)) {
        const double min = std::floor(low / step + kStepSlack) * step;
        const double max = std::ceil(high / step - kStepSlack) * step;
        const auto steps = static_cast<int>(std::lround((max - min) / step));
        if (steps <= maxSteps) {
            return {min, max, steps + 1};
        }
    }
    // Values too far apart for their spread to be a double: the values' own limits.
    return {lowest, highest, 2};
}

}  // namespace brantel
