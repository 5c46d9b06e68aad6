#pragma once

#include <string>
#include <string_view>

namespace brantel {

// Each byte as two upper-case hex digits followed by one space: "00 0A FF ".
std::string HexLine(std::string_view data);

}  // namespace brantel
