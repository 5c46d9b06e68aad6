#include "samples/view_range.h"

#include <algorithm>
#include <cmath>

namespace brantel {
namespace {

// The whole run of a single value still spans a second, so that the axis has a scale.
constexpr double kMinRunWidth = 1;
// The view's end moves in round steps of about this share of its width: every move of the time
// axis lays the whole chart out anew, so it moves every few seconds rather than at each value,
// and the newest value is never more than a step from the right edge.
constexpr int kEndSteps = 200;

double SteppedEnd(double last, double width) {
    const double step = TickStep(width, kEndSteps);
    return step > 0 ? std::ceil(last / step - 1e-9) * step : last;
}

}  // namespace

void ViewRange::SetMode(ViewMode mode) {
    mode_ = mode;
    fixed_.reset();
}

void ViewRange::SetFollowSeconds(double seconds) {
    if (std::isfinite(seconds) && seconds > 0) {
        followSeconds_ = std::max(seconds, kMinWidth);
    }
}

TimeRange ViewRange::Shown(double first, double last) const {
    if (fixed_) {
        return *fixed_;
    }
    if (pausedAt_) {
        last = std::min(last, *pausedAt_);
    }
    if (mode_ == ViewMode::kWholeRun) {
        return {first, std::max(SteppedEnd(last, last - first), first + kMinRunWidth)};
    }
    // The width stays the same from the first value on, so the scale does not change as the
    // run grows; the values start at the left and the view moves once they reach the right.
    const double end = std::max(SteppedEnd(last, followSeconds_), first + followSeconds_);
    return {end - followSeconds_, end};
}

void ViewRange::Zoom(TimeRange shown, double factor, double at) {
    if (!std::isfinite(factor) || factor <= 0 || !std::isfinite(at)) {
        return;
    }
    at = std::clamp(at, shown.begin, shown.end);
    const double width = std::max(shown.Width() * factor, kMinWidth);
    const double share = shown.Width() > 0 ? (at - shown.begin) / shown.Width() : 0.5;
    const double begin = at - width * share;
    fixed_ = TimeRange{begin, begin + width};
}

void ViewRange::Pan(TimeRange shown, double seconds) {
    if (std::isfinite(seconds)) {
        fixed_ = TimeRange{shown.begin + seconds, shown.end + seconds};
    }
}

void ViewRange::Resume() {
    pausedAt_.reset();
    fixed_.reset();
}

double TickStep(double width, int maxTicks) {
    if (!std::isfinite(width) || width <= 0 || maxTicks < 1) {
        return 0;
    }
    const double least = width / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double multiple : {1.0, 2.0, 5.0, 10.0}) {
        // A little slack, so that 0.3 / 3 is 0.1 and not 0.2.
        if (multiple * power >= least * (1 - 1e-9)) {
            return multiple * power;
        }
    }
    return 10 * power;
}

}  // namespace brantel
