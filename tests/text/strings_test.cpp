#include "text/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace brantel {
namespace {

TEST(RemoveCharTest, RemovesEveryOccurrenceKeepingOrder) {
    EXPECT_EQ(RemoveChar("a,b,,c,", ','), "abc");
    EXPECT_EQ(RemoveChar("", ','), "");
    EXPECT_EQ(RemoveChar(",,,", ','), "");
    EXPECT_EQ(RemoveChar(std::string("a\0b", 3), '\0'), "ab");
    EXPECT_EQ(RemoveSpaces(" 1 0\t2 "), "10\t2");
}

struct FindCase {
    std::string substring;
    std::string text;
    int n;
    int position;
};

class FindNthTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindNthTest, FindsOverlappingOccurrences) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindNth(c.substring, c.text, c.n), c.position);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindNthTest,
                         ::testing::Values(FindCase{"aa", "aaa", 1, 1}, FindCase{"aa", "aaa", 2, 2},
                                           FindCase{"aa", "aaa", 3, 0}, FindCase{"[", "A[1]", 1, 2},
                                           FindCase{"b", "abcb", 2, 4}, FindCase{"b", "abcb", 0, 0},
                                           FindCase{"b", "abcb", -1, 0}, FindCase{"z", "abc", 1, 0},
                                           FindCase{"z", "abc", 2, 0}, FindCase{"", "abc", 1, 0},
                                           FindCase{"abcd", "abc", 1, 0}));

struct ReplaceCase {
    std::string text;
    std::string search;
    std::string replacement;
    std::string result;
};

class ReplaceAllTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTest, ReplacesLeftToRightWithoutRescanning) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceAllTest,
    ::testing::Values(ReplaceCase{"a.b.c", ".", ",", "a,b,c"},
                      ReplaceCase{"a.b", ".", "..", "a..b"}, ReplaceCase{"aaa", "aa", "b", "ba"},
                      ReplaceCase{"abc", "", "x", "abc"}, ReplaceCase{"", ".", ",", ""},
                      ReplaceCase{"1.5", ".", "", "15"}, ReplaceCase{"xyz", "q", "r", "xyz"}));

}  // namespace
}  // namespace brantel
