#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <vector>

#include "app/program_state.h"
#include "app/tform1.h"
#include "faults/fault_helpers.h"
#include "platform/profile_store.h"
#include "support/threaded_device.h"
#include "text/hex_line.h"

namespace brantel::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// Printable bytes, so they pass through a text box unchanged, repeating every 26.
std::string TextPattern(std::size_t size) {
    std::string text(size, 'a');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    return text;
}

// Starts the window with its port 2 on the threaded device.
TForm1& StartOnDevice(WindowFixture& fixture, const ThreadedDevice& device) {
    fixture.WriteIni(PortMapping(2, device.SlavePath()));
    return fixture.Start();
}

// Counts the received bytes the window logs, on their way into the log.
class ReceivedCounter {
  public:
    explicit ReceivedCounter(ProgramState& state) : state_(state), route_(state.hexRoute) {
        state_.hexRoute = [this](const std::string& bytes, Colour colour) {
            route_(bytes, colour);
            if (colour == kReceivedBlue) {
                bytes_ += bytes.size();
            }
        };
    }
    ~ReceivedCounter() { state_.hexRoute = route_; }
    std::size_t Bytes() const { return bytes_; }

  private:
    ProgramState& state_;
    HexSink route_;
    std::size_t bytes_ = 0;
};

struct VanishCase {
    const char* name;
    DeviceScript script;
    // What the program writes with Write while the device goes.
    std::string written;
    // The log's lines after the open line, leaving out the received ones.
    std::vector<LoggedLine> lines;
};

// The port is released with its close line and the closed status, the program then idles
// instead of spinning on the dead line, and Open works again once a device is back.
TEST(DeviceFaultsTest, DeviceVanishingMidStreamReleasesThePortWithoutSpinning) {
    const VanishCase cases[] = {
        {"while it sends a stream",
         ThenVanishing(Sending(PatternBytes(1200), 48, milliseconds(50))),
         "",
         {Green("Port COM2: is Closed")}},
        {"while the program writes a long line",
         TakingThenVanishing(2000),
         TextPattern(30000),
         // The write is logged once it returns, the port having gone meanwhile, and says so.
         {Green("Port COM2: is Closed"), Red(HexLine(TextPattern(30000))),
          Teal("// not sent: COM2 was lost while it was written")}},
    };
    for (const VanishCase& c : cases) {
        SCOPED_TRACE(c.name);
        ThreadedDevice device;
        WindowFixture fixture;
        TForm1& form = StartOnDevice(fixture, device);
        device.Run(c.script);
        if (!c.written.empty()) {
            Named<QLineEdit>(form, "Edit2")->setText(QString::fromStdString(c.written));
            QTest::mouseClick(Named<QPushButton>(form, "Button5"), Qt::LeftButton);
        }
        ASSERT_TRUE(WaitUntil([&] { return fixture.State().port.PortHandle() == nullptr; }, 5000));
        ASSERT_TRUE(WaitUntil([&] { return device.Finished(); }));

        std::vector<LoggedLine> lines{Green("Port COM2: is Opened")};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(LogWithoutReceived(fixture), lines);
        EXPECT_TRUE(HexLine(c.script.send).starts_with(ReceivedHex(fixture)));
        EXPECT_TRUE(c.written.starts_with(device.Received()));
        EXPECT_EQ(form.StatusText(), "COM-Port Closed");
        EXPECT_TRUE(fixture.NewErrors().isEmpty()) << fixture.NewErrors().join("\n").toStdString();

        const std::chrono::microseconds cpuBefore = ProcessCpuTime();
        QTest::qWait(1000);
        EXPECT_LT(ProcessCpuTime() - cpuBefore, milliseconds(300));

        ThreadedDevice back;
        ProfileStore(fixture.IniPath()).WriteString("Ports", "COM2", back.SlavePath());
        QTest::mouseClick(Named<QPushButton>(form, "Button3"), Qt::LeftButton);
        EXPECT_EQ(fixture.Log().back(), Green("Port COM2: is Opened"));
        EXPECT_EQ(form.StatusText(), "COM2: is Opened");
        back.Run(Sending("ok"));
        EXPECT_TRUE(WaitUntil([&] { return fixture.Log().back() == Blue("6F 6B "); }));
    }
}

struct FeedCase {
    const char* name;
    DeviceScript script;
    // The program takes at most 255 bytes a tick; a flood drains through the same read path
    // with a quicker tick in seconds instead of forty.
    int tickMs;
    milliseconds within;
    // The mean tick interval may be this much longer than the tick; 0 leaves it unchecked.
    double meanSlack;
};

// Every byte a device sends is logged once, in order, however fast it comes, and the poll
// keeps its rhythm meanwhile.
TEST(DeviceFaultsTest, FloodAndSteadyStreamAreLoggedWholeAndInOrder) {
    const FeedCase cases[] = {
        {"100,000 bytes at once", Sending(PatternBytes(100000)), 5, seconds(30), 0},
        {"960 bytes a second for a minute", Sending(PatternBytes(57600), 48, milliseconds(50)), 100,
         seconds(75), 1.1},
    };
    for (const FeedCase& c : cases) {
        SCOPED_TRACE(c.name);
        ThreadedDevice device;
        WindowFixture fixture;
        TForm1& form = StartOnDevice(fixture, device);
        Named<QTimer>(form, "Timer1")->setInterval(c.tickMs);
        const ReceivedCounter received(fixture.State());
        std::vector<qint64> ticks;
        QElapsedTimer clock;
        clock.start();
        const QMetaObject::Connection tickWatch =
            QObject::connect(Named<QTimer>(form, "Timer1"), &QTimer::timeout,
                             [&] { ticks.push_back(clock.elapsed()); });
        device.Run(c.script);
        const bool whole = WaitUntil([&] { return received.Bytes() >= c.script.send.size(); },
                                     static_cast<int>(c.within.count()));
        QObject::disconnect(tickWatch);
        EXPECT_TRUE(whole) << received.Bytes() << " of " << c.script.send.size() << " bytes";

        EXPECT_TRUE(SameBytes(ReceivedHex(fixture), HexLine(c.script.send)));
        ASSERT_GE(ticks.size(), 2u);
        qint64 longestGap = 0;
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            longestGap = std::max(longestGap, ticks[i] - ticks[i - 1]);
        }
        // A read that blocks shows as a gap of seconds; the bound leaves room for a machine
        // busy with other work (the sanitizer build ran a tick 304 ms late under load).
        EXPECT_LE(longestGap, 1000);
        if (c.meanSlack > 0) {
            const double meanGap = static_cast<double>(ticks.back() - ticks.front()) /
                                   static_cast<double>(ticks.size() - 1);
            EXPECT_LE(meanGap, c.tickMs * c.meanSlack);
        }
        EXPECT_TRUE(fixture.NewErrors().isEmpty()) << fixture.NewErrors().join("\n").toStdString();
    }
}

// A device that sends faster than the poll drains: what the poll has not taken waits in the
// driver, so memory stays flat, and what was read is logged once, in order.
TEST(DeviceFaultsTest, FloodWaitsInTheDriverAndMemoryStaysFlat) {
    ThreadedDevice device;
    WindowFixture fixture;
    StartOnDevice(fixture, device);
    const std::size_t before = ResidentBytes();
    device.Run(Flooding(seconds(20)));
    ASSERT_TRUE(WaitUntil([&] { return device.Finished(); }, 40000));

    EXPECT_LT(ResidentBytes() - std::min(before, ResidentBytes()), std::size_t{32} << 20);
    const std::string hex = ReceivedHex(fixture);
    // Twenty seconds of polls, 255 bytes each, give some 51,000 bytes.
    EXPECT_GT(hex.size() / 3, 20000u);
    EXPECT_TRUE(SameBytes(hex, HexLine(PatternBytes(hex.size() / 3))));
    EXPECT_TRUE(fixture.NewErrors().isEmpty()) << fixture.NewErrors().join("\n").toStdString();
}

}  // namespace
}  // namespace brantel::test
