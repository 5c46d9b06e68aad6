#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/frame_builder.h"

namespace brantel {

// How an answer compares with an expected response; `why` says what differs first.
struct ResponseVerdict {
    bool matches = false;
    std::string why;
};

// The answer a Response cell expects: the frame the builder would make of the cell, where a
// pair of hex digits is a byte even when it starts with a letter ("EF", as the log shows it),
// "??" stands for any one byte and a final "*" for any further bytes (none included). "L" must hold
// the answer's length and "CRC" the 8-bit sum of the answer's other bytes, each at its token's
// index as the builder patches them; placeholders the position rule moves keep the builder's
// values.
class ExpectedResponse {
  public:
    // The expected response of a cell whose every token is a hex byte, "A", "L", "CRC", a named
    // parameter, "??" or a final "*"; nullopt for an empty cell or any other text (a note).
    // The builder's tests decide first, so a parameter named like a hex pair is the parameter.
    // Throws FrameTooLongError, and nothing else, when it would expect more than kMaxFrameBytes.
    static std::optional<ExpectedResponse> FromCell(std::string_view cell,
                                                    const FrameInputs& inputs);

    ResponseVerdict Check(std::string_view answer) const;

    // The expectation as hex bytes, "??", "L", "CRC" and a final "*", separated by spaces.
    std::string Text() const;

  private:
    enum class Expect { kByte, kAnyByte, kLength, kChecksum };
    struct Slot {
        Expect expect;
        char byte;
    };

    std::vector<Slot> slots_;
    bool anyTail_ = false;
};

// The bytes as hex pairs separated by single spaces; "nothing" for none.
std::string AnswerText(std::string_view bytes);

}  // namespace brantel
