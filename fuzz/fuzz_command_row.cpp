// The input is read twice: whole, as a hand-edited stored value, and line by line, as the cells
// of a row (with every ";" taken out, as the cell editor does).
//
// What the codec guarantees: a row whose cells hold no ";" is saved and reloaded into 50 cells,
// the first 50 of the row, each unchanged except that an empty cell comes back as " "; saving the
// reloaded row gives the same stored value again. Line breaks are the store's concern, not the
// codec's: the codec keeps them like any other byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_row.h"
#include "fuzz_input.h"
#include "text/strings.h"

namespace brantel {
namespace {

using fuzz::Check;

void CheckDecodedWords(const std::vector<std::string>& cells) {
    Check(cells.size() <= static_cast<std::size_t>(kCommandColumns), "at most 50 cells");
    for (const std::string& cell : cells) {
        Check(!cell.empty() && cell.find(';') == std::string::npos,
              "a reloaded cell is a non-empty text without ';'");
    }
}

// The row as the grid would show it after a reload: exactly 50 cells, an empty one as " ".
std::vector<std::string> AsReloaded(std::vector<std::string> cells) {
    cells.resize(kCommandColumns);
    for (std::string& cell : cells) {
        if (cell.empty()) {
            cell = " ";
        }
    }
    return cells;
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    using fuzz::Check;
    const std::string_view input = fuzz::AsText(data, size);

    const std::vector<std::string> handEdited = DecodeCommandRow(input);
    CheckDecodedWords(handEdited);
    Check(DecodeCommandRow(EncodeCommandRow(handEdited)) == AsReloaded(handEdited),
          "a loaded row saves and reloads unchanged");

    std::vector<std::string> cells;
    for (std::string_view line : fuzz::SplitLines(input)) {
        cells.push_back(RemoveChar(line, ';'));
    }
    const std::string stored = EncodeCommandRow(cells);
    const std::vector<std::string> reloaded = DecodeCommandRow(stored);
    CheckDecodedWords(reloaded);
    Check(reloaded == AsReloaded(cells), "cells without ';' reload unchanged, empty ones as \" \"");
    Check(EncodeCommandRow(reloaded) == stored, "a reloaded row saves the same value");
    return 0;
}
