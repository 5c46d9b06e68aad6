#include "frames/frame_explanation.h"

#include <algorithm>

#include "commands/command_row.h"
#include "frames/frame_builder.h"
#include "platform/ascii_case.h"
#include "text/integers.h"

namespace brantel {

namespace {

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    return upper;
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// In backquotes, a control character written as an escape so that the text shows it.
std::string Quoted(std::string_view token) {
    std::string quoted = "`";
    for (const char c : token) {
        if (c == '\t') {
            quoted += "\\t";
        } else if (IsControl(c)) {
            quoted += "\\x" + HexText(static_cast<unsigned char>(c), 2);
        } else {
            quoted += c;
        }
    }
    return quoted + "`";
}

std::string Times(int repeat) {
    static const char* const kTimes[] = {"zero times",  "once",       "twice",     "three times",
                                         "four times",  "five times", "six times", "seven times",
                                         "eight times", "nine times"};
    return kTimes[repeat];
}

// A variable written like hexadecimal bytes, e.g. `C4` pasted from a frame in a manual.
void WarnHexLookingVariable(const TokenExplanation& token, std::vector<std::string>& warnings) {
    const std::string& text = token.text;
    if (text.size() < 2 || !std::all_of(text.begin(), text.end(), IsHexDigit)) {
        return;
    }
    std::string bytes;
    std::string fix;
    // Pairs from the end, so an odd first digit stands alone.
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t width = (text.size() - at) % 2 == 1 ? 1 : 2;
        const std::string pair = text.substr(at, width);
        bytes += (bytes.empty() ? "" : " ") + UpperCase(width == 1 ? "0" + pair : pair);
        fix += (fix.empty() ? "" : " ") + (IsDecimalDigit(pair.front()) ? pair : "0" + pair);
        at += width;
    }
    const bool one = text.size() <= 2;
    warnings.push_back(Quoted(text) + " reads variable " + std::to_string(token.variable) + " " +
                       Times(token.repeat) + "; for the " + (one ? "byte " : "bytes ") + bytes +
                       " write " + Quoted(fix));
}

void WarnVariable(const TokenExplanation& token, std::vector<std::string>& warnings) {
    WarnHexLookingVariable(token, warnings);
    if (LooksLikeCheck(token.text)) {
        warnings.push_back(Quoted(token.text) + " is no check: it reads variable " +
                           std::to_string(token.variable) + " " + Times(token.repeat) +
                           "; the closest check is " + Quoted(ClosestCheckName(token.text)));
    }
    const std::string upper = UpperCase(token.text);
    if (upper == "A" || upper == "L" || upper == "CRC") {
        warnings.push_back(Quoted(token.text) + " is variable " + std::to_string(token.variable) +
                           ": keywords are upper case, write " + Quoted(upper));
    }
    if (token.variable > kMaxVariables) {
        warnings.push_back(Quoted(token.text) + " is variable " + std::to_string(token.variable) +
                           ", but a row has " + std::to_string(kMaxVariables) +
                           " variable cells: it reads empty text");
    }
}

// Why a token named like a parameter never reaches the parameter test; nullptr when it does.
const char* Shadow(TokenClass tokenClass) {
    switch (tokenClass) {
        case TokenClass::HexByte:
            return ": a token that starts with a digit is a hex byte";
        case TokenClass::Address:
            return " by the address keyword";
        case TokenClass::Length:
            return " by the length keyword";
        case TokenClass::Checksum:
            return " by the checksum keyword";
        case TokenClass::Comment:
            return ": a token with `[` is a comment";
        case TokenClass::Check:
            return " by the check of that name";
        case TokenClass::WideValue:
            return " by the wide value of that type";
        default:
            return nullptr;
    }
}

void WarnOnce(std::string warning, std::vector<std::string>& warnings) {
    if (std::find(warnings.begin(), warnings.end(), warning) == warnings.end()) {
        warnings.push_back(std::move(warning));
    }
}

// Whether the token is a parameter that an earlier test takes, and a warning says so.
bool WarnShadowedParameter(const TokenExplanation& token, const FrameInputs& inputs,
                           std::vector<std::string>& warnings) {
    const char* shadow = Shadow(token.tokenClass);
    if (shadow == nullptr || inputs.LookupNamedParam(token.text) == nullptr) {
        return false;
    }
    WarnOnce("parameter " + Quoted(token.text) + " is shadowed" + shadow, warnings);
    return true;
}

// A tab pasted between two tokens joins them into one; whether the token holds one.
bool WarnControlCharacter(const TokenExplanation& token, std::vector<std::string>& warnings) {
    const auto control = std::find_if(token.text.begin(), token.text.end(), IsControl);
    if (control == token.text.end()) {
        return false;
    }
    warnings.push_back(Quoted(token.text) + " holds " +
                       (*control == '\t' ? "a tab" : "a control character") +
                       ": only spaces separate tokens");
    return true;
}

// A token that starts with a digit but is no hexadecimal number, e.g. `0x10`, gives $00.
void WarnNotHexByte(const TokenExplanation& token, std::vector<std::string>& warnings) {
    if (!TryHexToInteger(token.text)) {
        warnings.push_back(Quoted(token.text) +
                           " starts with a digit but is not hexadecimal: it gives the byte 00");
    }
}

// An address the builder cannot read gives $00 for every `A`.
void WarnAddress(const std::vector<TokenExplanation>& tokens, const FrameInputs& inputs,
                 std::vector<std::string>& warnings) {
    const bool named = std::any_of(tokens.begin(), tokens.end(), [](const TokenExplanation& token) {
        return token.tokenClass == TokenClass::Address;
    });
    if (!named) {
        return;
    }
    if (auto warning = AddressWarning(inputs.AddressText())) {
        warnings.push_back(std::move(*warning));
    }
}

void WarnToken(const TokenExplanation& token, const FrameInputs& inputs,
               std::vector<std::string>& warnings) {
    const bool control = WarnControlCharacter(token, warnings);
    if (token.tokenClass == TokenClass::Variable) {
        WarnVariable(token, warnings);
    } else if (!WarnShadowedParameter(token, inputs, warnings) && !control &&
               token.tokenClass == TokenClass::HexByte) {
        WarnNotHexByte(token, warnings);
    }
}

// The classes whose tokens can append other than one byte.
const char* ShifterName(TokenClass tokenClass) {
    switch (tokenClass) {
        case TokenClass::Parameter:
            return "parameter";
        case TokenClass::Variable:
            return "variable";
        case TokenClass::Check:
            return "check";
        case TokenClass::WideValue:
            return "wide value";
        default:
            return "comment";
    }
}

// The tokens before `end` that appended other than one byte, which move a patch off its
// placeholder.
std::string Shifters(const std::vector<TokenExplanation>& tokens, std::size_t end) {
    constexpr int kNamed = 3;
    std::vector<std::string> named;
    int more = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const TokenExplanation& token = tokens[i];
        if (token.bytes.size() == 1) {
            continue;
        }
        if (static_cast<int>(named.size()) == kNamed) {
            ++more;
            continue;
        }
        named.push_back("the " + std::to_string(token.bytes.size()) + "-byte " +
                        ShifterName(token.tokenClass) + " " + Quoted(token.text));
    }
    std::string list;
    for (std::size_t i = 0; i < named.size(); ++i) {
        const bool last = i + 1 == named.size() && more == 0;
        list += (i == 0 ? "" : last ? " and " : ", ") + named[i];
    }
    return more == 0 ? list : list + " and " + std::to_string(more) + " more";
}

// Where the last "L" or "CRC" is written against where its placeholder is, and the earlier
// ones that are never written.
void WarnPatch(const std::vector<TokenExplanation>& tokens, TokenClass keyword,
               std::size_t position, std::size_t frameSize, std::vector<std::string>& warnings) {
    if (position == 0) {
        return;
    }
    const bool length = keyword == TokenClass::Length;
    const std::string name = Quoted(length ? "L" : "CRC");
    for (std::size_t i = 0; i + 1 < position; ++i) {
        if (tokens[i].tokenClass == keyword) {
            warnings.push_back("only the last " + name + " is written; the one at byte " +
                               std::to_string(tokens[i].firstByte) + " keeps its placeholder");
        }
    }
    const std::size_t field = tokens[position - 1].firstByte;
    if (position > frameSize) {
        warnings.push_back(name + " lies past the end of the frame (byte " +
                           std::to_string(position) + " of " + std::to_string(frameSize) +
                           "): not written");
    } else if (position != field) {
        warnings.push_back(name + " patches byte " + std::to_string(position) + ", but the " +
                           (length ? "length" : "checksum") + " field is at byte " +
                           std::to_string(field) + " after " + Shifters(tokens, position - 1));
    }
}

// Checks go where they stand, but `L` goes by token count: a check of other than one byte
// before it moves the length off its field.
void WarnCheckBeforeLength(const std::vector<TokenExplanation>& tokens, std::size_t lengthPos,
                           std::vector<std::string>& warnings) {
    if (lengthPos == 0 || lengthPos > tokens.size() ||
        lengthPos == tokens[lengthPos - 1].firstByte) {
        return;
    }
    for (std::size_t i = 0; i + 1 < lengthPos; ++i) {
        if (tokens[i].tokenClass == TokenClass::Check && tokens[i].bytes.size() != 1) {
            warnings.push_back("the check " + Quoted(tokens[i].text) +
                               " before `L` moves the length off its field: place it after `L`");
        }
    }
}

// The 8-bit sum of `CRC` is patched after every other check, over their bytes too.
void WarnSumBesideChecks(const std::vector<TokenExplanation>& tokens,
                         std::vector<std::string>& warnings) {
    const auto is = [](TokenClass tokenClass) {
        return
            [tokenClass](const TokenExplanation& token) { return token.tokenClass == tokenClass; };
    };
    const auto check = std::find_if(tokens.begin(), tokens.end(), is(TokenClass::Check));
    if (check != tokens.end() &&
        std::any_of(tokens.begin(), tokens.end(), is(TokenClass::Checksum))) {
        warnings.push_back("`CRC` adds the 8-bit sum at its token's index after " +
                           Quoted(check->text) +
                           " is written, over it too; for a sum at its own place write `SUM-8`");
    }
}

// The cell a variable reads, by its column's header.
std::string CellName(int variable) {
    if (variable > kMaxVariables) {
        return "variable " + std::to_string(variable) + ", past the last cell";
    }
    const std::string header = ColumnHeader(kFirstVariableColumn + variable - 1);
    return IsDecimalDigit(header.front()) ? "column " + header : header;
}

// The token stops the build; only the first such token gives the build's error.
void Fail(const std::string& place, const ConversionError& error, TokenExplanation& entry,
          FrameExplanation& explanation) {
    entry.failed = true;
    if (explanation.built) {
        explanation.built = false;
        explanation.error = error.what();
        explanation.failure = place.empty() ? explanation.error : place + ": " + explanation.error;
    }
}

// Appends the token as the builder does. A variable whose cell fails, or a check whose range
// does, is placed as $00 bytes, so the tokens after it still find their places and warnings.
void Place(const FrameToken& token, const FrameInputs& inputs, FrameAssembly& assembly,
           TokenExplanation& entry, FrameExplanation& explanation) {
    try {
        assembly.Append(token, inputs);
        return;
    } catch (const FrameTooLongError&) {
        throw;
    } catch (const ConversionError& error) {
        // A check's message names the token already.
        Fail(token.tokenClass == TokenClass::Check
                 ? ""
                 : Quoted(entry.text) + " reads " + CellName(entry.variable),
             error, entry, explanation);
    }
    assembly.AppendZeros(token);
}

std::vector<CheckExplanation> ExplainChecks(
    const std::vector<FrameAssembly::PlacedCheck>& placedChecks, const std::string& frame) {
    std::vector<CheckExplanation> checks;
    for (const FrameAssembly::PlacedCheck& placed : placedChecks) {
        const CheckToken& check = *placed.check;
        checks.push_back({placed.token, check.Text(), check.algorithm.Description(),
                          placed.covered.begin + 1, placed.covered.end, placed.at + 1,
                          frame.substr(placed.at, check.Size())});
    }
    return checks;
}

}  // namespace

std::optional<std::string> AddressWarning(std::string_view address) {
    if (TryHexToInteger(address)) {
        return std::nullopt;
    }
    return "the address " +
           (address.empty() ? std::string("is empty") : Quoted(address) + " is not hexadecimal") +
           ": `A` gives the byte 00";
}

FrameExplanation ExplainFrame(std::string_view frameTemplate, const FrameInputs& inputs) {
    const std::vector<FrameToken> tokens = ClassifyTokens(frameTemplate, inputs);
    FrameAssembly assembly(tokens.size());
    FrameExplanation explanation;
    explanation.built = true;
    explanation.tokens.reserve(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const FrameToken& token = tokens[i];
        TokenExplanation& entry = explanation.tokens.emplace_back();
        entry.text = token.text;
        entry.tokenClass = token.tokenClass;
        entry.variable = token.variable;
        entry.repeat = token.repeat;
        entry.firstByte = assembly.Bytes().size() + 1;
        try {
            Place(token, inputs, assembly, entry, explanation);
        } catch (const FrameTooLongError& error) {
            // Nothing more is placed: its bytes would not fit.
            Fail(Quoted(entry.text) + ", token " + std::to_string(i + 1), error, entry,
                 explanation);
            break;
        }
        entry.bytes = assembly.Bytes().substr(entry.firstByte - 1);
    }
    explanation.lengthPos = assembly.LengthPos();
    explanation.checksumPos = assembly.ChecksumPos();
    std::vector<std::string>& warnings = explanation.warnings;
    for (const TokenExplanation& token : explanation.tokens) {
        WarnToken(token, inputs, warnings);
    }
    WarnAddress(explanation.tokens, inputs, warnings);
    const std::size_t frameSize = assembly.Bytes().size();
    WarnPatch(explanation.tokens, TokenClass::Length, explanation.lengthPos, frameSize, warnings);
    WarnPatch(explanation.tokens, TokenClass::Checksum, explanation.checksumPos, frameSize,
              warnings);
    WarnCheckBeforeLength(explanation.tokens, explanation.lengthPos, warnings);
    WarnSumBesideChecks(explanation.tokens, warnings);
    if (explanation.built) {
        const std::vector<FrameAssembly::PlacedCheck> placed = assembly.Checks();
        explanation.frame = std::move(assembly).Finish();
        explanation.checks = ExplainChecks(placed, explanation.frame);
    }
    return explanation;
}

}  // namespace brantel
