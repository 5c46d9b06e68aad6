#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brantel {

// How a variable token `NAME:TYPE` writes its cell: TYPE is U16, U24, U32, S16, S24, S32 or
// F32, optionally followed by BE (the default) or LE.
struct WideType {
    enum class Kind { Unsigned, Signed, Float };
    Kind kind = Kind::Unsigned;
    std::size_t size = 2;  // bytes
    bool littleEndian = false;

    std::string Name() const;  // "U16", "S16LE", ...
};

// The type a token names after its last colon; nullopt for a token of another form.
std::optional<WideType> ParseWideToken(std::string_view token);

// The cell's value as the type's bytes. An integer cell is read as any variable's (decimal, or
// hexadecimal with "$" or "0x" giving the number its digits spell); a float cell takes a
// decimal number. Throws ConversionError when the cell is no number or lies outside the type.
std::string WideBytes(const WideType& type, std::string_view cell);

}  // namespace brantel
