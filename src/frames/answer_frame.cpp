#include "frames/answer_frame.h"

#include <utility>
#include <vector>

#include "frames/frame_tokens.h"
#include "frames/wide_value.h"
#include "text/integers.h"

namespace brantel {

namespace {

bool IsHexPair(std::string_view token) {
    return token.size() == 2 && IsHexDigit(token[0]) && IsHexDigit(token[1]);
}

}  // namespace

std::optional<std::string> BuildAnswer(std::string_view cell, const FrameInputs& inputs,
                                       const ValueLookup& lookup, std::string* whyNote) {
    const auto note = [whyNote](std::string why) {
        if (whyNote != nullptr) {
            *whyNote = std::move(why);
        }
        return std::nullopt;
    };
    const std::vector<FrameToken> tokens = ClassifyTokens(cell, inputs);
    if (tokens.empty()) {
        return note("the cell is empty");
    }
    FrameAssembly assembly(tokens.size(), "answer");
    // The bits that bit fields set in the last byte; 0 after any other token.
    unsigned bitsUsed = 0;
    for (const FrameToken& token : tokens) {
        const std::string quoted = "`" + std::string(token.text) + "`";
        const std::string_view text = token.text;
        if (token.tokenClass == TokenClass::Comment) {
            return note(quoted + " is a comment, which makes the cell a note");
        }
        const bool wide = token.tokenClass == TokenClass::WideValue;
        if (token.tokenClass != TokenClass::Variable && !wide) {
            assembly.Append(token, inputs);
            bitsUsed = 0;
            continue;
        }
        if (text == "??" || IsHexPair(text)) {
            const char byte = text == "??" ? '\0' : static_cast<char>(HexToInteger(text));
            assembly.AppendOwn(std::string_view(&byte, 1));
        } else if (text == "*") {
            assembly.AppendOwn({});
        } else {
            const std::string_view name = wide ? text.substr(0, text.rfind(':')) : text;
            const std::optional<double> value = lookup(name);
            if (!value) {
                return note(quoted + " is no byte, keyword, check or value this table keeps");
            }
            const WideType type = wide ? token.wide : ByteType();
            const std::string bytes = FieldBytes(type, name, *value);
            const bool bits = type.kind == WideType::Kind::Bits;
            if (bits && bitsUsed != 0 && (bitsUsed & BitMask(type)) == 0) {
                assembly.AppendIntoLast(bytes[0]);
                bitsUsed |= BitMask(type);
                continue;
            }
            std::string copies;
            for (int k = 0; k < (wide ? 1 : token.repeat); ++k) {
                copies += bytes;
            }
            assembly.AppendOwn(copies);
            bitsUsed = bits ? BitMask(type) : 0;
            continue;
        }
        bitsUsed = 0;
    }
    return std::move(assembly).Finish();
}

}  // namespace brantel
