#include "frames/frame_explanation.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "commands/command_row.h"
#include "frames/explanation_table.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "text/hex_line.h"
#include "text/integers.h"

namespace brantel {
namespace {

struct ExplainCase {
    std::string frameTemplate;
    std::string params;
    std::vector<std::string> variables;
    // Each token as "<first byte>:<bytes>", with "!" for a variable whose cell fails.
    std::vector<std::string> placed;
    std::string outcome;  // the frame's bytes, or the builder's message
    std::vector<std::string> warnings;
    std::string address = "50";
};

std::string Hex(const std::string& bytes) {
    const std::string line = HexLine(bytes);
    return line.empty() ? line : line.substr(0, line.size() - 1);
}

std::vector<std::string> Placed(const FrameExplanation& explanation) {
    std::vector<std::string> placed;
    for (const TokenExplanation& token : explanation.tokens) {
        placed.push_back(std::to_string(token.firstByte) + ":" +
                         (token.failed ? "!" : Hex(token.bytes)));
    }
    return placed;
}

FixedFrameInputs Inputs(const ExplainCase& c) {
    FixedFrameInputs inputs;
    inputs.address = c.address;
    inputs.params.Parse(c.params);
    inputs.variables = c.variables;
    return inputs;
}

void PrintTo(const ExplainCase& c, std::ostream* out) {
    *out << '"' << c.frameTemplate << '"';
}

class ExplainTest : public ::testing::TestWithParam<ExplainCase> {};

// The explanation places every token, finishes exactly the builder's frame (or carries its
// message), and warns about each trap with the wording given.
TEST_P(ExplainTest, PlacesTheTokensAndWarnsAboutTheTraps) {
    const ExplainCase& c = GetParam();
    const FixedFrameInputs inputs = Inputs(c);
    const FrameExplanation explanation = ExplainFrame(c.frameTemplate, inputs);
    EXPECT_EQ(Placed(explanation), c.placed);
    EXPECT_EQ(explanation.built ? Hex(explanation.frame) : explanation.error, c.outcome);
    EXPECT_EQ(explanation.warnings, c.warnings);
    try {
        EXPECT_EQ(Hex(BuildFrame(c.frameTemplate, inputs)), c.outcome);
        EXPECT_TRUE(explanation.built);
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.what(), c.outcome);
        EXPECT_FALSE(explanation.built);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ExplainTest,
    ::testing::Values(
        ExplainCase{"A 03 00 10 L CRC",
                    "",
                    {},
                    {"1:50", "2:03", "3:00", "4:10", "5:06", "6:00"},
                    "50 03 00 10 06 69",
                    {}},
        ExplainCase{"A 01 L D D CRC",
                    "",
                    {"300", "-1"},
                    {"1:50", "2:01", "3:06", "4:2C", "5:FF", "6:00"},
                    "50 01 06 2C FF 82",
                    {}},
        ExplainCase{"A 05 W2 CRC",
                    "",
                    {"4660"},
                    {"1:50", "2:05", "3:34 34", "5:00"},
                    "50 05 34 BD 00",
                    {"`CRC` patches byte 4, but the checksum field is at byte 5 after the 2-byte "
                     "variable `W2`"}},
        ExplainCase{"0AA D2 L CRC",
                    "",
                    {"17"},
                    {"1:AA", "2:11 11", "4:04", "5:00"},
                    "AA 11 05 C4 00",
                    {"`D2` reads variable 1 twice; for the byte D2 write `0D2`",
                     "`L` patches byte 3, but the length field is at byte 4 after the 2-byte "
                     "variable `D2`",
                     "`CRC` patches byte 4, but the checksum field is at byte 5 after the 2-byte "
                     "variable `D2`"}},
        ExplainCase{"A 02 L 01 P CRC",
                    "P:xy",
                    {},
                    {"1:50", "2:02", "3:06", "4:01", "5:78 79", "7:00"},
                    "50 02 07 01 78 4B 00",
                    {"`CRC` patches byte 6, but the checksum field is at byte 7 after the 2-byte "
                     "parameter `P`"}},
        ExplainCase{
            "01 N S", "N:12 S:ab", {}, {"1:01", "2:31 32", "4:61 62"}, "01 31 32 61 62", {}},
        ExplainCase{"[hdr] 01 02", "", {}, {"1:", "1:01", "2:02"}, "01 02", {}},
        ExplainCase{"L CRC", "", {}, {"1:02", "2:00"}, "02 02", {}},
        ExplainCase{"", "", {}, {}, "", {}}));

INSTANTIATE_TEST_SUITE_P(
    Traps, ExplainTest,
    ::testing::Values(
        // A frame pasted from a manual: `C4` is a variable over an empty cell.
        ExplainCase{"01 03 00 00 00 02 C4 0B",
                    "",
                    {},
                    {"1:01", "2:03", "3:00", "4:00", "5:00", "6:02", "7:!", "11:0B"},
                    "'' is not a valid integer value",
                    {"`C4` reads variable 1 four times; for the byte C4 write `0C4`"}},
        ExplainCase{"FF ABC dEAd A0",
                    "",
                    {"1", "2", "3", "4"},
                    {"1:01", "2:02", "3:03", "4:"},
                    "01 02 03",
                    {"`FF` reads variable 1 once; for the byte FF write `0FF`",
                     "`ABC` reads variable 2 once; for the bytes 0A BC write `0A 0BC`",
                     "`dEAd` reads variable 3 once; for the bytes DE AD write `0dE 0Ad`",
                     "`A0` reads variable 4 zero times; for the byte A0 write `0A0`"}},
        // The failing cell stops the build; the tokens after it are still placed and checked.
        ExplainCase{"D N L CRC",
                    "N:12",
                    {""},
                    {"1:!", "2:31 32", "4:04", "5:00"},
                    "'' is not a valid integer value",
                    {"`L` patches byte 3, but the length field is at byte 4 after the 2-byte "
                     "parameter `N`",
                     "`CRC` patches byte 4, but the checksum field is at byte 5 after the 2-byte "
                     "parameter `N`"}},
        ExplainCase{"N X0 N N N L",
                    "N:12",
                    {"1"},
                    {"1:31 32", "3:", "3:31 32", "5:31 32", "7:31 32", "9:06"},
                    "31 32 31 32 31 09 31 32 06",
                    {"`L` patches byte 6, but the length field is at byte 9 after the 2-byte "
                     "parameter `N`, the 0-byte variable `X0`, the 2-byte parameter `N` and 2 "
                     "more"}},
        ExplainCase{"[a] 01 L 02 03",
                    "",
                    {},
                    {"1:", "1:01", "2:05", "3:02", "4:03"},
                    "01 05 04 03",
                    {"`L` patches byte 3, but the length field is at byte 2 after the 0-byte "
                     "comment `[a]`"}},
        ExplainCase{"[a] 01 L",
                    "",
                    {},
                    {"1:", "1:01", "2:03"},
                    "01 03",
                    {"`L` lies past the end of the frame (byte 3 of 2): not written"}},
        ExplainCase{"L CRC 01 L CRC",
                    "",
                    {},
                    {"1:05", "2:00", "3:01", "4:05", "5:00"},
                    "05 00 01 05 0B",
                    {"only the last `L` is written; the one at byte 1 keeps its placeholder",
                     "only the last `CRC` is written; the one at byte 2 keeps its placeholder"}},
        // Parameters the template names where an earlier test decides the token.
        ExplainCase{"A L CRC 1X a[1] L",
                    "A:7 L:8 CRC:9 1X:x a[1]:y",
                    {},
                    {"1:50", "2:06", "3:00", "4:00", "5:", "5:06"},
                    "50 06 5C 00 06",
                    {"parameter `A` is shadowed by the address keyword",
                     "parameter `L` is shadowed by the length keyword",
                     "parameter `CRC` is shadowed by the checksum keyword",
                     "parameter `1X` is shadowed: a token that starts with a digit is a hex byte",
                     "parameter `a[1]` is shadowed: a token with `[` is a comment",
                     "only the last `L` is written; the one at byte 2 keeps its placeholder",
                     "`L` lies past the end of the frame (byte 6 of 5): not written"}},
        ExplainCase{"a l crc Crc",
                    "",
                    {"1", "2", "3", "4"},
                    {"1:01", "2:02", "3:03", "4:04"},
                    "01 02 03 04",
                    {"`a` is variable 1: keywords are upper case, write `A`",
                     "`l` is variable 2: keywords are upper case, write `L`",
                     "`crc` is variable 3: keywords are upper case, write `CRC`",
                     "`Crc` is variable 4: keywords are upper case, write `CRC`"}},
        // Lower-case names that are parameters are meant as such.
        ExplainCase{"a V W2 D",
                    "a:Q",
                    {"1", "2", "3"},
                    {"1:51", "2:01", "3:02 02", "5:03"},
                    "51 01 02 02 03",
                    {}},
        // A digit first makes a hex byte, which gives 00 when the rest is not hexadecimal.
        ExplainCase{"0G 0x10 12G 1$F 0123456789 0FFFFFFFF 1ff 10",
                    "",
                    {},
                    {"1:00", "2:00", "3:00", "4:00", "5:00", "6:FF", "7:FF", "8:10"},
                    "00 00 00 00 00 FF FF 10",
                    {"`0G` starts with a digit but is not hexadecimal: it gives the byte 00",
                     "`0x10` starts with a digit but is not hexadecimal: it gives the byte 00",
                     "`12G` starts with a digit but is not hexadecimal: it gives the byte 00",
                     "`1$F` starts with a digit but is not hexadecimal: it gives the byte 00",
                     "`0123456789` starts with a digit but is not hexadecimal: it gives the byte "
                     "00"}},
        // Only spaces separate tokens: a tab pasted between two joins them.
        ExplainCase{"01\t02 L\tCRC 03\r FF\x7F",
                    "",
                    {"7", "8"},
                    {"1:00", "2:07", "3:00", "4:08"},
                    "00 07 00 08",
                    {"`01\\t02` holds a tab: only spaces separate tokens",
                     "`L\\tCRC` holds a tab: only spaces separate tokens",
                     "`03\\x0D` holds a control character: only spaces separate tokens",
                     "`FF\\x7F` holds a control character: only spaces separate tokens"}},
        // The address box as the builder reads it; once for all `A` tokens.
        ExplainCase{"A 01 A",
                    "",
                    {},
                    {"1:00", "2:01", "3:00"},
                    "00 01 00",
                    {"the address `ZZ` is not hexadecimal: `A` gives the byte 00"},
                    "ZZ"},
        ExplainCase{"A",
                    "",
                    {},
                    {"1:00"},
                    "00",
                    {"the address `0x50` is not hexadecimal: `A` gives the byte 00"},
                    "0x50"},
        ExplainCase{"A",
                    "",
                    {},
                    {"1:00"},
                    "00",
                    {"the address ` 50` is not hexadecimal: `A` gives the byte 00"},
                    " 50"},
        ExplainCase{
            "A", "", {}, {"1:00"}, "00", {"the address is empty: `A` gives the byte 00"}, ""},
        ExplainCase{"A", "", {}, {"1:FF"}, "FF", {}, "1FF"},
        ExplainCase{"a 01",
                    "",
                    {"2"},
                    {"1:02", "2:01"},
                    "02 01",
                    {"`a` is variable 1: keywords are upper case, write `A`"},
                    "ZZ"}));

struct FailureCase {
    std::string frameTemplate;
    std::vector<std::string> variables;
    std::string failure;  // empty: built
};

// The builder's message, with the token it stops at and the cell that token reads.
TEST(ExplainTest, NamesTheTokenAndTheCellOfTheError) {
    const FailureCase cases[] = {
        {"A D", {}, "`D` reads Var1: '' is not a valid integer value"},
        {"01 03 C4 0B", {}, "`C4` reads Var1: '' is not a valid integer value"},
        {"D X0 W2", {"1", "x"}, "`X0` reads Var2: 'x' is not a valid integer value"},
        {"D D D V", {"1", "2", "3"}, "`V` reads column 1: '' is not a valid integer value"},
        {"D D V", {"1", "", "3"}, "`D` reads Var2: '' is not a valid integer value"},
        {"A D L", {"7"}, ""},
    };
    for (const FailureCase& c : cases) {
        FixedFrameInputs inputs;
        inputs.variables = c.variables;
        const FrameExplanation explanation = ExplainFrame(c.frameTemplate, inputs);
        EXPECT_EQ(explanation.failure, c.failure) << c.frameTemplate;
    }
}

TEST(ExplainTest, VariableBeyondTheLastColumnReadsEmptyText) {
    FixedFrameInputs inputs;
    inputs.variables.assign(kMaxVariables, "1");
    std::string frameTemplate;
    for (int k = 0; k <= kMaxVariables; ++k) {
        frameTemplate += "V ";
    }
    const FrameExplanation explanation = ExplainFrame(frameTemplate, inputs);
    EXPECT_EQ(explanation.error, "'' is not a valid integer value");
    EXPECT_EQ(explanation.warnings,
              std::vector<std::string>{
                  "`V` is variable 48, but a row has 47 variable cells: it reads empty text"});
    EXPECT_EQ(explanation.tokens.back().variable, 48);
    EXPECT_TRUE(explanation.tokens.back().failed);
    EXPECT_EQ(explanation.failure,
              "`V` reads variable 48, past the last cell: '' is not a valid integer value");
}

// Long byte runs are cut in the token rows and wrapped in the frame; a template without tokens
// has no rows.
TEST(ExplanationTableTest, CutsLongTokensAndWrapsTheFrame) {
    const struct {
        const char* frameTemplate;
        const char* params;
        const char* table;
    } cases[] = {
        {"N N 01", "N:abcdefghij",
         "#  token  class      bytes                                   at\n"
         "1  N      parameter  61 62 63 64 65 66 67 68 ... (10 bytes)  1-10\n"
         "2  N      parameter  61 62 63 64 65 66 67 68 ... (10 bytes)  11-20\n"
         "3  01     hex byte   01                                      21\n"
         "frame: 61 62 63 64 65 66 67 68 69 6A 61 62 63 64 65 66\n"
         "       67 68 69 6A 01\n"},
        {"   ", "", "frame: empty\n"},
    };
    for (const auto& c : cases) {
        FixedFrameInputs inputs;
        inputs.params.Parse(c.params);
        EXPECT_EQ(ExplanationTable(ExplainFrame(c.frameTemplate, inputs)), c.table);
    }
}

}  // namespace
}  // namespace brantel
