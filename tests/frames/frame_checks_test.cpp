#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_frame_inputs.h"
#include "frames/expected_response.h"
#include "frames/explanation_table.h"
#include "frames/frame_builder.h"
#include "frames/frame_explanation.h"
#include "support/hex_bytes.h"
#include "text/hex_line.h"

namespace brantel {
namespace {

using test::Bytes;

struct BuildCase {
    std::string frameTemplate;
    std::vector<std::string> variables;
    std::string frame;  // hex bytes, or the error's message
};

std::string BuildOrError(const BuildCase& c, const std::string& params = "") {
    FakeFrameInputs inputs;
    inputs.variables = c.variables;
    inputs.params.Parse(params);
    try {
        std::string line = HexLine(BuildFrame(c.frameTemplate, inputs));
        line.pop_back();
        return line;
    } catch (const ConversionError& error) {
        return error.what();
    }
}

TEST(FrameChecks, ChecksGoWhereTheyStandAfterTheLengthAndBeforeTheSum) {
    const BuildCase cases[] = {
        // A Modbus read request, its CRC low byte first.
        {"01 03 00 00 00 0A CRC-16/MODBUS", {}, "01 03 00 00 00 0A C5 CD"},
        {"01 03 00 00 00 0A CRC-16/MODBUS:BE", {}, "01 03 00 00 00 0A CD C5"},
        // An NMEA-like sentence: the XOR of the bytes between "$" and "*", as two digits.
        {"24 41 42 2A XOR-8(2..-2):HEX 0D 0A", {}, "24 41 42 2A 30 33 0D 0A"},
        // The length first, then the check over it, then the sum over everything at token 1.
        {"CRC 02 L CRC-16/XMODEM SUM-8", {}, "64 02 06 06 A4 B2"},
        // A later check covers an earlier one.
        {"01 SUM-8 XOR-8", {}, "01 01 00"},
        // Wide values from the variable cells.
        {"01 06 R:U16 V:S16LE", {"1", "-2"}, "01 06 00 01 FE FF"},
        {"P:U32 Q:U24 F:F32", {"4294967295", "$123456", "1.5"}, "FF FF FF FF 12 34 56 3F C0 00 00"},
        {"V:S32LE", {"-2147483648"}, "00 00 00 80"},
        // Errors: nothing is built.
        {"SUM-8", {}, "`SUM-8` at byte 1 has no bytes before it to cover"},
        {"01 XOR-8(3..)",
         {},
         "`XOR-8(3..)` at byte 2 would cover bytes 3 to 1, but only bytes 1 to 1 lie before it"},
        {"V:U16", {"70000"}, "'70000' is out of range for U16 (0 to 65535)"},
        {"V:S16", {"$FFFF"}, "'$FFFF' is out of range for S16 (-32768 to 32767)"},
        {"V:U16", {"x"}, "'x' is not a valid integer value"},
        {"F:F32", {"1,5"}, "'1,5' is not a valid floating point value"},
        {"F:F32", {"1e39"}, "'1e39' is out of range for F32"},
    };
    for (const BuildCase& c : cases) {
        EXPECT_EQ(BuildOrError(c), c.frame) << c.frameTemplate;
    }
    // A parameter cannot shadow a check; a name no check has stays a variable.
    EXPECT_EQ(BuildOrError({"01 SUM-8", {}, ""}, "SUM-8:7"), "01 01");
    EXPECT_EQ(BuildOrError({"CRC16", {"9"}, ""}), "09 09 09 09 09 09");
}

TEST(FrameChecks, AnswersAreJudgedByTheirOwnChecks) {
    const struct {
        std::string cell;
        std::string answer;
        std::string why;
    } cases[] = {
        {"01 03 * CRC-16/MODBUS", "01 03 02 00 0A 38 43", ""},
        {"01 03 * CRC-16/MODBUS", "01 03 04 00 0A 00 0B 9B F6", ""},
        {"01 03 * CRC-16/MODBUS", "01 03 02 00 0A 38 44", "CRC-16/MODBUS is 38 44, expected 38 43"},
        {"01 03 * CRC-16/MODBUS", "01 03 38", "3 bytes, expected at least 4 bytes"},
        {"01 83 * CRC-16/MODBUS", "01 03 02 00 0A 38 43", "byte 2 is 03, expected 83"},
        {"01 03 02 ?? ?? CRC-16/MODBUS", "01 03 02 00 0A 38 43", ""},
        {"24 ?? 2A XOR-8(2..-2):HEX", "24 41 2A 34 31", ""},
        {"24 ?? 2A XOR-8(2..-2):HEX", "24 41 2A 34 32",
         "XOR-8(2..-2):HEX is 34 32, expected 34 31"},
        {"* SUM-8(2..)", "AA", "`SUM-8(2..)` at byte 1 has no bytes before it to cover"},
    };
    FakeFrameInputs inputs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell + " <- " + c.answer);
        const auto expected = ExpectedResponse::FromCell(c.cell, inputs);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(expected->Check(Bytes(c.answer)).why, c.why);
        EXPECT_EQ(expected->Text(), c.cell);
    }
    // What the builder sends with a check passes the same cell.
    const std::string frame = BuildFrame("01 03 00 00 00 0A CRC-16/MODBUS", inputs);
    EXPECT_TRUE(ExpectedResponse::FromCell("01 03 * CRC-16/MODBUS", inputs)->Check(frame).matches);
    for (const std::string note : {"01 * 02", "01 * CRC-16/MODBUS 02"}) {
        EXPECT_FALSE(ExpectedResponse::FromCell(note, inputs).has_value()) << note;
    }
}

TEST(FrameChecks, TheExplanationShowsEachCheckAndWarnsOfLookalikes) {
    FakeFrameInputs inputs;
    inputs.variables = {"1"};
    const struct {
        std::string frameTemplate;
        std::string line;
    } cases[] = {
        {"01 03 CRC-16/MODBUS",
         "check CRC-16/MODBUS (width 16, poly 8005, init FFFF, refin true, refout true, xorout "
         "0000) over bytes 1-2: 40 21 written to bytes 3-4"},
        {"CRC16",
         "warning: `CRC16` is no check: it reads variable 1 six times; the closest check "
         "is `CRC-16`"},
        {"01 crc-16/modbus", "the closest check is `CRC-16/MODBUS`"},
        {"01 CRC-16/MODBUS L",
         "warning: the check `CRC-16/MODBUS` before `L` moves the length off its field"},
        {"01 XOR-8 CRC", "warning: `CRC` adds the 8-bit sum at its token's index after `XOR-8`"},
    };
    for (const auto& c : cases) {
        const std::string table = ExplanationTable(ExplainFrame(c.frameTemplate, inputs));
        EXPECT_NE(table.find(c.line), std::string::npos) << c.frameTemplate << "\n" << table;
    }
    const FrameExplanation failed = ExplainFrame("XOR-8 V:U16 01", inputs);
    EXPECT_FALSE(failed.built);
    EXPECT_EQ(failed.failure, "`XOR-8` at byte 1 has no bytes before it to cover");
    EXPECT_EQ(failed.tokens.back().firstByte, 4u);
}

}  // namespace
}  // namespace brantel
