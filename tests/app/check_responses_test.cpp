#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "platform/profile_store.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

using namespace std::string_literals;

struct CheckCase {
    const char* name;
    const char* response;  // the row's Response cell
    std::string answer;    // what the device sends back; empty: nothing
    std::optional<std::string> verdict;
};

// Sends "A 02 L CRC" from row 1 with the Response cell of the case, lets the device answer,
// and returns the log lines from the send on once the poll has had time to judge.
std::vector<LoggedLine> SendAndAnswer(WindowFixture& fixture, const CheckCase& c) {
    TForm1& form = fixture.Form();
    auto* grid = Named<CommandGrid>(form, "CmdGrid");
    grid->SetCellText(0, 1, "Status");
    grid->SetCellText(1, 1, "A 02 L CRC");
    grid->SetCellText(2, 1, c.response);
    grid->setCurrentCell(0, 0);
    const std::size_t before = fixture.Log().size();
    QTest::mouseClick(Named<QPushButton>(form, "SendCmdBtn"), Qt::LeftButton);
    EXPECT_EQ(fixture.Device(2).Read(4), "\x50\x02\x04\x56"s);
    if (!c.answer.empty()) {
        fixture.Device(2).Write(c.answer);
    }
    const auto judged = [&] { return fixture.Log().back().text.starts_with("// response"); };
    if (c.verdict) {
        EXPECT_TRUE(WaitUntil(judged));
    } else {
        // Longer than the time an answer is awaited: no verdict comes.
        QTest::qWait(800);
    }
    const std::vector<LoggedLine> log = fixture.Log();
    return {log.begin() + static_cast<std::ptrdiff_t>(before), log.end()};
}

TEST(CheckResponses, AnnotatesTheAnswerBelowIt) {
    const CheckCase cases[] = {
        {"expected frame", "A 02 L CRC", "\x50\x02\x04\x56"s, "// response as expected"},
        {"wildcard and any tail", "A ?? *", "\x50\x82\x05\x02\xD9"s, "// response as expected"},
        {"an answer that differs", "50 02 07 00 01 01 5B", "\x50\x82\x05\x02\xD9"s,
         "// response differs: expected 50 02 07 00 01 01 5B, received 50 82 05 02 D9"},
        {"no answer within the time", "A 02 *", "",
         "// response differs: expected 50 02 *, received nothing"},
        {"a note is not checked", "no answer", "\x50\x02\x04\x56"s, std::nullopt},
    };
    WindowFixture fixture;
    fixture.WriteIni("[Checks]\nResponses=1\n");
    fixture.Start();
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<LoggedLine> lines = SendAndAnswer(fixture, c);
        std::vector<LoggedLine> expected = {Teal("// Status :"), Red("50 02 04 56 ")};
        if (!c.answer.empty()) {
            expected.push_back(Blue(HexLine(c.answer)));
        }
        if (c.verdict) {
            expected.push_back(Teal(*c.verdict));
        }
        EXPECT_EQ(lines, expected);
    }
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

// A Response cell that would expect more than the size cap is reported in a box and not
// watched; the frame has gone out already.
TEST(CheckResponses, ResponseCellPastTheSizeCapIsReported) {
    std::string huge;
    for (int i = 0; i < 17; ++i) {
        huge += "H ";
    }
    WindowFixture fixture;
    fixture.WriteIni("[Checks]\nResponses=1\n");
    Named<QLineEdit>(fixture.Start(), "Parameters")->setText("H:" + QString(65536, 'h'));
    const std::vector<LoggedLine> lines =
        SendAndAnswer(fixture, {"too long", huge.c_str(), "\x50\x02\x04\x56"s, std::nullopt});
    EXPECT_EQ(lines, (std::vector<LoggedLine>{Teal("// Status :"), Red("50 02 04 56 "),
                                              Blue("50 02 04 56 ")}));
    EXPECT_EQ(fixture.NewErrors(),
              QStringList{WindowFixture::Title() +
                          "|the expected response would be longer than 1048576 bytes."});
}

// A device that keeps talking after a command gets its verdict once the answer passes the
// time or the bytes it may take, in a line of bounded length, while the stream still runs.
TEST(CheckResponses, StreamingDeviceIsJudgedWithinTheLimits) {
    WindowFixture fixture;
    fixture.WriteIni("[Checks]\nResponses=1\n");
    TForm1& form = fixture.Start();
    auto* grid = Named<CommandGrid>(form, "CmdGrid");
    grid->SetCellText(1, 1, "A 02 L CRC");
    grid->SetCellText(2, 1, "A 02 L CRC");
    grid->setCurrentCell(0, 0);
    QTest::mouseClick(Named<QPushButton>(form, "SendCmdBtn"), Qt::LeftButton);
    EXPECT_EQ(fixture.Device(2).Read(4), "\x50\x02\x04\x56"s);
    const auto verdict = [&]() -> std::optional<std::string> {
        for (const LoggedLine& line : fixture.Log()) {
            if (line.text.starts_with("// response")) {
                return line.text;
            }
        }
        return std::nullopt;
    };
    for (std::size_t sent = 0; sent < 200'000 && !verdict();) {
        if (fixture.Device(2).Writable()) {
            fixture.Device(2).Write(std::string(64, '\x01'));
            sent += 64;
        } else {
            QTest::qWait(1);
        }
    }
    ASSERT_TRUE(verdict());
    // Which limit comes first depends on how fast the line takes the stream.
    const std::regex judged(
        "// response differs: expected 50 02 L CRC, received (01 ){63}01 \\.\\.\\. \\([0-9]+ "
        "bytes\\); the answer (went on for more than 5000 ms|was longer than 65536 bytes "
        "\\([0-9]+ more drained\\))");
    EXPECT_TRUE(std::regex_match(*verdict(), judged)) << *verdict();
    EXPECT_LT(verdict()->size(), 400u);
}

// Off at first; the menu entry writes its own section at once, and a start with it stored
// checks answers.
TEST(CheckResponses, SettingIsOffByDefaultAndKeptInItsOwnSection) {
    const CheckCase status = {"status", "A 02 L CRC", "\x50\x02\x04\x56"s, std::nullopt};
    {
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        QAction* check = Named<QAction>(form, "CheckResponses");
        EXPECT_TRUE(check->isCheckable());
        EXPECT_FALSE(check->isChecked());
        EXPECT_EQ(SendAndAnswer(fixture, status).size(), 3u);

        check->trigger();
        EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString("Checks", "Responses", ""), "1");
        EXPECT_EQ(SendAndAnswer(fixture, {"status", "A 02 L CRC", "\x50\x02\x04\x56"s,
                                          "// response as expected"})
                      .back(),
                  Teal("// response as expected"));
        check->trigger();
        EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString("Checks", "Responses", ""), "0");
        EXPECT_EQ(SendAndAnswer(fixture, status).size(), 3u);
        fixture.Destroy();
        for (const char* section : {"TForm1", "Main"}) {
            EXPECT_EQ(ProfileStore(fixture.IniPath()).ReadString(section, "Responses", "-"), "-");
        }
    }
    WindowFixture fixture;
    fixture.WriteIni("[Checks]\nResponses=1\n");
    EXPECT_TRUE(Named<QAction>(fixture.Start(), "CheckResponses")->isChecked());
}

}  // namespace
}  // namespace brantel::test
