#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brantel {

// What a row list is, for messages: "rows from 1 to 29 such as 1,3-5".
extern const char kRowListRule[];

// "1,3-5": rows 1 to 29 as the grid numbers them, single rows and ranges separated by commas,
// ascending, each once; nullopt for any other text (a row outside the table, a range whose end
// comes first, no row at all). brantel-run's --rows and the window's poll both read it.
std::optional<std::vector<int>> ParseRowList(std::string_view list);

// The shortest list naming the rows, ascending and each once: {3, 5, 6} is "3,5-6".
std::string RowListText(const std::vector<int>& rows);

}  // namespace brantel
