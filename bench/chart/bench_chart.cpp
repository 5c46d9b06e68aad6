// One redraw of the chart page's four series (the min/max decimation of the range in view and
// the points handed to each QLineSeries), offscreen, over a day of values and over a minute.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "widgets/chart_feed.h"

namespace brantel {
namespace {

constexpr std::uint32_t kValuesPerSecond = 10;

// A chart view as the window's, 1000 pixels wide, with a feed whose four series are bound.
class Page {
  public:
    Page() {
        QChart* chart = view_.chart();
        auto* x = new QValueAxis;
        auto* y = new QValueAxis;
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        std::array<QLineSeries*, kChartSeries> series{};
        for (std::size_t s = 0; s < kChartSeries; ++s) {
            series[s] = new QLineSeries;
            series[s]->setName(QString("Series%1").arg(s + 1));
            chart->addSeries(series[s]);
            series[s]->attachAxis(x);
            series[s]->attachAxis(y);
        }
        view_.resize(1100, 600);
        view_.show();
        feed_ = std::make_unique<ChartFeed>(view_, series);
        ChartOptions options;
        for (std::size_t s = 0; s < kChartSeries; ++s) {
            options.series[s] = {1, "F" + std::to_string(s), ""};
        }
        options.mode = ViewMode::kWholeRun;
        feed_->SetOptions(options);
        QApplication::processEvents();
    }

    // `seconds` of four series at 10 values a second, straight into the kept values.
    void Fill(std::uint32_t seconds) {
        for (std::uint32_t i = 0; i < seconds * kValuesPerSecond; ++i) {
            for (std::size_t s = 0; s < kChartSeries; ++s) {
                const std::uint32_t noise = (i * 2654435761u) >> 22;
                feed_->Samples().Append(s, i / 10.0,
                                        20.0 + 5.0 * std::sin(i / 600.0 + s) + noise / 512.0);
            }
        }
    }

    ChartFeed& Feed() { return *feed_; }
    void SetMode(ViewMode mode) {
        ChartOptions options = feed_->Options();
        options.mode = mode;
        feed_->SetOptions(options);
    }
    qsizetype PointsDrawn() const {
        qsizetype points = 0;
        for (std::size_t s = 0; s < kChartSeries; ++s) {
            points += feed_->Series(s).count();
        }
        return points;
    }

  private:
    QChartView view_;
    std::unique_ptr<ChartFeed> feed_;
};

void Redraw(benchmark::State& state, std::uint32_t seconds, ViewMode mode) {
    Page page;
    page.Fill(seconds);
    page.SetMode(mode);
    for (auto _ : state) {
        page.Feed().RedrawNow();
    }
    state.counters["values"] = static_cast<double>(seconds) * kValuesPerSecond * kChartSeries;
    state.counters["points_drawn"] = static_cast<double>(page.PointsDrawn());
}

// The whole of a day, 3.5 million values.
void BM_RedrawWholeDay(benchmark::State& state) {
    Redraw(state, 24 * 3600, ViewMode::kWholeRun);
}
BENCHMARK(BM_RedrawWholeDay)->Unit(benchmark::kMillisecond);

// The last five minutes of that day, as "Follow" shows it.
void BM_RedrawDayFollowing(benchmark::State& state) {
    Redraw(state, 24 * 3600, ViewMode::kFollow);
}
BENCHMARK(BM_RedrawDayFollowing)->Unit(benchmark::kMillisecond);

// The same, each redraw after two seconds more of values, so that the time axis moves every time,
// as it does every two seconds while following a poll.
void BM_RedrawDayFollowingAsTheAxisMoves(benchmark::State& state) {
    Page page;
    page.Fill(24 * 3600);
    page.SetMode(ViewMode::kFollow);
    double seconds = 24 * 3600;
    for (auto _ : state) {
        for (std::uint32_t i = 0; i < 2 * kValuesPerSecond; ++i) {
            seconds += 1.0 / kValuesPerSecond;
            for (std::size_t s = 0; s < kChartSeries; ++s) {
                page.Feed().Samples().Append(s, seconds, 20.0 + std::sin(seconds / 60.0 + s));
            }
        }
        page.Feed().RedrawNow();
    }
    state.counters["points_drawn"] = static_cast<double>(page.PointsDrawn());
}
BENCHMARK(BM_RedrawDayFollowingAsTheAxisMoves)->Unit(benchmark::kMillisecond);

// A run one minute old: 2400 values, fewer than the columns' points.
void BM_RedrawAfterAMinute(benchmark::State& state) {
    Redraw(state, 60, ViewMode::kWholeRun);
}
BENCHMARK(BM_RedrawAfterAMinute)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brantel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
