// Input: the Response cell, the Parameters text and the address text on the first three lines;
// everything after them is the answer, raw bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/expected_response.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "frames/frame_tokens.h"
#include "fuzz_input.h"
#include "text/integers.h"
#include "token_classes.h"

namespace brantel {
namespace {

using fuzz::Check;

bool SameVerdict(const ResponseVerdict& a, const ResponseVerdict& b) {
    return a.matches == b.matches && a.why == b.why;
}

// The expectation of the cell; nullopt also for one past the size cap, its only error.
std::optional<ExpectedResponse> Expected(std::string_view cell, const FrameInputs& inputs) {
    try {
        return ExpectedResponse::FromCell(cell, inputs);
    } catch (const FrameTooLongError&) {
        return std::nullopt;
    }
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    const auto [cell, afterCell] = fuzz::SplitFirstLine(fuzz::AsText(data, size));
    const auto [params, afterParams] = fuzz::SplitFirstLine(afterCell);
    const auto [address, answer] = fuzz::SplitFirstLine(afterParams);

    FixedFrameInputs inputs;
    inputs.address = address;
    try {
        inputs.params.Parse(params);
    } catch (const ConversionError&) {
        // The entries of the pass up to the failing pair stay as they are.
    }
    const std::optional<ExpectedResponse> expected = Expected(cell, inputs);
    if (!expected) {
        return 0;
    }
    const ResponseVerdict verdict = expected->Check(answer);
    Check(verdict.matches == verdict.why.empty(), "a verdict gives a reason exactly when it fails");
    Check(SameVerdict(Expected(cell, inputs)->Check(answer), verdict),
          "the same cell judges the same answer alike");

    // What the expectation shows is itself an expectation that judges every answer alike.
    const std::string text = expected->Text();
    const std::optional<ExpectedResponse> shown =
        ExpectedResponse::FromCell(text, FixedFrameInputs());
    Check(shown.has_value(), "the shown expectation is a frame");
    Check(shown->Text() == text, "the shown expectation shows itself");
    // It shows the frame as the cell lays it out; only the builder's own frame of the cell,
    // where that differs, may pass besides.
    Check(SameVerdict(shown->Check(answer), verdict) || verdict.matches,
          "the shown expectation judges alike");
    // The sum is written after every check, so a check over it sees its placeholder, not it.
    const bool sumAfterChecks = fuzz::Holds(cell, inputs, TokenClass::Checksum) &&
                                fuzz::Holds(cell, inputs, TokenClass::Check);
    try {
        const std::string built = BuildFrame(cell, inputs);
        Check(sumAfterChecks || expected->Check(built).matches,
              "the builder's own frame of the cell passes");
    } catch (const ConversionError&) {
        // A token the builder takes for a variable ("EF", "??", "*") reads an empty cell.
    }
    return 0;
}
