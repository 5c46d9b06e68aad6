#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/check_token.h"
#include "frames/frame_builder.h"
#include "frames/frame_tokens.h"
#include "frames/wide_value.h"

namespace brantel {

// A field's value read from an answer.
struct ReadValue {
    std::string name;
    FieldValue value;
};

// How an answer compares with an expected response; `why` says what differs first. The
// fields' values count only when the answer matches.
struct ResponseVerdict {
    bool matches = false;
    std::string why;
    std::vector<ReadValue> fields;
};

// Where a field of an expected response lies, from 0.
struct ResponseField {
    std::string name;
    WideType type;
    std::size_t at = 0;
};

// The answer a Response cell expects: the frame the cell lays out, where a pair of hex digits
// is a byte even when it starts with a letter ("EF", as the log shows it), "??" stands for any
// one byte and a final "*" for any further bytes (none included). "L" must hold the answer's
// length and "CRC" the 8-bit sum of the answer's other bytes, each where its token's byte lies.
// Where a token of more or fewer than one byte comes before them, the builder patches another
// byte (at the token's index); the frame the builder would make of the cell passes as well.
// A check token ("CRC-16/MODBUS") expects the check of the answer's own bytes where it stands;
// checks may follow the final "*", and then lie at the answer's end. A field `NAME:TYPE` takes
// any bytes of its type's size and reads them as a value; bit fields next to each other share
// one byte while their bits do not overlap.
class ExpectedResponse {
  public:
    // The expected response of a cell whose every token is a hex byte, "A", "L", "CRC", a check,
    // a field, a named parameter, "??" or a "*" followed by nothing but checks; nullopt for an
    // empty cell or any other text (a note), with the reason in `whyNote` when given.
    // The builder's tests decide first, so a parameter named like a hex pair is the parameter.
    // Throws FrameTooLongError, and nothing else, when it would expect more than kMaxFrameBytes.
    static std::optional<ExpectedResponse> FromCell(std::string_view cell,
                                                    const FrameInputs& inputs,
                                                    std::string* whyNote = nullptr);

    // A Command cell read as the frame a host sends, for a table that plays the device: its
    // tokens as the builder classifies them, "[" tokens ignored; a variable takes any byte (its
    // copies, any bytes) and keeps its value as a field named by its token, "??" and a final "*"
    // as in a Response cell; named parameters, "A", "L", "CRC" and checks must hold.
    static std::optional<ExpectedResponse> FromRequestCell(std::string_view cell,
                                                           const FrameInputs& inputs,
                                                           std::string* whyNote = nullptr);

    ResponseVerdict Check(std::string_view answer) const;
    // Where the length byte lies, from 0: a frame's size is read there before its end is seen.
    std::optional<std::size_t> LengthAt() const;
    // The one size a matching frame has, when it has a check or sum to tell a frame that only
    // starts alike: nullopt with a final "*" or without a check.
    std::optional<std::size_t> CheckedSize() const;

    // The expectation as hex bytes, "??", "L", "CRC", checks, fields and "*", separated by
    // spaces.
    std::string Text() const;
    const std::vector<ResponseField>& Fields() const { return fields_; }

  private:
    enum class Role { kAnswer, kRequest };
    static std::optional<ExpectedResponse> Read(std::string_view cell, const FrameInputs& inputs,
                                                std::string* whyNote, Role role);

    enum class Expect { kByte, kAnyByte, kLength, kChecksum, kCheck, kField };
    struct Slot {
        Expect expect;
        // The byte expected; for the checksum, the byte it replaced, which the sum includes.
        char byte;
        // For the checksum: what it replaced, a byte or the length.
        Expect beneath = Expect::kByte;
        bool operator==(const Slot&) const = default;
    };
    // A check and where its bytes start: from the answer's start, or for one after "*" from
    // the start of the checks that end the answer.
    struct AnswerCheck {
        CheckToken token;
        std::size_t at;
        bool atEnd;
    };

    // The slots of `bytes` with the length, then the checksum, at their places (from 1; 0 or
    // a place past the end: none), as the builder patches.
    static std::vector<Slot> WithChecks(std::vector<Slot> slots, std::size_t lengthPlace,
                                        std::size_t checksumPlace);
    ResponseVerdict CheckSlots(const std::vector<Slot>& slots, std::string_view answer) const;
    // The first check whose bytes in the answer are not its value; nullopt when all are.
    std::optional<std::string> WrongCheck(std::string_view answer) const;
    std::size_t EndChecksSize() const;
    // Places a field after the bytes so far, or in the byte of the bit fields just before.
    void AddField(const FrameToken& token, FrameAssembly& assembly);
    std::vector<ReadValue> ReadFields(std::string_view answer) const;

    // The frame as the cell lays it out, and the builder's own where it differs.
    std::vector<Slot> slots_;
    std::optional<std::vector<Slot>> asBuilt_;
    bool anyTail_ = false;
    std::vector<AnswerCheck> checks_;
    std::vector<ResponseField> fields_;
};

// The bytes as hex pairs separated by single spaces; "nothing" for none.
std::string AnswerText(std::string_view bytes);

// Each field's name and value, separated by single spaces: "T=21.5 P=1.02"; empty for none.
std::string FieldsText(const std::vector<ReadValue>& fields);

}  // namespace brantel
