#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/check_token.h"
#include "frames/wide_value.h"

namespace brantel {

class FrameInputs;
struct NamedParam;

// What a template token adds to a frame, decided by the first test that holds, in this order.
// A Check (a named check such as "CRC-16/MODBUS") and a WideValue (a variable "NAME:TYPE") take
// forms no parameter or variable of a stored table means anything by, and come before the
// parameters so that a parameter cannot shadow them.
enum class TokenClass {
    HexByte,
    Address,
    Length,
    Checksum,
    Comment,
    Check,
    WideValue,
    Parameter,
    Variable
};

struct FrameToken {
    std::string_view text;
    TokenClass tokenClass = TokenClass::HexByte;
    const NamedParam* param = nullptr;  // the entry a Parameter token appends
    int variable = 0;                   // k for the k-th Variable or WideValue token, from 1
    int repeat = 0;                     // copies a Variable token appends
    std::optional<CheckToken> check;    // of a Check
    WideType wide;                      // of a WideValue
};

bool IsDecimalDigit(char c);
bool IsHexDigit(char c);

// The 8-bit additive sum of the bytes, as the checksum is made.
char ByteSum(std::string_view bytes);

// The template's tokens (words over the space) in order, each with its class. Named
// parameters are looked up as the template's tokens reach that test.
std::vector<FrameToken> ClassifyTokens(std::string_view frameTemplate, const FrameInputs& inputs);

// The bytes of a frame appended token by token, with the positions the length and checksum
// go to: the token index of the last "L" and "CRC". A check's bytes go where its token stands.
// Every append throws FrameTooLongError, naming the `subject`, before it would pass
// kMaxFrameBytes, so the bytes never grow past it.
class FrameAssembly {
  public:
    explicit FrameAssembly(std::size_t tokenCount, std::string_view subject = "frame")
        : tokenCount_(tokenCount), subject_(subject) {}

    // Appends the next token's bytes. A Variable reads its cell of the current row and throws
    // ConversionError when the cell is not an integer, a WideValue when it is no value of its
    // type, a Check when its range lies outside the bytes before it.
    void Append(const FrameToken& token, const FrameInputs& inputs);
    // Appends the next token, one whose Append failed, as $00 bytes of its size.
    void AppendZeros(const FrameToken& token);
    // Appends the next token as `bytes` of the caller's choosing: a reader that gives a token
    // the builder takes as a Variable a meaning of its own keeps the builder's positions.
    void AppendOwn(std::string_view bytes);
    // Appends the next token as bits set in the last byte: a bit field that shares its byte.
    void AppendIntoLast(char bits);

    // The bytes appended so far, placeholders included.
    const std::string& Bytes() const { return frame_; }
    std::size_t LengthPos() const { return lengthPos_; }
    std::size_t ChecksumPos() const { return checksumPos_; }

    // A check as placed: its token and the token's index, where its bytes start (from 0) and
    // what it covers.
    struct PlacedCheck {
        const CheckToken* check;
        std::size_t token;
        std::size_t at;
        CoveredBytes covered;
    };
    const std::vector<PlacedCheck>& Checks() const { return checks_; }

    // Writes the length, then each check from left to right (so a later one covers an earlier
    // one's bytes), then the checksum, which covers them all. A length or checksum position past
    // the end of the frame is left unpatched, so the frame is never written outside its bytes.
    std::string Finish() &&;

  private:
    // Throws before `count` more bytes would pass kMaxFrameBytes.
    void CheckRoom(std::size_t count) const;
    void AppendBytes(std::string_view bytes);
    void AppendByte(char byte) { AppendBytes(std::string_view(&byte, 1)); }

    std::size_t tokenCount_;
    std::string_view subject_;
    std::size_t tokensAppended_ = 0;
    std::size_t lengthPos_ = 0;
    std::size_t checksumPos_ = 0;
    std::vector<PlacedCheck> checks_;
    std::string frame_;
};

}  // namespace brantel
