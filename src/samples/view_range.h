#pragma once

#include <optional>

namespace brantel {

// A span of the chart's time axis, in seconds; `begin` below `end`.
struct TimeRange {
    double begin = 0;
    double end = 0;
    double Width() const { return end - begin; }
    bool operator==(const TimeRange&) const = default;
};

enum class ViewMode {
    kFollow,    // the last minutes of the run, moving as values come
    kWholeRun,  // from the first value kept to the last
};

// Which part of the run the chart shows. The mode's view follows the values; a zoom or a pan
// fixes the view where the user put it until Reset(); a pause stops the mode's view at the
// newest value then, and a fixed view survives it.
class ViewRange {
  public:
    static constexpr double kDefaultFollowSeconds = 5 * 60;
    // The narrowest view: a few milliseconds, the times' resolution, across a plot.
    static constexpr double kMinWidth = 0.05;

    ViewMode Mode() const { return mode_; }
    // A new mode shows its own view.
    void SetMode(ViewMode mode);
    double FollowSeconds() const { return followSeconds_; }
    // Widths that are not a positive finite number leave it as it is.
    void SetFollowSeconds(double seconds);

    // The view over values kept from `first` to `last`; the mode's view ends a little past the
    // last, at a round step of about a two-hundredth of its width.
    TimeRange Shown(double first, double last) const;

    // Narrows (factor below 1) or widens the view shown about the time `at`.
    void Zoom(TimeRange shown, double factor, double at);
    // Moves the view shown later by `seconds` (earlier when negative).
    void Pan(TimeRange shown, double seconds);
    bool Fixed() const { return fixed_.has_value(); }
    // Back to the mode's view.
    void Reset() { fixed_.reset(); }

    // Holds the mode's view at `last`, the newest value now; Resume() lets it move again and
    // drops a fixed view.
    void Pause(double last) { pausedAt_ = last; }
    void Resume();
    bool Paused() const { return pausedAt_.has_value(); }

  private:
    ViewMode mode_ = ViewMode::kFollow;
    double followSeconds_ = kDefaultFollowSeconds;
    std::optional<TimeRange> fixed_;
    std::optional<double> pausedAt_;
};

// The step between the time axis' ticks: the smallest of 1, 2 or 5 times a power of ten that
// cuts `width` seconds into at most `maxTicks` steps; 0 for a width that is no positive number.
double TickStep(double width, int maxTicks);

}  // namespace brantel
