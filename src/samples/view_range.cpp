#include "samples/view_range.h"

#include <algorithm>
#include <cmath>

namespace brantel {
namespace {

// The whole run of a single value still spans a second, so that the axis has a scale.
constexpr double kMinRunWidth = 1;

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
        return {first, std::max(last, first + kMinRunWidth)};
    }
    // The width stays the same from the first value on, so the scale does not change as the
    // run grows; the values start at the left and the view moves once they reach the right.
    const double end = std::max(last, first + followSeconds_);
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

}  // namespace brantel
