#include "text/integers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace brantel {
namespace {

struct ValidCase {
    std::string text;
    std::int32_t value;
};

class ParseIntegerValidTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ParseIntegerValidTest, Accepts) {
    const ValidCase& c = GetParam();
    EXPECT_EQ(ParseInteger(c.text), c.value);
    EXPECT_EQ(ParseIntegerOr(c.text, 12345), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseIntegerValidTest,
    ::testing::Values(ValidCase{"0", 0}, ValidCase{"007", 7}, ValidCase{"   12", 12},
                      ValidCase{"+5", 5}, ValidCase{"-5", -5}, ValidCase{"-0", 0},
                      ValidCase{"2147483647", 2147483647}, ValidCase{"-2147483648", INT32_MIN},
                      ValidCase{"000000000000002147483647", 2147483647}, ValidCase{"0x1A", 26},
                      ValidCase{"0X1A", 26}, ValidCase{"x1A", 26}, ValidCase{"X1A", 26},
                      ValidCase{"$1a", 26}, ValidCase{"  $1F", 31}, ValidCase{"$FFFFFFFF", -1},
                      ValidCase{"$80000000", INT32_MIN}, ValidCase{"$000000000FF", 255},
                      ValidCase{"65535", 65535}));

class ParseIntegerInvalidTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ParseIntegerInvalidTest, Rejects) {
    const std::string& text = GetParam();
    EXPECT_EQ(ParseIntegerOr(text, -77), -77);
    try {
        ParseInteger(text);
        FAIL() << "accepted '" << text << "'";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseIntegerInvalidTest,
                         ::testing::Values("", "   ", "12 ", "+", "-", "$", "x", "0x", "0X",
                                           "-0x1A", "-$10", "+$10", "2147483648", "-2147483649",
                                           "99999999999999999999", "$100000000", "12ab", "1,B",
                                           "\t12", "1 2", "--1", "0x 1", "$G", "1.5"));

TEST(ParseIntegerTest, RejectsAnEmbeddedZeroByte) {
    EXPECT_EQ(ParseIntegerOr(std::string("1\0", 2), -77), -77);
    EXPECT_THROW(ParseInteger(std::string("1\0", 2)), ConversionError);
}

struct HexCase {
    std::string text;
    std::int32_t value;
};

class HexToIntegerTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexToIntegerTest, ReadsHexadecimalOrZero) {
    EXPECT_EQ(HexToInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, HexToIntegerTest,
                         ::testing::Values(HexCase{"50", 0x50}, HexCase{"1f", 31},
                                           HexCase{"1F", 31}, HexCase{"FFFFFFFF", -1},
                                           HexCase{"$50", 0x50}, HexCase{"  $50", 0x50},
                                           HexCase{"0x50", 0}, HexCase{"x50", 0}, HexCase{"1$F", 0},
                                           HexCase{" 50", 0}, HexCase{"", 0}, HexCase{"-5", 0},
                                           HexCase{"+5", 0}, HexCase{"123456789", 0},
                                           HexCase{"0FFFFFFFF", -1}, HexCase{"1FF", 0x1FF},
                                           HexCase{"12G", 0}, HexCase{"$", 0}));

TEST(HexTextTest, PadsUpperCaseDigitsOfTheUnsignedValue) {
    EXPECT_EQ(HexText(255, 2), "FF");
    EXPECT_EQ(HexText(5, 4), "0005");
    EXPECT_EQ(HexText(0x0A, 2), "0A");
    EXPECT_EQ(HexText(0, 2), "00");
    EXPECT_EQ(HexText(0, 0), "0");
    EXPECT_EQ(HexText(0xABC, 1), "ABC");
    EXPECT_EQ(HexText(-1, 2), "FFFFFFFF");
    EXPECT_EQ(HexText(INT32_MIN, 0), "80000000");
    EXPECT_EQ(HexText(1, 16), "0000000000000001");
    EXPECT_EQ(HexText(1, 17), "1");
    EXPECT_EQ(HexText(1, -3), "1");
}

TEST(IntegerTextTest, WritesPlainDecimal) {
    EXPECT_EQ(IntegerText(0), "0");
    EXPECT_EQ(IntegerText(12), "12");
    EXPECT_EQ(IntegerText(-5), "-5");
    EXPECT_EQ(IntegerText(INT32_MIN), "-2147483648");
    EXPECT_EQ(IntegerText(INT32_MAX), "2147483647");
}

}  // namespace
}  // namespace brantel
