#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "frames/frame_builder.h"

namespace brantel {

// The value a table's device holds under a name, in units; nullopt for a name it keeps none of.
using ValueLookup = std::function<std::optional<double>(std::string_view name)>;

// The answer a Response cell lays out, made as the builder makes a frame: hex bytes (a pair of
// hex digits is a byte, as in a Response cell), "A", "L", "CRC", checks and named parameters;
// "??" is a zero byte and a final "*" nothing; a field `NAME:TYPE` and a variable take the value
// `lookup` holds under their name (bit fields next to each other share a byte). nullopt for an
// empty cell or a note (a "[" token, or a name with no value), with the reason in `whyNote`.
// Throws ConversionError when a value lies outside its type or a check's range lies outside.
std::optional<std::string> BuildAnswer(std::string_view cell, const FrameInputs& inputs,
                                       const ValueLookup& lookup, std::string* whyNote = nullptr);

}  // namespace brantel
