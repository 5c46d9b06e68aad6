#pragma once

#include <string>
#include <string_view>

namespace brantel {

class FrameInputs;

// What a Response cell expects, as lines of text: the expectation, then each field with its
// type and the bytes it reads; or why the cell is a note and never checked.
std::string ResponseExplanation(std::string_view cell, const FrameInputs& inputs);

}  // namespace brantel
