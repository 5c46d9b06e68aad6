#include "samples/series_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace brantel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct AppendCase {
    std::string name;
    double time;
    double value;
    AppendResult result;
    SamplePoint kept;  // when kept
};

// Each case follows a value kept at 10 s.
class SeriesAppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(SeriesAppendTest, KeepsTheCompactFormOrRefusesAndCounts) {
    const AppendCase& c = GetParam();
    SeriesSamples series;
    ASSERT_EQ(series.Append(10.0, 1.0), AppendResult::kKept);
    EXPECT_EQ(series.Check(c.time, c.value), c.result);
    EXPECT_EQ(series.Append(c.time, c.value), c.result);
    if (c.result == AppendResult::kKept) {
        EXPECT_EQ(series.Size(), 2u);
        EXPECT_EQ(series.Refused(), 0u);
        EXPECT_EQ(series.At(1), c.kept);
        EXPECT_EQ(series.LastTime(), c.kept.time);
    } else {
        EXPECT_EQ(series.Size(), 1u);
        EXPECT_EQ(series.Refused(), 1u);
        EXPECT_EQ(series.LastTime(), 10.0);
    }
    EXPECT_EQ(series.FirstTime(), 10.0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SeriesAppendTest,
    ::testing::Values(
        AppendCase{"RoundsDownToTheMs", 12.3454, 0.1, AppendResult::kKept, {12.345, 0.1f}},
        AppendCase{"RoundsUpToTheMs", 12.3456, -2.5, AppendResult::kKept, {12.346, -2.5}},
        AppendCase{"SameMsAsTheLast", 10.0004, 3, AppendResult::kKept, {10.0, 3}},
        AppendCase{"JustEarlierButSameMs", 9.9996, 3, AppendResult::kKept, {10.0, 3}},
        AppendCase{"FloatPrecision", 11, 16777217.0, AppendResult::kKept, {11, 16777216.0}},
        AppendCase{"BelowFloatBecomesZero", 11, 1e-46, AppendResult::kKept, {11, 0}},
        AppendCase{"LargestFloat", 11, FLT_MAX, AppendResult::kKept, {11, FLT_MAX}},
        AppendCase{"LastMillisecond", 4294967.295, 1, AppendResult::kKept, {4294967.295, 1}},
        AppendCase{"NaN", 11, kNaN, AppendResult::kNotFinite, {}},
        AppendCase{"Infinity", 11, kInf, AppendResult::kNotFinite, {}},
        AppendCase{"MinusInfinity", 11, -kInf, AppendResult::kNotFinite, {}},
        AppendCase{"BeyondFloat", 11, 1e39, AppendResult::kBeyondFloat, {}},
        AppendCase{"BeyondFloatNegative", 11, -1e39, AppendResult::kBeyondFloat, {}},
        AppendCase{"Earlier", 9.999, 1, AppendResult::kTimeBackwards, {}},
        AppendCase{"TimeNaN", kNaN, 1, AppendResult::kTimeOutOfRange, {}},
        AppendCase{"TimeInfinite", kInf, 1, AppendResult::kTimeOutOfRange, {}},
        AppendCase{"Past32Bits", 4294967.296, 1, AppendResult::kTimeOutOfRange, {}}),
    [](const auto& info) { return info.param.name; });

TEST(SeriesSamples, BeforeTheStartIsOutOfRangeAndClearForgetsTheOrder) {
    SeriesSamples series;
    EXPECT_EQ(series.Append(-0.001, 1), AppendResult::kTimeOutOfRange);
    EXPECT_EQ(series.Append(5, 1), AppendResult::kKept);
    EXPECT_EQ(series.Append(4, 1), AppendResult::kTimeBackwards);
    EXPECT_EQ(series.Refused(), 2u);
    series.Clear();
    EXPECT_TRUE(series.Empty());
    EXPECT_EQ(series.Refused(), 0u);
    EXPECT_EQ(series.MemoryBytes(), 0u);
    EXPECT_EQ(series.FirstTime(), std::nullopt);
    EXPECT_EQ(series.Extremes(0, 100), std::nullopt);
    EXPECT_TRUE(series.Decimate(0, 100, 10).empty());
    EXPECT_EQ(series.Append(4, 1), AppendResult::kKept);
}

// What decimation must give, from every value in turn: column c holds the milliseconds
// [begin + span * c / columns, begin + span * (c + 1) / columns).
std::vector<SamplePoint> BruteDecimate(const SeriesSamples& series, std::uint64_t beginMs,
                                       std::uint64_t endMs, int columns) {
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < series.Size(); ++i) {
        if (series.TimeMsAt(i) >= beginMs && series.TimeMsAt(i) <= endMs) {
            inside.push_back(i);
        }
    }
    std::vector<SamplePoint> points;
    if (inside.size() <= static_cast<std::size_t>(columns)) {
        for (const std::size_t i : inside) {
            points.push_back(series.At(i));
        }
        return points;
    }
    const std::uint64_t span = endMs - beginMs + 1;
    for (int c = 0; c < columns; ++c) {
        const std::uint64_t from = beginMs + span * c / columns;
        const std::uint64_t to = beginMs + span * (c + 1) / columns;
        std::vector<std::size_t> column;
        for (const std::size_t i : inside) {
            if (series.TimeMsAt(i) >= from && series.TimeMsAt(i) < to) {
                column.push_back(i);
            }
        }
        if (column.empty()) {
            continue;
        }
        std::size_t low = column.front();
        std::size_t high = column.front();
        for (const std::size_t i : column) {
            low = series.ValueAt(i) < series.ValueAt(low) ? i : low;
            high = series.ValueAt(i) > series.ValueAt(high) ? i : high;
        }
        std::vector<std::size_t> chosen{column.front(), low, high, column.back()};
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        for (const std::size_t i : chosen) {
            points.push_back(series.At(i));
        }
    }
    return points;
}

// Three chunks and 2,712 values more over 1720 s, with irregular gaps (some in one millisecond).
const SeriesSamples& RandomWalk() {
    static const SeriesSamples series = [] {
        SeriesSamples s;
        std::mt19937 random(7);
        std::uniform_int_distribution<int> gap(0, 250);
        std::uniform_int_distribution<int> step(-3, 3);
        std::uint32_t ms = 0;
        int value = 0;
        for (int i = 0; i < 15000; ++i) {
            ms += gap(random) < 20 ? 0 : gap(random);
            // Held within a band so that the extremes recur across blocks and chunks.
            value = std::clamp(value + step(random), -20, 20);
            s.Append(ms / 1000.0, value / 4.0);
        }
        return s;
    }();
    return series;
}

struct DecimateCase {
    std::string name;
    std::uint64_t beginMs;
    std::uint64_t endMs;
    int columns;
};

class SeriesDecimateTest : public ::testing::TestWithParam<DecimateCase> {};

TEST_P(SeriesDecimateTest, GivesEachColumnsFirstExtremesAndLastInOrder) {
    const DecimateCase& c = GetParam();
    const SeriesSamples& series = RandomWalk();
    const std::vector<SamplePoint> points =
        series.Decimate(c.beginMs / 1000.0, c.endMs / 1000.0, c.columns);
    EXPECT_EQ(points, BruteDecimate(series, c.beginMs, c.endMs, c.columns));
    EXPECT_LE(points.size(), 4 * static_cast<std::size_t>(std::max(c.columns, 0)));
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                               [](const auto& a, const auto& b) { return a.time < b.time; }));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SeriesDecimateTest,
    ::testing::Values(DecimateCase{"WholeIn1000", 0, 1'800'000, 1000},
                      DecimateCase{"WholeInOne", 0, 1'800'000, 1},
                      DecimateCase{"WholeInThree", 0, 1'800'000, 3},
                      DecimateCase{"WholeInSeven", 0, 1'800'000, 7},
                      DecimateCase{"AcrossAChunkEdge", 300'000, 900'000, 333},
                      DecimateCase{"ColumnsNarrowerThanTheGaps", 500'000, 520'000, 100},
                      DecimateCase{"InsideOneBlock", 400'100, 401'900, 3},
                      DecimateCase{"AcrossOneBlockEdge", 434'000, 438'000, 4},
                      DecimateCase{"FewerValuesThanColumns", 200'000, 220'000, 500},
                      DecimateCase{"OneMillisecondOfThree", 86'144, 86'144, 2},
                      DecimateCase{"PastTheLast", 1'700'000, 9'000'000, 10},
                      DecimateCase{"AfterTheLast", 9'000'000, 9'100'000, 10},
                      DecimateCase{"NoColumns", 0, 1'800'000, 0}),
    [](const auto& info) { return info.param.name; });

TEST(SeriesSamples, ReversedOrNaNRangesHoldNothing) {
    const SeriesSamples& series = RandomWalk();
    for (const auto& [begin, end] : {std::pair{500.0, 400.0}, std::pair{kNaN, 400.0},
                                     std::pair{0.0, kNaN}, std::pair{-10.0, -1.0}}) {
        EXPECT_TRUE(series.Decimate(begin, end, 100).empty()) << begin << ' ' << end;
        EXPECT_EQ(series.Extremes(begin, end), std::nullopt) << begin << ' ' << end;
    }
    // Infinite bounds reach the ends.
    EXPECT_EQ(series.Decimate(-kInf, kInf, 50), series.Decimate(0, 1e7, 50));
}

TEST(SeriesSamples, ExtremesAreTheEarliestLeastAndGreatestOfTheRange) {
    const SeriesSamples& series = RandomWalk();
    for (const auto& [beginMs, endMs] : {std::pair<std::uint32_t, std::uint32_t>{0, 4'000'000},
                                         {123'456, 123'900},
                                         {250'000, 1'250'000},
                                         {400'000, 400'000}}) {
        std::optional<SampleExtremes> expected;
        for (std::size_t i = 0; i < series.Size(); ++i) {
            const SamplePoint p = series.At(i);
            if (series.TimeMsAt(i) < beginMs || series.TimeMsAt(i) > endMs) {
                continue;
            }
            if (!expected) {
                expected = SampleExtremes{p, p};
            }
            expected->min = p.value < expected->min.value ? p : expected->min;
            expected->max = p.value > expected->max.value ? p : expected->max;
        }
        EXPECT_EQ(series.Extremes(beginMs / 1000.0, endMs / 1000.0), expected) << beginMs;
    }
}

// A million flat values at 10 a second, one spike up and one down: both must show at any zoom
// whose range holds them, however many values a column covers.
class SeriesSpikeTest : public ::testing::TestWithParam<DecimateCase> {};

constexpr std::size_t kFlatValues = 1'000'000;
constexpr std::size_t kSpikeAt = 654'321;
constexpr std::size_t kDipAt = 123'457;

const SeriesSamples& FlatWithSpikes() {
    static const SeriesSamples series = [] {
        SeriesSamples s;
        for (std::size_t i = 0; i < kFlatValues; ++i) {
            const double value = i == kSpikeAt ? 1000.0 : i == kDipAt ? -1000.0 : 1.0;
            s.Append(static_cast<double>(i) / 10, value);
        }
        return s;
    }();
    return series;
}

TEST_P(SeriesSpikeTest, KeepsTheSpikeAndTheDipAtEveryZoom) {
    const DecimateCase& c = GetParam();
    const SeriesSamples& series = FlatWithSpikes();
    ASSERT_EQ(series.Size(), kFlatValues);
    const double begin = c.beginMs / 1000.0;
    const double end = c.endMs / 1000.0;
    const std::vector<SamplePoint> points = series.Decimate(begin, end, c.columns);
    const auto shows = [&points](std::size_t index, double value) {
        return std::count(points.begin(), points.end(),
                          SamplePoint{static_cast<double>(index) / 10, value});
    };
    const auto inside = [&](std::size_t index) {
        return index * 100 >= c.beginMs && index * 100 <= c.endMs ? 1 : 0;
    };
    EXPECT_EQ(shows(kSpikeAt, 1000.0), inside(kSpikeAt));
    EXPECT_EQ(shows(kDipAt, -1000.0), inside(kDipAt));
    EXPECT_LE(points.size(), 4u * c.columns);
    const std::optional<SampleExtremes> extremes = series.Extremes(begin, end);
    ASSERT_TRUE(extremes.has_value());
    const std::size_t values =
        std::min<std::size_t>(c.endMs / 100, kFlatValues - 1) - (c.beginMs + 99) / 100 + 1;
    const bool flat = values > static_cast<std::size_t>(inside(kSpikeAt) + inside(kDipAt));
    EXPECT_EQ(extremes->max.value, inside(kSpikeAt) ? 1000.0 : flat ? 1.0 : -1000.0);
    EXPECT_EQ(extremes->min.value, inside(kDipAt) ? -1000.0 : flat ? 1.0 : 1000.0);
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, SeriesSpikeTest,
    ::testing::Values(DecimateCase{"AllInOneColumn", 0, 100'000'000, 1},
                      DecimateCase{"AllIn1000", 0, 100'000'000, 1000},
                      DecimateCase{"AllIn4095", 0, 100'000'000, 4095},
                      DecimateCase{"HalfWithTheSpike", 50'000'000, 100'000'000, 1000},
                      DecimateCase{"HalfWithTheDip", 0, 50'000'000, 777},
                      DecimateCase{"AMinuteAroundTheSpike", 65'402'100, 65'462'100, 1000},
                      DecimateCase{"TwoSecondsAroundTheSpike", 65'431'100, 65'433'100, 3},
                      DecimateCase{"TheSpikeAlone", 65'432'100, 65'432'100, 1},
                      DecimateCase{"BetweenThem", 20'000'000, 60'000'000, 1000}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace brantel
