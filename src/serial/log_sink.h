#pragma once

#include <functional>
#include <string>

#include "text/colours.h"

namespace brantel {

// Where the serial link reports its lines: the window hands in its traffic log.
using LogSink = std::function<void(const std::string& text, Colour colour)>;

}  // namespace brantel
