#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/tform1.h"
#include "log/traffic_log.h"
#include "platform/profile_store.h"
#include "support/window_fixture.h"

namespace brantel::test {
namespace {

// A line arrives while the user types in Edit2: the poll logs it in blue and shows it in
// Edit1, the log follows its end, and Edit2 keeps the focus with its text unselected.
TEST(WindowLog, ReceivedLineScrollsTheLogWithoutTakingTheFocus) {
    for (const bool protocolPageShown : {true, false}) {
        SCOPED_TRACE(protocolPageShown ? "protocol page" : "charts page");
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        if (protocolPageShown) {
            Named<QTabWidget>(form, "PageControl1")
                ->setCurrentWidget(Named<QWidget>(form, "TabSheet1"));
        }
        for (int i = 0; i < 200; ++i) {
            form.LogLine("filler " + std::to_string(i), kAnnotationTeal);
        }
        QTest::mouseClick(Named<QLineEdit>(form, "Edit2"), Qt::LeftButton);
        QTest::keyClicks(Named<QLineEdit>(form, "Edit2"), "hello");
        const QScrollBar* scroll = Named<TrafficLog>(form, "SerialMemo")->verticalScrollBar();
        // The log sets its scroll range once per turn of the event loop.
        if (protocolPageShown) {
            ASSERT_TRUE(WaitUntil([&] { return scroll->maximum() > 0; }));
        }

        fixture.Device(2).Write("OK");
        ASSERT_TRUE(WaitUntil([&] { return Named<QLineEdit>(form, "Edit1")->text() == "OK"; }));

        EXPECT_EQ(fixture.Log().back(), Blue("4F 4B "));
        EXPECT_EQ(scroll->value(), scroll->maximum());
        EXPECT_EQ(QApplication::focusWidget(), Named<QLineEdit>(form, "Edit2"));
        EXPECT_EQ(Named<QLineEdit>(form, "Edit2")->text(), "hello");
        EXPECT_FALSE(Named<QLineEdit>(form, "Edit2")->hasSelectedText());
        QTest::keyClicks(Named<QLineEdit>(form, "Edit2"), "!");
        EXPECT_EQ(Named<QLineEdit>(form, "Edit2")->text(), "hello!");
    }
}

// The log's time stamps are off at first; toggled from its menu, the setting is written at once
// to a section of its own, and a start with it stored shows every line with its time.
TEST(WindowLog, TimeStampsSettingLivesInItsOwnSection) {
    {
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        TrafficLog* log = Named<TrafficLog>(form, "SerialMemo");
        EXPECT_FALSE(log->TimeStamps());
        for (QAction* action : log->actions()) {
            if (action->text().remove('&') == "Time Stamps") {
                action->trigger();
            }
        }
        EXPECT_TRUE(log->TimeStamps());
        EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString("Log", "TimeStamps", ""), "1");
    }
    WindowFixture fixture;
    fixture.WriteIni("[Log]\nTimeStamps=1\n");
    TForm1& form = fixture.Start();
    const TrafficLog* log = Named<TrafficLog>(form, "SerialMemo");
    ASSERT_EQ(log->LineCount(), 1);
    EXPECT_TRUE(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d\d\d Port COM2: is Opened$)")
                    .match(log->LineText(0))
                    .hasMatch())
        << log->LineText(0).toStdString();
}

// The received lines of the log with the times they are stamped with, oldest first.
std::vector<std::pair<std::string, std::int64_t>> ReceivedLines(const TrafficLog& log) {
    std::vector<std::pair<std::string, std::int64_t>> lines;
    for (int i = 0; i < log.LineCount(); ++i) {
        if (log.LineColour(i) == kReceivedBlue) {
            lines.emplace_back(log.Lines().At(static_cast<std::size_t>(i)).bytes,
                               log.Lines().At(static_cast<std::size_t>(i)).timeMs);
        }
    }
    return lines;
}

// With received frames split by gap, the port is read as bytes come: frames further apart than
// the gap are lines of their own, each stamped with the arrival of its first byte, and chunks
// closer than it make one line. Without it, lines are what each 100 ms tick read. The setting
// is written to the log's section when toggled from the menu.
TEST(WindowLog, ReceivedFramesSplitWhereTheLineWentIdle) {
    for (const bool byGap : {true, false}) {
        SCOPED_TRACE(byGap ? "split by gap" : "split by the tick");
        WindowFixture fixture;
        fixture.WriteIni(byGap ? "[Log]\nFramesByGap=1\nFrameGapMs=15\n" : "");
        TForm1& form = fixture.Start();
        TrafficLog* log = Named<TrafficLog>(form, "SerialMemo");
        EXPECT_EQ(log->FramesByGap(), byGap);
        // Right after a tick, so that without the option the next tick reads the first frame.
        QSignalSpy ticks(Named<QTimer>(form, "Timer1"), &QTimer::timeout);
        ASSERT_TRUE(ticks.wait(1000));
        std::thread device([&fixture] {
            fixture.Device(2).Write("\x01\x03");
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            fixture.Device(2).Write("\x02\x06");
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            fixture.Device(2).Write("\x03");
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            fixture.Device(2).Write("\x04");
        });
        const auto allBytes = [log] {
            std::string bytes;
            for (const auto& line : ReceivedLines(*log)) {
                bytes += line.first;
            }
            return bytes;
        };
        const bool logged = WaitUntil([&] { return allBytes() == "\x01\x03\x02\x06\x03\x04"; });
        device.join();
        ASSERT_TRUE(logged) << allBytes().size();
        // The last frame's line comes once the gap has passed.
        QTest::qWait(100);
        const auto lines = ReceivedLines(*log);
        if (byGap) {
            ASSERT_EQ(lines.size(), 3U);
            EXPECT_EQ(lines[0].first, "\x01\x03");
            EXPECT_EQ(lines[1].first, "\x02\x06");
            EXPECT_EQ(lines[2].first, "\x03\x04");
            for (const std::size_t i : {1, 2}) {
                const std::int64_t apart = lines[i].second - lines[i - 1].second;
                EXPECT_GE(apart, 15) << i;
                EXPECT_LT(apart, 100) << i << ": stamped at a tick, not as the bytes came";
            }
        } else {
            for (std::size_t i = 1; i < lines.size(); ++i) {
                EXPECT_GE(lines[i].second - lines[i - 1].second, 50) << i;
            }
            for (QAction* action : log->actions()) {
                if (action->text().remove('&') == "Split Received Frames by Gap") {
                    action->trigger();
                }
            }
            EXPECT_TRUE(log->FramesByGap());
            const ProfileStore store(fixture.IniPath());
            EXPECT_EQ(store.ReadString("Log", "FramesByGap", ""), "1");
            EXPECT_EQ(store.ReadString("Log", "FrameGapMs", ""), "5");
        }
    }
}

}  // namespace
}  // namespace brantel::test
