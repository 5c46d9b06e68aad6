#include "widgets/chart_feed.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "qtbridge/local_text.h"
#include "widgets/chart_files.h"

namespace brantel {
namespace {

// The axes of a chart without values, as the page first shows them.
constexpr double kEmptyMin = 0;
constexpr double kEmptyMax = 10;
// A hidden series' marker keeps a quarter of its colour.
constexpr int kHiddenAlpha = 64;
constexpr int kMaxValueSteps = 5;
// The values are decimated over columns two pixels wide: at most two points a pixel, whose
// lines cannot be told from those of every value, and half the points to lay out and draw.
constexpr int kPixelsPerColumn = 2;
constexpr int kMaxTimeTicks = 6;
constexpr char kTimeTitle[] = "Time, s";

QValueAxis* AxisOf(QChart& chart, Qt::Orientation orientation) {
    return static_cast<QValueAxis*>(chart.axes(orientation).front());
}

std::vector<std::string> SeriesNames(const std::array<QLineSeries*, kChartSeries>& series) {
    std::vector<std::string> names;
    for (const QLineSeries* one : series) {
        names.push_back(ToBytes(one->name()));
    }
    return names;
}

}  // namespace

ChartFeed::ChartFeed(QChartView& view, const std::array<QLineSeries*, kChartSeries>& series,
                     QObject* parent, std::size_t budgetBytes)
    : QObject(parent),
      view_(view),
      series_(series),
      x_(AxisOf(*view.chart(), Qt::Horizontal)),
      y_(AxisOf(*view.chart(), Qt::Vertical)),
      emptyLabelFormat_(x_->labelFormat()),
      emptyValueTicks_(y_->tickCount()),
      samples_(SeriesNames(series), budgetBytes) {
    QLegend& legend = *view.chart()->legend();
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        ownNames_[s] = series_[s]->name();
        QLegendMarker* marker = legend.markers(series_[s]).front();
        markerColours_[s] = marker->brush().color();
        labelColours_[s] = marker->labelBrush().color();
        connect(marker, &QLegendMarker::clicked, this, [this, s] { ToggleSeries(s); });
    }
    redraw_.setSingleShot(true);
    connect(&redraw_, &QTimer::timeout, this, &ChartFeed::RedrawWhenShown);
    view.installEventFilter(this);
    // A new width of the plot takes another number of columns.
    connect(view.chart(), &QChart::plotAreaChanged, this, [this] {
        if (Columns() != drawnColumns_) {
            ScheduleRedraw();
        }
    });
    SetOptions(options_);
}

void ChartFeed::SetOptions(const ChartOptions& options) {
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        const SeriesBinding& was = options_.series[s];
        const SeriesBinding& binding = options.series[s];
        if (was.row != binding.row || was.field != binding.field) {
            samples_.ClearSeries(s);
        }
        const QString name = !binding.Bound()       ? ownNames_[s]
                             : binding.name.empty() ? FromBytes(binding.field)
                                                    : FromBytes(binding.name);
        samples_.SetName(s, ToBytes(name));
        series_[s]->setName(name);
        ShowMarker(s);
    }
    options_ = options;
    viewRange_.SetMode(options.mode);
    viewRange_.SetFollowSeconds(options.followMinutes * 60.0);
    ScheduleRedraw();
}

void ChartFeed::AddValues(int row, const std::vector<ReadValue>& values) {
    const auto now = std::chrono::steady_clock::now();
    if (!origin_) {
        origin_ = now;
    }
    AddValuesAt(row, values, std::chrono::duration<double>(now - *origin_).count());
}

void ChartFeed::AddValuesAt(int row, const std::vector<ReadValue>& values, double seconds) {
    bool added = false;
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        const SeriesBinding& binding = options_.series[s];
        if (!binding.Bound() || binding.row != row) {
            continue;
        }
        const auto value = std::find_if(values.begin(), values.end(), [&](const ReadValue& one) {
            return one.name == binding.field;
        });
        if (value != values.end()) {
            samples_.Append(s, seconds, value->value.value);
            added = true;
        }
    }
    if (added) {
        // Drawing faster than the picture can move by a column costs a redraw and shows nothing
        // new but the last column's extremes.
        ScheduleRedraw(ColumnMs());
    }
}

void ChartFeed::Restart() {
    Clear();
    origin_ = std::chrono::steady_clock::now();
}

void ChartFeed::Clear() {
    samples_.Clear();
    origin_.reset();
    viewRange_.Reset();
    RedrawNow();
}

std::optional<TimeRange> ChartFeed::Shown() const {
    std::optional<double> first;
    std::optional<double> last;
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        const SeriesSamples& series = samples_.Series(s);
        if (!series.Empty()) {
            first = std::min(first.value_or(*series.FirstTime()), *series.FirstTime());
            last = std::max(last.value_or(*series.LastTime()), *series.LastTime());
        }
    }
    if (!first) {
        return std::nullopt;
    }
    return viewRange_.Shown(*first, *last);
}

void ChartFeed::SetMode(ViewMode mode) {
    options_.mode = mode;
    viewRange_.SetMode(mode);
    ScheduleRedraw();
    emit OptionsChanged();
}

void ChartFeed::Zoom(double factor, double at) {
    if (const std::optional<TimeRange> shown = Shown()) {
        viewRange_.Zoom(*shown, factor, at);
        ScheduleRedraw();
    }
}

void ChartFeed::Pan(double seconds) {
    if (const std::optional<TimeRange> shown = Shown()) {
        viewRange_.Pan(*shown, seconds);
        ScheduleRedraw();
    }
}

void ChartFeed::ResetView() {
    viewRange_.Reset();
    ScheduleRedraw();
}

void ChartFeed::SetPaused(bool paused) {
    if (!paused) {
        viewRange_.Resume();
    } else if (const std::optional<TimeRange> shown = Shown()) {
        viewRange_.Pause(shown->end);
    } else {
        viewRange_.Pause(0);
    }
    ScheduleRedraw();
}

void ChartFeed::ToggleSeries(std::size_t series) {
    series_.at(series)->setVisible(!series_[series]->isVisible());
    ShowMarker(series);
    ScheduleRedraw();
}

void ChartFeed::ShowMarker(std::size_t series) {
    // The legend hides a hidden series' marker; it stays, dimmed, to be clicked again.
    const bool visible = series_[series]->isVisible();
    for (QLegendMarker* marker : view_.chart()->legend()->markers(series_[series])) {
        marker->setVisible(true);
        QColor colour = markerColours_[series];
        QColor label = labelColours_[series];
        if (!visible) {
            colour.setAlpha(kHiddenAlpha);
            label.setAlpha(kHiddenAlpha);
        }
        marker->setBrush(colour);
        marker->setLabelBrush(label);
    }
}

std::optional<QString> ChartFeed::SaveData(const QString& path) const {
    std::vector<std::size_t> columns;
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        if (options_.series[s].Bound()) {
            columns.push_back(s);
        }
    }
    return SaveChartCsv(samples_, columns, path);
}

std::optional<QString> ChartFeed::SavePicture(const QString& path) const {
    return SaveWidgetPng(view_, path);
}

void ChartFeed::ScheduleRedraw(int afterMs) {
    if (!redraw_.isActive() || redraw_.remainingTime() > afterMs) {
        redraw_.start(afterMs);
    }
}

int ChartFeed::ColumnMs() const {
    const std::optional<TimeRange> shown = Shown();
    const int columns = std::max(1, Columns() / kPixelsPerColumn);
    const double ms = shown ? 1000 * shown->Width() / columns : 0;
    return static_cast<int>(std::clamp(ms, double{kRedrawMs}, double{kSlowestRedrawMs}));
}

int ChartFeed::Columns() const {
    return std::max(1, static_cast<int>(std::lround(view_.chart()->plotArea().width())));
}

bool ChartFeed::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &view_ && event->type() == QEvent::Show && redrawDue_) {
        RedrawNow();
    }
    return QObject::eventFilter(watched, event);
}

void ChartFeed::RedrawWhenShown() {
    if (view_.isVisible()) {
        RedrawNow();
    } else {
        redrawDue_ = true;
    }
}

void ChartFeed::RedrawNow() {
    redraw_.stop();
    redrawDue_ = false;
    drawnColumns_ = Columns();
    const QString notice = Notice();
    if (view_.chart()->title() != notice) {
        view_.chart()->setTitle(notice);
    }
    const std::optional<TimeRange> shown = Shown();
    if (!shown) {
        ShowEmpty();
        return;
    }
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    std::array<QList<QPointF>, kChartSeries> points;
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        if (!series_[s]->isVisible()) {
            continue;
        }
        const std::vector<SamplePoint> kept = samples_.Series(s).Decimate(
            shown->begin, shown->end, std::max(1, drawnColumns_ / kPixelsPerColumn));
        points[s].reserve(static_cast<qsizetype>(kept.size()));
        for (const SamplePoint& point : kept) {
            points[s].append({point.time, point.value});
            low = std::min(low, point.value);
            high = std::max(high, point.value);
        }
    }
    // Without a value in view the value axis stays as it is.
    const std::optional<AxisScale> values =
        low <= high ? ValueAxisScale(low, high, kMaxValueSteps) : drawnValues_;
    if (shown != drawnTime_ || values != drawnValues_) {
        // Each change of an axis lays out every series' points again and sets every label
        // anew: the axes change only when their scale does, and while the series are empty.
        for (QLineSeries* series : series_) {
            series->clear();
        }
        ShowTimeAxis(*shown);
        if (values) {
            y_->setRange(values->min, values->max);
            y_->setTickCount(values->ticks);
        }
        drawnTime_ = shown;
        drawnValues_ = values;
    }
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        series_[s]->replace(points[s]);
    }
}

void ChartFeed::ShowTimeAxis(TimeRange shown) {
    x_->setRange(shown.begin, shown.end);
    // Ticks at round seconds from the run's start, whatever the view's edges.
    const double step = TickStep(shown.Width(), kMaxTimeTicks);
    x_->setTickType(QValueAxis::TicksDynamic);
    x_->setTickAnchor(0);
    x_->setTickInterval(step);
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step))), 0, 3);
    x_->setLabelFormat(QString("%.%1f").arg(decimals));
    x_->setTitleText(kTimeTitle);
}

void ChartFeed::ShowEmpty() {
    for (QLineSeries* series : series_) {
        series->clear();
    }
    x_->setTickType(QValueAxis::TicksFixed);
    x_->setLabelFormat(emptyLabelFormat_);
    x_->setTitleText("");
    x_->setRange(kEmptyMin, kEmptyMax);
    y_->setRange(kEmptyMin, kEmptyMax);
    y_->setTickCount(emptyValueTicks_);
    drawnTime_.reset();
    drawnValues_.reset();
}

QString ChartFeed::Notice() const {
    QStringList notes;
    if (samples_.Dropped() > 0) {
        notes << "Oldest values dropped to keep memory bounded";
    }
    if (const std::uint64_t refused = samples_.Refused()) {
        notes << QString("%1 values not drawn: not a finite number, or too late in the run")
                     .arg(refused);
    }
    return notes.join("; ");
}

}  // namespace brantel
