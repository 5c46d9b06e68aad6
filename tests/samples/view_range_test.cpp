#include "samples/view_range.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace brantel {
namespace {

// Values kept from `first` to `last` after `steps` were taken on a fresh view of 60 s.
struct ShownCase {
    std::string name;
    std::function<void(ViewRange&)> steps;
    double first;
    double last;
    TimeRange shown;
};

class ViewRangeTest : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ViewRangeTest, ShowsTheModesViewOrWhereTheUserPutIt) {
    const ShownCase& c = GetParam();
    ViewRange view;
    view.SetFollowSeconds(60);
    c.steps(view);
    const TimeRange shown = view.Shown(c.first, c.last);
    EXPECT_DOUBLE_EQ(shown.begin, c.shown.begin);
    EXPECT_DOUBLE_EQ(shown.end, c.shown.end);
}

const auto kNothing = [](ViewRange&) {};
const auto kWholeRun = [](ViewRange& v) { v.SetMode(ViewMode::kWholeRun); };
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Views, ViewRangeTest,
    ::testing::Values(
        ShownCase{"FollowStartsAtTheFirstValue", kNothing, 3, 20, {3, 63}},
        ShownCase{"FollowMovesWithTheLast", kNothing, 3, 500, {440, 500}},
        ShownCase{"FollowMovesInRoundSteps", kNothing, 3, 500.2, {440.5, 500.5}},
        ShownCase{"WholeRun", kWholeRun, 3, 500, {3, 500}},
        ShownCase{"WholeRunGrowsInRoundSteps", kWholeRun, 3, 500.2, {3, 505}},
        ShownCase{"WholeRunOfOneValueSpansASecond", kWholeRun, 7, 7, {7, 8}},
        ShownCase{"BadFollowWidthsIgnored",
                  [](ViewRange& v) {
                      v.SetFollowSeconds(0);
                      v.SetFollowSeconds(-5);
                      v.SetFollowSeconds(kNaN);
                  },
                  0,
                  500,
                  {440, 500}},
        ShownCase{
            "PauseHoldsTheFollowView", [](ViewRange& v) { v.Pause(200); }, 0, 500, {140, 200}},
        ShownCase{"PauseHoldsTheWholeRun",
                  [](ViewRange& v) {
                      v.SetMode(ViewMode::kWholeRun);
                      v.Pause(200);
                  },
                  0,
                  500,
                  {0, 200}},
        ShownCase{"ResumeMovesAgain",
                  [](ViewRange& v) {
                      v.Pause(200);
                      v.Zoom({140, 200}, 0.5, 170);
                      v.Resume();
                  },
                  0,
                  500,
                  {440, 500}},
        ShownCase{"ZoomInAboutThePointer",
                  [](ViewRange& v) {
                      v.Zoom({0, 100}, 0.5, 20);
                  },
                  0,
                  500,
                  {10, 60}},
        ShownCase{"ZoomOutAboutThePointer",
                  [](ViewRange& v) {
                      v.Zoom({0, 100}, 2, 100);
                  },
                  0,
                  500,
                  {-100, 100}},
        ShownCase{"ZoomStopsAtTheNarrowest",
                  [](ViewRange& v) {
                      v.Zoom({0, 1}, 1e-9, 0);
                  },
                  0,
                  500,
                  {0, ViewRange::kMinWidth}},
        ShownCase{"ZoomWithBadInputIgnored",
                  [](ViewRange& v) {
                      v.Zoom({0, 100}, 0, 50);
                      v.Zoom({0, 100}, kNaN, 50);
                      v.Zoom({0, 100}, 0.5, kNaN);
                  },
                  0,
                  500,
                  {440, 500}},
        ShownCase{"PanStaysWhereMoved",
                  [](ViewRange& v) {
                      v.Pan({440, 500}, -100);
                  },
                  0,
                  900,
                  {340, 400}},
        ShownCase{"ResetGoesBackToTheMode",
                  [](ViewRange& v) {
                      v.Pan({440, 500}, -100);
                      v.Reset();
                  },
                  0,
                  900,
                  {840, 900}},
        ShownCase{"NewModeDropsTheFixedView",
                  [](ViewRange& v) {
                      v.Pan({440, 500}, -100);
                      v.SetMode(ViewMode::kWholeRun);
                  },
                  0,
                  900,
                  {0, 900}},
        ShownCase{"ResetWhilePausedStaysPaused",
                  [](ViewRange& v) {
                      v.Pause(300);
                      v.Pan({240, 300}, -100);
                      v.Reset();
                  },
                  0,
                  900,
                  {240, 300}}),
    [](const auto& info) { return info.param.name; });

struct TickCase {
    double width;
    int maxTicks;
    double step;
};

TEST(TickStep, IsOneTwoOrFiveTimesAPowerOfTen) {
    const TickCase cases[] = {{300, 5, 100},     {300, 6, 50}, {10, 5, 2}, {0.3, 3, 0.1},
                              {86400, 6, 20000}, {1, 10, 0.1}, {7, 1, 10}, {0, 5, 0},
                              {-3, 5, 0},        {kNaN, 5, 0}, {100, 0, 0}};
    for (const TickCase& c : cases) {
        EXPECT_DOUBLE_EQ(TickStep(c.width, c.maxTicks), c.step) << c.width << " in " << c.maxTicks;
    }
}

}  // namespace
}  // namespace brantel
