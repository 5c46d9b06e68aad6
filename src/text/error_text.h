#pragma once

#include <string>
#include <string_view>

namespace brantel {

// The text an error box shows: a "." is appended when the message is not empty and its last
// character's code is above that of ".".
std::string ErrorDisplayText(std::string_view message);

}  // namespace brantel
