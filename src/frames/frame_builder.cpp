#include "frames/frame_builder.h"

#include "frames/frame_tokens.h"

namespace brantel {

std::string BuildFrame(std::string_view frameTemplate, const FrameInputs& inputs) {
    const std::vector<FrameToken> tokens = ClassifyTokens(frameTemplate, inputs);
    FrameAssembly frame(tokens.size());
    for (const FrameToken& token : tokens) {
        frame.Append(token, inputs);
    }
    return std::move(frame).Finish();
}

}  // namespace brantel
