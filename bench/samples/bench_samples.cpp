#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "samples/chart_samples.h"

namespace brantel {
namespace {

constexpr int kSeries = 4;
constexpr std::uint32_t kDayValues = 24 * 3600 * 10;  // 10 a second

// A slow wave with some noise, in the range of a sensor's readings, worked out once so that
// the appends are timed and not the sine.
const std::vector<double>& Readings() {
    static const std::vector<double> readings = [] {
        std::vector<double> values(kDayValues);
        for (std::uint32_t i = 0; i < kDayValues; ++i) {
            const std::uint32_t noise = (i * 2654435761u) >> 22;
            values[i] = 20.0 + 5.0 * std::sin(i / 600.0) + noise / 512.0;
        }
        return values;
    }();
    return readings;
}

void AppendDay(ChartSamples& chart) {
    const std::vector<double>& readings = Readings();
    for (std::uint32_t i = 0; i < kDayValues; ++i) {
        for (int s = 0; s < kSeries; ++s) {
            // Each series a quarter of the day further on, so that no two are alike.
            chart.Append(s, i / 10.0, readings[(i + s * kDayValues / kSeries) % kDayValues]);
        }
    }
}

std::size_t HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

const ChartSamples& Day() {
    static const ChartSamples chart = [] {
        ChartSamples day({"Series1", "Series2", "Series3", "Series4"});
        AppendDay(day);
        return day;
    }();
    return chart;
}

// A day of four series at 10 values a second, 3.5 million values, into a fresh chart: the
// append cost, and what a value takes, counted by the chart and by the heap.
void BM_AppendDayOfFourSeries(benchmark::State& state) {
    double bytesPerValue = 0;
    double heapBytesPerValue = 0;
    Readings();
    for (auto _ : state) {
        const std::size_t heapBefore = HeapBytes();
        ChartSamples chart({"Series1", "Series2", "Series3", "Series4"});
        AppendDay(chart);
        const double values = static_cast<double>(kSeries) * kDayValues;
        bytesPerValue = static_cast<double>(chart.MemoryBytes()) / values;
        heapBytesPerValue = static_cast<double>(HeapBytes() - heapBefore) / values;
        benchmark::DoNotOptimize(chart.Series(0).Size());
    }
    state.SetItemsProcessed(state.iterations() * kSeries * kDayValues);
    state.counters["bytes_per_value"] = bytesPerValue;
    state.counters["heap_bytes_per_value"] = heapBytesPerValue;
}
BENCHMARK(BM_AppendDayOfFourSeries)->Unit(benchmark::kMillisecond);

// The same day in a budget of 4 MiB, so that from the first minutes on every new chunk drops
// the oldest: the append cost must not grow with it.
void BM_AppendDayPastTheBudget(benchmark::State& state) {
    std::uint64_t dropped = 0;
    Readings();
    for (auto _ : state) {
        ChartSamples chart({"Series1", "Series2", "Series3", "Series4"}, 4 << 20);
        AppendDay(chart);
        dropped = chart.Dropped();
    }
    state.SetItemsProcessed(state.iterations() * kSeries * kDayValues);
    state.counters["dropped"] = static_cast<double>(dropped);
}
BENCHMARK(BM_AppendDayPastTheBudget)->Unit(benchmark::kMillisecond);

// A redraw of the last `range` seconds of the day to 1000 columns, one series and all four:
// from a minute (600 values, as they are) to the whole day (864 values a column).
void BM_DecimateToAThousandColumns(benchmark::State& state) {
    const ChartSamples& chart = Day();
    const double end = (kDayValues - 1) / 10.0;
    const double begin = end - static_cast<double>(state.range(0));
    const int series = static_cast<int>(state.range(1));
    std::size_t points = 0;
    for (auto _ : state) {
        points = 0;
        for (int s = 0; s < series; ++s) {
            const std::vector<SamplePoint> drawn = chart.Series(s).Decimate(begin, end, 1000);
            points += drawn.size();
            benchmark::DoNotOptimize(drawn.data());
        }
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_DecimateToAThousandColumns)
    ->ArgNames({"seconds", "series"})
    ->ArgsProduct({{60, 600, 3600, 86400}, {1, 4}})
    ->Unit(benchmark::kMicrosecond);

// The value axis of a redraw: the extremes of the visible range.
void BM_ExtremesOfTheDay(benchmark::State& state) {
    const SeriesSamples& series = Day().Series(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(series.Extremes(0, kDayValues / 10.0));
    }
}
BENCHMARK(BM_ExtremesOfTheDay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brantel

BENCHMARK_MAIN();
