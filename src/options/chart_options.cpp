#include "options/chart_options.h"

#include <optional>
#include <string_view>

#include "commands/command_row.h"
#include "platform/profile_store.h"
#include "text/integers.h"

namespace brantel {
namespace {

constexpr char kFollow[] = "Follow";
constexpr char kWholeRun[] = "WholeRun";

std::string Key(std::size_t series, std::string_view what) {
    return "Series" + std::to_string(series + 1) + std::string(what);
}

std::optional<int> WholeNumber(const std::string& text, int low, int high) {
    try {
        const int value = ParseInteger(text);
        if (value >= low && value <= high) {
            return value;
        }
    } catch (const ConversionError&) {
    }
    return std::nullopt;
}

}  // namespace

bool SeriesBinding::Bound() const {
    return row >= 1 && row <= kCommandRows && !field.empty();
}

ChartOptions LoadChartOptions(const ProfileStore& store) {
    ChartOptions options;
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        SeriesBinding& binding = options.series[s];
        binding.row =
            WholeNumber(store.ReadString(kChartsSection, Key(s, "Row"), ""), 1, kCommandRows)
                .value_or(0);
        binding.field = store.ReadString(kChartsSection, Key(s, "Field"), "");
        binding.name = store.ReadString(kChartsSection, Key(s, "Name"), "");
    }
    options.mode = store.ReadString(kChartsSection, "View", kFollow) == kWholeRun
                       ? ViewMode::kWholeRun
                       : ViewMode::kFollow;
    options.followMinutes = WholeNumber(store.ReadString(kChartsSection, "FollowMinutes", ""), 1,
                                        ChartOptions::kMaxFollowMinutes)
                                .value_or(ChartOptions::kDefaultFollowMinutes);
    return options;
}

void SaveChartOptions(const ChartOptions& options, ProfileStore& store) {
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        const SeriesBinding& binding = options.series[s];
        store.WriteString(kChartsSection, Key(s, "Row"), std::to_string(binding.row));
        store.WriteString(kChartsSection, Key(s, "Field"), binding.field);
        store.WriteString(kChartsSection, Key(s, "Name"), binding.name);
    }
    store.WriteString(kChartsSection, "View",
                      options.mode == ViewMode::kWholeRun ? kWholeRun : kFollow);
    store.WriteString(kChartsSection, "FollowMinutes", std::to_string(options.followMinutes));
}

}  // namespace brantel
