#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/chart_feed.h"
#include "widgets/command_grid.h"
#include "widgets/series_dialog.h"

namespace brantel::test {
namespace {

ReadValue Field(const std::string& name, double value) {
    return {name, {value, std::to_string(value)}};
}

struct Arrival {
    int row;
    std::vector<ReadValue> values;
    double seconds;
};

class ChartFeedTest : public ::testing::Test {
  protected:
    ChartFeedTest() : form(fixture.Start()), feed(*form.Charts()) {}

    // Binds the series to (row, field) pairs, the rest left unbound.
    void Bind(const std::vector<SeriesBinding>& bindings, ViewMode mode = ViewMode::kFollow) {
        ChartOptions options;
        std::copy(bindings.begin(), bindings.end(), options.series.begin());
        options.mode = mode;
        feed.SetOptions(options);
    }
    QValueAxis& Axis(Qt::Orientation orientation) {
        return *static_cast<QValueAxis*>(feed.View().chart()->axes(orientation).front());
    }
    TimeRange XRange() { return {Axis(Qt::Horizontal).min(), Axis(Qt::Horizontal).max()}; }
    QAction& MenuItem(const QString& text) {
        for (QAction* action : Named<QMenu>(feed.View(), "ChartMenu")->actions()) {
            if (action->text() == text) {
                return *action;
            }
        }
        throw std::logic_error("no menu item " + text.toStdString());
    }

    WindowFixture fixture;
    TForm1& form;
    ChartFeed& feed;
};

struct RouteCase {
    std::string name;
    std::vector<SeriesBinding> bindings;
    std::vector<Arrival> arrivals;
    std::vector<std::vector<QPointF>> drawn;  // a series each
};

class ChartRouteTest : public ChartFeedTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(ChartRouteTest, BoundSeriesGetTheirFieldsInOrder) {
    const RouteCase& c = GetParam();
    Bind(c.bindings);
    for (const Arrival& arrival : c.arrivals) {
        feed.AddValuesAt(arrival.row, arrival.values, arrival.seconds);
    }
    feed.RedrawNow();
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        EXPECT_EQ(feed.Series(s).points(), QList<QPointF>(c.drawn[s].begin(), c.drawn[s].end()))
            << "series " << s + 1;
        EXPECT_EQ(feed.Samples().Series(s).Size(), c.drawn[s].size()) << "series " << s + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Routes, ChartRouteTest,
    ::testing::Values(
        RouteCase{"TwoFieldsOfOneRow",
                  {{3, "T", ""}, {3, "H", ""}},
                  {{3, {Field("T", 21.5), Field("H", 40)}, 0},
                   {3, {Field("H", 41), Field("T", 22)}, 1.5}},
                  {{{0, 21.5}, {1.5, 22}}, {{0, 40}, {1.5, 41}}, {}, {}}},
        RouteCase{"OtherRowsAndFieldsIgnored",
                  {{}, {7, "P", ""}},
                  {{6, {Field("P", 1)}, 0},
                   {7, {Field("p", 2), Field("Q", 3)}, 1},
                   {7, {Field("P", 4)}, 2},
                   {0, {Field("P", 5)}, 3}},
                  {{}, {{2, 4}}, {}, {}}},
        RouteCase{"AnUnboundSeriesStaysEmpty",
                  {{0, "T", ""}, {30, "T", ""}, {5, "", ""}},
                  {{0, {Field("T", 1)}, 0}, {30, {Field("T", 2)}, 1}, {5, {Field("", 3)}, 2}},
                  {{}, {}, {}, {}}},
        RouteCase{"OneFieldOnTwoSeries",
                  {{1, "U", ""}, {}, {}, {1, "U", "again"}},
                  {{1, {Field("U", -3)}, 10}},
                  {{{10, -3}}, {}, {}, {{10, -3}}}},
        RouteCase{"RefusedValuesAreNotDrawn",
                  {{2, "V", ""}},
                  {{2, {Field("V", 1)}, 5},
                   {2, {Field("V", std::numeric_limits<double>::quiet_NaN())}, 6},
                   {2, {Field("V", 2)}, 4}},
                  {{{5, 1}}, {}, {}, {}}}),
    [](const auto& info) { return info.param.name; });

struct LegendCase {
    std::string name;
    SeriesBinding binding;  // of Series1
    QString legend;
};

class ChartLegendTest : public ChartFeedTest, public ::testing::WithParamInterface<LegendCase> {};

TEST_P(ChartLegendTest, NamesTheBindingAndKeepsTheColours) {
    const LegendCase& c = GetParam();
    Bind({c.binding, {2, "X", ""}});
    Bind({c.binding});
    EXPECT_EQ(feed.Series(0).name(), c.legend);
    EXPECT_EQ(feed.Series(1).name(), "Series2");
    EXPECT_EQ(feed.Series(0).objectName(), "Series1");
    EXPECT_EQ(feed.Series(0).color(), QColor(Qt::blue));
    QLegendMarker* marker = feed.View().chart()->legend()->markers(&feed.Series(0)).front();
    EXPECT_EQ(marker->label(), c.legend);
    EXPECT_EQ(marker->brush().color(), QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ChartLegendTest,
    ::testing::Values(LegendCase{"FieldsName", {4, "T", ""}, "T"},
                      LegendCase{"NameGiven", {4, "T", "Inside, °C"}, "Inside, °C"},
                      LegendCase{"UnboundKeepsItsOwn", {0, "T", "Inside"}, "Series1"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ChartFeedTest, ALegendMarkerClickTogglesItsSeries) {
    Bind({{1, "T", ""}});
    feed.AddValuesAt(1, {Field("T", 1)}, 0);
    QLegendMarker* marker = feed.View().chart()->legend()->markers(&feed.Series(0)).front();
    emit marker->clicked();
    feed.RedrawNow();
    EXPECT_FALSE(feed.Series(0).isVisible());
    EXPECT_TRUE(marker->isVisible());
    EXPECT_LT(marker->brush().color().alpha(), 255);
    EXPECT_EQ(feed.Series(0).count(), 0);
    emit marker->clicked();
    feed.RedrawNow();
    EXPECT_TRUE(feed.Series(0).isVisible());
    EXPECT_EQ(marker->brush().color(), QColor(Qt::red));
    EXPECT_EQ(feed.Series(0).count(), 1);
}

// Redraws come after values, not at each value, and not while another page hides the chart:
// it catches up as it comes into sight.
TEST_F(ChartFeedTest, RedrawsAfterValuesComeNotAtEachValueNorOutOfSight) {
    Bind({{1, "T", ""}});
    for (int i = 0; i < 50; ++i) {
        feed.AddValuesAt(1, {Field("T", i)}, i * 0.01);
    }
    EXPECT_EQ(feed.Series(0).count(), 0);
    EXPECT_TRUE(WaitUntil([&] { return feed.Series(0).count() == 50; }));

    auto* pages = Named<QTabWidget>(form, "PageControl1");
    pages->setCurrentWidget(Named<QWidget>(form, "TabSheet1"));
    feed.AddValuesAt(1, {Field("T", 50)}, 0.5);
    QTest::qWait(2 * ChartFeed::kSlowestRedrawMs);
    EXPECT_EQ(feed.Series(0).count(), 50);
    pages->setCurrentWidget(Named<QWidget>(form, "TabSheet2"));
    EXPECT_EQ(feed.Series(0).count(), 51);
}

TEST_F(ChartFeedTest, PauseKeepsTheValuesAndHoldsTheView) {
    Bind({{1, "T", ""}}, ViewMode::kWholeRun);
    for (int i = 0; i <= 100; ++i) {
        feed.AddValuesAt(1, {Field("T", i)}, i);
    }
    MenuItem("Pause").trigger();
    for (int i = 101; i <= 200; ++i) {
        feed.AddValuesAt(1, {Field("T", i)}, i);
    }
    feed.RedrawNow();
    EXPECT_EQ(XRange(), (TimeRange{0, 100}));
    EXPECT_EQ(feed.Samples().Series(0).Size(), 201u);
    emit Named<QMenu>(feed.View(), "ChartMenu")->aboutToShow();
    MenuItem("Resume").trigger();
    feed.RedrawNow();
    EXPECT_EQ(XRange(), (TimeRange{0, 200}));
    EXPECT_FALSE(feed.Paused());
}

TEST_F(ChartFeedTest, ClearEmptiesTheChartAndStartsTheTimeAgain) {
    Bind({{1, "T", ""}, {1, "H", ""}});
    feed.AddValuesAt(1, {Field("T", 50), Field("H", 60)}, 1000);
    feed.RedrawNow();
    MenuItem("Clear").trigger();
    for (std::size_t s = 0; s < kChartSeries; ++s) {
        EXPECT_EQ(feed.Series(s).count(), 0);
        EXPECT_TRUE(feed.Samples().Series(s).Empty());
    }
    EXPECT_EQ(XRange(), (TimeRange{0, 10}));
    EXPECT_EQ(Axis(Qt::Vertical).max(), 10);
    feed.AddValues(1, {Field("T", 1)});
    EXPECT_LT(*feed.Samples().Series(0).FirstTime(), 1.0);
}

TEST_F(ChartFeedTest, ARedrawGivesAtMostTwoPointsAPixel) {
    Bind({{1, "A", ""}, {1, "B", ""}}, ViewMode::kWholeRun);
    constexpr int kValues = 100'000;
    for (int i = 0; i < kValues; ++i) {
        const double wave = std::sin(i / 300.0) * 100 + (i % 7);
        feed.AddValuesAt(1, {Field("A", wave), Field("B", -wave)}, i * 0.1);
    }
    feed.RedrawNow();
    const int columns = static_cast<int>(std::lround(feed.View().chart()->plotArea().width()));
    ASSERT_GT(columns, 100);
    EXPECT_EQ(XRange().begin, 0);
    // The next round step past the last value, 9999.9 s.
    EXPECT_DOUBLE_EQ(XRange().end, 10000);
    for (std::size_t s = 0; s < 2; ++s) {
        const QList<QPointF> points = feed.Series(s).points();
        EXPECT_GE(points.size(), columns);
        EXPECT_LE(points.size(), 2 * columns);
        // The extremes of the run are among the points drawn, and the axis holds them.
        const auto [low, high] = std::minmax_element(
            points.begin(), points.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
        const std::optional<SampleExtremes> kept =
            feed.Samples().Series(s).Extremes(0, kValues * 0.1);
        EXPECT_FLOAT_EQ(low->y(), kept->min.value);
        EXPECT_FLOAT_EQ(high->y(), kept->max.value);
        EXPECT_LE(Axis(Qt::Vertical).min(), low->y());
        EXPECT_GE(Axis(Qt::Vertical).max(), high->y());
    }
}

TEST_F(ChartFeedTest, TheWheelZoomsDraggingPansADoubleClickResets) {
    Bind({{1, "T", ""}}, ViewMode::kWholeRun);
    for (int i = 0; i <= 1000; ++i) {
        feed.AddValuesAt(1, {Field("T", i % 10)}, i);
    }
    feed.RedrawNow();
    QWidget* viewport = feed.View().viewport();
    const QPointF centre = feed.View().mapFromScene(feed.View().chart()->plotArea().center());
    QWheelEvent wheel(centre, viewport->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    feed.RedrawNow();
    const TimeRange zoomed = XRange();
    EXPECT_NEAR(zoomed.Width(), 800, 1);
    EXPECT_NEAR((zoomed.begin + zoomed.end) / 2, 500, 5);
    const QPoint from = centre.toPoint();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(100, 0), viewport->mapToGlobal(from),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, from + QPoint(100, 0));
    feed.RedrawNow();
    const double perPixel = zoomed.Width() / feed.View().chart()->plotArea().width();
    EXPECT_NEAR(XRange().begin, zoomed.begin - 100 * perPixel, 0.01);
    EXPECT_NEAR(XRange().Width(), zoomed.Width(), 0.01);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, from);
    feed.RedrawNow();
    EXPECT_EQ(XRange(), (TimeRange{0, 1000}));
}

TEST_F(ChartFeedTest, DroppedAndRefusedValuesAreNoticed) {
    Bind({{1, "T", ""}});
    feed.RedrawNow();
    EXPECT_EQ(feed.View().chart()->title(), "");
    // Past the budget of 64 MiB at 8.4 bytes a value.
    for (std::uint32_t i = 0; i < 8'500'000; ++i) {
        feed.Samples().Append(0, i / 1000.0, 1);
    }
    feed.AddValuesAt(1, {Field("T", std::numeric_limits<double>::infinity())}, 9000);
    feed.RedrawNow();
    EXPECT_GT(feed.Samples().Dropped(), 0u);
    EXPECT_EQ(feed.View().chart()->title(),
              "Oldest values dropped to keep memory bounded; 1 values not drawn: not a finite "
              "number, or too late in the run");
}

// "time", then a column per bound series.
std::vector<std::vector<std::string>> CsvCells(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream cellsIn(line);
        for (std::string cell; std::getline(cellsIn, cell, ',');) {
            cells.push_back(cell);
        }
        if (line.ends_with(',')) {
            cells.emplace_back();
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST_F(ChartFeedTest, SavedDataParsesBack) {
    Bind({{1, "T", "Inside"}, {}, {2, "P", ""}});
    feed.AddValuesAt(1, {Field("T", 21.5)}, 0.5);
    feed.AddValuesAt(2, {Field("P", 101.25)}, 1.25);
    feed.AddValuesAt(1, {Field("T", -3)}, 2);
    ScratchDir dir;
    const QString path = QString::fromStdString(dir.File("values.csv"));
    ASSERT_EQ(feed.SaveData(path), std::nullopt);
    const std::vector<std::vector<std::string>> expected = {{"time", "Inside", "P"},
                                                            {"0.500", "21.5", ""},
                                                            {"1.250", "", "101.25"},
                                                            {"2.000", "-3", ""}};
    EXPECT_EQ(CsvCells(FileText(path.toStdString())), expected);
}

TEST_F(ChartFeedTest, SavedPictureIsTheChartAsShown) {
    ScratchDir dir;
    const QString path = QString::fromStdString(dir.File("chart.png"));
    ASSERT_EQ(feed.SavePicture(path), std::nullopt);
    const QImage picture(path);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), feed.View().grab().size());
}

TEST_F(ChartFeedTest, AFailedSaveSaysWhyAndLeavesTheFile) {
    ScratchDir dir;
    const std::string kept = dir.File("kept.csv");
    SetFileText(kept, "as it was\n");
    // A folder where the file would go: neither can be written.
    const QString blocked = QString::fromStdString(kept + "/inside.csv");
    for (const std::optional<QString>& failure :
         {feed.SaveData(blocked), feed.SavePicture(blocked)}) {
        ASSERT_TRUE(failure.has_value());
        EXPECT_TRUE(failure->startsWith("Unable to write to " + blocked + ": "))
            << failure->toStdString();
    }
    EXPECT_EQ(FileText(kept), "as it was\n");
}

TEST_F(ChartFeedTest, SeriesDialogOffersTheRowsFieldsAndBinds) {
    auto* grid = Named<CommandGrid>(form, "CmdGrid");
    grid->SetCellText(0, 3, "Climate");
    grid->SetCellText(2, 3, "01 03 T:S16*0.1 H:U16 CRC-16/MODBUS");
    grid->SetCellText(2, 4, "a note, no fields");
    std::vector<QString> offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SeriesDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* row = Named<QComboBox>(*dialog, "Series2Row");
        auto* field = Named<QComboBox>(*dialog, "Series2Field");
        row->setCurrentIndex(row->findData(4));
        offered.push_back(QString::number(field->count()));
        row->setCurrentIndex(row->findData(3));
        for (int i = 0; i < field->count(); ++i) {
            offered.push_back(field->itemText(i));
        }
        offered.push_back(row->currentText());
        field->setCurrentIndex(1);
        Named<QLineEdit>(*dialog, "Series2Name")->setText("Humidity");
        dialog->accept();
    });
    MenuItem("Series...").trigger();
    EXPECT_EQ(offered, (std::vector<QString>{"0", "T", "H", "3  Climate"}));
    EXPECT_EQ(feed.Options().series[1], (SeriesBinding{3, "H", "Humidity"}));
    EXPECT_EQ(feed.Series(1).name(), "Humidity");
    EXPECT_NE(fixture.IniText().find("Series2Row=3\nSeries2Field=H\nSeries2Name=Humidity\n"),
              std::string::npos);
}

TEST_F(ChartFeedTest, ChosenViewIsStoredAtOnce) {
    MenuItem("Whole run").trigger();
    EXPECT_EQ(feed.Options().mode, ViewMode::kWholeRun);
    EXPECT_NE(fixture.IniText().find("[Charts]"), std::string::npos);
    EXPECT_NE(fixture.IniText().find("View=WholeRun\n"), std::string::npos);
}

TEST(ChartOptionsInTheWindow, LoadAtStartAndSaveWithTheOptions) {
    WindowFixture fixture;
    fixture.WriteIni(
        "[Charts]\nSeries4Row=12\nSeries4Field=F\nSeries4Name=Flow\nFollowMinutes=2\n");
    TForm1& form = fixture.Start();
    ChartFeed& feed = *form.Charts();
    EXPECT_EQ(feed.Options().series[3], (SeriesBinding{12, "F", "Flow"}));
    EXPECT_EQ(feed.Options().followMinutes, 2);
    EXPECT_EQ(feed.Series(3).name(), "Flow");
    ChartOptions options = feed.Options();
    options.series[0] = {1, "T", ""};
    feed.SetOptions(options);
    form.N1Click();
    fixture.Destroy();
    EXPECT_EQ(fixture.Start().Charts()->Options(), options);
}

TEST(ChartOptionsInTheWindow, AFileWithoutChartsGainsNoSection) {
    WindowFixture fixture;
    fixture.Start().N1Click();
    fixture.Destroy();
    EXPECT_EQ(fixture.IniText().find("[Charts]"), std::string::npos);
}

}  // namespace
}  // namespace brantel::test
