#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "commands/command_row.h"
#include "text/integers.h"

namespace brantel {

struct NamedParam;

// Far above any real frame; it keeps a long parameter named many times from taking all memory.
inline constexpr std::size_t kMaxFrameBytes = 1048576;

// Thrown before a token's bytes would make the frame (or the expected response, its `subject`)
// longer than kMaxFrameBytes.
class FrameTooLongError : public ConversionError {
  public:
    explicit FrameTooLongError(std::string_view subject);
};

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
// cell is not an integer, FrameTooLongError when the frame would pass kMaxFrameBytes.
std::string BuildFrame(std::string_view frameTemplate, const FrameInputs& inputs);

}  // namespace brantel
