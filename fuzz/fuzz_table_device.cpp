// Input: a row's Command cell, its Response cell, the Parameters text and one variable cell on
// the first four lines; everything after them is a received frame, raw bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "frames/frame_tokens.h"
#include "frames/table_device.h"
#include "fuzz_input.h"
#include "token_classes.h"

namespace brantel {
namespace {}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    using fuzz::Check;
    const auto [command, afterCommand] = fuzz::SplitFirstLine(fuzz::AsText(data, size));
    const auto [response, afterResponse] = fuzz::SplitFirstLine(afterCommand);
    const auto [params, afterParams] = fuzz::SplitFirstLine(afterResponse);
    const auto [variable, frame] = fuzz::SplitFirstLine(afterParams);

    FixedFrameInputs inputs;
    try {
        inputs.params.Parse(params);
    } catch (const ConversionError&) {
        // The entries of the pass up to the failing pair stay as they are.
    }
    inputs.variables.assign(8, std::string(variable));
    AnswerValues values(1);
    values.SetSource("T", "wave(20,5,60)");
    TableDevice device({{1, std::string(command), std::string(response)}}, inputs,
                       std::move(values));
    Check(device.Readings().size() == 1, "the one row is read, answering or not");

    const std::size_t whole = device.FrameSize(frame);
    Check(whole <= frame.size(), "a frame's length never passes the bytes there are");
    if (whole > 0) {
        Check(device.Answer(frame.substr(0, whole), 1).has_value(),
              "a frame its length byte delimits is one its row matches");
    }
    if (const auto answer = device.Answer(frame, 2)) {
        Check(answer->row == 1, "only the table's row answers");
        Check(!answer->bytes || answer->error.empty(), "an answer is made or says why not");
    }
    // The sum is written after every check, so a check over it sees its placeholder, not it.
    const bool sumAfterChecks = fuzz::Holds(command, inputs, TokenClass::Checksum) &&
                                fuzz::Holds(command, inputs, TokenClass::Check);
    try {
        const std::string built = BuildFrame(command, inputs);
        Check(sumAfterChecks || built.empty() || device.Answer(built, 3).has_value(),
              "the frame the builder makes of a row's Command cell is one that row matches");
    } catch (const ConversionError&) {
        // The variable's cell is no value for a token that reads it.
    }
    return 0;
}
