#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brantel {

inline constexpr int kCommandColumns = 50;
inline constexpr int kCommandRows = 29;
inline constexpr char kCommandSection[] = "Main";

// The columns of a command row: description, template, expected response, then one cell per
// variable of the template, the k-th variable in column kFirstVariableColumn + k - 1.
inline constexpr int kDescriptionColumn = 0;
inline constexpr int kCommandColumn = 1;
inline constexpr int kResponseColumn = 2;
inline constexpr int kFirstVariableColumn = 3;
inline constexpr int kMaxVariables = kCommandColumns - kFirstVariableColumn;

// The header of a column (0 to 49): "Description", "Command", "Response", "Var1" to "Var3",
// then "1" to "44".
std::string ColumnHeader(int column);

// "Command" + row number, for rows 1 to 29.
std::string CommandKey(int row);
// The stored value of a row: its 50 cells joined by ";", an empty (or absent) cell written as
// " "; cells beyond the 50th are not stored.
std::string EncodeCommandRow(const std::vector<std::string>& cells);
// The words of a stored value over ";", at most 50, untrimmed.
std::vector<std::string> DecodeCommandRow(std::string_view value);

}  // namespace brantel
