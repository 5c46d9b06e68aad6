#pragma once

#include <functional>
#include <string>

namespace brantel {

// The variable cells an annotation quotes at most: Var1, Var2, Var3 and 1 to 5.
inline constexpr int kAnnotatedVariables = 8;

// The log's line for a row about to be sent: "// " + description, then the values of its
// variable cells from Var1 on, without blanks, up to the first empty one and at most
// kAnnotatedVariables of them, as " (v1,v2,...)", then " :". `cell` gives the row's cell of a
// column.
std::string CommandAnnotation(const std::function<std::string(int column)>& cell);

}  // namespace brantel
