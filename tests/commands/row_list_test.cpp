#include "commands/row_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brantel {
namespace {

std::vector<int> AllRows() {
    std::vector<int> all;
    for (int row = 1; row <= 29; ++row) {
        all.push_back(row);
    }
    return all;
}

// brantel-run's --rows and the window's poll read the same lists.
TEST(RowList, TakesSingleRowsAndRangesInTableOrder) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"1", {1}},    {"1,3-5", {1, 3, 4, 5}}, {"5,1", {1, 5}},     {"2-2,2", {2}},
        {",7,,", {7}}, {"28-29", {28, 29}},     {"1-29", AllRows()}, {"6,5-6,3", {3, 5, 6}},
    };
    for (const auto& [list, rows] : cases) {
        EXPECT_EQ(ParseRowList(list), rows) << list;
    }
}

TEST(RowList, RefusesAnythingElse) {
    for (const std::string list : {"", ",", "0", "30", "5-3", "1-", "-2", "a", "1;2", "1 2", "3-x",
                                   "1-2-3", "+1", " 1", "99999999999"}) {
        EXPECT_EQ(ParseRowList(list), std::nullopt) << list;
    }
    EXPECT_STREQ(kRowListRule, "rows from 1 to 29 such as 1,3-5");
}

TEST(RowList, WritesTheShortestListOfRows) {
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{}, ""},
        {{3}, "3"},
        {{3, 5, 6}, "3,5-6"},
        {{1, 2, 3, 7, 9, 10}, "1-3,7,9-10"},
        {AllRows(), "1-29"},
    };
    for (const auto& [rows, text] : cases) {
        EXPECT_EQ(RowListText(rows), text);
        if (!rows.empty()) {
            EXPECT_EQ(ParseRowList(text), rows) << text;
        }
    }
}

}  // namespace
}  // namespace brantel
