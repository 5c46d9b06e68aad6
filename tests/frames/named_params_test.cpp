#include "frames/named_params.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "text/integers.h"

namespace brantel {
namespace {

using Value = std::variant<std::int32_t, std::string>;

struct Entry {
    std::string name;
    Value value;
};

struct ParseCase {
    std::string text;
    std::vector<Entry> entries;
};

class ParametersParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParametersParseTest, BuildsTheTable) {
    const ParseCase& c = GetParam();
    NamedParamTable table;
    table.Parse(c.text);
    ASSERT_EQ(table.NamedParamCount(), static_cast<int>(c.entries.size())) << c.text;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        EXPECT_EQ(table.NamedParams()[i].name, c.entries[i].name) << c.text;
        EXPECT_EQ(table.NamedParams()[i].value, c.entries[i].value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParametersParseTest,
    ::testing::Values(ParseCase{"", {}}, ParseCase{"    ", {}},
                      ParseCase{"N:12 H:$1F S:abc", {{"N", 12}, {"H", 31}, {"S", "abc"}}},
                      ParseCase{"N:0x1F", {{"N", 31}}}, ParseCase{"N:0X1F", {{"N", 31}}},
                      ParseCase{"N:$1F", {{"N", 31}}}, ParseCase{"N:$$1F", {{"N", 31}}},
                      ParseCase{"N:$G", {{"N", 0}}}, ParseCase{"N:$", {{"N", "$"}}},
                      ParseCase{"N:-5", {{"N", "-5"}}}, ParseCase{"N:+5", {{"N", "+5"}}},
                      ParseCase{"N:x1F", {{"N", "x1F"}}}, ParseCase{"N:007", {{"N", 7}}},
                      ParseCase{"::N::5", {{"N", 5}}}, ParseCase{"N:1:2", {{"N", 1}}},
                      ParseCase{"N: :5 N P:1", {{"P", 1}}},
                      ParseCase{"N:1 n:2", {{"N", 1}, {"n", 2}}},
                      ParseCase{"A:1 L:2 CRC:3 1X:4 [:5",
                                {{"A", 1}, {"L", 2}, {"CRC", 3}, {"1X", 4}, {"[", 5}}},
                      ParseCase{"  N:a\tM:2 ", {{"N", "a\tM"}}}));

TEST(NamedParamLookupTest, FindsTheFirstCurrentEntryByExactName) {
    NamedParamTable table;
    table.Parse("N:1 N:2 n:3");
    ASSERT_NE(table.LookupNamedParam("N"), nullptr);
    EXPECT_EQ(table.LookupNamedParam("N")->value, Value(1));
    EXPECT_EQ(table.LookupNamedParam("n")->value, Value(3));
    EXPECT_EQ(table.LookupNamedParam("N "), nullptr);
    EXPECT_EQ(table.LookupNamedParam(""), nullptr);
}

TEST(NamedParamLookupTest, EntriesOfAnEarlierPassAreNoLongerFound) {
    NamedParamTable table;
    table.Parse("N:1 M:2");
    table.Parse("M:3");
    EXPECT_EQ(table.NamedParamCount(), 1);
    EXPECT_EQ(table.LookupNamedParam("M")->value, Value(3));
    EXPECT_EQ(table.LookupNamedParam("N"), nullptr);

    table.Parse("");
    EXPECT_EQ(table.LookupNamedParam("M"), nullptr);
}

TEST(NamedParamFailureTest, PassEndsAtTheFailingPair) {
    NamedParamTable table;
    table.Parse("N:1 M:2 K:3");
    try {
        table.Parse("P:5 Q:12ab R:7");
        FAIL() << "accepted 12ab";
    } catch (const ConversionError& error) {
        EXPECT_EQ(std::string(error.what()), "'12ab' is not a valid integer value");
    }
    EXPECT_EQ(table.NamedParamCount(), 3);
    EXPECT_EQ(table.NamedParams()[0].name, "P");
    EXPECT_EQ(table.NamedParams()[0].value, Value(5));
    EXPECT_EQ(table.NamedParams()[1].name, "Q");
    EXPECT_EQ(table.NamedParams()[1].value, Value(2));
    EXPECT_EQ(table.NamedParams()[2].name, "K");
    EXPECT_EQ(table.LookupNamedParam("Q")->value, Value(2));
    EXPECT_EQ(table.LookupNamedParam("R"), nullptr);
}

TEST(NamedParamFailureTest, PairsAreSeparatedBySpacesOnly) {
    NamedParamTable table;
    EXPECT_THROW(table.Parse("A:1,B:2"), ConversionError);
    EXPECT_THROW(table.Parse("N:99999999999"), ConversionError);
    EXPECT_EQ(table.NamedParamCount(), 0);
}

TEST(NamedParamCapacityTest, PairsBeyondTheFiftiethValidOneAreIgnored) {
    std::string text = "skip: :skip";
    for (int i = 1; i <= 60; ++i) {
        text += " P" + std::to_string(i) + ":" + std::to_string(i);
    }
    text += " Bad:12ab";
    NamedParamTable table;
    table.Parse(text);
    EXPECT_EQ(table.NamedParamCount(), kMaxNamedParams);
    EXPECT_EQ(table.NamedParams().back().name, "P50");
    EXPECT_EQ(table.LookupNamedParam("P50")->value, Value(50));
    EXPECT_EQ(table.LookupNamedParam("P51"), nullptr);
}

}  // namespace
}  // namespace brantel
