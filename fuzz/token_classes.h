#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "frames/frame_builder.h"
#include "frames/frame_tokens.h"

namespace brantel::fuzz {

// Whether any token of the cell is of the class.
inline bool Holds(std::string_view cell, const FrameInputs& inputs, TokenClass tokenClass) {
    const std::vector<FrameToken> tokens = ClassifyTokens(cell, inputs);
    return std::any_of(tokens.begin(), tokens.end(), [tokenClass](const FrameToken& token) {
        return token.tokenClass == tokenClass;
    });
}

}  // namespace brantel::fuzz
