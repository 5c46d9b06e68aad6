#include "frames/frame_builder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frames/template_tokens.h"
#include "text/integers.h"
#include "text/words.h"

namespace brantel {

namespace {

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The byte at a token index (from 1). A position past the end of the frame is left alone: the
// frame is never written outside its own bytes.
void Patch(std::string& frame, std::size_t position, char byte) {
    if (position >= 1 && position <= frame.size()) {
        frame[position - 1] = byte;
    }
}

}  // namespace

std::string BuildFrame(std::string_view frameTemplate, const FrameInputs& inputs) {
    const std::vector<std::string_view> tokens = Words(frameTemplate, DelimiterSet(" "));
    std::string frame;
    std::size_t lengthPos = 0;
    std::size_t checksumPos = 0;
    int varIndex = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        const TemplateToken classified = ClassifyToken(token, inputs);
        switch (classified.kind) {
            case TokenKind::kHexByte:
                frame += HexTokenByte(token);
                break;
            case TokenKind::kAddress:
                frame += AddressByte(inputs);
                break;
            case TokenKind::kLength:
                frame += LowByte(static_cast<std::int64_t>(tokens.size()));
                lengthPos = i + 1;
                break;
            case TokenKind::kChecksum:
                frame += '\0';
                checksumPos = i + 1;
                break;
            case TokenKind::kIgnored:
                break;
            case TokenKind::kNamedParam:
                frame += ParamText(*classified.param);
                break;
            case TokenKind::kVariable: {
                ++varIndex;
                const int repeat = IsDecimalDigit(token.back()) ? token.back() - '0' : 1;
                const std::int32_t value =
                    ParseInteger(inputs.CurrentRowCell(kFirstVariableColumn + varIndex - 1));
                frame.append(static_cast<std::size_t>(repeat), LowByte(value));
                break;
            }
        }
    }
    if (lengthPos != 0) {
        Patch(frame, lengthPos, LowByte(static_cast<std::int64_t>(frame.size())));
    }
    if (checksumPos != 0) {
        Patch(frame, checksumPos, ByteSum(frame));
    }
    return frame;
}

}  // namespace brantel
