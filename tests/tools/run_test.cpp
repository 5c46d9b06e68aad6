#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "row_run.h"
#include "run_options.h"
#include "run_report.h"
#include "stored_run.h"
#include "support/scratch_dir.h"

namespace brantel::run {
namespace {

using namespace std::string_literals;

TEST(RunOptions, ReadsEveryOption) {
    const RunOptions options = ParseRunOptions(
        {"--ini", "t.ini", "--port", "/dev/ttyUSB0", "--rows", "5,1-3,2", "--timeout", "900",
         "--gap", "5", "--address", "7F", "--params", "N:1", "--junit", "r.xml", "--quiet"});
    EXPECT_EQ(options.ini, "t.ini");
    EXPECT_EQ(options.port, "/dev/ttyUSB0");
    EXPECT_EQ(options.rows, (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(options.timeoutMs, 900);
    EXPECT_EQ(options.gapMs, 5);
    EXPECT_EQ(options.address, "7F");
    EXPECT_EQ(options.params, "N:1");
    EXPECT_EQ(options.junit, "r.xml");
    EXPECT_TRUE(options.quiet);

    const RunOptions defaults = ParseRunOptions({"--ini", "t.ini"});
    EXPECT_EQ(defaults.port, std::nullopt);
    EXPECT_EQ(defaults.rows, std::nullopt);
    EXPECT_EQ(defaults.address, std::nullopt);
    EXPECT_EQ(defaults.params, std::nullopt);
    EXPECT_EQ(defaults.timeoutMs, 500);
    EXPECT_EQ(defaults.gapMs, 20);
    EXPECT_FALSE(defaults.quiet);
    EXPECT_TRUE(ParseRunOptions({"--version"}).version);
    EXPECT_TRUE(ParseRunOptions({"--ini", "x", "--help"}).help);
}

TEST(RunOptions, RefusesBadArgumentsWithTheReason) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "--ini FILE is required"},
        {{"--ini", ""}, "--ini FILE is required"},
        {{"--ini"}, "--ini needs a value"},
        {{"--ini", "t", "--verbose"}, "unknown argument '--verbose'"},
        {{"--ini", "t", "extra"}, "unknown argument 'extra'"},
        {{"--ini", "t", "--port", ""}, "--port needs a port"},
        {{"--ini", "t", "--junit", ""}, "--junit needs a file"},
        {{"--ini", "t", "--timeout", "0"},
         "--timeout takes milliseconds from 1 to 600000, not '0'"},
        {{"--ini", "t", "--timeout", "5s"},
         "--timeout takes milliseconds from 1 to 600000, not '5s'"},
        {{"--ini", "t", "--gap", "10001"}, "--gap takes milliseconds from 1 to 10000, not '10001'"},
        {{"--ini", "t", "--gap", "-1"}, "--gap takes milliseconds from 1 to 10000, not '-1'"},
        {{"--ini", "t", "--rows", "5-3"},
         "--rows takes rows from 1 to 29 such as 1,3-5, not '5-3'"},
        {{"--ini", "t", "--rows", ""}, "--rows takes rows from 1 to 29 such as 1,3-5, not ''"},
    };
    for (const auto& [args, message] : cases) {
        try {
            ParseRunOptions(args);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

TEST(StoredRun, ReadsTheTableAndTheOptionsAsTheWindowDoes) {
    test::ScratchDir dir;
    const std::string ini = dir.File("t.ini");
    test::SetFileText(ini,
                      "[TForm1]\nPortNumber_Value=3.7\nAddressEdit_Text=\" 7F\"\n"
                      "Parameters_Text=N:12\n[Main]\nCommand2=Status;A 02 L CRC;A 02 L CRC;5\n"
                      "Command29=Note; ;no answer\n");
    const StoredRun stored = ReadStoredRun(ProfileStore(ini));
    EXPECT_EQ(stored.portNumber, 4);
    EXPECT_EQ(stored.address, "7F");
    EXPECT_EQ(stored.parameters, "N:12");
    EXPECT_TRUE(stored.rows[0].empty());
    EXPECT_EQ(stored.rows[1],
              (std::vector<std::string>{"Status", "A 02 L CRC", "A 02 L CRC", "5"}));
    EXPECT_EQ(Cell(stored.rows[1], 3), "5");
    EXPECT_EQ(Cell(stored.rows[1], 4), "");
    EXPECT_EQ(stored.rows[28], (std::vector<std::string>{"Note", " ", "no answer"}));

    test::SetFileText(ini, "[TForm1]\nPortNumber_Value=two\n");
    const StoredRun defaults = ReadStoredRun(ProfileStore(ini));
    EXPECT_EQ(defaults.portNumber, 2);
    EXPECT_EQ(defaults.address, "50");
    EXPECT_EQ(defaults.parameters, "");
}

TEST(ChoosePort, MapsComNumbersThroughPortsAndPassesOtherNamesOn) {
    test::ScratchDir dir;
    const std::string ini = dir.File("t.ini");
    test::SetFileText(ini, "[Ports]\nCOM2=/tmp/sim\nCOM3=tcp://127.0.0.1:7000\n");
    const ProfileStore store(ini);
    struct Case {
        std::optional<std::string> option;
        int stored;
        std::string name;
        std::string device;
        int number;
    };
    const Case cases[] = {
        {std::nullopt, 2, "COM2", "/tmp/sim", 2},
        {"COM3", 2, "COM3", "tcp://127.0.0.1:7000", 3},
        {"com1", 2, "COM1", "/dev/ttyS0", 1},
        {"/dev/ttyUSB0", 2, "/dev/ttyUSB0", "/dev/ttyUSB0", 0},
        {"rfc2217://host:2217", 2, "rfc2217://host:2217", "rfc2217://host:2217", 0},
        {"COMX", 2, "COMX", "COMX", 0},
    };
    for (const Case& c : cases) {
        const PortChoice port = ChoosePort(c.option, c.stored, store, std::nullopt);
        EXPECT_EQ(port.name, c.name);
        EXPECT_EQ(port.device, c.device);
        EXPECT_EQ(port.number, c.number);
    }
    for (const auto& [option, stored] : {std::pair<std::optional<std::string>, int>{"COM5", 2},
                                         {"COM0", 2},
                                         {std::nullopt, 7},
                                         {std::nullopt, -1}}) {
        EXPECT_THROW(ChoosePort(option, stored, store, std::nullopt), std::runtime_error);
    }
}

struct RowCase {
    const char* name;
    std::vector<std::string> cells;
    std::string answer;
    std::string sent;  // expected frame handed to the device; "-": none
    RowResult result;
    std::string why;
    // What the exchange adds to the answer: a fault, and whether it ends the run.
    std::string fault = "";
    bool endsRun = false;
};

TEST(RunRow, BuildsSendsAndJudgesEachRow) {
    // Seventeen tokens of 64 KiB pass the size cap.
    std::string huge;
    for (int i = 0; i < 17; ++i) {
        huge += "H ";
    }
    const RowCase cases[] = {
        {"pass",
         {"Status", "A 02 L CRC", "A 02 L 00 01 01 CRC"},
         "\x50\x02\x07\x00\x01\x01\x5B"s,
         "\x50\x02\x04\x56"s,
         RowResult::kPass,
         ""},
        {"variables and parameters",
         {"Read", "A 03 L D N CRC", "A 03 L ?? *", "$10"},
         "\x50\x03\x06\x10\xEF\x58"s,
         "\x50\x03\x07\x10\x31\xCD\x00"s,
         RowResult::kPass,
         ""},
        {"differs",
         {"Status", "A 02 L CRC", "A 02 L CRC"},
         "\x50\x82\x05\x02\xD9"s,
         "\x50\x02\x04\x56"s,
         RowResult::kFail,
         "byte 2 is 82, expected 02"},
        {"silent",
         {"Other", "51 02 04 57", "51 02 L CRC"},
         "",
         "\x51\x02\x04\x57"s,
         RowResult::kFail,
         "no answer"},
        {"note",
         {"Other", "51 02 04 57", "no answer"},
         "",
         "\x51\x02\x04\x57"s,
         RowResult::kSkip,
         "response not a frame: no answer"},
        {"empty response",
         {"Status", "A 02 L CRC", " "},
         "x",
         "\x50\x02\x04\x56"s,
         RowResult::kSkip,
         "no expected response"},
        {"no response cell",
         {"Status", "A 02 L CRC"},
         "x",
         "\x50\x02\x04\x56"s,
         RowResult::kSkip,
         "no expected response"},
        {"bad variable",
         {"Bad", "A 03 L D CRC", "A 03 *", "x1G"},
         "",
         "-",
         RowResult::kFail,
         "'x1G' is not a valid integer value"},
        {"answer over a limit",
         {"Flood", "A 02 L CRC", "A 02 *"},
         "\x50\x02"s,
         "\x50\x02\x04\x56"s,
         RowResult::kFail,
         "the answer went on for more than 5000 ms",
         "the answer went on for more than 5000 ms"},
        {"port lost",
         {"Status", "A 02 L CRC", "no answer"},
         "",
         "\x50\x02\x04\x56"s,
         RowResult::kError,
         "port lost",
         "port lost",
         true},
        {"empty frame, no answer expected",
         {"Blank", " ", "ready"},
         "",
         "-",
         RowResult::kSkip,
         "response not a frame: ready"},
        {"empty frame, an answer expected",
         {"Listen", "", "A 02 L CRC"},
         "",
         "",
         RowResult::kFail,
         "no answer"},
        {"multi-byte parameter before the checksum",
         {"Echo", "A 01 L 31 32 CRC", "A 01 L N CRC"},
         "\x50\x01\x06\x31\x32\xBA"s,
         "\x50\x01\x06\x31\x32\xBA"s,
         RowResult::kPass,
         ""},
        {"frame too long",
         {"Big", huge, "A 02 *"},
         "",
         "-",
         RowResult::kFail,
         "the frame would be longer than 1048576 bytes"},
        {"expected response too long",
         {"Big answer", "A 02 L CRC", huge},
         "",
         "-",
         RowResult::kFail,
         "the expected response would be longer than 1048576 bytes"},
    };
    RunInputs inputs;
    inputs.address = "50";
    inputs.params.Parse("N:12 H:" + std::string(65536, 'h'));
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<std::string> sent;
        const RowOutcome outcome = RunRow(7, c.cells, inputs, [&](const std::string& frame) {
            sent = frame;
            return Answer{c.answer, c.fault, c.endsRun};
        });
        EXPECT_EQ(sent.value_or("-"), c.sent);
        EXPECT_EQ(outcome.row, 7);
        EXPECT_EQ(outcome.description, c.cells[0]);
        EXPECT_EQ(outcome.received, sent ? c.answer : "");
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.why, c.why);
    }
}

RowOutcome Outcome(int row, std::string description, std::string sent, std::string received,
                   RowResult result, std::string why) {
    return {row,
            std::move(description),
            std::move(sent),
            std::move(received),
            result,
            std::move(why),
            std::chrono::milliseconds(1500)};
}

TEST(RunReport, OneLinePerRowAndTheClosingCounts) {
    const std::vector<RowOutcome> outcomes = {
        Outcome(1, "Status", "\x50\x02\x04\x56"s, "\x50\x02\x04\x56"s, RowResult::kPass, ""),
        Outcome(3, "Other", "\x51"s, "", RowResult::kFail, "no answer"),
        Outcome(4, "Note", "", "\x00"s, RowResult::kSkip, "no expected response"),
        Outcome(5, "Bad", "", "", RowResult::kFail, "'x' is not a valid integer value"),
    };
    const std::string lines[] = {
        "1 | Status | sent 50 02 04 56 | received 50 02 04 56 | PASS",
        "3 | Other | sent 51 | received nothing | FAIL: no answer",
        "4 | Note | sent nothing | received 00 | SKIP: no expected response",
        "5 | Bad | sent nothing | received nothing | FAIL: 'x' is not a valid integer value",
    };
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(RowLine(outcomes[i]), lines[i]);
    }
    EXPECT_EQ(SummaryLine(Totals(outcomes)), "1 passed, 2 failed, 1 skipped");
    EXPECT_EQ(SummaryLine(Totals({})), "0 passed, 0 failed, 0 skipped");
}

TEST(RunReport, JUnitHasOneCasePerRowWithFailuresAndSkips) {
    const std::vector<RowOutcome> outcomes = {
        Outcome(1, "Status", "\x50"s, "\x50"s, RowResult::kPass, ""),
        Outcome(2, "A<B & \"C\"", "\x51"s, "", RowResult::kFail, "no answer"),
        Outcome(3, "Note", "", "", RowResult::kSkip, "response not a frame: <ok>"),
    };
    EXPECT_EQ(JUnitReport(outcomes, "bench"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<testsuites name=\"brantel-run\" tests=\"3\" failures=\"1\" errors=\"0\" "
              "skipped=\"1\" time=\"4.500\">\n"
              "  <testsuite name=\"bench\" tests=\"3\" failures=\"1\" errors=\"0\" skipped=\"1\" "
              "time=\"4.500\">\n"
              "    <testcase classname=\"bench\" name=\"row 1: Status\" time=\"1.500\">\n"
              "      <system-out>sent 50&#10;received 50</system-out>\n"
              "    </testcase>\n"
              "    <testcase classname=\"bench\" name=\"row 2: A&lt;B &amp; &quot;C&quot;\" "
              "time=\"1.500\">\n"
              "      <failure message=\"no answer\">sent 51&#10;received nothing</failure>\n"
              "      <system-out>sent 51&#10;received nothing</system-out>\n"
              "    </testcase>\n"
              "    <testcase classname=\"bench\" name=\"row 3: Note\" time=\"1.500\">\n"
              "      <skipped message=\"response not a frame: &lt;ok&gt;\"/>\n"
              "      <system-out>sent nothing&#10;received nothing</system-out>\n"
              "    </testcase>\n"
              "  </testsuite>\n"
              "</testsuites>\n");
}

// Names come from Response cells, so a comma or a quote in one must not break the CSV columns.
TEST(RunReport, ValuesAsCsvLinesStampedInUtc) {
    RowOutcome outcome = Outcome(7, "Read", "", "", RowResult::kPass, "");
    outcome.fields = {{"T", {21.5, "21.5"}}, {"a,\"b\"", {-3, "-3"}}};
    outcome.answered = std::chrono::sys_days{std::chrono::year{2026} / 12 / 8} +
                       std::chrono::hours{9} + std::chrono::milliseconds{5042};
    EXPECT_EQ(ValueLines(outcome),
              "2026-12-08T09:00:05.042Z,7,T,21.5\n2026-12-08T09:00:05.042Z,7,\"a,\"\"b\"\"\",-3\n");
    EXPECT_EQ(RowLine(outcome),
              "7 | Read | sent nothing | received nothing | PASS T=21.5 a,\"b\"=-3");
}

TEST(XmlText, EscapesMarkupAndReplacesWhatXmlCannotCarry) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain text", "plain text"},
        {"<a href='x'>&</a>", "&lt;a href=&apos;x&apos;&gt;&amp;&lt;/a&gt;"},
        {"tab\tline\nreturn\r", "tab&#9;line&#10;return&#13;"},
        {"\x01zero\x00"s, "\xEF\xBF\xBDzero\xEF\xBF\xBD"},
        {"Протокол €", "Протокол €"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"latin1 \xE9t\xE9", "latin1 \xEF\xBF\xBDt\xEF\xBF\xBD"},
        {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"not a character \xEF\xBF\xBF", "not a character \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"beyond \xF4\x90\x80\x80", "beyond \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& [text, xml] : cases) {
        EXPECT_EQ(XmlText(text), xml) << text;
    }
}

}  // namespace
}  // namespace brantel::run
