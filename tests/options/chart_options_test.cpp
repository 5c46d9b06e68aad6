#include "options/chart_options.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/profile_store.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

TEST(ChartOptions, SurviveASaveAndALoad) {
    test::ScratchDir dir;
    ProfileStore store(dir.File("brantel.ini"));
    ChartOptions options;
    options.series[0] = {3, "T", ""};
    options.series[2] = {29, "P", "Pressure, kPa"};
    options.mode = ViewMode::kWholeRun;
    options.followMinutes = 90;
    SaveChartOptions(options, store);
    EXPECT_EQ(LoadChartOptions(store), options);
    EXPECT_NE(test::FileText(store.Path()).find("[Charts]\nSeries1Row=3\nSeries1Field=T\n"),
              std::string::npos);
}

struct LoadCase {
    std::string name;
    std::string ini;
    ChartOptions options;
};

class ChartOptionsLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(ChartOptionsLoadTest, ReadsWhatItCanAndDefaultsTheRest) {
    const LoadCase& c = GetParam();
    test::ScratchDir dir;
    const std::string path = dir.File("brantel.ini");
    test::SetFileText(path, c.ini);
    EXPECT_EQ(LoadChartOptions(ProfileStore(path)), c.options);
}

ChartOptions With(SeriesBinding first, ViewMode mode = ViewMode::kFollow,
                  int minutes = ChartOptions::kDefaultFollowMinutes) {
    ChartOptions options;
    options.series[0] = std::move(first);
    options.mode = mode;
    options.followMinutes = minutes;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Loads, ChartOptionsLoadTest,
    ::testing::Values(LoadCase{"NoSection", "[Main]\nCommand1=x\n", ChartOptions{}},
                      LoadCase{"RowAndFieldWithoutName", "[Charts]\nSeries1Row=4\nSeries1Field=U\n",
                               With({4, "U", ""})},
                      LoadCase{"RowBeyondTheTable", "[Charts]\nSeries1Row=30\nSeries1Field=U\n",
                               With({0, "U", ""})},
                      LoadCase{"RowNotANumber", "[Charts]\nSeries1Row=two\nSeries1Field=U\n",
                               With({0, "U", ""})},
                      LoadCase{"WholeRunAndMinutes", "[Charts]\nView=WholeRun\nFollowMinutes=60\n",
                               With({}, ViewMode::kWholeRun, 60)},
                      LoadCase{"UnknownViewAndMinutesOutOfRange",
                               "[Charts]\nView=Sideways\nFollowMinutes=0\n", With({})},
                      LoadCase{"MinutesBeyondADay", "[Charts]\nFollowMinutes=1441\n", With({})}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace brantel
