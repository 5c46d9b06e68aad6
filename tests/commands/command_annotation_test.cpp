#include "commands/command_annotation.h"

#include <gtest/gtest.h>

#include <vector>

namespace brantel {
namespace {

TEST(CommandAnnotation, QuotesTheDescriptionAndTheVariablesUpToTheFirstEmptyOne) {
    const struct {
        const char* name;
        std::vector<std::string> cells;
        const char* annotation;
    } cases[] = {
        {"no variables", {"Reset", "A 01 L CRC", "ok"}, "// Reset :"},
        {"empty description", {}, "//  :"},
        {"blanks removed", {"Read", "", "", " 5 ", "1 0"}, "// Read (5,10) :"},
        {"stops at the first empty", {"Set", "", "", "$1F", "", "3"}, "// Set ($1F) :"},
        {"only a blank counts as empty", {"S", "", "", "1", "  ", "3"}, "// S (1) :"},
        {"eight at most",
         {"Many", "", "", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
         "// Many (1,2,3,4,5,6,7,8) :"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto cell = [&](int column) {
            return column < static_cast<int>(c.cells.size()) ? c.cells[column] : std::string();
        };
        EXPECT_EQ(CommandAnnotation(cell), c.annotation);
    }
}

}  // namespace
}  // namespace brantel
