#include "frames/expected_response.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "frames/frame_tokens.h"
#include "text/hex_line.h"
#include "text/integers.h"

namespace brantel {

namespace {

constexpr std::string_view kAnyByte = "??";
constexpr std::string_view kAnyTail = "*";

// Two hexadecimal digits, as the log writes a byte: in an answer "EF" is a byte, not a
// variable.
bool IsHexPair(std::string_view token) {
    return token.size() == 2 && IsHexDigit(token[0]) && IsHexDigit(token[1]);
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

ResponseVerdict Failed(std::string why) {
    return {false, std::move(why), {}};
}

std::string HexBytes(std::string_view bytes) {
    std::string text = HexLine(bytes);
    text.pop_back();
    return text;
}

bool OnlyChecksAfter(const std::vector<FrameToken>& tokens, std::size_t index) {
    return std::all_of(
        tokens.begin() + static_cast<std::ptrdiff_t>(index) + 1, tokens.end(),
        [](const FrameToken& token) { return token.tokenClass == TokenClass::Check; });
}

}  // namespace

std::optional<ExpectedResponse> ExpectedResponse::FromCell(std::string_view cell,
                                                           const FrameInputs& inputs,
                                                           std::string* whyNote) {
    return Read(cell, inputs, whyNote, Role::kAnswer);
}

std::optional<ExpectedResponse> ExpectedResponse::FromRequestCell(std::string_view cell,
                                                                  const FrameInputs& inputs,
                                                                  std::string* whyNote) {
    return Read(cell, inputs, whyNote, Role::kRequest);
}

std::optional<ExpectedResponse> ExpectedResponse::Read(std::string_view cell,
                                                       const FrameInputs& inputs,
                                                       std::string* whyNote, Role role) {
    const std::vector<FrameToken> tokens = ClassifyTokens(cell, inputs);
    const auto note = [whyNote](std::string why) {
        if (whyNote != nullptr) {
            *whyNote = std::move(why);
        }
        return std::nullopt;
    };
    if (tokens.empty()) {
        return note("the cell is empty");
    }
    ExpectedResponse expected;
    // Built as the builder builds, so the length and checksum land where it patches them.
    FrameAssembly assembly(tokens.size(), "expected response");
    std::vector<std::size_t> anyBytes;
    // Where the last length and checksum tokens put their bytes, from 1.
    std::size_t lengthByte = 0;
    std::size_t checksumByte = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const FrameToken& token = tokens[i];
        const std::string quoted = "`" + std::string(token.text) + "`";
        if (expected.anyTail_) {
            // Only checks follow "*": they lie at the answer's end.
            if (token.tokenClass != TokenClass::Check) {
                return note(quoted + " follows `*`, which only checks may follow" +
                            (token.tokenClass == TokenClass::WideValue
                                 ? ": a field needs a place of its own"
                                 : ""));
            }
            expected.checks_.push_back({*token.check, expected.EndChecksSize(), true});
            continue;
        }
        if (token.tokenClass == TokenClass::Comment && role == Role::kAnswer) {
            return note(quoted + " is a comment, which makes the cell a note");
        }
        if (token.tokenClass == TokenClass::WideValue) {
            expected.AddField(token, assembly);
            continue;
        }
        if (token.tokenClass == TokenClass::Length) {
            lengthByte = assembly.Bytes().size() + 1;
        } else if (token.tokenClass == TokenClass::Checksum) {
            checksumByte = assembly.Bytes().size() + 1;
        }
        if (token.tokenClass == TokenClass::Check) {
            // Its range is the answer's to meet, so it is checked with the answer.
            expected.checks_.push_back({*token.check, assembly.Bytes().size(), false});
            assembly.AppendOwn(std::string(token.check->Size(), '\0'));
        } else if (token.tokenClass != TokenClass::Variable) {
            // Only a Variable reads a cell, so this throws for the size alone.
            assembly.Append(token, inputs);
        } else if (token.text == kAnyByte || (token.text == kAnyTail && role == Role::kRequest &&
                                              !OnlyChecksAfter(tokens, i))) {
            // In a Command cell the builder writes a "*" before other tokens as a variable's byte.
            anyBytes.push_back(assembly.Bytes().size());
            assembly.AppendOwn(std::string_view("", 1));
        } else if (token.text == kAnyTail) {
            expected.anyTail_ = true;
            assembly.AppendOwn({});
        } else if (role == Role::kRequest) {
            // The host wrote the variable's value, its copies: the first is kept by its name.
            if (token.repeat > 0) {
                expected.fields_.push_back(
                    {std::string(token.text), ByteType(), assembly.Bytes().size()});
                for (int k = 1; k < token.repeat; ++k) {
                    anyBytes.push_back(assembly.Bytes().size() + static_cast<std::size_t>(k));
                }
            }
            assembly.AppendOwn(std::string(static_cast<std::size_t>(token.repeat), '\0'));
        } else if (IsHexPair(token.text)) {
            const char byte = static_cast<char>(HexToInteger(token.text));
            assembly.AppendOwn(std::string_view(&byte, 1));
        } else {
            return note(quoted +
                        " is no byte, keyword, check, field or wildcard: the cell is a note");
        }
    }
    std::vector<Slot> slots;
    for (const char byte : assembly.Bytes()) {
        slots.push_back({Expect::kByte, byte});
    }
    for (const std::size_t index : anyBytes) {
        slots[index] = {Expect::kAnyByte, '\0'};
    }
    for (const AnswerCheck& check : expected.checks_) {
        for (std::size_t k = 0; !check.atEnd && k < check.token.Size(); ++k) {
            slots[check.at + k] = {Expect::kCheck, '\0'};
        }
    }
    for (const ResponseField& field : expected.fields_) {
        for (std::size_t k = 0; k < field.type.size; ++k) {
            slots[field.at + k] = {Expect::kField, '\0'};
        }
    }
    expected.slots_ = WithChecks(slots, lengthByte, checksumByte);
    std::vector<Slot> asBuilt =
        WithChecks(std::move(slots), assembly.LengthPos(), assembly.ChecksumPos());
    if (asBuilt != expected.slots_) {
        expected.asBuilt_ = std::move(asBuilt);
    }
    return expected;
}

std::vector<ExpectedResponse::Slot> ExpectedResponse::WithChecks(std::vector<Slot> slots,
                                                                 std::size_t lengthPlace,
                                                                 std::size_t checksumPlace) {
    // Never outside the expected bytes; a check is written after the length, over its byte.
    if (lengthPlace >= 1 && lengthPlace <= slots.size() &&
        slots[lengthPlace - 1].expect != Expect::kCheck) {
        slots[lengthPlace - 1] = {Expect::kLength, '\0'};
    }
    if (checksumPlace >= 1 && checksumPlace <= slots.size()) {
        Slot& slot = slots[checksumPlace - 1];
        slot = {Expect::kChecksum, slot.byte, slot.expect};
    }
    return slots;
}

ResponseVerdict ExpectedResponse::Check(std::string_view answer) const {
    ResponseVerdict verdict = CheckSlots(slots_, answer);
    if (!verdict.matches && asBuilt_ && CheckSlots(*asBuilt_, answer).matches) {
        verdict = {true, "", {}};
    }
    if (verdict.matches) {
        verdict.fields = ReadFields(answer);
    }
    return verdict;
}

void ExpectedResponse::AddField(const FrameToken& token, FrameAssembly& assembly) {
    const std::string_view text = token.text;
    ResponseField field{std::string(text.substr(0, text.rfind(':'))), token.wide,
                        assembly.Bytes().size()};
    if (field.type.kind == WideType::Kind::Bits && !fields_.empty() &&
        fields_.back().type.kind == WideType::Kind::Bits &&
        fields_.back().at + 1 == assembly.Bytes().size()) {
        // The byte of the bit fields just before, unless their bits overlap.
        unsigned used = 0;
        for (auto it = fields_.rbegin(); it != fields_.rend() && it->at == field.at - 1; ++it) {
            used |= BitMask(it->type);
        }
        if ((used & BitMask(field.type)) == 0) {
            field.at -= 1;
            fields_.push_back(std::move(field));
            assembly.AppendOwn({});
            return;
        }
    }
    assembly.AppendOwn(std::string(field.type.size, '\0'));
    fields_.push_back(std::move(field));
}

std::vector<ReadValue> ExpectedResponse::ReadFields(std::string_view answer) const {
    std::vector<ReadValue> values;
    for (const ResponseField& field : fields_) {
        values.push_back(
            {field.name, ReadField(field.type, answer.substr(field.at, field.type.size))});
    }
    return values;
}

std::optional<std::size_t> ExpectedResponse::LengthAt() const {
    const auto length = std::find_if(slots_.begin(), slots_.end(), [](const Slot& slot) {
        return slot.expect == Expect::kLength || slot.beneath == Expect::kLength;
    });
    if (length == slots_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(length - slots_.begin());
}

std::optional<std::size_t> ExpectedResponse::CheckedSize() const {
    const bool sum = std::any_of(slots_.begin(), slots_.end(),
                                 [](const Slot& slot) { return slot.expect == Expect::kChecksum; });
    if (anyTail_ || (checks_.empty() && !sum)) {
        return std::nullopt;
    }
    return slots_.size() + EndChecksSize();
}

std::size_t ExpectedResponse::EndChecksSize() const {
    std::size_t size = 0;
    for (const AnswerCheck& check : checks_) {
        size += check.atEnd ? check.token.Size() : 0;
    }
    return size;
}

std::optional<std::string> ExpectedResponse::WrongCheck(std::string_view answer) const {
    const std::size_t endStart = answer.size() - EndChecksSize();
    for (const AnswerCheck& check : checks_) {
        const std::size_t at = check.atEnd ? endStart + check.at : check.at;
        CoveredBytes covered;
        try {
            covered = CoveredBy(check.token, at);
        } catch (const ConversionError& error) {
            return error.what();
        }
        const std::string wanted = check.token.Bytes(check.token.algorithm.Compute(
            answer.substr(covered.begin, covered.end - covered.begin)));
        const std::string_view got = answer.substr(at, wanted.size());
        if (got != wanted) {
            return check.token.Text() + " is " + HexBytes(got) + ", expected " + HexBytes(wanted);
        }
    }
    return std::nullopt;
}

ResponseVerdict ExpectedResponse::CheckSlots(const std::vector<Slot>& slots,
                                             std::string_view answer) const {
    if (answer.empty() && !slots.empty()) {
        return Failed("no answer");
    }
    const auto length = static_cast<char>(answer.size() & 0xFF);
    const std::size_t common = std::min(answer.size(), slots.size());
    for (std::size_t k = 0; k < common; ++k) {
        const char got = answer[k];
        const Slot& slot = slots[k];
        switch (slot.expect) {
            case Expect::kByte:
                if (got != slot.byte) {
                    return Failed(Differs(k, got, slot.byte, ""));
                }
                break;
            case Expect::kAnyByte:
            case Expect::kCheck:
            case Expect::kField:
                break;
            case Expect::kLength:
                if (got != length) {
                    return Failed(Differs(k, got, length, " (the length)"));
                }
                break;
            case Expect::kChecksum: {
                if (slot.beneath != Expect::kByte && slot.beneath != Expect::kLength) {
                    break;  // it replaced a byte of any value: its sum cannot be known
                }
                const char replaced = slot.beneath == Expect::kLength ? length : slot.byte;
                const char sum = static_cast<char>(ByteSum(answer) - got + replaced);
                if (got != sum) {
                    return Failed(Differs(k, got, sum, " (the checksum)"));
                }
                break;
            }
        }
    }
    const std::size_t least = slots.size() + EndChecksSize();
    const bool sizeFits = anyTail_ ? answer.size() >= least : answer.size() == least;
    if (!sizeFits) {
        return Failed(Bytes(answer.size()) + ", expected " + (anyTail_ ? "at least " : "") +
                      Bytes(least));
    }
    if (const auto wrong = WrongCheck(answer)) {
        return Failed(*wrong);
    }
    return ResponseVerdict{true, "", {}};
}

std::string ExpectedResponse::Text() const {
    std::string text;
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        const Slot& slot = slots_[k];
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
            case Expect::kField: {
                bool starts = false;
                for (const ResponseField& field : fields_) {
                    if (field.at == k) {
                        text += (starts ? " " : "") + field.name + ":" + field.type.Name();
                        starts = true;
                    }
                }
                if (!starts) {
                    continue;  // a later byte of the field
                }
                break;
            }
            case Expect::kCheck: {
                const auto starts = std::find_if(
                    checks_.begin(), checks_.end(),
                    [k](const AnswerCheck& check) { return !check.atEnd && check.at == k; });
                if (starts == checks_.end()) {
                    continue;  // a later byte of the check
                }
                text += starts->token.Text();
                break;
            }
        }
        text += ' ';
    }
    if (anyTail_) {
        text += kAnyTail;
        for (const AnswerCheck& check : checks_) {
            text += check.atEnd ? " " + check.token.Text() : "";
        }
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

std::string FieldsText(const std::vector<ReadValue>& fields) {
    std::string text;
    for (const ReadValue& field : fields) {
        if (!text.empty()) {
            text += ' ';
        }
        text += field.name + "=" + field.value.text;
    }
    return text;
}

}  // namespace brantel
