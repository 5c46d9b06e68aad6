#pragma once

#include <string>
#include <string_view>

namespace brantel {

std::string RemoveChar(std::string_view text, char c);
std::string RemoveSpaces(std::string_view text);
// Position (from 1) of the n-th, possibly overlapping, occurrence; 0 when absent or n < 1.
int FindNth(std::string_view substring, std::string_view text, int n);
// Replaces every occurrence left to right; replaced text is never searched again.
std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement);

}  // namespace brantel
