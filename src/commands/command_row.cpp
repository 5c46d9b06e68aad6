#include "commands/command_row.h"

#include <algorithm>
#include <iterator>

#include "text/words.h"

namespace brantel {

std::string ColumnHeader(int column) {
    static const char* const kNamed[] = {"Description", "Command", "Response",
                                         "Var1",        "Var2",    "Var3"};
    constexpr int kNamedCount = static_cast<int>(std::size(kNamed));
    return column < kNamedCount ? kNamed[column] : std::to_string(column - kNamedCount + 1);
}

std::string CommandKey(int row) {
    return "Command" + std::to_string(row);
}

std::string EncodeCommandRow(const std::vector<std::string>& cells) {
    std::string value;
    for (int column = 0; column < kCommandColumns; ++column) {
        const std::size_t index = static_cast<std::size_t>(column);
        const bool filled = index < cells.size() && !cells[index].empty();
        if (column > 0) {
            value += ';';
        }
        value += filled ? cells[index] : " ";
    }
    return value;
}

std::vector<std::string> DecodeCommandRow(std::string_view value) {
    const std::vector<std::string_view> words = Words(value, DelimiterSet(";"));
    const std::size_t count = std::min(words.size(), static_cast<std::size_t>(kCommandColumns));
    return {words.begin(), words.begin() + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace brantel
