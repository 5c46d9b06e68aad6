#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "app/tform1.h"
#include "log/traffic_log.h"
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
        if (protocolPageShown) {
            ASSERT_GT(scroll->maximum(), 0);
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

}  // namespace
}  // namespace brantel::test
