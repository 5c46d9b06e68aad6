#pragma once

#include <string>

#include "frames/frame_explanation.h"

namespace brantel {

// The explanation as text lines: a table of the tokens (number, token, class, bytes appended
// and their positions), the length and checksum written, the frame or the builder's error
// message, then one line per warning.
std::string ExplanationTable(const FrameExplanation& explanation);

// The warnings alone, one line "warning: ..." each, as the table ends.
std::string WarningLines(const FrameExplanation& explanation);

}  // namespace brantel
