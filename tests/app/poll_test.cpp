#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/poll_dialog.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "platform/profile_store.h"
#include "support/window_fixture.h"
#include "widgets/chart_feed.h"
#include "widgets/command_grid.h"
#include "widgets/port_number_edit.h"

namespace brantel::test {
namespace {

using std::chrono::milliseconds;
using namespace std::string_literals;

// The bytes with their 8-bit sum after them, as `CRC` ends a frame.
std::string WithSum(std::string bytes) {
    unsigned sum = 0;
    for (const unsigned char byte : bytes) {
        sum += byte;
    }
    return bytes + static_cast<char>(sum & 0xFF);
}

std::string Word(int value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

// Plays a device on the far side of a port while the window's event loop runs: takes each
// frame that came (as long as its third byte, the length, says) and answers it at once, or
// without an answer only records it.
class AnsweringDevice {
  public:
    using Answer = std::function<std::string(const std::string& frame)>;
    AnsweringDevice(PtyDevice& line, Answer answer) : line_(line), answer_(std::move(answer)) {}

    void Serve() {
        // ReadWithin rounds down what is left of its time: 1 ms would never poll.
        pending_ += line_.Read(4096, milliseconds(3));
        while (pending_.size() >= 3 && pending_.size() >= static_cast<unsigned char>(pending_[2]) &&
               pending_[2] != 0) {
            const std::string frame = pending_.substr(0, static_cast<unsigned char>(pending_[2]));
            pending_.erase(0, frame.size());
            frames.push_back(frame);
            if (answer_) {
                line_.Write(answer_(frame));
            }
        }
    }
    // Serves for the whole time, the window running: what a quiet spell brought.
    void ServeFor(int ms) {
        WaitUntil(
            [this] {
                Serve();
                return false;
            },
            ms);
    }
    // Serves until the condition holds or the time is up; the condition's last value.
    bool ServeUntil(const std::function<bool()>& condition, int ms = 4000) {
        return WaitUntil(
            [&] {
                Serve();
                return condition();
            },
            ms);
    }

    std::vector<std::string> frames;

  private:
    PtyDevice& line_;
    Answer answer_;
    std::string pending_;
};

// Row 2 reads a temperature, row 4 a pressure; the n-th answer to each reads n hundredths or
// tenths more than the first, so the values show their order. Row 5 reads both at once.
constexpr char kTemperatureFrame[] = "\x50\x03\x05\x01\x59";
constexpr char kPressureFrame[] = "\x50\x04\x04\x58";

std::string WithoutSection(const std::string& ini, const std::string& section) {
    const std::size_t start = ini.find("[" + section + "]");
    if (start == std::string::npos) {
        return ini;
    }
    const std::size_t next = ini.find("\n[", start);
    return ini.substr(0, start) + (next == std::string::npos ? "" : ini.substr(next + 1));
}

// The window, port 2's device answering rows 2, 4 and 5, and port 3's device silent.
struct PollBench {
    void Start(const std::string& sections = "") {
        fixture.WriteIni(sections);
        TForm1& form = fixture.Start();
        Grid().SetCellText(0, 2, "Temperature");
        Grid().SetCellText(1, 2, "A 03 L 01 CRC");
        Grid().SetCellText(2, 2, "A 03 L T:S16*0.1 CRC");
        Grid().SetCellText(0, 4, "Pressure");
        Grid().SetCellText(1, 4, "A 04 L CRC");
        Grid().SetCellText(2, 4, "A 04 L P:U16*0.01 CRC");
        Grid().SetCellText(0, 5, "Both");
        Grid().SetCellText(1, 5, "A 05 L CRC");
        Grid().SetCellText(2, 5, "A 05 L T:S16*0.1 P:U16*0.01 CRC");
        // The cursor rests on the last row: no send may move it.
        Grid().setCurrentCell(28, 1);
        Record(form);
    }
    void Record(TForm1& form) {
        QObject::connect(&form, &TForm1::FieldsRead,
                         [this](int row, const std::vector<ReadValue>& values) {
                             fieldsRead.push_back(std::to_string(row) + " " + FieldsText(values));
                         });
    }

    std::string Answer(const std::string& frame) {
        if (frame == kTemperatureFrame) {
            return WithSum("\x50\x03\x06"s + Word(215 + temperatures++));
        }
        if (frame == "\x50\x04\x04\x58"s) {
            return WithSum("\x50\x04\x06"s + Word(102 + pressures++));
        }
        if (frame == "\x50\x05\x04\x59"s) {
            return WithSum("\x50\x05\x08"s + Word(215) + Word(102));
        }
        return "\x50\x7F\x04\xD3"s;
    }

    TForm1& Form() { return fixture.Form(); }
    CommandGrid& Grid() { return *Named<CommandGrid>(Form(), "CmdGrid"); }

    PollDialog& OpenDialog() {
        Named<QAction>(Form(), "PollItem")->trigger();
        auto* dialog = Form().findChild<PollDialog*>("PollDialog");
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        return *dialog;
    }
    // Fills the dialog and presses Start.
    PollDialog& StartPoll(const QString& rows, int intervalMs, bool wait) {
        PollDialog& dialog = OpenDialog();
        Named<QLineEdit>(dialog, "PollRows")->setText(rows);
        Named<QSpinBox>(dialog, "PollInterval")->setValue(intervalMs);
        Named<QCheckBox>(dialog, "PollWait")->setChecked(wait);
        QTest::mouseClick(Named<QPushButton>(dialog, "PollStart"), Qt::LeftButton);
        return dialog;
    }
    void PressStop() {
        QTest::mouseClick(Named<QPushButton>(OpenDialog(), "PollStop"), Qt::LeftButton);
    }
    std::vector<LoggedLine> LogFrom(std::size_t first) const {
        const std::vector<LoggedLine> log = fixture.Log();
        return {log.begin() + static_cast<std::ptrdiff_t>(std::min(first, log.size())), log.end()};
    }
    std::size_t Count(const std::string& text) const {
        std::size_t count = 0;
        for (const LoggedLine& line : fixture.Log()) {
            count += line.text == text ? 1 : 0;
        }
        return count;
    }

    WindowFixture fixture;
    AnsweringDevice device{fixture.Device(2), [this](const std::string& f) { return Answer(f); }};
    AnsweringDevice other{fixture.Device(3), nullptr};
    std::vector<std::string> fieldsRead;
    int temperatures = 0;
    int pressures = 0;
};

class PollTest : public ::testing::Test, public PollBench {};

// Waiting for each answer, the rows go out in turn, each send what "Send Cmd" on its row does,
// with the grid's cursor left where it was; FieldsRead gives each answer's values in order,
// and the status bar says what is polled beside its panel 0. Stop stops the frames.
TEST_F(PollTest, SendsTheRowsInTurnWaitingForEachAnswer) {
    Start(
        "[Checks]\nResponses=1\n[Charts]\nSeries1Row=2\nSeries1Field=T\nSeries3Row=4\n"
        "Series3Field=P\n");
    QSignalSpy spy(&Form(), &TForm1::FieldsRead);
    ASSERT_TRUE(spy.isValid());
    const std::size_t before = fixture.Log().size();
    PollDialog& dialog = StartPoll("4,2", 20, true);
    EXPECT_EQ(Form().PollStatus(), "Polling rows 2,4 every 20 ms, each answer awaited");
    EXPECT_EQ(Form().StatusText(), "COM2: is Opened");
    EXPECT_EQ(Named<QLabel>(dialog, "PollState")->text(), Form().PollStatus());
    ASSERT_TRUE(device.ServeUntil([&] { return fieldsRead.size() >= 4; }));
    PressStop();
    EXPECT_EQ(Form().PollStatus(), "");
    EXPECT_EQ(Form().StatusText(), "COM2: is Opened");
    EXPECT_EQ(Named<QLabel>(dialog, "PollState")->text(), "Poll stopped: Stop pressed");
    EXPECT_FALSE(Named<QPushButton>(dialog, "PollStop")->isEnabled());
    // Whatever was on its way is answered; then nothing more comes.
    device.ServeFor(300);
    const std::size_t sent = device.frames.size();
    device.ServeFor(600);
    EXPECT_EQ(device.frames.size(), sent);

    ASSERT_GE(sent, 4u);
    for (std::size_t i = 0; i < sent; ++i) {
        EXPECT_EQ(device.frames[i], i % 2 == 0 ? kTemperatureFrame : kPressureFrame) << i;
    }
    ASSERT_GE(fieldsRead.size(), 4u);
    EXPECT_EQ(std::vector(fieldsRead.begin(), fieldsRead.begin() + 4),
              (std::vector<std::string>{"2 T=21.5", "4 P=1.02", "2 T=21.6", "4 P=1.03"}));
    ASSERT_GE(spy.size(), 4);
    EXPECT_EQ(spy[0][0].toInt(), 2);
    const auto values = spy[1][1].value<std::vector<ReadValue>>();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "P");
    EXPECT_EQ(values[0].value.value, 1.02);
    // The chart's bound series draw the same values in the same order, from the poll's start.
    ChartFeed& chart = *Form().Charts();
    chart.RedrawNow();
    const auto drawn = [&](std::size_t series) {
        std::vector<double> y;
        for (const QPointF& point : chart.Series(series).points()) {
            y.push_back(std::round(point.y() * 100) / 100);
        }
        return std::vector(y.begin(), y.begin() + std::min<std::size_t>(y.size(), 2));
    };
    EXPECT_EQ(drawn(0), (std::vector<double>{21.5, 21.6}));
    EXPECT_EQ(drawn(2), (std::vector<double>{1.02, 1.03}));
    EXPECT_TRUE(chart.Series(1).points().isEmpty());
    EXPECT_GE(chart.Series(0).points().front().x(), 0);

    const std::vector<LoggedLine> log = LogFrom(before);
    ASSERT_GE(log.size(), 9u);
    EXPECT_EQ(std::vector(log.begin(), log.begin() + 9),
              (std::vector<LoggedLine>{
                  Teal("// Poll started: rows 2,4 every 20 ms, each answer awaited"),
                  Teal("// Temperature :"), Red("50 03 05 01 59 "), Blue("50 03 06 00 D7 30 "),
                  Teal("// response as expected"), Teal("// Pressure :"), Red("50 04 04 58 "),
                  Blue("50 04 06 00 66 C0 "), Teal("// response as expected")}));
    // The answer on its way at the stop is still judged; nothing is sent after it.
    const auto stop = std::find(log.begin(), log.end(), Teal("// Poll stopped: Stop pressed"));
    ASSERT_NE(stop, log.end());
    EXPECT_EQ(std::count(stop, log.end(), Teal("// Poll stopped: Stop pressed")), 1);
    EXPECT_TRUE(std::none_of(stop, log.end(),
                             [](const LoggedLine& line) { return line.colour == kSentRed; }));
    EXPECT_EQ(Grid().CurrentRow(), 29);
    EXPECT_EQ(Grid().currentColumn(), 1);
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

// FieldsRead reaches a receiver on a queued connection, too: its type is registered.
TEST_F(PollTest, FieldsReadCrossesAQueuedConnection) {
    Start();
    std::vector<std::string> queued;
    QObject receiver;
    QObject::connect(
        &Form(), &TForm1::FieldsRead, &receiver,
        [&](int row, const std::vector<ReadValue>& values) {
            queued.push_back(std::to_string(row) + " " + FieldsText(values));
        },
        Qt::QueuedConnection);
    Grid().setCurrentCell(4, 0);
    QTest::mouseClick(Named<QPushButton>(Form(), "SendCmdBtn"), Qt::LeftButton);
    ASSERT_TRUE(device.ServeUntil([&] { return !queued.empty(); }));
    EXPECT_EQ(queued, std::vector<std::string>{"5 T=21.5 P=1.02"});
    // Without the checks or Show Fields the log tells nothing new.
    EXPECT_EQ(fixture.Log().back(), Blue("50 05 08 00 D7 00 66 9A "));
}

// On the clock, a tick that finds the answer still awaited is skipped: a silent device gets a
// frame only once the last one's answer has timed out, not one every 20 ms.
TEST_F(PollTest, OnTheClockSkipsTicksWhileAnAnswerIsAwaited) {
    Start();
    AnsweringDevice silent(fixture.Device(2), nullptr);
    StartPoll("2", 20, false);
    EXPECT_EQ(Form().PollStatus(), "Polling row 2 every 20 ms");
    silent.ServeFor(1300);
    PressStop();
    silent.ServeFor(100);
    // Sent at once, then after each 500 ms time-out (judged at the next 100 ms read).
    EXPECT_GE(silent.frames.size(), 2u);
    EXPECT_LE(silent.frames.size(), 3u);
    for (const std::string& frame : silent.frames) {
        EXPECT_EQ(frame, kTemperatureFrame);
    }
    // An answering device is polled at the clock's pace.
    StartPoll("2", 150, false);
    device.ServeFor(1000);
    PressStop();
    // A tick every 150 ms, an answer judged 100 to 200 ms after its send: one or two ticks a
    // frame, the first at once.
    EXPECT_GE(device.frames.size(), 3u);
    EXPECT_LE(device.frames.size(), 8u);
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

// A row whose frame cannot be built stops the poll at its first try: one line in the log, one
// error box, and no more frames, whether the poll waits for answers or goes by the clock.
TEST_F(PollTest, RowThatCannotBeBuiltStopsThePollWithOneError) {
    Start();
    Grid().SetCellText(0, 3, "Bad");
    Grid().SetCellText(1, 3, "A 01 D CRC");
    for (const bool wait : {true, false}) {
        SCOPED_TRACE(wait ? "waiting" : "on the clock");
        const qsizetype errors = fixture.NewErrors().size();
        device.frames.clear();
        StartPoll("2-3", 20, wait);
        ASSERT_TRUE(device.ServeUntil([&] { return !Form().Polling(); }));
        device.ServeFor(400);
        EXPECT_EQ(device.frames, std::vector<std::string>{kTemperatureFrame});
        EXPECT_EQ(fixture.NewErrors().mid(errors),
                  QStringList{WindowFixture::Title() + "|'' is not a valid integer value."});
        const std::vector<LoggedLine> log = fixture.Log();
        EXPECT_EQ(std::vector(log.end() - 2, log.end()),
                  (std::vector{Teal("// Bad :"),
                               Teal("// Poll stopped: row 3: '' is not a valid integer value")}));
        EXPECT_EQ(Form().PollStatus(), "");
    }
    // The same when it is the first row: the poll stops as it starts.
    const qsizetype errors = fixture.NewErrors().size();
    StartPoll("3", 20, true);
    EXPECT_FALSE(Form().Polling());
    QTest::qWait(200);
    EXPECT_EQ(fixture.NewErrors().size(), errors + 1);
    EXPECT_EQ(fixture.Log().back(),
              Teal("// Poll stopped: row 3: '' is not a valid integer value"));
}

// The poll ends, with one line saying why, when the port goes: Close, another number, a device
// that vanishes, the window closing.
TEST_F(PollTest, StopsWhenThePortGoesOrTheWindowCloses) {
    const struct {
        const char* why;
        std::function<void(PollBench&)> end;
    } cases[] = {
        {"port closed",
         [](PollBench& t) {
             QTest::mouseClick(Named<QPushButton>(t.Form(), "Button6"), Qt::LeftButton);
         }},
        {"port number changed",
         [](PollBench& t) { Named<PortNumberEdit>(t.Form(), "PortNumber")->SetValue(3); }},
        {"port closed", [](PollBench& t) { t.fixture.Device(2).Close(); }},
        {"window closed", [](PollBench& t) { t.Form().close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        PollBench t;
        t.Start();
        t.StartPoll("2", 50, true);
        ASSERT_TRUE(t.device.ServeUntil([&] { return t.fieldsRead.size() >= 2; }));
        c.end(t);
        ASSERT_TRUE(WaitUntil([&] { return !t.Form().Polling(); }));
        EXPECT_EQ(t.Count("// Poll stopped: "s + c.why), 1u);
        const std::size_t sent = t.device.frames.size();
        t.device.ServeFor(300);
        t.other.ServeFor(300);
        EXPECT_EQ(t.device.frames.size(), sent);
        EXPECT_TRUE(t.other.frames.empty());
        EXPECT_TRUE(t.fixture.NewErrors().isEmpty());
    }
}

// Asked to, the poll starts whenever the port opens: at start-up, and again after a Close and
// an Open; by default it does not.
TEST_F(PollTest, StartsWhenThePortOpensOnlyWhenAsked) {
    {
        PollBench off;
        off.Start("[Poll]\nRows=4\nIntervalMs=20\n");
        EXPECT_FALSE(off.Form().Polling());
        off.device.ServeFor(300);
        EXPECT_TRUE(off.device.frames.empty());
    }
    // The start-up's Open comes before the table is loaded; the poll waits for it.
    fixture.WriteIni(
        "[Main]\nCommand4=Pressure;A 04 L CRC;A 04 L P:U16*0.01 CRC\n"
        "[Poll]\nRows=4\nIntervalMs=20\nStartWhenOpen=1\n");
    Record(fixture.Start());
    EXPECT_TRUE(Form().Polling());
    ASSERT_TRUE(device.ServeUntil([&] { return fieldsRead.size() >= 2; }));
    EXPECT_EQ(fieldsRead[0], "4 P=1.02");
    EXPECT_EQ(fixture.Log()[1], Teal("// Poll started: row 4 every 20 ms, each answer awaited"));
    QTest::mouseClick(Named<QPushButton>(Form(), "Button6"), Qt::LeftButton);
    EXPECT_FALSE(Form().Polling());
    QTest::mouseClick(Named<QPushButton>(Form(), "Button3"), Qt::LeftButton);
    EXPECT_TRUE(Form().Polling());
    EXPECT_EQ(Count("// Poll started: row 4 every 20 ms, each answer awaited"), 2u);
    // Stored rows that make no poll say so and start nothing.
    ProfileStore(fixture.IniPath()).WriteString("Poll", "Rows", "0");
    QTest::mouseClick(Named<QPushButton>(Form(), "Button6"), Qt::LeftButton);
    QTest::mouseClick(Named<QPushButton>(Form(), "Button3"), Qt::LeftButton);
    EXPECT_FALSE(Form().Polling());
    EXPECT_EQ(fixture.Log().back(),
              Teal("// Poll not started: Rows: rows from 1 to 29 such as 1,3-5, not '0'"));
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

// The dialog says why it cannot start: rows that are no list, a port that is not open.
TEST_F(PollTest, DialogSaysWhyItCannotStart) {
    Start();
    PollDialog& dialog = StartPoll("2-", 100, true);
    EXPECT_FALSE(Form().Polling());
    EXPECT_EQ(Named<QLabel>(dialog, "PollState")->text(),
              "Rows: rows from 1 to 29 such as 1,3-5, not '2-'");
    QTest::mouseClick(Named<QPushButton>(Form(), "Button6"), Qt::LeftButton);
    StartPoll("2", 100, true);
    EXPECT_FALSE(Form().Polling());
    EXPECT_EQ(Named<QLabel>(dialog, "PollState")->text(), "COM2 is not open: open it first");
    EXPECT_EQ(Named<QSpinBox>(dialog, "PollInterval")->minimum(), 10);
    EXPECT_EQ(Named<QSpinBox>(dialog, "PollInterval")->maximum(), 3600000);
    device.ServeFor(100);
    EXPECT_TRUE(device.frames.empty());
}

// The dialog's settings are kept in [Poll] when it closes or starts, and come back in the next
// run; nothing of them goes into the window's own sections.
TEST_F(PollTest, SettingsSurviveARestart) {
    Start();
    PollDialog& dialog = OpenDialog();
    EXPECT_EQ(dialog.Settings(), PollSettings{});
    Named<QLineEdit>(dialog, "PollRows")->setText("3,5-6");
    Named<QSpinBox>(dialog, "PollInterval")->setValue(2500);
    Named<QCheckBox>(dialog, "PollWait")->setChecked(false);
    Named<QCheckBox>(dialog, "PollStartWhenOpen")->setChecked(true);
    QTest::mouseClick(Named<QPushButton>(dialog, "PollClose"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    const ProfileStore store(fixture.IniPath());
    EXPECT_EQ(store.ReadString("Poll", "Rows", ""), "3,5-6");
    EXPECT_EQ(store.ReadString("Poll", "IntervalMs", ""), "2500");
    EXPECT_EQ(store.ReadString("Poll", "WaitForAnswer", ""), "0");
    EXPECT_EQ(store.ReadString("Poll", "StartWhenOpen", ""), "1");
    fixture.Destroy();
    const std::string ini = fixture.IniText();
    for (const char* section : {"TForm1", "Main", "Checks"}) {
        EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString(section, "Rows", "-"), "-");
    }

    WindowFixture next;
    next.WriteIni(WithoutSection(ini, "Ports"));
    next.Start();
    // Asked to, it starts at once; the dialog shows the stored settings.
    EXPECT_TRUE(next.Form().Polling());
    Named<QAction>(next.Form(), "PollItem")->trigger();
    auto* again = next.Form().findChild<PollDialog*>("PollDialog");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Settings(), (PollSettings{"3,5-6", 2500, false, true}));
}

// "Show Fields" (off by default, [Checks] Fields) puts one line of values after a matched
// answer whose Response cell has fields: after the verdict with the checks on, alone without.
TEST_F(PollTest, ShowFieldsAnnotatesMatchedAnswersOnlyWhenOn) {
    Start();
    QAction* show = Named<QAction>(Form(), "ShowFields");
    QAction* check = Named<QAction>(Form(), "CheckResponses");
    EXPECT_TRUE(show->isCheckable());
    EXPECT_FALSE(show->isChecked());
    const auto exchange = [&](int row) {
        Grid().setCurrentCell(row - 1, 0);
        const std::size_t before = fixture.Log().size();
        const std::size_t read = fieldsRead.size();
        QTest::mouseClick(Named<QPushButton>(Form(), "SendCmdBtn"), Qt::LeftButton);
        EXPECT_TRUE(device.ServeUntil([&] { return fieldsRead.size() > read; }));
        // Time for a verdict or a line of values to follow.
        QTest::qWait(250);
        return LogFrom(before);
    };
    const std::vector<LoggedLine> sent = {Teal("// Both :"), Red("50 05 04 59 "),
                                          Blue("50 05 08 00 D7 00 66 9A ")};
    EXPECT_EQ(exchange(5), sent);

    show->trigger();
    EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString("Checks", "Fields", ""), "1");
    std::vector<LoggedLine> shown = sent;
    shown.push_back(Teal("// T=21.5 P=1.02"));
    EXPECT_EQ(exchange(5), shown);

    check->trigger();
    shown.insert(shown.end() - 1, Teal("// response as expected"));
    EXPECT_EQ(exchange(5), shown);

    // An answer that differs has no values to show.
    Grid().SetCellText(2, 5, "A 05 L T:S16*0.1 P:U16*0.01 ?? CRC");
    Grid().setCurrentCell(4, 0);
    const std::size_t before = fixture.Log().size();
    QTest::mouseClick(Named<QPushButton>(Form(), "SendCmdBtn"), Qt::LeftButton);
    ASSERT_TRUE(device.ServeUntil(
        [&] { return fixture.Log().back().text.starts_with("// response differs"); }));
    QTest::qWait(250);
    EXPECT_EQ(LogFrom(before).size(), 4u);
    EXPECT_EQ(fieldsRead.size(), 3u);

    show->trigger();
    EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString("Checks", "Fields", ""), "0");
    Grid().SetCellText(2, 5, "A 05 L T:S16*0.1 P:U16*0.01 CRC");
    shown.pop_back();
    EXPECT_EQ(exchange(5), shown);
    fixture.Destroy();

    WindowFixture next;
    next.WriteIni("[Checks]\nFields=1\n");
    EXPECT_TRUE(Named<QAction>(next.Start(), "ShowFields")->isChecked());
    EXPECT_FALSE(Named<QAction>(next.Form(), "CheckResponses")->isChecked());
}

}  // namespace
}  // namespace brantel::test
