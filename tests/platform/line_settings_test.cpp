#include "platform/line_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/port_names.h"
#include "platform/profile_store.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

using Parity = LineSettings::Parity;
using StopBits = LineSettings::StopBits;
using Flow = LineSettings::Flow;

LineSettings Line(std::uint32_t speed, int dataBits, Parity parity, StopBits stopBits,
                  Flow flow = Flow::kNone) {
    return {speed, dataBits, parity, stopBits, flow};
}

struct TextCase {
    const char* text;
    LineSettings line;
    // The text the settings are written as, and their words.
    const char* written;
    const char* described;
};

TEST(LineSettings, ReadsEachFormAndWritesItBackTheSame) {
    const TextCase cases[] = {
        {"9600 8N1", LineSettings{}, "9600 8N1", "9600 8N1, no flow control"},
        {"115200 8e1 rts/cts", Line(115200, 8, Parity::kEven, StopBits::kOne, Flow::kRtsCts),
         "115200 8E1 RTS/CTS", "115200 8E1, RTS/CTS flow control"},
        {"  19200\t7O2   XON/XOFF ", Line(19200, 7, Parity::kOdd, StopBits::kTwo, Flow::kXonXoff),
         "19200 7O2 XON/XOFF", "19200 7O2, XON/XOFF flow control"},
        {"110 5M1.5 none", Line(110, 5, Parity::kMark, StopBits::kOneAndHalf), "110 5M1.5",
         "110 5M1.5, no flow control"},
        {"2147483647 6S1", Line(2147483647, 6, Parity::kSpace, StopBits::kOne), "2147483647 6S1",
         "2147483647 6S1, no flow control"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        const LineSettings line = ParseLineSettings(c.text);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(LineSettingsText(line), c.written);
        EXPECT_EQ(ParseLineSettings(LineSettingsText(line)), line);
        EXPECT_EQ(DescribeLineSettings(line), c.described);
    }
}

TEST(LineSettings, TextThatIsNoLineSaysWhatIsWrong) {
    const struct {
        const char* text;
        const char* why;
    } cases[] = {
        {"", "two or three words"},
        {"9600", "two or three words"},
        {"9600 8N1 RTS/CTS extra", "two or three words"},
        {"0 8N1", "the speed '0' is not a whole number from 1 to 2147483647"},
        {"-9600 8N1", "the speed '-9600'"},
        {"2147483648 8N1", "the speed '2147483648'"},
        {"99999999999999999999999 8N1", "the speed '99999999999999999999999'"},
        {"96k 8N1", "the speed '96k'"},
        {"9600 9N1", "'9N1' is not data bits 5 to 8"},
        {"9600 4N1", "'4N1'"},
        {"9600 8X1", "'8X1'"},
        {"9600 8N3", "'8N3'"},
        {"9600 8N", "'8N'"},
        {"9600 8N1.", "'8N1.'"},
        {"9600 8N1 DTR/DSR", "the flow control 'DTR/DSR' is not RTS/CTS, XON/XOFF or none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseLineSettings(c.text);
            ADD_FAILURE() << "read as line settings";
        } catch (const LineSettingsError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.why), std::string::npos) << message;
            EXPECT_EQ(message.find("'" + std::string(c.text) + "' is no line settings"), 0u)
                << message;
        }
    }
}

// A stored file without a line key runs as it always has; a bad one falls back with a word.
TEST(LineSettings, PortsKeepTheirLineBesideTheirDevice) {
    const test::ScratchDir dir;
    const std::string ini = dir.File("brantel.ini");
    test::SetFileText(ini,
                      "[Ports]\nCOM1=/dev/ttyUSB0\nCOM2Line=19200 8E2\ncom3line=fast\n"
                      "COM4Line=\n");
    const ProfileStore store(ini);
    const struct {
        int number;
        LineSettings line;
        const char* problem;
    } cases[] = {
        {1, LineSettings{}, ""},
        {2, Line(19200, 8, Parity::kEven, StopBits::kTwo), ""},
        {3, LineSettings{},
         "COM3Line: 'fast' is no line settings (it needs two or three words): SPEED DPS [FLOW], "
         "such as \"9600 8N1\" or \"115200 8E1 RTS/CTS\"; the line runs at 9600 8N1 instead"},
        {4, LineSettings{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const PortLine line = PortLineSettings(store, c.number);
        EXPECT_EQ(line.settings, c.line);
        EXPECT_EQ(line.problem, c.problem);
    }
}

}  // namespace
}  // namespace brantel
