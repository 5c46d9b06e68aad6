// Input lines: the template, the Parameters text, the address text, then one variable cell per
// line from the first variable column on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "frames/explanation_table.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "frames/frame_explanation.h"
#include "fuzz_input.h"
#include "text/integers.h"
#include "text/strings.h"
#include "text/words.h"

namespace brantel {
namespace {

using fuzz::Check;

// A build's outcome: the frame, or the conversion error's message.
struct Built {
    std::optional<std::string> frame;
    std::string error;

    bool operator==(const Built&) const = default;
};

Built Build(std::string_view frameTemplate, const FrameInputs& inputs) {
    try {
        return {BuildFrame(frameTemplate, inputs), {}};
    } catch (const ConversionError& error) {
        return {std::nullopt, error.what()};
    } catch (...) {
        Check(false, "BuildFrame throws nothing but ConversionError");
        return {};
    }
}

FixedFrameInputs InputsFrom(const std::vector<std::string_view>& lines) {
    FixedFrameInputs inputs;
    if (lines.size() > 1) {
        try {
            inputs.params.Parse(lines[1]);
        } catch (const ConversionError&) {
            // The entries of the pass up to the failing pair stay as they are.
        }
    }
    if (lines.size() > 2) {
        inputs.address = lines[2];
    }
    for (std::size_t i = 3; i < lines.size(); ++i) {
        inputs.variables.emplace_back(lines[i]);
    }
    return inputs;
}

std::size_t LongestParamText(const NamedParamTable& params) {
    std::size_t longest = 0;
    for (int i = 0; i < params.NamedParamCount(); ++i) {
        const auto& value = params.NamedParams()[static_cast<std::size_t>(i)].value;
        const std::size_t length = std::holds_alternative<std::int32_t>(value)
                                       ? IntegerText(std::get<std::int32_t>(value)).size()
                                       : std::get<std::string>(value).size();
        longest = std::max(longest, length);
    }
    return longest;
}

// A failed build names a variable cell that holds no integer: one of the given cells, or the
// empty text of a cell beyond them; or the frame would pass the size cap, which only as many
// tokens of the longest parameter can reach.
void CheckConversionError(std::string_view message, std::string_view frameTemplate,
                          const FixedFrameInputs& inputs, std::size_t mostBytes) {
    if (message == FrameTooLongError("frame").what()) {
        Check(mostBytes > kMaxFrameBytes, "only a frame that could pass the cap is too long");
        return;
    }
    if (message.starts_with('`')) {
        // A NUL byte in the token ends the shown message inside its quotes.
        const std::string cutShort = std::string(message.substr(1)) + '\0';
        Check(message.find(" at byte ") != std::string_view::npos ||
                  message.find("` reads a field of an answer") != std::string_view::npos ||
                  frameTemplate.find(cutShort) != std::string_view::npos,
              "a token's error names it: a check's range and place, or a field a command "
              "cannot write");
        return;
    }
    std::vector<std::string> cells = inputs.variables;
    cells.emplace_back();
    // A plain variable's cell holds no integer; a wide value's may, outside its type.
    const bool named = std::any_of(cells.begin(), cells.end(), [message](const std::string& cell) {
        const std::string quoted = "'" + cell + "' ";
        const bool noInteger = ParseIntegerOr(cell, 0) == 0 && ParseIntegerOr(cell, 1) == 1;
        return (message == fuzz::ShownMessage(quoted + "is not a valid integer value") &&
                noInteger) ||
               message.starts_with(fuzz::ShownMessage(quoted + "is out of range for ")) ||
               message == fuzz::ShownMessage(quoted + "is not a valid floating point value");
    });
    Check(named, "the conversion error quotes a variable cell that holds no value of its kind");
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    using fuzz::Check;
    const std::vector<std::string_view> lines = fuzz::SplitLines(fuzz::AsText(data, size));
    const std::string_view frameTemplate = lines[0];
    const FixedFrameInputs inputs = InputsFrom(lines);

    const Built built = Build(frameTemplate, inputs);
    Check(Build(frameTemplate, inputs) == built, "the same inputs build the same frame");
    const FrameExplanation explanation = ExplainFrame(frameTemplate, inputs);
    Check(explanation.built ? built.frame == explanation.frame : built.error == explanation.error,
          "the explanation finishes the builder's frame or carries its message");
    Check(!ExplanationTable(explanation).empty(), "every explanation has a table");
    const std::vector<std::string_view> tokens = Words(frameTemplate, DelimiterSet(" "));
    // A repeat's 9 copies, a 64-bit check as 16 digits, or the longest parameter.
    const std::size_t perToken = std::max<std::size_t>(16, LongestParamText(inputs.params));
    if (!built.frame) {
        CheckConversionError(built.error, frameTemplate, inputs, tokens.size() * perToken);
        return 0;
    }

    Check(built.frame->size() <= tokens.size() * perToken,
          "each token appends at most a repeat's or the longest parameter's bytes");

    const std::string spread = "  " + ReplaceAll(frameTemplate, " ", "   ") + " ";
    Check(Build(spread, inputs) == built, "runs of spaces separate like one space");
    if (std::find(tokens.begin(), tokens.end(), "L") == tokens.end()) {
        Check(Build(std::string(frameTemplate) + " [x]", inputs) == built,
              "an ignored token appends nothing");
    }
    return 0;
}
