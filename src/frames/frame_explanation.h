#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/frame_tokens.h"

namespace brantel {

class FrameInputs;

// One token of a template: its class and the bytes it appends, at positions from firstByte on.
struct TokenExplanation {
    std::string text;
    TokenClass tokenClass = TokenClass::HexByte;
    int variable = 0;  // k of a Variable or WideValue, from 1; its cell is in column k + 2
    int repeat = 0;
    std::size_t firstByte = 0;
    // As appended, before the length and checksum are written; a failed Variable holds $00
    // copies in place of the bytes it would append.
    std::string bytes;
    // The token the build stops at: a variable whose cell is no value of its kind, a check
    // whose range lies outside the frame, or any token whose bytes would make the frame too
    // long (nothing after it is placed).
    bool failed = false;
};

// A check of the frame: what it is, the bytes it covers and the value written.
struct CheckExplanation {
    std::size_t token = 0;  // index in `tokens`
    std::string name;
    std::string description;
    std::size_t firstCovered = 0;  // from 1
    std::size_t lastCovered = 0;
    std::size_t firstByte = 0;  // where its value is written, from 1
    std::string value;          // as written to the finished frame
};

// What "Send Cmd" does with a template: the token classes, the bytes, the finished frame or the
// builder's error message, and warnings about bytes that are likely not what was meant. The
// warnings never change the frame.
struct FrameExplanation {
    std::vector<TokenExplanation> tokens;
    bool built = false;
    std::string frame;  // the frame written to the port when built
    std::string error;  // the builder's message when not
    // The message with the token it comes from and, for a variable, the cell it reads:
    // "`V` reads Var1: '' is not a valid integer value".
    std::string failure;
    std::size_t lengthPos = 0;
    std::size_t checksumPos = 0;
    std::vector<CheckExplanation> checks;  // when built, from left to right
    std::vector<std::string> warnings;
};

// Explains the template for the inputs as the builder reads them. A template that fails on a
// variable's cell is still classified and placed to its end, so every warning is found; one
// whose frame would pass kMaxFrameBytes is placed up to the token that would pass it.
FrameExplanation ExplainFrame(std::string_view frameTemplate, const FrameInputs& inputs);

// Why an address box's text gives the byte 00 for every `A`; nullopt for a hexadecimal one.
std::optional<std::string> AddressWarning(std::string_view address);

}  // namespace brantel
