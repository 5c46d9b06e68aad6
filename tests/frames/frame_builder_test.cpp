#include "frames/frame_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_frame_inputs.h"
#include "text/hex_line.h"
#include "text/integers.h"

namespace brantel {
namespace {

struct FrameCase {
    std::string frameTemplate;
    std::string params;
    std::vector<std::string> variables;
    std::string expectedHex;  // bytes as HexLine writes them, without the final space
    std::string address = "50";
};

std::string Hex(const std::string& frame) {
    const std::string line = HexLine(frame);
    return line.empty() ? line : line.substr(0, line.size() - 1);
}

std::string Build(const FrameCase& c) {
    FakeFrameInputs inputs;
    inputs.address = c.address;
    inputs.params.Parse(c.params);
    inputs.variables = c.variables;
    return Hex(BuildFrame(c.frameTemplate, inputs));
}

class FrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, BuildsTheFrame) {
    EXPECT_EQ(Build(GetParam()), GetParam().expectedHex) << GetParam().frameTemplate;
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, FrameTest,
    ::testing::Values(FrameCase{"A 03 00 10 L CRC", "", {}, "50 03 00 10 06 69"},
                      FrameCase{"A 01 L D D CRC", "", {"300", "-1"}, "50 01 06 2C FF 82"},
                      FrameCase{"A 05 W2 CRC", "", {"4660"}, "50 05 34 BD 00"},
                      FrameCase{"0AA D2 L CRC", "", {"17"}, "AA 11 05 C4 00"},
                      FrameCase{"A 02 L 01 P CRC", "P:xy", {}, "50 02 07 01 78 4B 00"},
                      FrameCase{"01 N S", "N:12 S:ab", {}, "01 31 32 61 62"},
                      FrameCase{"[hdr] 01 02", "", {}, "01 02"},
                      FrameCase{"L CRC", "", {}, "02 02"}));

INSTANTIATE_TEST_SUITE_P(
    Tokens, FrameTest,
    ::testing::Values(
        FrameCase{"", "", {}, ""}, FrameCase{"    ", "", {}, ""}, FrameCase{"L", "", {}, "01"},
        FrameCase{"CRC", "", {}, "00"}, FrameCase{"CRC L", "", {}, "02 02"},
        // Hex bytes: the first character decides, the value is hexadecimal, low 8 bits kept.
        FrameCase{"10 0FF 1F 1f 123 12G 0x10 0A", "", {}, "10 FF 1F 1F 23 00 00 0A"},
        FrameCase{"1[2]", "", {}, "00"}, FrameCase{"A[1] L[2] 05", "", {}, "05"},
        FrameCase{"\t01", "", {"7"}, "07"},
        // Keywords are case-sensitive; lower case consumes variable columns.
        FrameCase{"a l crc", "", {"1", "2", "3"}, "01 02 03"},
        FrameCase{"A L CRC 05", "A:7 L:8 CRC:9 05:x", {}, "50 04 59 05"},
        FrameCase{"a", "a:Q", {}, "51"},
        // Named parameters: text byte for byte, integers as decimal text.
        FrameCase{"N", "N:$FFFFFFFF", {}, "2D 31"}, FrameCase{"N", "N:$41", {}, "36 35"},
        FrameCase{"N", "N:007", {}, "37"}, FrameCase{"N", "N:1 N:2", {}, "31"},
        // Variables: repeat count from the last digit, one byte value for every copy.
        FrameCase{"V2 D4 X0 V10 D9",
                  "",
                  {"1", "2", "3", "4", "5"},
                  "01 01 02 02 02 02 05 05 05 05 05 05 05 05 05"},
        FrameCase{"[x] D [y] D", "", {"1", "2"}, "01 02"},
        FrameCase{"D D D D", "", {" 5", "$1F", "0x1F", "31"}, "05 1F 1F 1F"},
        FrameCase{"D D", "", {"65535", "256"}, "FF 00"},
        // Position rule: patches land at the token index, not where the placeholder went.
        FrameCase{"L N L", "N:12", {}, "03 31 04 03"}, FrameCase{"CRC 01 CRC", "", {}, "00 01 01"},
        FrameCase{"X0 01 L", "", {"5"}, "01 03"}, FrameCase{"[a] [b] 01 L", "", {}, "01 04"},
        FrameCase{"[a] CRC", "", {}, "00"}, FrameCase{"D0 L CRC", "", {"5"}, "03 02"},
        FrameCase{"N L CRC", "N:abcdef", {}, "61 08 FE 64 65 66 03 00"}));

INSTANTIATE_TEST_SUITE_P(
    Address, FrameTest,
    ::testing::Values(FrameCase{"A", "", {}, "FF", "1FF"}, FrameCase{"A", "", {}, "50", "$50"},
                      FrameCase{"A", "", {}, "00", "0x50"}, FrameCase{"A", "", {}, "00", " 50"},
                      FrameCase{"A", "", {}, "00", ""}, FrameCase{"A", "", {}, "0F", "f"}));

TEST(FrameBuilderTest, LengthByteKeepsTheLowBitsOfALongFrame) {
    FakeFrameInputs inputs;
    inputs.variables.assign(29, "7");
    std::string frameTemplate = "L";
    for (int k = 0; k < 29; ++k) {
        frameTemplate += " D9";
    }
    const std::string frame = BuildFrame(frameTemplate, inputs);
    ASSERT_EQ(frame.size(), 262u);
    EXPECT_EQ(static_cast<unsigned char>(frame[0]), 262 & 0xFF);
}

struct FailureCase {
    std::string frameTemplate;
    std::vector<std::string> variables;
    std::string cellText;
    std::vector<int> columnsRead;
};

class FailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, StopsAtTheFirstBadCell) {
    const FailureCase& c = GetParam();
    FakeFrameInputs inputs;
    inputs.variables = c.variables;
    try {
        BuildFrame(c.frameTemplate, inputs);
        FAIL() << "built " << c.frameTemplate;
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "'" + c.cellText + "' is not a valid integer value");
    }
    EXPECT_EQ(inputs.columnsRead, c.columnsRead);
}

INSTANTIATE_TEST_SUITE_P(Cells, FailureTest,
                         ::testing::Values(FailureCase{"D", {}, "", {3}},
                                           FailureCase{"X0", {}, "", {3}},
                                           FailureCase{"D D D", {"1", "5 ", "3"}, "5 ", {3, 4}},
                                           FailureCase{"01 D A", {"abc"}, "abc", {3}},
                                           FailureCase{"D", {"2147483648"}, "2147483648", {3}},
                                           FailureCase{"D", {"-$10"}, "-$10", {3}}));

TEST(FrameBuilderTest, VariableColumnsRunFromThreeToFortyNineAndBeyondIsEmpty) {
    FakeFrameInputs inputs;
    inputs.variables.assign(47, "1");
    std::string frameTemplate;
    for (int k = 0; k < 47; ++k) {
        frameTemplate += "D ";
    }
    EXPECT_EQ(BuildFrame(frameTemplate, inputs), std::string(47, '\x01'));
    ASSERT_EQ(inputs.columnsRead.size(), 47u);
    EXPECT_EQ(inputs.columnsRead.front(), 3);
    EXPECT_EQ(inputs.columnsRead.back(), 49);

    inputs.columnsRead.clear();
    EXPECT_THROW(BuildFrame(frameTemplate + "D", inputs), ConversionError);
    EXPECT_EQ(inputs.columnsRead.back(), 50);
}

TEST(FrameBuilderTest, ReadsTheAddressOnceForEachAddressToken) {
    FakeFrameInputs inputs;
    EXPECT_EQ(BuildFrame("A 01 A A", inputs), "\x50\x01\x50\x50");
    EXPECT_EQ(inputs.addressReads, 3);
    inputs.addressReads = 0;
    BuildFrame("01 a[A] 02", inputs);
    EXPECT_EQ(inputs.addressReads, 0);
}

}  // namespace
}  // namespace brantel
