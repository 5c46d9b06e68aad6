#include "commands/command_row.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

using Cells = std::vector<std::string>;

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

const std::string kEmptyRow = " " + Repeat("; ", 49);
const std::string kPingRow = "Ping;A 01 L CRC;06;5" + Repeat("; ", 46);

TEST(CommandKey, NamesRowsWithoutLeadingZeros) {
    EXPECT_EQ(CommandKey(1), "Command1");
    EXPECT_EQ(CommandKey(29), "Command29");
}

struct EncodeCase {
    const char* name;
    Cells cells;
    std::string expected;
};

class EncodeCommandRowTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeCommandRowTest, WritesFiftyCells) {
    EXPECT_EQ(EncodeCommandRow(GetParam().cells), GetParam().expected);
}

Cells FullRow() {
    Cells cells;
    for (int i = 0; i < kCommandColumns; ++i) {
        cells.push_back("c" + std::to_string(i));
    }
    return cells;
}

std::string FullRowValue() {
    std::string value = "c0";
    for (int i = 1; i < kCommandColumns; ++i) {
        value += ";c" + std::to_string(i);
    }
    return value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeCommandRowTest,
    testing::Values(EncodeCase{"AllEmpty", Cells(kCommandColumns), kEmptyRow},
                    EncodeCase{"NoCellsGiven", Cells{}, kEmptyRow},
                    EncodeCase{"Ping", Cells{"Ping", "A 01 L CRC", "06", "5"}, kPingRow},
                    EncodeCase{"BlanksKept", Cells{"  ", "a ", " b"},
                               "  ;a ; b" + Repeat("; ", 47)},
                    EncodeCase{"LastCellFilled",
                               [] {
                                   Cells cells(kCommandColumns);
                                   cells.back() = "z";
                                   return cells;
                               }(),
                               Repeat(" ;", 49) + "z"},
                    EncodeCase{"BeyondFiftiethDropped",
                               [] {
                                   Cells cells = FullRow();
                                   cells.push_back("extra");
                                   return cells;
                               }(),
                               FullRowValue()}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return info.param.name; });

TEST(EncodeCommandRow, SpecimenRowsHaveTheirLengths) {
    EXPECT_EQ(kPingRow.size(), 112u);
    EXPECT_EQ(kEmptyRow.size(), 99u);
}

struct DecodeCase {
    const char* name;
    std::string value;
    Cells expected;
};

class DecodeCommandRowTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeCommandRowTest, SplitsOverSemicolons) {
    EXPECT_EQ(DecodeCommandRow(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeCommandRowTest,
    testing::Values(DecodeCase{"Empty", "", Cells{}},
                    DecodeCase{"EmptyRowGivesSingleSpaces", kEmptyRow, Cells(kCommandColumns, " ")},
                    DecodeCase{"Ping", kPingRow,
                               [] {
                                   Cells cells(kCommandColumns, " ");
                                   cells[0] = "Ping";
                                   cells[1] = "A 01 L CRC";
                                   cells[2] = "06";
                                   cells[3] = "5";
                                   return cells;
                               }()},
                    DecodeCase{"NothingTrimmed", "   ;a b ", Cells{"   ", "a b "}},
                    DecodeCase{"EmptyFieldsCloseUp", ";;a;;b;", Cells{"a", "b"}},
                    DecodeCase{"FewFieldsFillFirstCells", "x;y", Cells{"x", "y"}},
                    DecodeCase{"WordsBeyondFiftiethIgnored", FullRowValue() + ";c50;c51",
                               FullRow()}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(CommandRow, RoundTripThroughTheProfileStore) {
    test::ScratchDir dir;
    ProfileStore store(dir.File("brantel.ini"));
    const Cells rows[] = {Cells{}, Cells{"Ping", "A 01 L CRC", "06", "5"}, Cells{" ", "   "},
                          FullRow()};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        store.WriteString(kCommandSection, CommandKey(static_cast<int>(i) + 1),
                          EncodeCommandRow(rows[i]));
    }
    EXPECT_EQ(store.ReadString(kCommandSection, CommandKey(1), ""), kEmptyRow);
    EXPECT_EQ(store.ReadString(kCommandSection, CommandKey(2), ""), kPingRow);
    const std::string firstLines = "[Main]\nCommand1=\"" + kEmptyRow + "\"\n";
    EXPECT_EQ(test::FileText(store.Path()).substr(0, firstLines.size()), firstLines);

    for (std::size_t i = 0; i < std::size(rows); ++i) {
        Cells expected = rows[i];
        expected.resize(kCommandColumns);
        for (std::string& cell : expected) {
            cell = cell.empty() ? " " : cell;
        }
        EXPECT_EQ(DecodeCommandRow(
                      store.ReadString(kCommandSection, CommandKey(static_cast<int>(i) + 1), "")),
                  expected)
            << "row " << i + 1;
    }
}

}  // namespace
}  // namespace brantel
