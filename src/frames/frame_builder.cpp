#include "frames/frame_builder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frames/named_params.h"
#include "text/integers.h"
#include "text/strings.h"
#include "text/words.h"

namespace brantel {

namespace {

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

char LowByte(std::int64_t value) {
    return static_cast<char>(value & 0xFF);
}

std::string ParamText(const NamedParam& param) {
    if (const auto* number = std::get_if<std::int32_t>(&param.value)) {
        return IntegerText(*number);
    }
    return std::get<std::string>(param.value);
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
        if (IsDecimalDigit(token.front())) {
            frame += LowByte(HexToInteger(token));
        } else if (token == "A") {
            frame += LowByte(HexToInteger(inputs.AddressText()));
        } else if (token == "L") {
            frame += LowByte(static_cast<std::int64_t>(tokens.size()));
            lengthPos = i + 1;
        } else if (token == "CRC") {
            frame += '\0';
            checksumPos = i + 1;
        } else if (FindNth("[", token, 1) != 0) {
            continue;
        } else if (const NamedParam* param = inputs.LookupNamedParam(token)) {
            frame += ParamText(*param);
        } else {
            ++varIndex;
            const int repeat = IsDecimalDigit(token.back()) ? token.back() - '0' : 1;
            const std::int32_t value =
                ParseInteger(inputs.CurrentRowCell(kFirstVariableColumn + varIndex - 1));
            frame.append(static_cast<std::size_t>(repeat), LowByte(value));
        }
    }
    if (lengthPos != 0) {
        Patch(frame, lengthPos, LowByte(static_cast<std::int64_t>(frame.size())));
    }
    if (checksumPos != 0) {
        unsigned sum = 0;
        for (char byte : frame) {
            sum += static_cast<unsigned char>(byte);
        }
        Patch(frame, checksumPos, LowByte(sum));
    }
    return frame;
}

}  // namespace brantel
