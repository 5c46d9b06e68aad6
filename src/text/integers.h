#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brantel {

// Raised by ParseInteger: "'<text>' is not a valid integer value"; a subtype, for another text
// that cannot become bytes, has its own message.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(std::string_view text);

  protected:
    // For a subtype whose message is not about an integer.
    struct WholeMessage {
        std::string text;
    };
    explicit ConversionError(const WholeMessage& message) : std::runtime_error(message.text) {}
};

// Decimal with optional sign, or "$", "x", "X", "0x", "0X" hexadecimal (32-bit two's
// complement); leading spaces only. Throws ConversionError on invalid text.
std::int32_t ParseInteger(std::string_view text);
std::int32_t ParseIntegerOr(std::string_view text, std::int32_t fallback);
// Hexadecimal text, "$" put in front when the text holds none; 0 when invalid.
std::int32_t HexToInteger(std::string_view text);
// The same reading, nullopt when invalid: what HexToInteger turns into 0 without saying.
std::optional<std::int32_t> TryHexToInteger(std::string_view text);
// Upper-case hexadecimal of the value taken as unsigned 32-bit, zero-padded to `digits`.
std::string HexText(std::int32_t value, int digits);
std::string IntegerText(std::int32_t value);

}  // namespace brantel
