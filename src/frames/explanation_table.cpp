#include "frames/explanation_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "commands/command_row.h"
#include "text/hex_line.h"

namespace brantel {

namespace {

constexpr std::size_t kTokenBytesShown = 8;
constexpr std::size_t kFrameBytesPerLine = 16;
constexpr std::string_view kFrameLabel = "frame: ";

using Row = std::array<std::string, 5>;

// The bytes as hexadecimal pairs separated by single spaces.
std::string HexBytes(std::string_view bytes) {
    std::string line = HexLine(bytes);
    if (!line.empty()) {
        line.pop_back();
    }
    return line;
}

std::string ClassText(const TokenExplanation& token) {
    switch (token.tokenClass) {
        case TokenClass::HexByte:
            return "hex byte";
        case TokenClass::Address:
            return "address";
        case TokenClass::Length:
            return "length";
        case TokenClass::Checksum:
            return "checksum";
        case TokenClass::Comment:
            return "comment";
        case TokenClass::Check:
            return "check";
        case TokenClass::Parameter:
            return "parameter";
        case TokenClass::WideValue:
        case TokenClass::Variable:
            break;
    }
    const std::string column = token.variable <= kMaxVariables
                                   ? ColumnHeader(kFirstVariableColumn + token.variable - 1)
                                   : "no cell";
    const std::string variable = "variable " + std::to_string(token.variable) + " (" + column + ")";
    if (token.tokenClass == TokenClass::WideValue) {
        return variable + " as " + token.text.substr(token.text.rfind(':') + 1);
    }
    return variable + " x" + std::to_string(token.repeat);
}

std::string BytesText(const TokenExplanation& token) {
    if (token.failed) {
        return "error";
    }
    if (token.bytes.empty()) {
        return "-";
    }
    if (token.bytes.size() <= kTokenBytesShown) {
        return HexBytes(token.bytes);
    }
    return HexBytes(std::string_view(token.bytes).substr(0, kTokenBytesShown)) + " ... (" +
           std::to_string(token.bytes.size()) + " bytes)";
}

std::string PositionText(const TokenExplanation& token) {
    const std::size_t count = token.bytes.size();
    if (count == 0) {
        return "-";
    }
    const std::string first = std::to_string(token.firstByte);
    return count == 1 ? first : first + "-" + std::to_string(token.firstByte + count - 1);
}

std::string TableLines(const std::vector<Row>& rows) {
    std::array<std::size_t, 5> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            line.append(widths[column] - row[column].size() + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    return text;
}

std::string PatchLine(const char* field, const std::string& frame, std::size_t position) {
    if (position == 0 || position > frame.size()) {
        return {};
    }
    return std::string(field) + " " + HexBytes(frame.substr(position - 1, 1)) +
           " written to byte " + std::to_string(position) + "\n";
}

std::string Span(std::size_t first, std::size_t last) {
    return first == last ? "byte " + std::to_string(first)
                         : "bytes " + std::to_string(first) + "-" + std::to_string(last);
}

std::string CheckLine(const CheckExplanation& check) {
    return "check " + check.name + " (" + check.description + ") over " +
           Span(check.firstCovered, check.lastCovered) + ": " + HexBytes(check.value) +
           " written to " + Span(check.firstByte, check.firstByte + check.value.size() - 1) + "\n";
}

std::string FrameLines(const std::string& frame) {
    if (frame.empty()) {
        return std::string(kFrameLabel) + "empty\n";
    }
    std::string text;
    for (std::size_t at = 0; at < frame.size(); at += kFrameBytesPerLine) {
        text += at == 0 ? std::string(kFrameLabel) : std::string(kFrameLabel.size(), ' ');
        text += HexBytes(std::string_view(frame).substr(at, kFrameBytesPerLine)) + "\n";
    }
    return text;
}

}  // namespace

std::string ExplanationTable(const FrameExplanation& explanation) {
    std::string text;
    if (!explanation.tokens.empty()) {
        std::vector<Row> rows{{"#", "token", "class", "bytes", "at"}};
        rows.reserve(explanation.tokens.size() + 1);
        for (std::size_t i = 0; i < explanation.tokens.size(); ++i) {
            const TokenExplanation& token = explanation.tokens[i];
            rows.push_back({std::to_string(i + 1), token.text, ClassText(token), BytesText(token),
                            PositionText(token)});
        }
        text = TableLines(rows);
    }
    if (explanation.built) {
        text += PatchLine("length", explanation.frame, explanation.lengthPos);
        for (const CheckExplanation& check : explanation.checks) {
            text += CheckLine(check);
        }
        text += PatchLine("checksum", explanation.frame, explanation.checksumPos);
        text += FrameLines(explanation.frame);
    } else {
        text += "error: " + explanation.error + "\n";
    }
    return text + WarningLines(explanation);
}

std::string WarningLines(const FrameExplanation& explanation) {
    std::string text;
    for (const std::string& warning : explanation.warnings) {
        text += "warning: " + warning + "\n";
    }
    return text;
}

}  // namespace brantel
