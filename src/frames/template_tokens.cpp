#include "frames/template_tokens.h"

#include <variant>

#include "frames/named_params.h"
#include "text/integers.h"
#include "text/strings.h"

namespace brantel {

TemplateToken ClassifyToken(std::string_view token, const FrameInputs& inputs) {
    if (token.front() >= '0' && token.front() <= '9') {
        return {TokenKind::kHexByte};
    }
    if (token == "A") {
        return {TokenKind::kAddress};
    }
    if (token == "L") {
        return {TokenKind::kLength};
    }
    if (token == "CRC") {
        return {TokenKind::kChecksum};
    }
    if (FindNth("[", token, 1) != 0) {
        return {TokenKind::kIgnored};
    }
    if (const NamedParam* param = inputs.LookupNamedParam(token)) {
        return {TokenKind::kNamedParam, param};
    }
    return {TokenKind::kVariable};
}

char LowByte(std::int64_t value) {
    return static_cast<char>(value & 0xFF);
}

char HexTokenByte(std::string_view token) {
    return LowByte(HexToInteger(token));
}

char AddressByte(const FrameInputs& inputs) {
    return LowByte(HexToInteger(inputs.AddressText()));
}

std::string ParamText(const NamedParam& param) {
    if (const auto* number = std::get_if<std::int32_t>(&param.value)) {
        return IntegerText(*number);
    }
    return std::get<std::string>(param.value);
}

char ByteSum(std::string_view bytes) {
    unsigned sum = 0;
    for (const char byte : bytes) {
        sum += static_cast<unsigned char>(byte);
    }
    return LowByte(sum);
}

}  // namespace brantel
