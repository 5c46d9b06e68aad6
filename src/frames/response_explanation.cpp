#include "frames/response_explanation.h"

#include "frames/expected_response.h"

namespace brantel {

namespace {

std::string Bytes(std::size_t first, std::size_t count) {
    return count == 1 ? "byte " + std::to_string(first)
                      : "bytes " + std::to_string(first) + "-" + std::to_string(first + count - 1);
}

}  // namespace

std::string ResponseExplanation(std::string_view cell, const FrameInputs& inputs) {
    std::string whyNote;
    std::optional<ExpectedResponse> expected;
    try {
        expected = ExpectedResponse::FromCell(cell, inputs, &whyNote);
    } catch (const FrameTooLongError& error) {
        return "error: " + std::string(error.what()) + "\n";
    }
    if (!expected) {
        return "a note, not checked: " + whyNote + "\n";
    }
    std::string text = "expects: " + expected->Text() + "\n";
    for (const ResponseField& field : expected->Fields()) {
        text += "field " + field.name + ": " + field.type.Name() + " at " +
                Bytes(field.at + 1, field.type.size) + "\n";
    }
    return text;
}

}  // namespace brantel
