#include "text/words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brantel {
namespace {

struct WordCase {
    std::string text;
    std::string delimiters;
    std::vector<std::string> words;
    std::vector<int> starts;
};

class WordListTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordListTest, SplitsIntoNonEmptyWords) {
    const WordCase& c = GetParam();
    const DelimiterSet delimiters(c.delimiters);
    const int count = static_cast<int>(c.words.size());
    EXPECT_EQ(CountWords(c.text, delimiters), count);
    for (int n = 1; n <= count; ++n) {
        EXPECT_EQ(GetWord(n, c.text, delimiters), c.words[n - 1]) << "word " << n;
        EXPECT_EQ(WordStart(n, c.text, delimiters), c.starts[n - 1]) << "word " << n;
    }
    for (int n : {-1, 0, count + 1}) {
        EXPECT_EQ(GetWord(n, c.text, delimiters), "") << "word " << n;
        EXPECT_EQ(WordStart(n, c.text, delimiters), 0) << "word " << n;
    }
    const std::vector<std::string_view> all = Words(c.text, delimiters);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.end()), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WordListTest,
    ::testing::Values(
        WordCase{"", " ", {}, {}}, WordCase{"   ", " ", {}, {}},
        WordCase{"  A 03  00 ", " ", {"A", "03", "00"}, {3, 5, 9}},
        WordCase{"a;;b;", ";", {"a", "b"}, {1, 4}}, WordCase{"::N::5", ":", {"N", "5"}, {3, 6}},
        WordCase{"10,20 30", " ,", {"10", "20", "30"}, {1, 4, 7}},
        WordCase{"a\tb c", " ", {"a\tb", "c"}, {1, 5}}, WordCase{"abcabc", "abc", {}, {}},
        WordCase{std::string("x\0y z", 5), std::string("\0", 1), {"x", "y z"}, {1, 3}},
        WordCase{"\xff\xfe"
                 "a\xff",
                 "\xff",
                 {"\xfe"
                  "a"},
                 {2}}));

}  // namespace
}  // namespace brantel
