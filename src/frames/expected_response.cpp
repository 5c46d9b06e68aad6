#include "frames/expected_response.h"

#include <algorithm>
#include <cstddef>

#include "frames/template_tokens.h"
#include "text/hex_line.h"
#include "text/integers.h"
#include "text/words.h"

namespace brantel {

namespace {

constexpr std::string_view kAnyByte = "??";
constexpr std::string_view kAnyTail = "*";

// Two hexadecimal digits, as the log writes a byte: in an answer "EF" is a byte, not a
// variable.
bool IsHexPair(std::string_view token) {
    const auto isHexDigit = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    return token.size() == 2 && isHexDigit(token[0]) && isHexDigit(token[1]);
}

std::string ByteText(char byte) {
    return HexText(static_cast<unsigned char>(byte), 2);
}

std::string Differs(std::size_t position, char got, char wanted, std::string_view what) {
    return "byte " + std::to_string(position + 1) + " is " + ByteText(got) + ", expected " +
           ByteText(wanted) + std::string(what);
}

std::string Bytes(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace

std::optional<ExpectedResponse> ExpectedResponse::FromCell(std::string_view cell,
                                                           const FrameInputs& inputs) {
    const std::vector<std::string_view> tokens = Words(cell, DelimiterSet(" "));
    if (tokens.empty()) {
        return std::nullopt;
    }
    ExpectedResponse expected;
    std::vector<Slot>& slots = expected.slots_;
    std::size_t lengthPos = 0;
    std::size_t checksumPos = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        const TemplateToken classified = ClassifyToken(token, inputs);
        switch (classified.kind) {
            case TokenKind::kHexByte:
                slots.push_back({Expect::kByte, HexTokenByte(token)});
                break;
            case TokenKind::kAddress:
                slots.push_back({Expect::kByte, AddressByte(inputs)});
                break;
            case TokenKind::kLength:
                slots.push_back({Expect::kByte, LowByte(static_cast<std::int64_t>(tokens.size()))});
                lengthPos = i + 1;
                break;
            case TokenKind::kChecksum:
                slots.push_back({Expect::kByte, '\0'});
                checksumPos = i + 1;
                break;
            case TokenKind::kNamedParam:
                for (const char byte : ParamText(*classified.param)) {
                    slots.push_back({Expect::kByte, byte});
                }
                break;
            case TokenKind::kIgnored:
                return std::nullopt;
            case TokenKind::kVariable:
                if (IsHexPair(token)) {
                    slots.push_back({Expect::kByte, HexTokenByte(token)});
                } else if (token == kAnyByte) {
                    slots.push_back({Expect::kAnyByte, '\0'});
                } else if (token == kAnyTail && i + 1 == tokens.size()) {
                    expected.anyTail_ = true;
                } else {
                    return std::nullopt;
                }
                break;
        }
    }
    // As the builder patches: at the token's index, never outside the expected bytes.
    for (const auto& [position, expect] :
         {std::pair{lengthPos, Expect::kLength}, std::pair{checksumPos, Expect::kChecksum}}) {
        if (position >= 1 && position <= slots.size()) {
            slots[position - 1] = {expect, '\0'};
        }
    }
    return expected;
}

ResponseVerdict ExpectedResponse::Check(std::string_view answer) const {
    if (answer.empty() && !slots_.empty()) {
        return {false, "no answer"};
    }
    const std::size_t common = std::min(answer.size(), slots_.size());
    for (std::size_t k = 0; k < common; ++k) {
        const char got = answer[k];
        switch (slots_[k].expect) {
            case Expect::kByte:
                if (got != slots_[k].byte) {
                    return {false, Differs(k, got, slots_[k].byte, "")};
                }
                break;
            case Expect::kAnyByte:
                break;
            case Expect::kLength: {
                const char length = LowByte(static_cast<std::int64_t>(answer.size()));
                if (got != length) {
                    return {false, Differs(k, got, length, " (the length)")};
                }
                break;
            }
            case Expect::kChecksum: {
                const char sum = static_cast<char>(ByteSum(answer) - got);
                if (got != sum) {
                    return {false, Differs(k, got, sum, " (the checksum)")};
                }
                break;
            }
        }
    }
    const bool sizeFits =
        anyTail_ ? answer.size() >= slots_.size() : answer.size() == slots_.size();
    if (!sizeFits) {
        return {false, Bytes(answer.size()) + ", expected " + (anyTail_ ? "at least " : "") +
                           Bytes(slots_.size())};
    }
    return {true, ""};
}

std::string ExpectedResponse::Text() const {
    std::string text;
    for (const Slot& slot : slots_) {
        switch (slot.expect) {
            case Expect::kByte:
                text += ByteText(slot.byte);
                break;
            case Expect::kAnyByte:
                text += kAnyByte;
                break;
            case Expect::kLength:
                text += "L";
                break;
            case Expect::kChecksum:
                text += "CRC";
                break;
        }
        text += ' ';
    }
    if (anyTail_) {
        text += kAnyTail;
    } else if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

std::string AnswerText(std::string_view bytes) {
    std::string line = HexLine(bytes);
    if (line.empty()) {
        return "nothing";
    }
    line.pop_back();
    return line;
}

}  // namespace brantel
