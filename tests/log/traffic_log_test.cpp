#include "log/traffic_log.h"
#include "log/line_export.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

#include "checks/check_search.h"
#include "log/check_search_dialog.h"
#include "log/line_wrap.h"
#include "qtbridge/qt_colour.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

// The log in a shown, active window beside a line edit, as on the protocol page.
class TrafficLogTest : public ::testing::Test {
  protected:
    TrafficLogTest() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(log);
        window.resize(300, 200);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QAction* Action(const QString& text) const {
        for (QAction* action : log->actions()) {
            if (action->text().remove('&') == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no action " << text.toStdString();
        return nullptr;
    }
    // Pixels of the log painted in the selection's colour.
    int HighlightedPixels() const {
        const QImage image = log->viewport()->grab().toImage();
        const QColor highlight = log->palette().color(QPalette::Active, QPalette::Highlight);
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += image.pixelColor(x, y) == highlight;
            }
        }
        return count;
    }

    // A point of the log's viewport painted in the colour, as on a line of that colour.
    QPoint OnLineOf(Colour colour) const {
        const QImage image = log->viewport()->grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == ToQColor(colour)) {
                    return QPoint(x, y);
                }
            }
        }
        ADD_FAILURE() << "no line of colour " << colour;
        return {};
    }
    // Opens the log's context menu at the point of its viewport and chooses "Find Check" there
    // when it is enabled; whether it was.
    bool ChooseFindCheckAt(QPoint at) {
        bool enabled = false;
        QTimer::singleShot(0, [&enabled] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text().remove('&') == "Find Check") {
                    enabled = action->isEnabled();
                    menu->setActiveAction(action);
                }
            }
            QTest::keyClick(menu, enabled ? Qt::Key_Return : Qt::Key_Escape);
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, log->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(log->viewport(), &event);
        return enabled;
    }

    // What the window shows of `part` (the log's viewport unless told) now, against it drawn
    // afresh.
    void ExpectScreenAsDrawnAfresh(const char* when, QWidget* part = nullptr) {
        QCoreApplication::processEvents();
        QWidget* view = part != nullptr ? part : log->viewport();
        const QPoint at = view->mapTo(&window, QPoint(0, 0));
        const QImage shown =
            window.screen()
                ->grabWindow(window.winId(), at.x(), at.y(), view->width(), view->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), fresh.size()) << when;
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                differing += shown.pixel(x, y) != fresh.pixel(x, y);
            }
        }
        EXPECT_EQ(differing, 0) << when;
    }

    bool ready = false;
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    TrafficLog* log = new TrafficLog([this] { return ready; }, &window);
};

TEST_F(TrafficLogTest, EachLineKeepsItsTextAndColour) {
    log->LogLine("Port COM2: is Opened", kPortStatusGreen);
    log->LogLine("", kSentRed);
    log->LogHex("", kSentRed);
    log->LogLine("// Ping :", kAnnotationTeal);
    log->LogHex("AB", kSentRed);
    log->LogHex(std::string("\x00\x0A\xFF", 3), kReceivedBlue);
    const std::vector<std::pair<QString, Colour>> expected = {
        {"Port COM2: is Opened", kPortStatusGreen},
        {"// Ping :", kAnnotationTeal},
        {"41 42 ", kSentRed},
        {"00 0A FF ", kReceivedBlue}};
    ASSERT_EQ(log->LineCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(log->LineText(i), expected[i].first);
        EXPECT_EQ(log->LineColour(i), expected[i].second);
    }
    EXPECT_EQ(ToQColor(kReceivedBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(kAnnotationTeal), QColor(0, 128, 128));
}

// A line breaks after the last blank that fits; blanks hang; a long word breaks anywhere.
TEST(LineWrap, BreaksAtBlanksOrAnywhereInALongWord) {
    const struct {
        QString text;
        int columns;
        QStringList rows;
    } cases[] = {
        {"", 5, {""}},
        {"00 0A FF ", 9, {"00 0A FF "}},
        {"00 0A FF ", 8, {"00 0A FF "}},
        {"00 0A FF ", 7, {"00 0A ", "FF "}},
        {"Port COM2: is Opened", 12, {"Port COM2: ", "is Opened"}},
        {"abcdefgh", 3, {"abc", "def", "gh"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " in " + std::to_string(c.columns));
        QStringList rows;
        for (const WrappedRow& row : WrapRows(c.text, c.columns)) {
            rows << c.text.mid(row.start, row.length);
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// Before start-up ends nothing scrolls; then the log follows its end, holds still while the
// user reads further up, and follows again from End. It never takes the focus.
TEST_F(TrafficLogTest, FollowsItsEndUnlessTheUserScrolledUp) {
    edit->setFocus();
    QTest::keyClicks(edit, "hello");
    for (int i = 0; i < 100; ++i) {
        log->LogLine("line " + std::to_string(i), kReceivedBlue);
    }
    QTest::qWait(50);
    QScrollBar* bar = log->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0) << "no scrolling before start-up ends";

    ready = true;
    log->LogLine("newest", kReceivedBlue);
    QCoreApplication::processEvents();
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), "hello");

    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    const int reading = bar->value();
    log->LogLine("while reading", kReceivedBlue);
    QCoreApplication::processEvents();
    EXPECT_FALSE(log->Following());
    EXPECT_EQ(bar->value(), reading);

    log->setFocus();
    QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
    log->LogLine("after End", kReceivedBlue);
    QCoreApplication::processEvents();
    EXPECT_TRUE(log->Following());
    EXPECT_EQ(bar->value(), bar->maximum());
}

// Lines moved up by pixels as new ones come, and down and up again as the user scrolls, show
// exactly what drawing the log afresh shows.
TEST_F(TrafficLogTest, MovedPixelsShowWhatAFreshDrawingShows) {
    ready = true;
    for (int i = 0; i < 30; ++i) {
        log->LogHex(std::string(static_cast<std::size_t>(i % 4 * 9 + 1), static_cast<char>(i)),
                    i % 2 == 0 ? kReceivedBlue : kSentRed);
        log->LogLine("line " + std::to_string(i), kPortStatusGreen);
        QCoreApplication::processEvents();
    }
    ExpectScreenAsDrawnAfresh("following the end");
    log->setFocus();
    QTest::keyClick(log, Qt::Key_Up);
    QTest::keyClick(log, Qt::Key_Up);
    ExpectScreenAsDrawnAfresh("two lines up");
    QTest::keyClick(log, Qt::Key_PageUp);
    log->LogLine("while reading", kReceivedBlue);
    ExpectScreenAsDrawnAfresh("a page up, a line come");
    QTest::keyClick(log, Qt::Key_Down);
    ExpectScreenAsDrawnAfresh("a line down");
    QTest::keyClick(log, Qt::Key_End);
    log->LogHex(std::string(40, 'x'), kSentRed);
    ExpectScreenAsDrawnAfresh("back at the end");
}

// A log growing at its end changes the scroll range with every line, yet once the slider is at
// its least length the bar looks the same and is not painted again; it is when its look changes,
// and what it shows is always what drawing it afresh shows.
TEST_F(TrafficLogTest, ScrollBarIsPaintedOnlyWhenItsLookChanges) {
    ready = true;
    for (int i = 0; i < 2000; ++i) {
        log->LogLine("line " + std::to_string(i), kReceivedBlue);
    }
    QTest::qWait(50);
    QScrollBar* bar = log->verticalScrollBar();
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    bar->installEventFilter(&counter);
    for (int i = 0; i < 20; ++i) {
        log->LogLine("more " + std::to_string(i), kReceivedBlue);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(counter.paints, 0);
    ExpectScreenAsDrawnAfresh("the bar at the end", bar);

    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    ExpectScreenAsDrawnAfresh("the bar a page up", bar);
    log->setFocus();
    QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
    ExpectScreenAsDrawnAfresh("the bar back at the end", bar);
}

// Whether the end of line `index` shows in a row wholly above the bottom margin.
bool EndOfLineOnScreen(const TrafficLog& log, int index) {
    const QWidget* view = log.viewport();
    const int lowest = view->height() - 4 - log.fontMetrics().height();
    for (int y = 0; y <= lowest; y += 2) {
        const std::optional<LogPlace> place = log.PlaceAt(QPoint(view->width() - 1, y));
        if (place && place->line == log.Lines().FirstNumber() + static_cast<quint64>(index) &&
            place->column == log.LineText(index).size()) {
            return true;
        }
    }
    return false;
}

// A line taller than the screen, among others or the last, can be scrolled to its last row by
// every means of scrolling, from the top of the log.
TEST_F(TrafficLogTest, EveryMeansOfScrollingReachesTheEndOfATallLine) {
    QScrollBar* bar = log->verticalScrollBar();
    const auto key = [this](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [this, k, modifiers] { QTest::keyClick(log, k, modifiers); };
    };
    const auto barAction = [bar](QAbstractSlider::SliderAction action) {
        return [bar, action] { bar->triggerAction(action); };
    };
    const auto wheel = [](QWidget* target) {
        return [target] {
            const QPointF at(target->width() / 2.0, target->height() / 2.0);
            QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(target, &event);
        };
    };
    const struct {
        const char* means;
        std::function<void()> step;
        bool onlyAtTheEnd;
    } means[] = {
        {"Down", key(Qt::Key_Down), false},
        {"Page Down", key(Qt::Key_PageDown), false},
        {"wheel over the lines", wheel(log->viewport()), false},
        {"wheel over the bar", wheel(bar), false},
        {"the bar's arrow", barAction(QAbstractSlider::SliderSingleStepAdd), false},
        {"the bar's page area", barAction(QAbstractSlider::SliderPageStepAdd), false},
        {"Ctrl+End", key(Qt::Key_End, Qt::ControlModifier), true},
        {"the slider dragged to the end", [bar] { bar->setSliderPosition(bar->maximum()); }, true},
    };
    const std::string tall(600, '\x5A');
    for (const bool tallLast : {false, true}) {
        for (const auto& m : means) {
            if (m.onlyAtTheEnd && !tallLast) {
                continue;
            }
            SCOPED_TRACE(std::string(m.means) + (tallLast ? ", the tall line last" : ""));
            log->Clear();
            log->LogLine("before", kPortStatusGreen);
            log->LogHex(tall, kSentRed);
            if (!tallLast) {
                for (int i = 0; i < 30; ++i) {
                    log->LogLine("after " + std::to_string(i), kPortStatusGreen);
                }
            }
            QCoreApplication::processEvents();
            log->setFocus();
            QTest::keyClick(log, Qt::Key_Home);
            ASSERT_FALSE(EndOfLineOnScreen(*log, 1));
            bool reached = false;
            for (int steps = 0; steps < 200 && !reached; ++steps) {
                m.step();
                QCoreApplication::processEvents();
                reached = EndOfLineOnScreen(*log, 1);
            }
            EXPECT_TRUE(reached);
            ExpectScreenAsDrawnAfresh(m.means);
        }
    }
    ready = true;
    log->Clear();
    log->LogHex(tall, kReceivedBlue);
    QCoreApplication::processEvents();
    EXPECT_TRUE(EndOfLineOnScreen(*log, 0)) << "following the end";
}

// How many rows each line takes follows the width and the time stamps: after either changes,
// the scroll range is that of a log laid out afresh that way.
TEST_F(TrafficLogTest, RowsFollowTheWidthAndTheTimeStamps) {
    ready = true;
    const auto fill = [](TrafficLog& target) {
        for (int i = 0; i < 60; ++i) {
            target.LogHex(std::string(static_cast<std::size_t>(6 + i % 9), static_cast<char>(i)),
                          kReceivedBlue);
        }
        QCoreApplication::processEvents();
    };
    fill(*log);
    const auto expectLikeFresh = [&](const char* when) {
        TrafficLog fresh([] { return true; });
        fresh.SetTimeStamps(log->TimeStamps());
        fresh.resize(log->size());
        fresh.show();
        fill(fresh);
        EXPECT_EQ(log->verticalScrollBar()->maximum(), fresh.verticalScrollBar()->maximum())
            << when;
        ExpectScreenAsDrawnAfresh(when);
    };
    log->SetTimeStamps(true);
    QCoreApplication::processEvents();
    expectLikeFresh("stamps on");
    window.resize(220, 200);
    QCoreApplication::processEvents();
    expectLikeFresh("narrower");
    log->SetTimeStamps(false);
    QCoreApplication::processEvents();
    expectLikeFresh("stamps off");
}

// Text selected across lines copies as shown, each line passed ending in CR LF; the
// selection shows only while the log has the focus.
TEST_F(TrafficLogTest, SelectionCopiesAsShownAndShowsOnlyWithTheFocus) {
    ready = true;
    log->LogLine("Port COM2: is Opened", kPortStatusGreen);
    log->LogHex("AB", kSentRed);
    log->LogLine("// Ping :", kAnnotationTeal);
    QCoreApplication::processEvents();
    const quint64 first = log->Lines().FirstNumber();
    log->setFocus();
    log->Select({first, 5}, {first + 2, 2});
    EXPECT_EQ(log->SelectedText(), "COM2: is Opened\r\n41 42 \r\n//");
    QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "COM2: is Opened\r\n41 42 \r\n//");
    QTest::keyClick(log, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(log->SelectedText(), "Port COM2: is Opened\r\n41 42 \r\n// Ping :\r\n");

    EXPECT_GT(HighlightedPixels(), 0);
    edit->setFocus();
    EXPECT_EQ(HighlightedPixels(), 0);
    EXPECT_EQ(log->SelectedText(), "Port COM2: is Opened\r\n41 42 \r\n// Ping :\r\n");
}

// Clear empties the log; time stamps put the arrival time before every line; Save As writes
// the lines as shown, as text or as HTML with their colours; Find selects the next match.
TEST_F(TrafficLogTest, MenuActionsClearStampSaveAndFind) {
    log->LogLine("Port COM2: is Opened", kPortStatusGreen);
    log->LogHex("<A", kSentRed);
    Action("Time Stamps")->trigger();
    EXPECT_TRUE(log->TimeStamps());
    EXPECT_TRUE(
        QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d\d\d 3C 41 $)").match(log->LineText(1)).hasMatch())
        << log->LineText(1).toStdString();
    Action("Time Stamps")->trigger();
    EXPECT_EQ(log->LineText(1), "3C 41 ");

    const test::ScratchDir dir;
    const QString text = QString::fromStdString(dir.File("log.txt"));
    const QString html = QString::fromStdString(dir.File("log.html"));
    EXPECT_EQ(log->SaveTo(text, false), std::nullopt);
    EXPECT_EQ(test::FileText(text.toStdString()), "-- Port COM2: is Opened\n> 3C 41 \n");
    EXPECT_EQ(log->SaveTo(html, true), std::nullopt);
    const std::string saved = test::FileText(html.toStdString());
    EXPECT_NE(saved.find("<span style=\"color:#008000\">Port COM2: is Opened</span>"),
              std::string::npos);
    EXPECT_NE(saved.find("<span style=\"color:#ff0000\">3C 41 </span>"), std::string::npos);

    EXPECT_TRUE(log->Find("3c", false, true));
    EXPECT_EQ(log->SelectedText(), "3C");
    EXPECT_TRUE(log->Find("41", true, true));
    EXPECT_EQ(log->SelectedText(), "41");
    EXPECT_FALSE(log->Find("ZZ", false, true));
    log->LogHex("\x01\x03", kReceivedBlue);
    log->LogHex("\x02", kReceivedBlue);
    EXPECT_TRUE(log->Find("01 03 02", true, true)) << "across two received lines";
    EXPECT_EQ(log->SelectedText(), "01 03 \r\n02");

    Action("Clear")->trigger();
    EXPECT_EQ(log->LineCount(), 0);
    log->LogLine("next", kSentRed);
    EXPECT_EQ(log->LineText(0), "next");
}

// "Find Check" on a line of bytes lists every check that ends them, best guess first, as the
// search finds them, and copies the chosen token; a frame without a check says so, as does one
// too long to search, and a line of text holds no frame. The log keeps its lines.
TEST_F(TrafficLogTest, FindCheckListsTheChecksOfTheFrameUnderTheCursor) {
    ready = true;
    // A Modbus RTU answer: one register, 10.
    const std::string answer("\x01\x03\x02\x00\x0A\x38\x43", 7);
    const std::string noCheck = "OK";
    log->LogLine("// Read :", kAnnotationTeal);
    log->LogHex(answer, kReceivedBlue);
    log->LogHex(noCheck, kSentRed);
    QCoreApplication::processEvents();
    const QStringList linesBefore = {log->LineText(0), log->LineText(1), log->LineText(2)};

    ASSERT_TRUE(ChooseFindCheckAt(OnLineOf(kReceivedBlue)));
    auto* dialog = log->findChild<CheckSearchDialog*>("CheckSearchDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    auto* found = dialog->findChild<QTreeWidget*>("FoundChecks");
    auto* copy = dialog->findChild<QPushButton*>("CopyToken");
    const std::vector<CheckToken> expected = FindChecks(std::span(&answer, 1));
    ASSERT_EQ(found->topLevelItemCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(found->topLevelItem(0)->text(0), "CRC-16/MODBUS");
    for (int row = 0; row < found->topLevelItemCount(); ++row) {
        EXPECT_EQ(found->topLevelItem(row)->text(0).toStdString(), expected[row].Text());
        EXPECT_EQ(found->topLevelItem(row)->text(1).toStdString(),
                  expected[row].algorithm.Description());
    }
    EXPECT_TRUE(copy->isEnabled());
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "CRC-16/MODBUS");
    if (found->topLevelItemCount() > 1) {
        found->setCurrentItem(found->topLevelItem(found->topLevelItemCount() - 1));
        QTest::mouseClick(copy, Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text(),
                  QString::fromStdString(expected.back().Text()));
    }

    ASSERT_TRUE(ChooseFindCheckAt(OnLineOf(kSentRed)));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(found->topLevelItemCount(), 0);
    EXPECT_FALSE(found->isEnabled());
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_TRUE(dialog->findChild<QLabel*>("CheckVerdict")->text().startsWith("No check found"));

    QTest::mouseClick(dialog->findChild<QPushButton*>("CloseCheckSearch"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(ChooseFindCheckAt(OnLineOf(kAnnotationTeal)));
    EXPECT_FALSE(ChooseFindCheckAt(QPoint(10, log->viewport()->height() - 2)))
        << "below the last line";
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(log->LineCount(), 3);
    EXPECT_EQ(QStringList({log->LineText(0), log->LineText(1), log->LineText(2)}), linesBefore);

    log->LogHex(std::string(4097, '\x01'), kPortStatusGreen);
    QCoreApplication::processEvents();
    ASSERT_TRUE(ChooseFindCheckAt(OnLineOf(kPortStatusGreen)));
    EXPECT_EQ(found->topLevelItemCount(), 0);
    EXPECT_EQ(dialog->findChild<QLabel*>("CheckVerdict")->text(),
              "Not searched: Find Check takes frames of up to 4096 bytes.");
}

// A plain-text save marks what each line's colour said; the chosen filter's extension is added
// unless the name has one of its own.
TEST(LineExport, MarksLinesAndAddsTheFiltersExtension) {
    const struct {
        Colour colour;
        QString text;
        QString marker;
    } lines[] = {
        {kSentRed, "50 02 04 56 ", "> "},
        {kReceivedBlue, "50 02 07 ", "< "},
        {kAnnotationTeal, "// Status :", ""},
        {kAnnotationTeal, "Poll stopped", "// "},
        {kPortStatusGreen, "Port COM2: is Opened", "-- "},
    };
    for (const auto& line : lines) {
        EXPECT_EQ(LineMarker(line.colour, line.text), line.marker) << line.text.toStdString();
    }
    const struct {
        QString path;
        QString filter;
        QString saved;
    } paths[] = {
        {"/tmp/log", "Text files (*.txt)", "/tmp/log.txt"},
        {"/tmp/log.TXT", "Text files (*.txt)", "/tmp/log.TXT"},
        {"/tmp/log.htm", "HTML files (*.html *.htm)", "/tmp/log.htm"},
        {"/tmp/log.v1", "HTML files (*.html *.htm)", "/tmp/log.v1.html"},
        {"/tmp/log", "All files", "/tmp/log"},
    };
    for (const auto& c : paths) {
        EXPECT_EQ(WithFilterExtension(c.path, c.filter), c.saved) << c.path.toStdString();
    }
}

}  // namespace
}  // namespace brantel
