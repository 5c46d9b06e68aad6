#include "samples/axis_scale.h"

#include <gtest/gtest.h>

#include <limits>

namespace brantel {
namespace {

struct ScaleCase {
    double low;
    double high;
    AxisScale scale;
};

TEST(ValueAxisScale, HoldsTheValuesWithinFewRoundSteps) {
    constexpr double kMax = std::numeric_limits<double>::max();
    const ScaleCase cases[] = {
        {28, 228, {0, 250, 6}},  // not 0..400
        {21.5, 21.5, {20, 23, 4}},       {0, 1, {-0.5, 1.5, 5}},
        {-40, -10, {-50, 0, 6}},         {0.001, 0.002, {0.0005, 0.0025, 5}},
        {-kMax, kMax, {-kMax, kMax, 2}},
    };
    for (const ScaleCase& c : cases) {
        const AxisScale scale = ValueAxisScale(c.low, c.high, 5);
        EXPECT_NEAR(scale.min, c.scale.min, 1e-12 * std::abs(c.scale.min)) << c.low;
        EXPECT_NEAR(scale.max, c.scale.max, 1e-12 * std::abs(c.scale.max)) << c.high;
        EXPECT_EQ(scale.ticks, c.scale.ticks) << c.low << ".." << c.high;
        EXPECT_LE(scale.min, c.low);
        EXPECT_GE(scale.max, c.high);
    }
}

}  // namespace
}  // namespace brantel
