#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frames/frame_builder.h"

namespace brantel {

struct NamedParam;

// What a template token stands for, decided by the builder's tests in this order: a leading
// decimal digit, "A", "L", "CRC", a "[" anywhere, a named parameter, anything else.
enum class TokenKind { kHexByte, kAddress, kLength, kChecksum, kIgnored, kNamedParam, kVariable };

struct TemplateToken {
    TokenKind kind;
    // The parameter a kNamedParam token found; nullptr for every other kind.
    const NamedParam* param = nullptr;
};

TemplateToken ClassifyToken(std::string_view token, const FrameInputs& inputs);

char LowByte(std::int64_t value);
// The byte of a hex-byte token: the low 8 bits of its hexadecimal value, 0 when invalid.
char HexTokenByte(std::string_view token);
// The byte an "A" token appends: the address text read as hexadecimal.
char AddressByte(const FrameInputs& inputs);
// The bytes a named parameter appends: a text as it is, an integer as its decimal text.
std::string ParamText(const NamedParam& param);
// The 8-bit additive sum of the bytes.
char ByteSum(std::string_view bytes);

}  // namespace brantel
