#include "text/integers.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace brantel {

namespace {

std::string ConversionMessage(std::string_view text) {
    std::string message("'");
    message.append(text);
    message.append("' is not a valid integer value");
    return message;
}

}  // namespace

ConversionError::ConversionError(std::string_view text)
    : std::runtime_error(ConversionMessage(text)) {}

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Digits only, at least one; the magnitude stops growing past `limit` so it never overflows.
std::optional<std::uint64_t> ReadDigits(std::string_view digits, int base, std::uint64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::int32_t> TryParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    const std::string_view rest = text.substr(i);
    std::size_t prefix = 0;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        prefix = 1;
    } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
        prefix = 2;
    }
    if (prefix > 0) {
        const auto value = ReadDigits(rest.substr(prefix), 16, 0xFFFFFFFFu);
        if (!value) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
    }
    const bool negative = rest.starts_with('-');
    const std::size_t sign = (negative || rest.starts_with('+')) ? 1 : 0;
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    const auto magnitude = ReadDigits(rest.substr(sign), 10, limit);
    if (!magnitude) {
        return std::nullopt;
    }
    const auto value = static_cast<std::int64_t>(*magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::int32_t ParseInteger(std::string_view text) {
    if (const auto value = TryParseInteger(text)) {
        return *value;
    }
    throw ConversionError(text);
}

std::int32_t ParseIntegerOr(std::string_view text, std::int32_t fallback) {
    return TryParseInteger(text).value_or(fallback);
}

std::int32_t HexToInteger(std::string_view text) {
    return TryHexToInteger(text).value_or(0);
}

std::optional<std::int32_t> TryHexToInteger(std::string_view text) {
    if (text.find('$') != std::string_view::npos) {
        return TryParseInteger(text);
    }
    std::string prefixed("$");
    prefixed.append(text);
    return TryParseInteger(prefixed);
}

std::string HexText(std::int32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string reversed;
    do {
        reversed += kDigits[bits & 0xF];
        bits >>= 4;
    } while (bits != 0);
    // Widths above 16 are treated as no width at all.
    if (digits <= 16 && static_cast<int>(reversed.size()) < digits) {
        reversed.append(digits - reversed.size(), '0');
    }
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string IntegerText(std::int32_t value) {
    return std::to_string(value);
}

}  // namespace brantel
