#pragma once

#include <string>
#include <string_view>

#include "commands/command_row.h"

namespace brantel {

struct NamedParam;

// What a frame template reads while it is built, each at the moment a token needs it.
class FrameInputs {
  public:
    virtual ~FrameInputs() = default;
    virtual std::string AddressText() const = 0;
    virtual const NamedParam* LookupNamedParam(std::string_view token) const = 0;
    // Cell of the current command row; empty beyond the last column.
    virtual std::string CurrentRowCell(int column) const = 0;
};

// Builds the frame of a template: hex bytes, "A", "L", "CRC", ignored "[" tokens, named
// parameters and variables. The length and checksum go to the byte at their token's index; an
// index past the end of the frame is left unpatched. Throws ConversionError when a variable's
// cell is not an integer.
std::string BuildFrame(std::string_view frameTemplate, const FrameInputs& inputs);

}  // namespace brantel
