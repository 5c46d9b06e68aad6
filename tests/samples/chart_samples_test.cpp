#include "samples/chart_samples.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace brantel {
namespace {

constexpr std::size_t kChunk = SeriesSamples::kChunkValues;

// `count` values of one series, `stepMs` apart from `startMs` on.
struct Burst {
    std::size_t series;
    std::size_t count;
    std::uint32_t startMs;
    std::uint32_t stepMs;
};

struct Kept {
    std::uint64_t dropped;
    std::size_t size;
    std::uint32_t firstMs;  // of a series not empty
};

struct BudgetCase {
    std::string name;
    std::size_t budgetChunks;
    std::vector<Burst> bursts;
    std::vector<Kept> kept;  // a series each
};

class ChartBudgetTest : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(ChartBudgetTest, DropsTheOldestChunksAndCountsThem) {
    const BudgetCase& c = GetParam();
    ChartSamples chart(std::vector<std::string>(c.kept.size(), "S"),
                       c.budgetChunks * SeriesSamples::ChunkBytes());
    std::uint64_t dropped = 0;
    for (const Burst& burst : c.bursts) {
        for (std::size_t i = 0; i < burst.count; ++i) {
            const double time = (burst.startMs + i * burst.stepMs) / 1000.0;
            ASSERT_EQ(chart.Append(burst.series, time, static_cast<double>(i)),
                      AppendResult::kKept);
        }
    }
    for (std::size_t s = 0; s < c.kept.size(); ++s) {
        const SeriesSamples& series = chart.Series(s);
        EXPECT_EQ(series.Dropped(), c.kept[s].dropped) << "series " << s;
        EXPECT_EQ(series.Size(), c.kept[s].size) << "series " << s;
        if (!series.Empty()) {
            EXPECT_EQ(series.TimeMsAt(0), c.kept[s].firstMs) << "series " << s;
        }
        dropped += c.kept[s].dropped;
    }
    EXPECT_EQ(chart.Dropped(), dropped);
    const std::size_t slack = c.budgetChunks == 0 ? c.kept.size() : 0;
    EXPECT_LE(chart.MemoryBytes(), (c.budgetChunks + slack) * SeriesSamples::ChunkBytes());
}

INSTANTIATE_TEST_SUITE_P(
    Budgets, ChartBudgetTest,
    ::testing::Values(
        // 6 chunks' worth in room for 3: the first 3 go.
        BudgetCase{"OneSeriesKeepsItsNewest",
                   3,
                   {{0, 5 * kChunk + 10, 0, 100}},
                   {{3 * kChunk, 2 * kChunk + 10, 3 * kChunk * 100}}},
        // Series 1 starts later, so series 0's oldest chunk goes for it, not its own.
        BudgetCase{"TheOldestOfAnySeriesGoes",
                   4,
                   {{0, 3 * kChunk, 0, 100}, {1, kChunk + 1, 3'000'000, 100}},
                   {{kChunk, 2 * kChunk, kChunk * 100}, {0, kChunk + 1, 3'000'000}}},
        // The slow series began first but its chunk ends later than the fast one's oldest.
        BudgetCase{"OldestByTheNewestValue",
                   4,
                   {{1, kChunk, 0, 1000}, {0, 4 * kChunk, 100'000, 100}},
                   {{kChunk, 3 * kChunk, 100'000 + kChunk * 100}, {0, kChunk, 0}}},
        // A partly filled chunk stays, however old.
        BudgetCase{"AChunkBeingFilledStays",
                   3,
                   {{1, 100, 0, 10'000}, {0, 4 * kChunk, 0, 100}, {1, 1, 2'000'000, 0}},
                   {{2 * kChunk, 2 * kChunk, 2 * kChunk * 100}, {0, 101, 0}}},
        // Room for nothing: each series holds only the chunk it is filling.
        BudgetCase{"NoBudget",
                   0,
                   {{0, 2 * kChunk + 5, 0, 1}, {1, 7, 0, 1}},
                   {{2 * kChunk, 5, 2 * kChunk}, {0, 7, 0}}},
        BudgetCase{"WithinTheBudget",
                   2,
                   {{0, kChunk, 0, 1}, {1, kChunk, 0, 1}},
                   {{0, kChunk, 0}, {0, kChunk, 0}}}),
    [](const auto& info) { return info.param.name; });

TEST(ChartSamples, ARefusedValueDropsNothingAndClearStartsAnew) {
    ChartSamples chart({"A"}, SeriesSamples::ChunkBytes());
    for (std::size_t i = 0; i < kChunk; ++i) {
        chart.Append(0, static_cast<double>(i), 1);
    }
    EXPECT_EQ(chart.Append(0, 1.0, 1), AppendResult::kTimeBackwards);
    EXPECT_EQ(chart.Append(0, 1e6, std::numeric_limits<double>::quiet_NaN()),
              AppendResult::kNotFinite);
    EXPECT_EQ(chart.Dropped(), 0u);
    EXPECT_EQ(chart.Refused(), 2u);
    EXPECT_EQ(chart.Series(0).Size(), kChunk);
    EXPECT_EQ(chart.Append(0, 1e6, 1), AppendResult::kKept);
    EXPECT_EQ(chart.Dropped(), kChunk);
    chart.Clear();
    EXPECT_EQ(chart.Dropped(), 0u);
    EXPECT_EQ(chart.Refused(), 0u);
    EXPECT_EQ(chart.MemoryBytes(), 0u);
    EXPECT_EQ(chart.Append(0, 0, 1), AppendResult::kKept);
}

struct Value {
    std::size_t series;
    double time;
    double value;
};

struct CsvCase {
    std::string name;
    std::vector<std::string> names;
    std::vector<Value> values;
    std::string csv;
};

class ChartCsvTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(ChartCsvTest, WritesALinePerTimeWithEmptyCells) {
    const CsvCase& c = GetParam();
    ChartSamples chart(c.names);
    for (const Value& v : c.values) {
        ASSERT_EQ(chart.Append(v.series, v.time, v.value), AppendResult::kKept);
    }
    std::ostringstream out;
    EXPECT_TRUE(chart.WriteCsv(out));
    EXPECT_EQ(out.str(), c.csv);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ChartCsvTest,
    ::testing::Values(CsvCase{"TwoSeriesAtTheirOwnTimes",
                              {"Series1", "Series2"},
                              {{0, 0, 1.5},
                               {1, 0.1, 0.1},
                               {0, 0.1, 2},
                               {1, 0.2, 3e10},
                               {0, 0.25, -0.125},
                               {1, 1000.5, 1e-5},
                               {0, 3725.0071, 16777217}},
                              "time,Series1,Series2\n"
                              "0.000,1.5,\n"
                              "0.100,2,0.1\n"
                              "0.200,,3e+10\n"
                              "0.250,-0.125,\n"
                              "1000.500,,1e-05\n"
                              "3725.007,16777216,\n"},
                      CsvCase{"TwoValuesInOneMillisecond",
                              {"a", "b"},
                              {{0, 1, 1}, {0, 1.0002, 2}, {1, 1, 3}, {0, 2, 4}},
                              "time,a,b\n"
                              "1.000,1,3\n"
                              "1.000,2,\n"
                              "2.000,4,\n"},
                      CsvCase{"NamesQuotedWhereNeeded",
                              {"U, V", "say \"hi\"", "plain"},
                              {{2, 0.001, 0}},
                              "time,\"U, V\",\"say \"\"hi\"\"\",plain\n"
                              "0.001,,,0\n"},
                      CsvCase{"NoValues", {"Series1", "Series2"}, {}, "time,Series1,Series2\n"}),
    [](const auto& info) { return info.param.name; });

struct ColumnsCase {
    std::string name;
    std::vector<std::size_t> columns;
    std::string csv;
};

class ChartCsvColumnsTest : public ::testing::TestWithParam<ColumnsCase> {};

// Three series, a value each at its own time, the middle one renamed.
TEST_P(ChartCsvColumnsTest, WritesTheSeriesChosenAsIfAlone) {
    const ColumnsCase& c = GetParam();
    ChartSamples chart({"a", "b", "c"});
    chart.SetName(1, "T, outside");
    for (std::size_t s = 0; s < 3; ++s) {
        ASSERT_EQ(chart.Append(s, static_cast<double>(s), 10.0 + s), AppendResult::kKept);
    }
    std::ostringstream out;
    EXPECT_TRUE(chart.WriteCsv(out, c.columns));
    EXPECT_EQ(out.str(), c.csv);
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ChartCsvColumnsTest,
    ::testing::Values(ColumnsCase{"InTheOrderGiven", {2, 0}, "time,c,a\n0.000,,10\n2.000,12,\n"},
                      ColumnsCase{"RenamedSeries", {1}, "time,\"T, outside\"\n1.000,11\n"},
                      ColumnsCase{"NoneTimesOnly", {}, "time\n"}),
    [](const auto& info) { return info.param.name; });

// Large enough to leave in many pieces: none may be lost or written twice.
TEST(ChartSamples, WritesALargeExportWhole) {
    ChartSamples chart({"x", "y"});
    constexpr int kValues = 40'000;
    for (int i = 0; i < kValues; ++i) {
        chart.Append(i % 2, i / 100.0, i);
    }
    std::ostringstream out;
    ASSERT_TRUE(chart.WriteCsv(out));
    std::istringstream in(out.str());
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "time,x,y");
    for (int i = 0; i < kValues; ++i) {
        ASSERT_TRUE(std::getline(in, line));
        const std::string time = std::to_string(i / 100) + "." +
                                 std::string(i % 100 < 10 ? "0" : "") + std::to_string(i % 100) +
                                 "0";
        ASSERT_EQ(line,
                  time + (i % 2 == 0 ? "," + std::to_string(i) + "," : ",," + std::to_string(i)))
            << "line " << i + 2;
    }
    EXPECT_FALSE(std::getline(in, line));
}

TEST(ChartSamples, AFailingStreamIsReported) {
    ChartSamples chart({"x"});
    chart.Append(0, 0, 1);
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(chart.WriteCsv(out));
}

}  // namespace
}  // namespace brantel
