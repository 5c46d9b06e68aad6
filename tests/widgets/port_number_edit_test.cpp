#include "widgets/port_number_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <limits>

#include "support/window_fixture.h"

namespace brantel::test {
namespace {

// The box in a window of its own, beside another edit box that holds the focus at first.
class PortNumberEditTest : public ::testing::Test {
  protected:
    PortNumberEditTest() {
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(other);
        layout->addWidget(box);
        host.resize(120, 80);
        host.show();
        host.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
        other->setFocus();
    }

    QWidget* Spin() const { return box->findChild<SpinButton*>(); }

    QWidget host;
    QLineEdit* other = new QLineEdit(&host);
    PortNumberEdit* box = new PortNumberEdit(&host);
    QSignalSpy changes{box, &QLineEdit::textChanged};
};

struct TypingCase {
    const char* name;
    const char* start;
    const char* typed;
    const char* text;
    int value;
    int changes;
};

TEST_F(PortNumberEditTest, AcceptsDigitsAndSignsAndRefusesEverythingElse) {
    const TypingCase cases[] = {
        {"a letter changes nothing", "2", "a", "2", 2, 0},
        {"digits are appended", "2", "13", "213", 213, 2},
        {"letters between digits are dropped", "", "1x2", "12", 12, 2},
        {"a sign is accepted", "", "-7", "-7", -7, 2},
        {"a plus sign reads as positive", "", "+5", "+5", 5, 2},
        {"a lone sign reads as zero", "", "-", "-", 0, 1},
        {"punctuation is refused", "4", ".,;", "4", 4, 0},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.name);
        box->setText(c.start);
        box->setFocus();
        box->end(false);
        changes.clear();
        QTest::keyClicks(box, c.typed);
        EXPECT_EQ(box->text(), c.text);
        EXPECT_EQ(box->Value(), c.value);
        EXPECT_EQ(changes.count(), c.changes);
    }
}

TEST_F(PortNumberEditTest, TextThatIsNoIntegerReadsAsZero) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"", 0},
                 {"-", 0},
                 {"+", 0},
                 {"1x", 0},
                 {" 5", 0},
                 {"5 ", 0},
                 {"2147483648", 0},
                 {"+5", 5},
                 {"-3", -3},
                 {"007", 7},
                 {"--1", 0},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases) {
        box->setText(c.text);
        EXPECT_EQ(box->Value(), c.value) << '"' << c.text << '"';
    }
}

struct StepCase {
    const char* name;
    const char* start;
    Qt::Key key;
    const char* text;
};

TEST_F(PortNumberEditTest, ArrowKeysStepByOne) {
    const StepCase cases[] = {
        {"up", "2", Qt::Key_Up, "3"},
        {"down", "2", Qt::Key_Down, "1"},
        {"down below zero", "0", Qt::Key_Down, "-1"},
        {"up from no number", "abc", Qt::Key_Up, "1"},
        {"down from empty", "", Qt::Key_Down, "-1"},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        box->setText(c.start);
        box->setFocus();
        changes.clear();
        QTest::keyClick(box, c.key);
        EXPECT_EQ(box->text(), c.text);
        EXPECT_EQ(changes.count(), 1);
    }
}

// The spin square is split along its diagonal from lower-left to upper-right.
TEST_F(PortNumberEditTest, PressOnTheSpinSquareStepsByItsHalf) {
    QWidget* spin = Spin();
    ASSERT_NE(spin, nullptr);
    const int side = spin->width();
    ASSERT_EQ(spin->height(), side);
    EXPECT_EQ(spin->geometry().right(), box->width() - 1);
    const struct {
        const char* name;
        QPoint at;
        const char* text;
    } cases[] = {
        {"upper-left corner", {2, 2}, "6"},
        {"lower-right corner", {side - 2, side - 2}, "4"},
        {"just above the diagonal, lower left", {1, side - 3}, "6"},
        {"just above the diagonal, upper right", {side - 3, 1}, "6"},
        {"just below the diagonal, middle", {side / 2 + 1, side / 2 + 1}, "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        box->setText("5");
        other->setFocus();
        changes.clear();
        QTest::mousePress(spin, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(box->text(), c.text);
        QTest::mouseRelease(spin, Qt::LeftButton, {}, c.at);
        EXPECT_EQ(box->text(), c.text);
        EXPECT_EQ(changes.count(), 1);
        EXPECT_TRUE(box->hasFocus());
    }
}

TEST_F(PortNumberEditTest, HeldSpinButtonRepeatsUntilReleased) {
    QWidget* spin = Spin();
    box->SetValue(0);
    changes.clear();
    QTest::mousePress(spin, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(box->Value(), 1);
    ASSERT_TRUE(WaitUntil([&] { return box->Value() >= 3; }, 2000));
    QTest::mouseRelease(spin, Qt::LeftButton, {}, QPoint(2, 2));
    const int released = box->Value();
    EXPECT_EQ(changes.count(), released);
    QTest::qWait(3 * SpinButton::kRepeatMs);
    EXPECT_EQ(box->Value(), released);
}

TEST_F(PortNumberEditTest, SettingTheSameTextFiresNoChange) {
    box->SetValue(7);
    changes.clear();
    box->SetValue(7);
    box->setText("7");
    EXPECT_EQ(changes.count(), 0);
    box->SetValue(std::numeric_limits<int>::max());
    changes.clear();
    box->Step(1);
    EXPECT_EQ(box->Value(), std::numeric_limits<int>::max());
    EXPECT_EQ(changes.count(), 0);
    box->setText("8");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toString(), "8");
}

}  // namespace
}  // namespace brantel::test
