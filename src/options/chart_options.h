#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "samples/view_range.h"

namespace brantel {

class ProfileStore;

inline constexpr char kChartsSection[] = "Charts";
inline constexpr std::size_t kChartSeries = 4;

// What one of the chart's series draws: a field of the answers to a row of the command table.
struct SeriesBinding {
    int row = 0;  // 1 to 29; another row leaves the series unbound
    std::string field;
    std::string name;  // for the legend; empty: the field's name

    bool Bound() const;
    bool operator==(const SeriesBinding&) const = default;
};

// The chart's stored options, section "Charts" of the INI file: each series' binding
// (`Series1Row`, `Series1Field`, `Series1Name`, ...), the view (`View`, "Follow" or
// "WholeRun") and how many minutes "Follow" shows (`FollowMinutes`).
struct ChartOptions {
    static constexpr int kDefaultFollowMinutes = 5;
    static constexpr int kMaxFollowMinutes = 24 * 60;

    std::array<SeriesBinding, kChartSeries> series;
    ViewMode mode = ViewMode::kFollow;
    int followMinutes = kDefaultFollowMinutes;

    bool operator==(const ChartOptions&) const = default;
};

// A missing key or a value out of its range (a row beyond the table, minutes that are no
// whole number from 1 to a day) reads as its default.
ChartOptions LoadChartOptions(const ProfileStore& store);
// Throws the store's error when it cannot write.
void SaveChartOptions(const ChartOptions& options, ProfileStore& store);

}  // namespace brantel
