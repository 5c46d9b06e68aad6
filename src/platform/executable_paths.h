#pragma once

#include <string>
#include <string_view>

namespace brantel {

// The executable's path with its extension replaced by ".ini" (or ".ini" appended when it has
// none); "/", "\" and ":" end the search for the extension's ".".
std::string IniPathFor(std::string_view executablePath);

// The file name cut at its first ".", its first character in upper case and every other one
// in lower case (ASCII letters only).
std::string ApplicationTitleFor(std::string_view executablePath);

}  // namespace brantel
