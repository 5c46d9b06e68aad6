#pragma once

#include <functional>
#include <string>

#include "text/colours.h"

namespace brantel {

// Where the serial link reports its lines: the window hands in its traffic log.
using LogSink = std::function<void(const std::string& text, Colour colour)>;
// Where the serial link reports the bytes it moved, shown by the log as a hex line.
using HexSink = std::function<void(const std::string& bytes, Colour colour)>;

}  // namespace brantel
