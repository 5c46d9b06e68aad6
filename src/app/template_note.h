#pragma once

#include <string_view>

#include "widgets/command_note.h"

namespace brantel {

class FrameInputs;

// The note of a Command cell: marked as an error when the frame cannot be built and as a warning
// when the explanation warns, with the explanation as its tooltip when asked for. A blank
// template has no note.
CommandNote TemplateNote(std::string_view frameTemplate, const FrameInputs& inputs,
                         bool withToolTip);

}  // namespace brantel
