#pragma once

#include <span>
#include <string>
#include <vector>

#include "checks/check_token.h"

namespace brantel {

// Every check under which each frame's trailing bytes are its check: every catalogue CRC and
// other check, a range that skips up to three leading bytes and may stop one byte before the
// check, either byte order, binary or hex digits. The best guesses come first: fewest choices
// away from the whole frame in the default form, then the most bytes taken, then the
// catalogue's order.
std::vector<CheckToken> FindChecks(std::span<const std::string> frames);

}  // namespace brantel
