#include <gtest/gtest.h>

#include <string>

#include "text/error_text.h"
#include "text/hex_line.h"

namespace brantel {
namespace {

TEST(HexLineTest, WritesEachByteAsTwoDigitsAndASpace) {
    EXPECT_EQ(HexLine(""), "");
    EXPECT_EQ(HexLine(std::string("\x00\x0A\xFF", 3)), "00 0A FF ");
    EXPECT_EQ(HexLine("P\x80"), "50 80 ");
    std::string all;
    for (int byte = 0; byte < 255; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string line = HexLine(all);
    ASSERT_EQ(line.size(), 765u);
    EXPECT_EQ(line.substr(0, 6), "00 01 ");
    EXPECT_EQ(line.substr(759), "FD FE ");
}

struct DisplayCase {
    std::string message;
    std::string shown;
};

class ErrorDisplayTextTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(ErrorDisplayTextTest, AppendsFullStopAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorDisplayText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorDisplayTextTest,
    ::testing::Values(DisplayCase{"", ""},
                      DisplayCase{"'x' is not a valid integer value",
                                  "'x' is not a valid integer value."},
                      DisplayCase{"Done.", "Done."}, DisplayCase{"Why?", "Why?."},
                      DisplayCase{"a-", "a-"}, DisplayCase{"a/", "a/."}, DisplayCase{"''", "''"},
                      DisplayCase{"a)", "a)"}, DisplayCase{"port 1", "port 1."},
                      DisplayCase{"\xD0\xB0", "\xD0\xB0."}, DisplayCase{"tab\t", "tab\t"}));

}  // namespace
}  // namespace brantel
