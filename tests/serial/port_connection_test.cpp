#include "serial/port_connection.h"

#include <termios.h>

#include <gmock/gmock.h>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <map>
#include <memory>

#include "serial/port_texts.h"
#include "support/pty_device.h"
#include "support/serial_fixture.h"

namespace brantel::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const LineSettings kLine;

LoggedLine Green(const std::string& text) {
    return {text, kPortStatusGreen};
}

// Ports 2 and 3 are pseudo-terminals, 1 names no file, 4 a file that is no device; other
// numbers have no device at all.
class PortConnectionTest : public ::testing::Test {
  protected:
    PortConnectionTest() {
        notADevice_.open();
        devices_[1] = "/nonexistent/brantel-port";
        devices_[2] = two_->SlavePath();
        devices_[3] = three_.SlavePath();
        devices_[4] = notADevice_.fileName().toStdString();
    }

    std::unique_ptr<PortConnection> MakeConnection(LogRecorder& log) {
        return std::make_unique<PortConnection>(log.Sink(),
                                                [this](int number) -> std::optional<std::string> {
                                                    const auto found = devices_.find(number);
                                                    if (found == devices_.end()) {
                                                        return std::nullopt;
                                                    }
                                                    return found->second;
                                                });
    }

    // The device on port 2 is replaced, as when an adapter is plugged in again.
    void ReplaceTwo() {
        two_ = std::make_unique<PtyDevice>();
        devices_[2] = two_->SlavePath();
    }

    std::unique_ptr<PtyDevice> two_ = std::make_unique<PtyDevice>();
    PtyDevice three_;
    QTemporaryFile notADevice_;
    std::map<int, std::string> devices_;
};

struct Step {
    enum { kOpen, kClose } action;
    int number;
};
Step Open(int number) {
    return {Step::kOpen, number};
}
Step Close() {
    return {Step::kClose, 0};
}

struct SequenceCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> lines;
    int openAfter;
};

TEST_F(PortConnectionTest, LogsEachChangeOfTheConnectionInOrder) {
    const SequenceCase cases[] = {
        {"open", {Open(2)}, {"Port COM2: is Opened"}, 2},
        {"change 2 to 3",
         {Open(2), Close(), Open(3)},
         {"Port COM2: is Opened", "Port COM2: is Closed", "Port COM3: is Opened"},
         3},
        {"open another without close",
         {Open(2), Open(3)},
         {"Port COM2: is Opened", "Port COM2: is Closed", "Port COM3: is Opened"},
         3},
        {"open the open port again",
         {Open(2), Open(2)},
         {"Port COM2: is Opened", "Port COM2: is Closed", "Port COM2: is Opened"},
         2},
        {"close with no port", {Close()}, {}, 0},
        {"close twice",
         {Open(3), Close(), Close()},
         {"Port COM3: is Opened", "Port COM3: is Closed"},
         0},
        {"number 0", {Open(0)}, {"Port COM0: is Busy"}, 0},
        {"number 5", {Open(5)}, {"Port COM5: is Busy"}, 0},
        {"negative number", {Open(-1)}, {"Port COM-1: is Busy"}, 0},
        {"missing device", {Open(1)}, {"Port COM1: is Busy"}, 0},
        {"file that is no device", {Open(4)}, {"Port COM4: is Busy"}, 0},
        {"busy after open",
         {Open(2), Open(5), Close()},
         {"Port COM2: is Opened", "Port COM2: is Closed", "Port COM5: is Busy"},
         0},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        LogRecorder log;
        const auto connection = MakeConnection(log);
        for (const Step& step : c.steps) {
            if (step.action == Step::kOpen) {
                const bool opened = connection->OpenPort(step.number, kLine);
                EXPECT_EQ(opened, connection->PortHandle() != nullptr);
            } else {
                connection->ClosePort();
            }
        }
        std::vector<LoggedLine> expected;
        for (const std::string& line : c.lines) {
            expected.push_back(Green(line));
        }
        EXPECT_THAT(log.lines, ElementsAreArray(expected));
        EXPECT_EQ(connection->OpenPortNumber(), c.openAfter);
        EXPECT_EQ(connection->PortHandle() != nullptr, c.openAfter != 0);
    }
}

TEST(PortTexts, StatusFollowsWhetherAPortIsHeld) {
    EXPECT_EQ(OpenStatusText(2, true), "COM2: is Opened");
    EXPECT_EQ(OpenStatusText(3, false), "COM3: is Busy");
    EXPECT_EQ(OpenStatusText(-12, false), "COM-12: is Busy");
    EXPECT_EQ(kClosedStatusText, "COM-Port Closed");
}

TEST_F(PortConnectionTest, APortHeldElsewhereIsBusyUntilReleased) {
    LogRecorder firstLog;
    LogRecorder secondLog;
    const auto first = MakeConnection(firstLog);
    const auto second = MakeConnection(secondLog);
    ASSERT_TRUE(first->OpenPort(2, kLine));

    EXPECT_FALSE(second->OpenPort(2, kLine));
    EXPECT_EQ(second->PortHandle(), nullptr);
    EXPECT_EQ(second->OpenPortNumber(), 0);
    EXPECT_THAT(secondLog.lines, ElementsAreArray({Green("Port COM2: is Busy")}));
    EXPECT_NE(first->PortHandle(), nullptr);

    first->ClosePort();
    EXPECT_TRUE(second->OpenPort(2, kLine));
}

struct AppliedCase {
    const char* line;
    speed_t speed;
    tcflag_t controlFlags;
    tcflag_t inputFlags;
};

// A pseudo-terminal keeps speed, stop bits, odd parity and flow control as set; the kernel
// forces its data bits to 8 and its parity off (and Qt then refuses 7 bits and even parity).
TEST_F(PortConnectionTest, LineRunsAtTheSettingsItIsGiven) {
    const AppliedCase cases[] = {
        {"9600 8N1", B9600, 0, 0},
        {"19200 8N2", B19200, CSTOPB, 0},
        {"115200 8O1 RTS/CTS", B115200, PARODD | CRTSCTS, 0},
        {"4800 8N1 XON/XOFF", B4800, 0, IXON | IXOFF},
    };
    for (const AppliedCase& c : cases) {
        SCOPED_TRACE(c.line);
        LogRecorder log;
        const auto connection = MakeConnection(log);
        ASSERT_TRUE(connection->OpenPort(3, ParseLineSettings(c.line)));

        termios line{};
        ASSERT_EQ(tcgetattr(static_cast<int>(HeldLine(*connection).handle()), &line), 0);
        EXPECT_EQ(cfgetospeed(&line), c.speed);
        EXPECT_EQ(cfgetispeed(&line), c.speed);
        EXPECT_EQ(line.c_cflag & (PARODD | CSTOPB | CRTSCTS), c.controlFlags);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), c.inputFlags);
    }
}

TEST_F(PortConnectionTest, PortThatRefusesItsSettingsIsReleasedAtOnceAndSaysWhich) {
    const struct {
        LineSettings line;
        const char* refused;
    } cases[] = {
        {LineSettings{0xFFFFFFFFu}, "the line refused 4294967295 baud (4294967295 8N1)"},
        {ParseLineSettings("9600 8N1.5"), "the line refused 1.5 stop bits (9600 8N1.5)"},
        {ParseLineSettings("19200 8E2"), "the line refused even parity (19200 8E2)"},
        {ParseLineSettings("9600 7N1"), "the line refused 7 data bits (9600 7N1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        LogRecorder log;
        const auto connection = MakeConnection(log);
        EXPECT_FALSE(connection->OpenPort(2, c.line));

        EXPECT_EQ(connection->PortHandle(), nullptr);
        EXPECT_EQ(connection->OpenPortNumber(), 0);
        EXPECT_EQ(connection->OpenFailure(), two_->SlavePath() + ": " + c.refused);
        EXPECT_THAT(log.lines, ElementsAreArray({Green("Port COM2: is Busy"),
                                                 Green(std::string("Port COM2: ") + c.refused)}));
        LogRecorder otherLog;
        EXPECT_TRUE(MakeConnection(otherLog)->OpenPort(2, kLine));
    }
}

TEST_F(PortConnectionTest, VanishedDeviceReleasesThePortOnceAndAllowsANewOpen) {
    LogRecorder log;
    const auto connection = MakeConnection(log);
    ASSERT_TRUE(connection->OpenPort(2, kLine));
    int errors = 0;
    QObject::connect(&HeldLine(*connection), &QSerialPort::errorOccurred, connection.get(),
                     [&errors](QSerialPort::SerialPortError error) {
                         errors += error == QSerialPort::NoError ? 0 : 1;
                     });
    QSignalSpy released(connection.get(), &PortConnection::Released);

    two_->Close();
    ASSERT_TRUE(WaitUntil([&] { return connection->PortHandle() == nullptr; }));
    const int errorsAtRelease = errors;
    // Nothing keeps reporting once the port is let go.
    WaitUntil([] { return false; }, 200);

    EXPECT_EQ(released.count(), 1);
    EXPECT_GE(errorsAtRelease, 1);
    EXPECT_EQ(errors, errorsAtRelease);
    EXPECT_EQ(connection->OpenPortNumber(), 0);
    EXPECT_THAT(log.lines,
                ElementsAreArray({Green("Port COM2: is Opened"), Green("Port COM2: is Closed")}));

    ReplaceTwo();
    EXPECT_TRUE(connection->OpenPort(2, kLine));
    EXPECT_EQ(log.lines.back(), Green("Port COM2: is Opened"));
}

}  // namespace
}  // namespace brantel::test
