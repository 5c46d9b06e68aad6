#include "frames/expected_response.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_frame_inputs.h"
#include "frames/frame_builder.h"
#include "support/hex_bytes.h"

namespace brantel {
namespace {

using test::Bytes;

std::optional<ExpectedResponse> Expected(const std::string& cell, const std::string& params = "",
                                         const std::string& address = "50") {
    FakeFrameInputs inputs;
    inputs.address = address;
    inputs.params.Parse(params);
    return ExpectedResponse::FromCell(cell, inputs);
}

struct CheckCase {
    std::string cell;
    std::string params;
    std::string answer;
    std::string why;  // empty: the answer matches
};

TEST(ExpectedResponse, JudgesAnswersByteForByte) {
    const CheckCase cases[] = {
        // Hex bytes, the address, the length and the checksum as the demo device answers.
        {"A 02 L 00 01 01 CRC", "", "50 02 07 00 01 01 5B", ""},
        {"50 02 07 00 01 01 5B", "", "50 02 07 00 01 01 5B", ""},
        {"50 02 07 00 01 01 5B", "", "50 82 05 02 D9", "byte 2 is 82, expected 02"},
        {"A 02 L 00 CRC", "", "50 02 04 00 56", "byte 3 is 04, expected 05 (the length)"},
        {"A 02 L CRC", "", "50 02 04 00", "byte 4 is 00, expected 56 (the checksum)"},
        {"A 02 L CRC", "", "51 02 04 57", "byte 1 is 51, expected 50"},
        // Pairs of hex digits as the log shows them, whatever their first digit.
        {"50 03 06 10 EF 58", "", "50 03 06 10 EF 58", ""},
        {"50 82 05 02 d9", "", "50 82 05 02 D9", ""},
        {"50 82 05 02 D9", "", "50 82 05 02 D8", "byte 5 is D8, expected D9"},
        // Any one byte, and any further bytes.
        {"A 03 L 10 ?? CRC", "", "50 03 06 10 EF 58", ""},
        {"A 03 L 10 ?? CRC", "", "50 03 06 10 42 AB", ""},
        {"A 03 L 10 ?? CRC", "", "50 03 06 10 42 00", "byte 6 is 00, expected AB (the checksum)"},
        {"A 02 *", "", "50 02 07 00 01 01 5B", ""},
        {"A 02 *", "", "50 02", ""},
        {"A 02 *", "", "50", "1 byte, expected at least 2 bytes"},
        {"A L *", "", "50 05 AA BB CC", ""},
        {"A L *", "", "50 04 AA BB CC", "byte 2 is 04, expected 05 (the length)"},
        {"*", "", "", ""},
        {"*", "", "01 02", ""},
        // Sizes: the bytes in common are compared first.
        {"50 02", "", "50 02 03", "3 bytes, expected 2 bytes"},
        {"50 02 03", "", "50 02", "2 bytes, expected 3 bytes"},
        {"50 02", "", "", "no answer"},
        {"50 ??", "", "50", "1 byte, expected 2 bytes"},
        // Named parameters: a text byte for byte, an integer as its decimal text.
        {"01 N S", "N:12 S:ab", "01 31 32 61 62", ""},
        {"01 N", "N:12", "01 0C", "byte 2 is 0C, expected 31"},
        // After a token of two bytes: the checksum where its token's byte lies, or where the
        // builder's position rule patches it (token 4, on the text's first byte).
        {"A N S CRC", "N:12 S:ab", "50 31 32 61 62 76", ""},
        {"A N S CRC", "N:12 S:ab", "50 31 32 76 62 00", ""},
        {"A N S CRC", "N:12 S:ab", "50 31 32 15 62 00", "byte 4 is 15, expected 61"},
        {"A N L", "N:12", "50 31 04 03", ""},
        {"?? L", "", "AA 02", ""},
        {"?? L", "", "AA 05", "byte 2 is 05, expected 02 (the length)"},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.cell + " <- " + c.answer);
        const std::optional<ExpectedResponse> expected = Expected(c.cell, c.params);
        ASSERT_TRUE(expected.has_value());
        const ResponseVerdict verdict = expected->Check(Bytes(c.answer));
        EXPECT_EQ(verdict.matches, c.why.empty());
        EXPECT_EQ(verdict.why, c.why);
    }
}

TEST(ExpectedResponse, TakesTheAddressBoxAndTheParametersOfTheMoment) {
    EXPECT_TRUE(Expected("A 02", "", "7F")->Check(Bytes("7F 02")).matches);
    EXPECT_FALSE(Expected("A 02", "", "7F")->Check(Bytes("50 02")).matches);
    // A parameter named like a keyword is never used; one named "??" or like a hex pair is a
    // parameter.
    EXPECT_TRUE(Expected("L ?? EF", "L:7 ??:x EF:y")->Check(Bytes("03 78 79")).matches);
}

TEST(ExpectedResponse, CellsThatAreNotAFrameAreNotChecked) {
    for (const std::string cell :
         {"", "   ", "no answer", "OK", "50 02 [status]", "50 * 02", "* *", "?", "???", "50 D",
          "a 02", "50 02 crc", "50 GG", "50 ABC", "50 F"}) {
        EXPECT_FALSE(Expected(cell).has_value()) << cell;
    }
}

TEST(ExpectedResponse, ShowsItselfAsBytesWildcardsAndChecks) {
    const std::pair<std::string, std::string> cases[] = {
        {"A 03 L 10 ?? CRC", "50 03 L 10 ?? CRC"}, {"A  02   *", "50 02 *"},         {"*", "*"},
        {"A N S CRC", "50 31 32 61 62 CRC"},       {"0a 1FF 12G ef", "0A FF 00 EF"},
    };
    for (const auto& [cell, text] : cases) {
        EXPECT_EQ(Expected(cell, "N:12 S:ab")->Text(), text) << cell;
    }
}

TEST(ExpectedResponse, AnAlignedFrameOfTheBuilderPassesItsOwnCheck) {
    FakeFrameInputs inputs;
    inputs.params.Parse("P:Q");
    for (const std::string frameTemplate : {"A 03 00 10 L CRC", "L CRC", "CRC L", "A P L 7F CRC"}) {
        const std::string frame = BuildFrame(frameTemplate, inputs);
        EXPECT_TRUE(ExpectedResponse::FromCell(frameTemplate, inputs)->Check(frame).matches)
            << frameTemplate;
    }
}

// A device answers the frame as the cell lays it out; a device played from the same cell
// answers what the builder makes of it. Both pass; a wrong answer is judged by the first.
TEST(ExpectedResponse, TheFrameAsLaidOutAndTheBuildersOwnBothPass) {
    const struct {
        std::string cell;
        std::string laidOut;
        std::string wrong;
        std::string why;
    } cases[] = {
        {"A 01 L N CRC", "50 01 06 31 32 BA", "50 01 06 31 32 42",
         "byte 6 is 42, expected BA (the checksum)"},
        {"A N S CRC", "50 31 32 61 62 76", "50 31 32 61 62", "5 bytes, expected 6 bytes"},
        {"A N L", "50 31 32 04", "50 31 32 03", "byte 4 is 03, expected 04 (the length)"},
        {"N L S CRC", "31 32 06 61 62 2C", "31 06 32 61 62 2C", "byte 2 is 06, expected 32"},
    };
    FakeFrameInputs inputs;
    inputs.address = "50";
    inputs.params.Parse("N:12 S:ab");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        const std::optional<ExpectedResponse> expected = ExpectedResponse::FromCell(c.cell, inputs);
        ASSERT_TRUE(expected.has_value());
        EXPECT_TRUE(expected->Check(Bytes(c.laidOut)).matches);
        EXPECT_TRUE(expected->Check(BuildFrame(c.cell, inputs)).matches);
        EXPECT_EQ(expected->Check(Bytes(c.wrong)).why, c.why);
    }
}

TEST(AnswerText, HexPairsOrNothing) {
    EXPECT_EQ(AnswerText(Bytes("50 0A FF")), "50 0A FF");
    EXPECT_EQ(AnswerText(std::string(1, '\0')), "00");
    EXPECT_EQ(AnswerText(""), "nothing");
}

}  // namespace
}  // namespace brantel
