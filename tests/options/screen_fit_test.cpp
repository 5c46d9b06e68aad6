#include "options/screen_fit.h"

#include <gtest/gtest.h>

namespace brantel {
namespace {

// Two screens side by side, the right one taller, the left one with a task bar at its foot.
const std::vector<PlacementRect> kTwoScreens{{0, 0, 1280, 994}, {1280, 0, 3200, 1080}};

TEST(ScreenFit, AWindowOffEveryScreenMovesOntoTheNearestAtItsSize) {
    const struct {
        const char* name;
        PlacementRect stored;
        PlacementRect expected;
    } cases[] = {
        {"on the left screen", {184, 99, 975, 712}, {184, 99, 975, 712}},
        {"across both screens", {1000, 500, 1800, 1000}, {1000, 500, 1800, 1000}},
        {"right of the right screen", {3300, 100, 3791, 713}, {2709, 100, 3200, 713}},
        {"below the left screen", {100, 1200, 891, 1813}, {100, 381, 891, 994}},
        {"above and left of everything", {-900, -700, -109, -87}, {0, 0, 791, 613}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeepOnScreens(c.stored, kTwoScreens), c.expected);
    }
    EXPECT_EQ(KeepOnScreens({5000, 5000, 5100, 5100}, {}), (PlacementRect{5000, 5000, 5100, 5100}));
}

}  // namespace
}  // namespace brantel
