#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>
#include <chrono>
#include <functional>

#include "app/program_state.h"
#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/port_number_edit.h"

namespace brantel::test {
namespace {

using std::chrono::milliseconds;

class WindowSerialTest : public ::testing::Test {
  protected:
    WindowSerialTest() {
        fixture.WriteIni("");
        fixture.Start();
    }

    TForm1& Form() { return fixture.Form(); }

    WindowFixture fixture;
};

TEST_F(WindowSerialTest, StartUpOpensPortTwoOnce) {
    EXPECT_EQ(fixture.Log(), std::vector{Green("Port COM2: is Opened")});
    EXPECT_EQ(Form().StatusText(), "COM2: is Opened");
    EXPECT_EQ(fixture.State().port.OpenPortNumber(), 2);
    EXPECT_TRUE(fixture.State().shell.ready);
}

struct NumberChangeCase {
    const char* name;
    std::function<void(PortNumberEdit&)> change;
    std::vector<LoggedLine> lines;
    // The status at the moment each of those lines was written.
    std::vector<QString> statusAtLine;
    QString status;
    bool portThreeHeld = false;
};

// Every change of the number presses Close and then Open: the close line, the closed status,
// then the open or busy line and the status Open writes.
TEST_F(WindowSerialTest, ChangingThePortNumberClosesAndReopens) {
    // Another program on port 3.
    QSerialPort holder(QString::fromStdString(fixture.DevicePath(3)));
    const NumberChangeCase cases[] = {
        {"typed over the selection",
         [](PortNumberEdit& box) {
             box.selectAll();
             QTest::keyClicks(&box, "3");
         },
         {Green("Port COM3: is Opened")},
         {"COM-Port Closed"},
         "COM3: is Opened"},
        {"set by the program",
         [](PortNumberEdit& box) { box.SetValue(5); },
         {Green("Port COM5: is Busy")},
         {"COM-Port Closed"},
         "COM5: is Busy"},
        {"cleared",
         [](PortNumberEdit& box) { box.clear(); },
         {Green("Port COM0: is Busy")},
         {"COM-Port Closed"},
         "COM0: is Busy"},
        {"two digits typed over the selection cycle the port twice",
         [](PortNumberEdit& box) {
             box.selectAll();
             QTest::keyClicks(&box, "34");
         },
         {Green("Port COM3: is Opened"), Green("Port COM3: is Closed"),
          Green("Port COM34: is Busy")},
         {"COM-Port Closed", "COM3: is Opened", "COM-Port Closed"},
         "COM34: is Busy"},
        {"typed while another program holds the port",
         [](PortNumberEdit& box) {
             box.selectAll();
             QTest::keyClicks(&box, "3");
         },
         {Green("Port COM3: is Busy")},
         {"COM-Port Closed"},
         "COM3: is Busy",
         true},
    };
    for (const NumberChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Named<PortNumberEdit>(Form(), "PortNumber")->SetValue(2);
        if (c.portThreeHeld) {
            ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
        }
        Named<PortNumberEdit>(Form(), "PortNumber")->setFocus();
        ASSERT_EQ(fixture.State().port.OpenPortNumber(), 2);
        std::vector<LoggedLine> lines;
        std::vector<QString> statusAtLine;
        fixture.State().logRoute = [&](const std::string& text, Colour colour) {
            lines.push_back({text, colour});
            statusAtLine.push_back(Form().StatusText());
        };
        c.change(*Named<PortNumberEdit>(Form(), "PortNumber"));
        fixture.State().logRoute = [this](const std::string& text, Colour colour) {
            Form().LogLine(text, colour);
        };
        std::vector<LoggedLine> expected{Green("Port COM2: is Closed")};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        std::vector<QString> expectedStatus{"COM2: is Opened"};
        expectedStatus.insert(expectedStatus.end(), c.statusAtLine.begin(), c.statusAtLine.end());
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(statusAtLine, expectedStatus);
        EXPECT_EQ(Form().StatusText(), c.status);
    }
}

TEST_F(WindowSerialTest, WriteSendsTheTextToTheDeviceAndLogsItInRed) {
    Named<QLineEdit>(Form(), "Edit2")->setText("AT\r");
    QTest::mouseClick(Named<QPushButton>(Form(), "Button5"), Qt::LeftButton);
    EXPECT_EQ(fixture.Device(2).Read(3), "AT\r");
    EXPECT_EQ(fixture.Log().back(), Red("41 54 0D "));
    EXPECT_EQ(fixture.Device(2).ReadFor(milliseconds(50)), "");
}

// Bytes above 0x7F show as themselves, one character each, whatever the locale.
TEST_F(WindowSerialTest, Edit1ShowsEveryByteAsItself) {
    fixture.Device(2).Write("P \xB0\xE9\xFF");
    ASSERT_TRUE(WaitUntil([&] {
        return Named<QLineEdit>(Form(), "Edit1")->text() == QString::fromLatin1("P \xB0\xE9\xFF");
    }));
    EXPECT_FALSE(Named<QLineEdit>(Form(), "Edit1")->text().contains(QChar::ReplacementCharacter));
}

TEST_F(WindowSerialTest, ReadWithNothingArrivedEmptiesEdit1) {
    fixture.Device(2).Write("hi");
    ASSERT_TRUE(WaitUntil([&] { return Named<QLineEdit>(Form(), "Edit1")->text() == "hi"; }));
    const std::size_t lines = fixture.Log().size();
    QTest::mouseClick(Named<QPushButton>(Form(), "Button4"), Qt::LeftButton);
    EXPECT_EQ(Named<QLineEdit>(Form(), "Edit1")->text(), "");
    EXPECT_EQ(fixture.Log().size(), lines);
}

// A device that vanishes releases its port at once, with its close line and the closed status.
TEST_F(WindowSerialTest, VanishedDeviceReleasesThePort) {
    fixture.Device(2).Close();
    ASSERT_TRUE(WaitUntil([&] { return fixture.State().port.PortHandle() == nullptr; }));
    EXPECT_EQ(fixture.Log(),
              (std::vector{Green("Port COM2: is Opened"), Green("Port COM2: is Closed")}));
    EXPECT_EQ(Form().StatusText(), "COM-Port Closed");
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

TEST_F(WindowSerialTest, ReceivedTextStopsAtAZeroByte) {
    fixture.Device(2).Write(std::string("ab\0cd", 5));
    ASSERT_TRUE(WaitUntil([&] { return fixture.Log().back().colour == kReceivedBlue; }));
    EXPECT_EQ(fixture.Log().back(), Blue("61 62 00 63 64 "));
    EXPECT_EQ(Named<QLineEdit>(Form(), "Edit1")->text(), "ab");
}

}  // namespace
}  // namespace brantel::test
