#include "frames/frame_tokens.h"

#include <cstdint>

#include "commands/command_row.h"
#include "frames/frame_builder.h"
#include "frames/named_params.h"
#include "text/integers.h"
#include "text/strings.h"
#include "text/words.h"

namespace brantel {

namespace {

char LowByte(std::int64_t value) {
    return static_cast<char>(value & 0xFF);
}

std::string ParamText(const NamedParam& param) {
    if (const auto* number = std::get_if<std::int32_t>(&param.value)) {
        return IntegerText(*number);
    }
    return std::get<std::string>(param.value);
}

std::string VariableCell(const FrameToken& token, const FrameInputs& inputs) {
    return inputs.CurrentRowCell(kFirstVariableColumn + token.variable - 1);
}

void Patch(std::string& frame, std::size_t position, char byte) {
    if (position >= 1 && position <= frame.size()) {
        frame[position - 1] = byte;
    }
}

}  // namespace

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDecimalDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

char ByteSum(std::string_view bytes) {
    unsigned sum = 0;
    for (const char byte : bytes) {
        sum += static_cast<unsigned char>(byte);
    }
    return LowByte(sum);
}

std::vector<FrameToken> ClassifyTokens(std::string_view frameTemplate, const FrameInputs& inputs) {
    const std::vector<std::string_view> words = Words(frameTemplate, DelimiterSet(" "));
    std::vector<FrameToken> tokens(words.size());
    int variables = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        FrameToken& token = tokens[i];
        const std::string_view text = words[i];
        token.text = text;
        if (IsDecimalDigit(text.front())) {
            token.tokenClass = TokenClass::HexByte;
        } else if (text == "A") {
            token.tokenClass = TokenClass::Address;
        } else if (text == "L") {
            token.tokenClass = TokenClass::Length;
        } else if (text == "CRC") {
            token.tokenClass = TokenClass::Checksum;
        } else if (FindNth("[", text, 1) != 0) {
            token.tokenClass = TokenClass::Comment;
        } else if ((token.check = ParseCheckToken(text))) {
            token.tokenClass = TokenClass::Check;
        } else if (const auto wide = ParseWideToken(text)) {
            token.tokenClass = TokenClass::WideValue;
            token.wide = *wide;
            token.variable = ++variables;
        } else if ((token.param = inputs.LookupNamedParam(text)) != nullptr) {
            token.tokenClass = TokenClass::Parameter;
        } else {
            token.tokenClass = TokenClass::Variable;
            token.variable = ++variables;
            token.repeat = IsDecimalDigit(text.back()) ? text.back() - '0' : 1;
        }
    }
    return tokens;
}

void FrameAssembly::Append(const FrameToken& token, const FrameInputs& inputs) {
    switch (token.tokenClass) {
        case TokenClass::HexByte:
            AppendByte(LowByte(HexToInteger(token.text)));
            break;
        case TokenClass::Address:
            AppendByte(LowByte(HexToInteger(inputs.AddressText())));
            break;
        case TokenClass::Length:
            AppendByte(LowByte(static_cast<std::int64_t>(tokenCount_)));
            lengthPos_ = tokensAppended_ + 1;
            break;
        case TokenClass::Checksum:
            AppendByte('\0');
            checksumPos_ = tokensAppended_ + 1;
            break;
        case TokenClass::Comment:
            break;
        case TokenClass::Check: {
            const CoveredBytes covered = CoveredBy(*token.check, frame_.size());
            const std::size_t at = frame_.size();
            AppendBytes(std::string(token.check->Size(), '\0'));
            checks_.push_back({&*token.check, tokensAppended_, at, covered});
            break;
        }
        case TokenClass::WideValue:
            AppendBytes(WideBytes(token.wide, token.text, VariableCell(token, inputs)));
            break;
        case TokenClass::Parameter:
            AppendBytes(ParamText(*token.param));
            break;
        case TokenClass::Variable: {
            // The cell is read and converted even when the repeat count is 0.
            const char byte = LowByte(ParseInteger(VariableCell(token, inputs)));
            const auto repeat = static_cast<std::size_t>(token.repeat);
            CheckRoom(repeat);
            frame_.append(repeat, byte);
            break;
        }
    }
    ++tokensAppended_;
}

void FrameAssembly::AppendZeros(const FrameToken& token) {
    const std::size_t size = token.tokenClass == TokenClass::Check       ? token.check->Size()
                             : token.tokenClass == TokenClass::WideValue ? token.wide.size
                                                                         : token.repeat;
    AppendBytes(std::string(size, '\0'));
    ++tokensAppended_;
}

void FrameAssembly::AppendOwn(std::string_view bytes) {
    AppendBytes(bytes);
    ++tokensAppended_;
}

void FrameAssembly::AppendIntoLast(char bits) {
    frame_.back() = static_cast<char>(frame_.back() | bits);
    ++tokensAppended_;
}

void FrameAssembly::AppendBytes(std::string_view bytes) {
    CheckRoom(bytes.size());
    frame_ += bytes;
}

void FrameAssembly::CheckRoom(std::size_t count) const {
    if (count > kMaxFrameBytes - frame_.size()) {
        throw FrameTooLongError(subject_);
    }
}

std::string FrameAssembly::Finish() && {
    if (lengthPos_ != 0) {
        Patch(frame_, lengthPos_, LowByte(static_cast<std::int64_t>(frame_.size())));
    }
    for (const PlacedCheck& placed : checks_) {
        const std::string_view covered = std::string_view(frame_).substr(
            placed.covered.begin, placed.covered.end - placed.covered.begin);
        const std::string bytes = placed.check->Bytes(placed.check->algorithm.Compute(covered));
        frame_.replace(placed.at, bytes.size(), bytes);
    }
    if (checksumPos_ != 0) {
        Patch(frame_, checksumPos_, ByteSum(frame_));
    }
    return std::move(frame_);
}

}  // namespace brantel
