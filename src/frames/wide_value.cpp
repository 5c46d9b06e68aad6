#include "frames/wide_value.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "text/integers.h"

namespace brantel {

namespace {

class WideValueError : public ConversionError {
  public:
    explicit WideValueError(const std::string& message) : ConversionError(WholeMessage{message}) {}
};

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

std::string OutOfRange(std::string_view cell, const WideType& type, std::int64_t low,
                       std::int64_t high) {
    return "'" + std::string(cell) + "' is out of range for " + type.Name() + " (" +
           std::to_string(low) + " to " + std::to_string(high) + ")";
}

std::uint64_t CellBits(const WideType& type, std::string_view cell) {
    if (type.kind == WideType::Kind::Float) {
        return std::bit_cast<std::uint32_t>(CellFloat(cell));
    }
    const int bits = static_cast<int>(type.size * 8);
    const bool isSigned = type.kind == WideType::Kind::Signed;
    const std::int64_t low = isSigned ? -(std::int64_t{1} << (bits - 1)) : 0;
    const std::int64_t high = (std::int64_t{1} << (isSigned ? bits - 1 : bits)) - 1;
    const std::int64_t value = CellInteger(cell);
    if (value < low || value > high) {
        throw WideValueError(OutOfRange(cell, type, low, high));
    }
    return static_cast<std::uint64_t>(value);
}

}  // namespace

std::string WideType::Name() const {
    const char letter = kind == Kind::Unsigned ? 'U' : kind == Kind::Signed ? 'S' : 'F';
    return letter + std::to_string(size * 8) + (littleEndian ? "LE" : "");
}

std::optional<WideType> ParseWideToken(std::string_view token) {
    const std::size_t colon = token.rfind(':');
    if (colon == 0 || colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view name = token.substr(colon + 1);
    WideType type;
    if (name.ends_with("LE") || name.ends_with("BE")) {
        type.littleEndian = name.ends_with("LE");
        name.remove_suffix(2);
    }
    for (const WideType::Kind kind :
         {WideType::Kind::Unsigned, WideType::Kind::Signed, WideType::Kind::Float}) {
        for (const std::size_t size : {2, 3, 4}) {
            type.kind = kind;
            type.size = size;
            if ((kind != WideType::Kind::Float || size == 4) &&
                WideType{kind, size, false}.Name() == name) {
                return type;
            }
        }
    }
    return std::nullopt;
}

std::string WideBytes(const WideType& type, std::string_view cell) {
    const std::uint64_t bits = CellBits(type, cell);
    std::string bytes(type.size, '\0');
    for (std::size_t i = 0; i < type.size; ++i) {
        bytes[type.littleEndian ? i : type.size - 1 - i] =
            static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return bytes;
}

}  // namespace brantel
