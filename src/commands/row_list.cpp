#include "commands/row_list.h"

#include <algorithm>
#include <charconv>

#include "commands/command_row.h"
#include "text/words.h"

namespace brantel {

const char kRowListRule[] = "rows from 1 to 29 such as 1,3-5";
static_assert(kCommandRows == 29, "kRowListRule names the last row");

namespace {

// A row number, digits only.
std::optional<int> Row(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() ||
        end != text.data() + text.size() || value < 1 || value > kCommandRows) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::vector<int>> ParseRowList(std::string_view list) {
    std::vector<int> rows;
    const std::vector<std::string_view> items = Words(list, DelimiterSet(","));
    if (items.empty()) {
        return std::nullopt;
    }
    for (const std::string_view item : items) {
        const std::size_t dash = item.find('-');
        const std::optional<int> first = Row(item.substr(0, dash));
        const std::optional<int> last =
            dash == std::string_view::npos ? first : Row(item.substr(dash + 1));
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        for (int row = *first; row <= *last; ++row) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::string RowListText(const std::vector<int>& rows) {
    std::string text;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1) {
            ++end;
        }
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(rows[i]);
        if (end - i > 1) {
            text += '-' + std::to_string(rows[end - 1]);
        }
        i = end;
    }
    return text;
}

}  // namespace brantel
