#include "frames/frame_builder.h"

#include "frames/frame_tokens.h"

namespace brantel {

FrameTooLongError::FrameTooLongError(std::string_view subject)
    : ConversionError(WholeMessage{"the " + std::string(subject) + " would be longer than " +
                                   std::to_string(kMaxFrameBytes) + " bytes"}) {}

std::string BuildFrame(std::string_view frameTemplate, const FrameInputs& inputs) {
    const std::vector<FrameToken> tokens = ClassifyTokens(frameTemplate, inputs);
    FrameAssembly frame(tokens.size());
    for (const FrameToken& token : tokens) {
        frame.Append(token, inputs);
    }
    return std::move(frame).Finish();
}

}  // namespace brantel
