#include "log/traffic_log.h"

#include "qtbridge/qt_colour.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>

namespace brantel {
namespace {

QColor ColourOfLine(const TrafficLog& log, int line) {
    const QTextBlock block = log.document()->findBlockByNumber(line);
    return block.begin().fragment().charFormat().foreground().color();
}

TEST(TrafficLog, EachLineKeepsItsOwnColourAndEndsWithABreak) {
    TrafficLog log([] { return false; });
    const struct {
        std::string text;
        Colour colour;
    } lines[] = {{"Port COM2: is Opened", kPortStatusGreen},
                 {"// Ping :", kAnnotationTeal},
                 {"41 42 ", kSentRed},
                 {"06 ", kReceivedBlue},
                 {"Port COM2: is Closed", kPortStatusGreen}};
    for (const auto& line : lines) {
        log.LogLine(line.text, line.colour);
    }
    ASSERT_EQ(log.LineCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(log.document()->findBlockByNumber(i).text().toStdString(), lines[i].text);
        EXPECT_EQ(ColourOfLine(log, i), ToQColor(lines[i].colour)) << lines[i].text;
    }
    EXPECT_EQ(log.toPlainText().toStdString(),
              "Port COM2: is Opened\n// Ping :\n41 42 \n06 \nPort COM2: is Closed\n");
}

TEST(TrafficLog, ColoursAreReadAsBlueGreenRed) {
    EXPECT_EQ(ToQColor(kSentRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(kReceivedBlue), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(kPortStatusGreen), QColor(0, 128, 0));
    EXPECT_EQ(ToQColor(kAnnotationTeal), QColor(0, 128, 128));
    EXPECT_EQ(ToQColor(kNavy), QColor(0, 0, 128));
}

TEST(TrafficLog, EmptyTextAndEmptyBytesAddNothing) {
    TrafficLog log([] { return true; });
    log.LogLine("", kSentRed);
    log.LogHex("", kReceivedBlue);
    EXPECT_EQ(log.LineCount(), 0);
    EXPECT_TRUE(log.toPlainText().isEmpty());
    log.LogHex(std::string("\x00\x0A\xFF", 3), kReceivedBlue);
    EXPECT_EQ(log.toPlainText().toStdString(), "00 0A FF \n");
}

TEST(TrafficLog, KeepsTheNewestLinesBeyondItsCap) {
    TrafficLog log([] { return false; });
    for (int i = 0; i < TrafficLog::kMaxLines + 10; ++i) {
        log.LogLine(std::to_string(i), kSentRed);
    }
    EXPECT_EQ(log.LineCount(), TrafficLog::kMaxLines);
    EXPECT_EQ(log.document()->firstBlock().text().toStdString(), "10");
    EXPECT_EQ(log.document()->lastBlock().previous().text().toStdString(),
              std::to_string(TrafficLog::kMaxLines + 9));
}

// While the user types elsewhere, arriving lines scroll the log but never take the focus,
// select the user's text, or disturb a selection made in the log.
TEST(TrafficLog, FollowsItsEndWithoutTakingTheFocus) {
    bool ready = false;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* log = new TrafficLog([&ready] { return ready; }, &window);
    layout->addWidget(edit);
    layout->addWidget(log);
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    QTest::keyClicks(edit, "hello");

    for (int i = 0; i < 100; ++i) {
        log->LogLine("line " + std::to_string(i), kReceivedBlue);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(log->verticalScrollBar()->value(), 0) << "no scrolling before start-up ends";

    QTextCursor selection = log->textCursor();
    selection.setPosition(0);
    selection.setPosition(4, QTextCursor::KeepAnchor);
    log->setTextCursor(selection);
    ready = true;
    log->LogLine("newest", kReceivedBlue);
    QCoreApplication::processEvents();

    EXPECT_GT(log->verticalScrollBar()->value(), 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->text(), "hello");
    EXPECT_EQ(log->textCursor().selectedText(), "line");
    QTest::keyClicks(edit, "!");
    EXPECT_EQ(edit->text(), "hello!");
}

// A selection made in the log shows only while the log has the focus, and comes back with it.
TEST(TrafficLog, SelectionShowsOnlyWhileTheLogHasTheFocus) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* log = new TrafficLog([] { return true; }, &window);
    layout->addWidget(edit);
    layout->addWidget(log);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    log->LogLine("line one", kReceivedBlue);
    log->setFocus();
    QTextCursor selection = log->textCursor();
    selection.setPosition(0);
    selection.setPosition(4, QTextCursor::KeepAnchor);
    log->setTextCursor(selection);

    edit->setFocus();
    EXPECT_FALSE(log->textCursor().hasSelection());
    log->setFocus();
    EXPECT_EQ(log->textCursor().selectedText(), "line");
}

TEST(TrafficLog, HiddenLogStillTakesLinesWhenReady) {
    TrafficLog log([] { return true; });
    log.LogLine("Port COM2: is Closed", kPortStatusGreen);
    EXPECT_EQ(log.LineCount(), 1);
}

}  // namespace
}  // namespace brantel
