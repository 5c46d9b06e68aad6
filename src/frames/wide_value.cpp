#include "frames/wide_value.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "text/integers.h"

namespace brantel {

namespace {

class WideValueError : public ConversionError {
  public:
    explicit WideValueError(const std::string& message) : ConversionError(WholeMessage{message}) {}
};

constexpr int kMaxDecimalDigits = 15;

std::string_view WithoutLeadingSpaces(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The integer a cell holds, in the variables' syntax but wider than 32 bits.
std::int64_t CellInteger(std::string_view cell) {
    std::string_view text = WithoutLeadingSpaces(cell);
    int base = 10;
    for (const std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (text.starts_with(prefix)) {
            text.remove_prefix(prefix.size());
            base = 16;
            break;
        }
    }
    const bool negative = base == 10 && text.starts_with('-');
    if (base == 10 && (negative || text.starts_with('+'))) {
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 40;  // far past every type
    if (text.empty() || end != text.data() + text.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range)) {
        throw ConversionError(cell);
    }
    const auto value =
        static_cast<std::int64_t>(error == std::errc() && magnitude < kLimit ? magnitude : kLimit);
    return negative ? -value : value;
}

float CellFloat(std::string_view cell) {
    const std::string_view text = WithoutLeadingSpaces(cell);
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (text.empty() || end != text.data() + text.size() || !std::isfinite(value) ||
        (error != std::errc() && error != std::errc::result_out_of_range)) {
        throw WideValueError("'" + std::string(cell) + "' is not a valid floating point value");
    }
    if (error == std::errc::result_out_of_range ||
        std::fabs(value) > std::numeric_limits<float>::max()) {
        throw WideValueError("'" + std::string(cell) + "' is out of range for F32");
    }
    return static_cast<float>(value);
}

struct Range {
    std::int64_t low;
    std::int64_t high;
};

Range IntegerRange(const WideType& type) {
    const int bits = static_cast<int>(type.size * 8);
    if (type.kind == WideType::Kind::Signed) {
        return {-(std::int64_t{1} << (bits - 1)), (std::int64_t{1} << (bits - 1)) - 1};
    }
    return {0, (std::int64_t{1} << bits) - 1};
}

std::uint64_t CellBits(const WideType& type, std::string_view cell) {
    if (type.kind == WideType::Kind::Float) {
        return std::bit_cast<std::uint32_t>(CellFloat(cell));
    }
    const Range range = IntegerRange(type);
    const std::int64_t value = CellInteger(cell);
    if (value < range.low || value > range.high) {
        throw WideValueError("'" + std::string(cell) + "' is out of range for " + type.Name() +
                             " (" + std::to_string(range.low) + " to " +
                             std::to_string(range.high) + ")");
    }
    return static_cast<std::uint64_t>(value);
}

// "[-]digits[.digits]", at most 15 digits, kept exact.
std::optional<Decimal> ParseDecimal(std::string_view text) {
    Decimal decimal;
    const bool negative = text.starts_with('-');
    text.remove_prefix(negative ? 1 : 0);
    int digits = 0;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9' && ++digits <= kMaxDecimalDigits) {
            decimal.mantissa = decimal.mantissa * 10 + (c - '0');
            decimal.exponent -= point ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || text.back() == '.') {
        return std::nullopt;
    }
    decimal.mantissa = negative ? -decimal.mantissa : decimal.mantissa;
    return decimal;
}

std::string DecimalText(Decimal decimal) {
    while (decimal.exponent < 0 && decimal.mantissa % 10 == 0) {
        decimal.mantissa /= 10;
        ++decimal.exponent;
    }
    const bool negative = decimal.mantissa < 0;
    std::string digits = std::to_string(negative ? -decimal.mantissa : decimal.mantissa);
    const auto decimals = static_cast<std::size_t>(-decimal.exponent);
    if (decimals > 0) {
        if (digits.size() <= decimals) {
            digits.insert(0, decimals - digits.size() + 1, '0');
        }
        digits.insert(digits.size() - decimals, ".");
    }
    return (negative ? "-" : "") + digits;
}

// Divided by an exact power of ten, so the double is the one nearest the decimal.
double DecimalValue(const Decimal& decimal) {
    const auto mantissa = static_cast<double>(decimal.mantissa);
    return decimal.exponent < 0 ? mantissa / std::pow(10.0, -decimal.exponent)
                                : mantissa * std::pow(10.0, decimal.exponent);
}

// "B3" or "B4-6": bits of one byte, from the least significant.
bool ParseBits(std::string_view text, WideType& type) {
    if (!text.starts_with('B') || text.size() < 2) {
        return false;
    }
    const auto digit = [](char c) { return c >= '0' && c <= '7' ? c - '0' : -1; };
    type.kind = WideType::Kind::Bits;
    type.size = 1;
    type.firstBit = digit(text[1]);
    type.lastBit = type.firstBit;
    if (text.size() == 4 && text[2] == '-') {
        type.lastBit = digit(text[3]);
    } else if (text.size() != 2) {
        return false;
    }
    return type.firstBit >= 0 && type.lastBit >= type.firstBit;
}

bool ParseNumberType(std::string_view text, WideType& type) {
    if (text.ends_with("LE") || text.ends_with("BE")) {
        type.littleEndian = text.ends_with("LE");
        text.remove_suffix(2);
    }
    for (const WideType::Kind kind :
         {WideType::Kind::Unsigned, WideType::Kind::Signed, WideType::Kind::Float}) {
        for (const std::size_t size : {1, 2, 3, 4}) {
            WideType candidate;
            candidate.kind = kind;
            candidate.size = size;
            if ((kind != WideType::Kind::Float || size == 4) && candidate.Name() == text) {
                type.kind = kind;
                type.size = size;
                return true;
            }
        }
    }
    return false;
}

// Whether the bytes' value fits a 64-bit mantissa once scaled: a field's text stays exact.
std::optional<Decimal> ExactUnits(std::int64_t raw, const WideType& type) {
    const Decimal scale = type.scale.value_or(Decimal{1, 0});
    const Decimal offset = type.offset.value_or(Decimal{0, 0});
    const int exponent = std::min(scale.exponent, offset.exponent);
    __int128 value = static_cast<__int128>(raw) * scale.mantissa;
    __int128 shifted = offset.mantissa;
    for (int e = scale.exponent; e > exponent; --e) {
        value *= 10;
    }
    for (int e = offset.exponent; e > exponent; --e) {
        shifted *= 10;
    }
    value += shifted;
    if (value > std::numeric_limits<std::int64_t>::max() ||
        value < std::numeric_limits<std::int64_t>::min()) {
        return std::nullopt;
    }
    return Decimal{static_cast<std::int64_t>(value), exponent};
}

std::string ShortestText(double value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

std::string TypeBytes(const WideType& type, std::uint64_t bits) {
    std::string bytes(type.size, '\0');
    for (std::size_t i = 0; i < type.size; ++i) {
        bytes[type.littleEndian ? i : type.size - 1 - i] =
            static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return bytes;
}

}  // namespace

std::string WideType::Name() const {
    std::string name;
    if (kind == Kind::Bits) {
        name = "B" + std::to_string(firstBit) +
               (lastBit != firstBit ? "-" + std::to_string(lastBit) : "");
    } else {
        const char letter = kind == Kind::Unsigned ? 'U' : kind == Kind::Signed ? 'S' : 'F';
        name = letter + std::to_string(size * 8) + (littleEndian ? "LE" : "");
    }
    if (scale) {
        name += "*" + DecimalText(*scale);
    }
    if (offset) {
        name += "+" + DecimalText(*offset);
    }
    return name;
}

std::optional<WideType> ParseWideToken(std::string_view token) {
    const std::size_t colon = token.rfind(':');
    if (colon == 0 || colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view typeText = token.substr(colon + 1);
    WideType type;
    // The offset's sign is its own ("+-40", "-40", "+5"), after the scale if there is one.
    // The dash of a bit range ("B4-6") is no sign.
    const std::size_t star = typeText.find('*');
    const bool bitRange = typeText.starts_with('B') && typeText.size() > 2 && typeText[2] == '-';
    const std::size_t sign = typeText.find_first_of("+-", star != std::string_view::npos ? star + 2
                                                          : bitRange                     ? 3
                                                                                         : 0);
    if (sign != std::string_view::npos) {
        const std::string_view written = typeText.substr(sign + (typeText[sign] == '+' ? 1 : 0));
        type.offset = ParseDecimal(written);
        if (!type.offset) {
            return std::nullopt;
        }
        typeText = typeText.substr(0, sign);
    }
    if (star != std::string_view::npos) {
        type.scale = ParseDecimal(typeText.substr(star + 1));
        if (!type.scale) {
            return std::nullopt;
        }
        typeText = typeText.substr(0, star);
    }
    if (!ParseBits(typeText, type) && !ParseNumberType(typeText, type)) {
        return std::nullopt;
    }
    return type;
}

unsigned BitMask(const WideType& type) {
    return ((1u << (type.lastBit + 1)) - 1) & ~((1u << type.firstBit) - 1);
}

std::string WideBytes(const WideType& type, std::string_view token, std::string_view cell) {
    if (!type.Writable()) {
        throw WideValueError("`" + std::string(token) +
                             "` reads a field of an answer: a command writes NAME:U16, "
                             "NAME:F32 and the like, without bits or scale");
    }
    return TypeBytes(type, CellBits(type, cell));
}

std::string FieldBytes(const WideType& type, std::string_view name, double units) {
    const double raw = (units - DecimalValue(type.offset.value_or(Decimal{0, 0}))) /
                       DecimalValue(type.scale.value_or(Decimal{1, 0}));
    const std::string outOfRange =
        "the value " + ShortestText(units) + " of " + std::string(name) + " is out of range for ";
    if (type.kind == WideType::Kind::Float) {
        if (!std::isfinite(raw) || std::fabs(raw) > std::numeric_limits<float>::max()) {
            throw WideValueError(outOfRange + type.Name());
        }
        return TypeBytes(type, std::bit_cast<std::uint32_t>(static_cast<float>(raw)));
    }
    const Range range = type.kind == WideType::Kind::Bits
                            ? Range{0, (std::int64_t{1} << (type.lastBit - type.firstBit + 1)) - 1}
                            : IntegerRange(type);
    const double rounded = std::round(raw);
    if (!(rounded >= static_cast<double>(range.low) &&
          rounded <= static_cast<double>(range.high))) {
        throw WideValueError(outOfRange + type.Name() + " (" + std::to_string(range.low) + " to " +
                             std::to_string(range.high) + " raw)");
    }
    const auto bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(rounded));
    return TypeBytes(type, type.kind == WideType::Kind::Bits ? bits << type.firstBit : bits);
}

FieldValue ReadField(const WideType& type, std::string_view bytes) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < type.size; ++i) {
        const auto byte =
            static_cast<unsigned char>(bytes[type.littleEndian ? type.size - 1 - i : i]);
        bits = (bits << 8) | byte;
    }
    if (type.kind == WideType::Kind::Float) {
        const float raw = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!type.scale && !type.offset) {
            std::array<char, 32> text{};
            const auto result = std::to_chars(text.data(), text.data() + text.size(), raw);
            return {raw, std::string(text.data(), result.ptr)};
        }
        const double value = raw * (type.scale ? DecimalValue(*type.scale) : 1.0) +
                             (type.offset ? DecimalValue(*type.offset) : 0.0);
        return {value, ShortestText(value)};
    }
    std::int64_t raw = 0;
    if (type.kind == WideType::Kind::Bits) {
        raw = static_cast<std::int64_t>((bits >> type.firstBit) &
                                        ((1u << (type.lastBit - type.firstBit + 1)) - 1));
    } else if (type.kind == WideType::Kind::Signed) {
        const int shift = 64 - static_cast<int>(type.size * 8);
        raw = static_cast<std::int64_t>(bits << shift) >> shift;
    } else {
        raw = static_cast<std::int64_t>(bits);
    }
    if (const auto exact = ExactUnits(raw, type)) {
        return {DecimalValue(*exact), DecimalText(*exact)};
    }
    const double value =
        static_cast<double>(raw) * DecimalValue(type.scale.value_or(Decimal{1, 0})) +
        DecimalValue(type.offset.value_or(Decimal{0, 0}));
    return {value, ShortestText(value)};
}

}  // namespace brantel
