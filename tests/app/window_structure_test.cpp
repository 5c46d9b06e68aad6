#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/tform1.h"
#include "log/traffic_log.h"
#include "qtbridge/qt_colour.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"
#include "widgets/port_number_edit.h"

namespace brantel::test {
namespace {

class WindowStructureTest : public ::testing::Test {
  protected:
    WindowStructureTest() : form(fixture.Start()) {}

    QLineSeries* SeriesNamed(const char* name) {
        for (QAbstractSeries* one : Named<QChartView>(form, "Chart1")->chart()->series()) {
            if (one->objectName() == name) {
                return static_cast<QLineSeries*>(one);
            }
        }
        throw std::logic_error(std::string("no series ") + name);
    }

    WindowFixture fixture;
    TForm1& form;
};

TEST_F(WindowStructureTest, EveryComponentIsFoundByItsName) {
    const char* const names[] = {
        "StatusBar1", "Panel1",     "Label4",       "Label1",     "Button3",    "Button4",
        "Edit1",      "Edit2",      "Button5",      "Button6",    "PortNumber", "PortSpeed",
        "Timer1",     "N1",         "N2",           "SendCmdBtn", "Label2",     "AddressEdit",
        "Label3",     "Parameters", "PageControl1", "TabSheet1",  "TabSheet2",  "Splitter1",
        "CmdGrid",    "SerialMemo", "Chart1"};
    EXPECT_EQ(form.objectName(), "Form1");
    for (const char* name : names) {
        EXPECT_NE(form.findChild<QObject*>(name), nullptr) << name;
    }
    QStringList series;
    for (const QAbstractSeries* one : Named<QChartView>(form, "Chart1")->chart()->series()) {
        series << one->objectName();
    }
    series.sort();
    EXPECT_EQ(series, QStringList({"Series1", "Series2", "Series3", "Series4"}));
}

struct PanelControl {
    const char* name;
    QRect geometry;  // an empty size: a label sized to its caption
    const char* caption;
};

TEST_F(WindowStructureTest, PanelControlsSitWhereDesignedWithTheirCaptions) {
    const PanelControl controls[] = {
        {"Label4", {4, 8, 0, 0}, "COM-Port :"},        {"PortNumber", {67, 5, 41, 18}, nullptr},
        {"Label1", {4, 29, 0, 0}, "Speed :"},          {"PortSpeed", {43, 24, 65, 21}, nullptr},
        {"Button3", {111, 2, 41, 17}, "Open"},         {"Button6", {111, 19, 41, 17}, "Close"},
        {"Button4", {152, 2, 48, 17}, "Read"},         {"Button5", {151, 19, 49, 17}, "Write"},
        {"SendCmdBtn", {111, 36, 89, 17}, "Send Cmd"}, {"Edit1", {204, 1, 575, 21}, nullptr},
        {"Edit2", {204, 20, 575, 21}, nullptr},        {"Label2", {206, 45, 0, 0}, "Address (A): "},
        {"AddressEdit", {266, 41, 33, 21}, nullptr},   {"Label3", {305, 45, 0, 0}, "Parameters:"},
        {"Parameters", {363, 41, 414, 21}, nullptr},
    };
    for (const PanelControl& control : controls) {
        SCOPED_TRACE(control.name);
        const auto* widget = Named<QWidget>(form, "Panel1")->findChild<QWidget*>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), Named<QWidget>(form, "Panel1"));
        if (control.geometry.isEmpty()) {
            EXPECT_EQ(widget->pos(), control.geometry.topLeft());
        } else {
            EXPECT_EQ(widget->geometry(), control.geometry);
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            EXPECT_EQ(label->text(), control.caption);
        }
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), control.caption);
        }
    }
}

// Whatever font the desktop substitutes, each label's caption ends before the box it names.
TEST_F(WindowStructureTest, LabelsShowWholeBeforeTheirBoxes) {
    const std::pair<QLabel*, QWidget*> pairs[] = {
        {Named<QLabel>(form, "Label4"), Named<PortNumberEdit>(form, "PortNumber")},
        {Named<QLabel>(form, "Label1"), Named<QComboBox>(form, "PortSpeed")},
        {Named<QLabel>(form, "Label2"), Named<QLineEdit>(form, "AddressEdit")},
        {Named<QLabel>(form, "Label3"), Named<QLineEdit>(form, "Parameters")}};
    for (const auto& [label, box] : pairs) {
        SCOPED_TRACE(label->text().toStdString());
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text().trimmed());
        EXPECT_LT(label->x() + textWidth, box->x());
        EXPECT_GE(label->width(), textWidth);
    }
}

TEST_F(WindowStructureTest, ClientAreaHoldsPanelPagesAndStatusBarAtDesignSize) {
    EXPECT_EQ(form.windowTitle(), "Brantel v.1.01");
    EXPECT_EQ(form.pos(), QPoint(184, 99));
    EXPECT_EQ(Named<QWidget>(form, "Panel1")->size(), QSize(783, 63));
    EXPECT_EQ(Named<QTabWidget>(form, "PageControl1")->size(), QSize(783, 485));
    EXPECT_EQ(Named<QStatusBar>(form, "StatusBar1")->height(), 19);
    EXPECT_EQ(Named<QStatusBar>(form, "StatusBar1")->geometry().bottom() + 1, form.height());
    EXPECT_EQ(Named<QWidget>(form, "Panel1")->height() +
                  Named<QTabWidget>(form, "PageControl1")->height() +
                  Named<QStatusBar>(form, "StatusBar1")->height(),
              567);
}

TEST_F(WindowStructureTest, ControlsHoldTheirInitialValuesAfterStartUp) {
    EXPECT_EQ(Named<PortNumberEdit>(form, "PortNumber")->text(), "2");
    EXPECT_EQ(Named<PortNumberEdit>(form, "PortNumber")->Value(), 2);
    EXPECT_EQ(Named<QComboBox>(form, "PortSpeed")->currentText(), "9600");
    EXPECT_TRUE(Named<QComboBox>(form, "PortSpeed")->isEditable());
    QStringList items;
    for (int i = 0; i < Named<QComboBox>(form, "PortSpeed")->count(); ++i) {
        items << Named<QComboBox>(form, "PortSpeed")->itemText(i);
    }
    EXPECT_EQ(items, QStringList({"300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                                  "28800", "33600", "57600", "115000", "230000", ""}));
    EXPECT_EQ(Named<QComboBox>(form, "PortSpeed")->maxVisibleItems(), 14);
    EXPECT_EQ(Named<QLineEdit>(form, "AddressEdit")->text(), "50");
    EXPECT_EQ(Named<QLineEdit>(form, "Parameters")->text(), "");
    EXPECT_EQ(Named<QLineEdit>(form, "Edit1")->text(), "");
    EXPECT_EQ(Named<QLineEdit>(form, "Edit2")->text(), "");
}

TEST_F(WindowStructureTest, EditBoxesShowBoldTextInTheirColours) {
    const struct {
        QLineEdit* edit;
        Colour colour;
    } edits[] = {{Named<QLineEdit>(form, "Edit1"), kReceivedBlue},
                 {Named<QLineEdit>(form, "Edit2"), kSentRed},
                 {Named<QLineEdit>(form, "AddressEdit"), kNavy},
                 {Named<QLineEdit>(form, "Parameters"), kNavy}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.edit->objectName().toStdString());
        EXPECT_EQ(edit.edit->palette().color(QPalette::Text), ToQColor(edit.colour));
        EXPECT_TRUE(edit.edit->font().bold());
        EXPECT_EQ(edit.edit->font().pixelSize(), 11);
    }
}

TEST_F(WindowStructureTest, TabWalksThePanelInDesignedOrderThenThePages) {
    QWidget* const order[] = {
        Named<QPushButton>(form, "Button3"),       Named<QPushButton>(form, "Button4"),
        Named<QLineEdit>(form, "Edit1"),           Named<QLineEdit>(form, "Edit2"),
        Named<QPushButton>(form, "Button5"),       Named<QPushButton>(form, "Button6"),
        Named<PortNumberEdit>(form, "PortNumber"), Named<QComboBox>(form, "PortSpeed"),
        Named<QPushButton>(form, "SendCmdBtn"),    Named<QLineEdit>(form, "AddressEdit"),
        Named<QLineEdit>(form, "Parameters")};
    Named<QPushButton>(form, "Button3")->setFocus(Qt::OtherFocusReason);
    for (QWidget* expected : order) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_TRUE(focused == expected || expected->isAncestorOf(focused))
            << "expected " << expected->objectName().toStdString() << ", focus on "
            << focused->objectName().toStdString();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_TRUE(Named<QTabWidget>(form, "PageControl1")->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(WindowStructureTest, ChartsPageShowsFourEmptySeries) {
    ASSERT_EQ(Named<QTabWidget>(form, "PageControl1")->count(), 2);
    EXPECT_EQ(Named<QTabWidget>(form, "PageControl1")->widget(0),
              Named<QWidget>(form, "TabSheet1"));
    EXPECT_EQ(Named<QTabWidget>(form, "PageControl1")->tabText(0), QString::fromUtf8("Протокол"));
    EXPECT_EQ(Named<QTabWidget>(form, "PageControl1")->widget(1),
              Named<QWidget>(form, "TabSheet2"));
    EXPECT_EQ(Named<QTabWidget>(form, "PageControl1")->tabText(1), QString::fromUtf8("Графики"));
    EXPECT_EQ(Named<QTabWidget>(form, "PageControl1")->currentWidget(),
              Named<QWidget>(form, "TabSheet2"));
    EXPECT_TRUE(Named<QChartView>(form, "Chart1")->isVisible());
    // Series1 is red with a blue line pen; the legend shows each series' own colour.
    const struct {
        QLineSeries* series;
        QColor line;
        QColor legend;
    } series[] = {{SeriesNamed("Series1"), Qt::blue, Qt::red},
                  {SeriesNamed("Series2"), Qt::green, Qt::green},
                  {SeriesNamed("Series3"), Qt::yellow, Qt::yellow},
                  {SeriesNamed("Series4"), Qt::blue, Qt::blue}};
    for (const auto& one : series) {
        SCOPED_TRACE(one.series->objectName().toStdString());
        EXPECT_EQ(one.series->count(), 0);
        EXPECT_EQ(one.series->color(), one.line);
        EXPECT_EQ(Named<QChartView>(form, "Chart1")
                      ->chart()
                      ->legend()
                      ->markers(one.series)
                      .front()
                      ->brush()
                      .color(),
                  one.legend);
        EXPECT_FALSE(one.series->pointsVisible());
        EXPECT_EQ(one.series->chart(), Named<QChartView>(form, "Chart1")->chart());
    }
}

TEST_F(WindowStructureTest, ProtocolPageHoldsTheGridAboveTheLog) {
    Named<QTabWidget>(form, "PageControl1")->setCurrentWidget(Named<QWidget>(form, "TabSheet1"));
    ASSERT_TRUE(WaitUntil([&] { return Named<CommandGrid>(form, "CmdGrid")->isVisible(); }));
    EXPECT_EQ(Named<QSplitter>(form, "Splitter1")->orientation(), Qt::Vertical);
    EXPECT_EQ(Named<QSplitter>(form, "Splitter1")->widget(0), Named<CommandGrid>(form, "CmdGrid"));
    EXPECT_EQ(Named<QSplitter>(form, "Splitter1")->widget(1),
              Named<TrafficLog>(form, "SerialMemo"));
    EXPECT_EQ(Named<QSplitter>(form, "Splitter1")->handleWidth(), 3);
    EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->height(), 245);
    // Read-only: typing into the log adds nothing.
    TrafficLog* log = Named<TrafficLog>(form, "SerialMemo");
    const int lines = log->LineCount();
    log->setFocus();
    QTest::keyClicks(log, "typed");
    EXPECT_EQ(log->LineCount(), lines);
    EXPECT_EQ(Named<TrafficLog>(form, "SerialMemo")->width(),
              Named<CommandGrid>(form, "CmdGrid")->width());
}

TEST_F(WindowStructureTest, TimerTicksEveryTenthOfASecondFromTheStart) {
    EXPECT_EQ(Named<QTimer>(form, "Timer1")->interval(), 100);
    EXPECT_TRUE(Named<QTimer>(form, "Timer1")->isActive());
    EXPECT_FALSE(Named<QTimer>(form, "Timer1")->isSingleShot());
}

// "Save Options" first and "Exit" last as ever; "Ports...", the checks menu and "Poll..."
// between them, each shortcut its own.
TEST_F(WindowStructureTest, MenuBarCarriesItsCommandsAndTheChecksMenu) {
    const QList<QAction*> actions = form.menuBar()->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0], Named<QAction>(form, "N1"));
    EXPECT_EQ(actions[1], Named<QAction>(form, "PortsItem"));
    EXPECT_EQ(actions[2], Named<QMenu>(form, "ChecksMenu")->menuAction());
    EXPECT_EQ(actions[3], Named<QAction>(form, "PollItem"));
    EXPECT_EQ(actions[4], Named<QAction>(form, "N2"));
    EXPECT_EQ(
        Named<QMenu>(form, "ChecksMenu")->actions(),
        (QList<QAction*>{Named<QAction>(form, "CheckResponses"), Named<QAction>(form, "ShowFields"),
                         Named<QAction>(form, "AnswerRequests")}));
    for (const char* check : {"CheckResponses", "ShowFields", "AnswerRequests"}) {
        EXPECT_TRUE(Named<QAction>(form, check)->isCheckable()) << check;
        EXPECT_FALSE(Named<QAction>(form, check)->isChecked()) << check;
    }
    EXPECT_EQ(Named<QAction>(form, "ShowFields")->text(), "Show Fields");
    EXPECT_EQ(Named<QAction>(form, "AnswerRequests")->text(), "Answer Requests");
    EXPECT_EQ(Named<QAction>(form, "N1")->text(), "Save Options");
    EXPECT_EQ(Named<QAction>(form, "N1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(Named<QAction>(form, "PortsItem")->text(), "Ports...");
    EXPECT_EQ(Named<QAction>(form, "PortsItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(Named<QAction>(form, "PollItem")->text(), "Poll...");
    EXPECT_EQ(Named<QAction>(form, "PollItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(Named<QAction>(form, "N2")->text(), "E&xit");
    for (const QAction* action : {actions[0], actions[1], actions[3], actions[4]}) {
        EXPECT_EQ(action->menu(), nullptr) << action->text().toStdString();
    }
}

// The status bar shows panel 0 alone until a poll runs.
TEST_F(WindowStructureTest, StatusBarShowsOnlyPanelZeroWhenNotPolling) {
    EXPECT_FALSE(Named<QLabel>(form, "PollPanel")->isVisible());
    EXPECT_EQ(form.PollStatus(), "");
    EXPECT_EQ(Named<QLabel>(form, "StatusPanel")->text(), form.StatusText());
}

}  // namespace
}  // namespace brantel::test
