#pragma once

#include <QColor>
#include <QObject>
#include <QTimer>
#include <array>
#include <chrono>
#include <optional>
#include <vector>

#include "frames/expected_response.h"
#include "options/chart_options.h"
#include "samples/axis_scale.h"
#include "samples/chart_samples.h"
#include "samples/view_range.h"

class QChartView;
class QLineSeries;
class QValueAxis;

namespace brantel {

// The chart `Chart1` fed with the values of answers' fields. Each of its four series draws the
// field it is bound to; the values are kept in a ChartSamples under its memory budget, and on
// each redraw, at most ten a second, every series gets the least and greatest values of each
// column of the range in view, two pixels wide, not the values themselves; while the chart is
// out of sight (another page shown) nothing is drawn. Without a binding a series stays empty
// and keeps its own name and colour.
class ChartFeed : public QObject {
    Q_OBJECT
  public:
    // A change the user made shows after kRedrawMs; new values show as soon as the picture can
    // have moved by a column, from kRedrawMs to kSlowestRedrawMs after the first of them.
    static constexpr int kRedrawMs = 100;
    static constexpr int kSlowestRedrawMs = 1000;

    // `series` are the chart's, Series1 first, each attached to the chart's two value axes.
    ChartFeed(QChartView& view, const std::array<QLineSeries*, kChartSeries>& series,
              QObject* parent = nullptr,
              std::size_t budgetBytes = ChartSamples::kDefaultBudgetBytes);

    QChartView& View() const { return view_; }
    QLineSeries& Series(std::size_t series) const { return *series_.at(series); }

    const ChartOptions& Options() const { return options_; }
    // A series bound to another row or field forgets its values; the legend takes the names.
    void SetOptions(const ChartOptions& options);

    // The kept values, for filling or reading them directly; RedrawNow() shows a change.
    ChartSamples& Samples() { return samples_; }
    const ChartSamples& Samples() const { return samples_; }

    // The range in view; nullopt while no value is kept.
    std::optional<TimeRange> Shown() const;
    void SetMode(ViewMode mode);
    void Zoom(double factor, double at);
    void Pan(double seconds);
    // Back to the mode's view (a double-click, Home).
    void ResetView();
    // The values are still kept while paused; only the view stops moving.
    void SetPaused(bool paused);
    bool Paused() const { return viewRange_.Paused(); }
    // Shows or hides a series (a click on its legend marker).
    void ToggleSeries(std::size_t series);

    // "time" and a column per bound series, through a temporary file that replaces `path`
    // only once whole. The reason, when the write failed.
    std::optional<QString> SaveData(const QString& path) const;
    // The chart as the window shows it, as PNG; the reason when the write failed.
    std::optional<QString> SavePicture(const QString& path) const;

    // Redraws at once rather than at the next redraw's time, shown or not.
    void RedrawNow();
    // What the chart's title says about values dropped or refused; empty when none were.
    QString Notice() const;

  public slots:
    // The field values of a matching answer to `row`, at their arrival; the first value after
    // a Restart() or Clear() is at time 0.
    void AddValues(int row, const std::vector<brantel::ReadValue>& values);
    // The same at `seconds` since the start of the run.
    void AddValuesAt(int row, const std::vector<brantel::ReadValue>& values, double seconds);
    // Forgets the values; the run's time starts now (when polling starts).
    void Restart();
    // Forgets the values; the run's time starts at the next value.
    void Clear();

  signals:
    // What is stored changed: the view's mode.
    void OptionsChanged();

  protected:
    // A chart out of sight is not redrawn; it catches up when it comes into sight.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ScheduleRedraw(int afterMs = kRedrawMs);
    // The time one column of the view spans, within kRedrawMs to kSlowestRedrawMs.
    int ColumnMs() const;
    void RedrawWhenShown();
    void ShowMarker(std::size_t series);
    void ShowEmpty();
    void ShowTimeAxis(TimeRange shown);
    int Columns() const;

    QChartView& view_;
    std::array<QLineSeries*, kChartSeries> series_;
    // The names and legend colours the series have unbound.
    std::array<QString, kChartSeries> ownNames_;
    std::array<QColor, kChartSeries> markerColours_;
    std::array<QColor, kChartSeries> labelColours_;
    QValueAxis* x_;
    QValueAxis* y_;
    QString emptyLabelFormat_;
    int emptyValueTicks_;
    ChartOptions options_;
    ChartSamples samples_;
    ViewRange viewRange_;
    std::optional<std::chrono::steady_clock::time_point> origin_;
    QTimer redraw_;
    // A redraw came due while the chart was out of sight.
    bool redrawDue_ = false;
    int drawnColumns_ = 0;
    // The axes' scales as last drawn; none while the chart shows no value.
    std::optional<TimeRange> drawnTime_;
    std::optional<AxisScale> drawnValues_;
};

}  // namespace brantel
