#include "checks/check_token.h"

#include <cctype>
#include <charconv>

#include "text/integers.h"

namespace brantel {

namespace {

constexpr std::string_view kRangeDots = "..";

class CheckRangeError : public ConversionError {
  public:
    explicit CheckRangeError(const std::string& message) : ConversionError(WholeMessage{message}) {}
};

std::optional<int> ParseNumber(std::string_view text) {
    int value = 0;
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "FIRST..LAST", either side may be left out for its default.
bool ParseRange(std::string_view text, CheckToken& check) {
    const std::size_t dots = text.find(kRangeDots);
    if (dots == std::string_view::npos) {
        return false;
    }
    const std::string_view first = text.substr(0, dots);
    const std::string_view last = text.substr(dots + kRangeDots.size());
    if (!first.empty()) {
        const auto value = ParseNumber(first);
        if (!value || *value < 1) {
            return false;
        }
        check.first = *value;
    }
    if (!last.empty()) {
        const auto value = ParseNumber(last);
        if (!value || *value == 0) {
            return false;
        }
        check.last = *value;
    }
    return true;
}

// The suffixes after the name, each at most once, one byte order.
bool ParseSuffixes(std::string_view text, CheckToken& check) {
    while (!text.empty()) {
        const std::size_t next = text.find(':', 1);
        const std::string_view suffix = text.substr(0, next);
        if (suffix == ":HEX" && !check.hex) {
            check.hex = true;
        } else if ((suffix == ":BE" || suffix == ":LE") &&
                   check.order == CheckToken::Order::Default) {
            check.order =
                suffix == ":BE" ? CheckToken::Order::BigEndian : CheckToken::Order::LittleEndian;
        } else {
            return false;
        }
        text.remove_prefix(suffix.size());
    }
    return true;
}

std::string Place(long long position) {
    return "byte " + std::to_string(position);
}

}  // namespace

bool CheckToken::LeastFirst() const {
    return order == Order::Default ? algorithm.LeastFirstByDefault() : order == Order::LittleEndian;
}

std::string CheckToken::Bytes(std::uint64_t value) const {
    const std::size_t size = algorithm.Size();
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t at = LeastFirst() ? i : size - 1 - i;
        bytes[at] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    if (!hex) {
        return bytes;
    }
    std::string digits;
    for (const char byte : bytes) {
        digits += HexText(static_cast<unsigned char>(byte), 2);
    }
    return digits;
}

std::string CheckToken::Text() const {
    std::string text = algorithm.name;
    if (first != 1 || last != -1) {
        text += "(" + std::to_string(first) + std::string(kRangeDots) +
                (last != -1 ? std::to_string(last) : "") + ")";
    }
    if (order != Order::Default && LeastFirst() != algorithm.LeastFirstByDefault()) {
        text += LeastFirst() ? ":LE" : ":BE";
    }
    return hex ? text + ":HEX" : text;
}

std::optional<CheckToken> ParseCheckToken(std::string_view text) {
    CheckToken check;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos && !ParseSuffixes(text.substr(colon), check)) {
        return std::nullopt;
    }
    std::string_view name = text.substr(0, colon);
    if (auto algorithm = FindCheckAlgorithm(name)) {
        check.algorithm = std::move(*algorithm);
        return check;
    }
    const std::size_t open = name.rfind('(');
    if (open == std::string_view::npos || !name.ends_with(')') ||
        !ParseRange(name.substr(open + 1, name.size() - open - 2), check)) {
        return std::nullopt;
    }
    auto algorithm = FindCheckAlgorithm(name.substr(0, open));
    if (!algorithm) {
        return std::nullopt;
    }
    check.algorithm = std::move(*algorithm);
    return check;
}

CoveredBytes CoveredBy(const CheckToken& check, std::size_t at) {
    const auto before = static_cast<long long>(at);
    const long long first = check.first;
    const long long last = check.last < 0 ? before + 1 + check.last : check.last;
    const auto where = [&] { return "`" + check.Text() + "` at " + Place(before + 1); };
    if (before == 0) {
        throw CheckRangeError(where() + " has no bytes before it to cover");
    }
    if (first > last || last > before || last < 1) {
        throw CheckRangeError(where() + " would cover bytes " + std::to_string(first) + " to " +
                              std::to_string(last) + ", but only bytes 1 to " +
                              std::to_string(before) + " lie before it");
    }
    return {static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last)};
}

bool LooksLikeCheck(std::string_view text) {
    static constexpr std::string_view kPrefixes[] = {"CRC", "SUM",      "XOR",
                                                     "LRC", "FLETCHER", "ADLER"};
    std::string upper;
    for (const char c : text) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const std::string_view prefix : kPrefixes) {
        if (upper.starts_with(prefix) && upper != "CRC" &&
            (upper.size() == prefix.size() ||
             !std::isalpha(static_cast<unsigned char>(upper[prefix.size()])))) {
            return true;
        }
    }
    return false;
}

}  // namespace brantel
