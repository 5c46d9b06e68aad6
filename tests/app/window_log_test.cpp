#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

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

}  // namespace
}  // namespace brantel::test
