#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brantel {

// A decimal number as written, kept exact: mantissa times ten to the exponent.
struct Decimal {
    std::int64_t mantissa = 0;
    int exponent = 0;
    bool operator==(const Decimal&) const = default;
};

// How a token `NAME:TYPE` writes a variable cell (in a Command cell) or reads a field (in a
// Response cell). TYPE is U8, S8, U16, S16, U24, S24, U32, S32 or F32, then BE (the default) or
// LE; a field may instead be one bit or a range of bits of a byte (B0, B4-6), and may turn raw
// counts into units: `*SCALE` then `+OFFSET` or `-OFFSET`, e.g. `T:S16*0.1`, `P:U16*0.01+-40`.
struct WideType {
    enum class Kind { Unsigned, Signed, Float, Bits };
    Kind kind = Kind::Unsigned;
    std::size_t size = 2;  // bytes; 1 for bits
    bool littleEndian = false;
    int firstBit = 0;  // for bits
    int lastBit = 0;
    std::optional<Decimal> scale;
    std::optional<Decimal> offset;

    // What a Command cell can write: a whole number or float, unscaled.
    bool Writable() const { return kind != Kind::Bits && !scale && !offset; }
    std::string Name() const;  // "U16", "S16LE", "B4-6", "S16*0.1+-40", ...
};

// One plain byte, as a variable's copy is read and written.
inline WideType ByteType() {
    WideType type;
    type.size = 1;
    return type;
}

// The name and type of a token `NAME:TYPE`; nullopt for a token of another form.
std::optional<WideType> ParseWideToken(std::string_view token);

// The cell's value as the type's bytes. An integer cell is read as any variable's (decimal, or
// hexadecimal with "$" or "0x" giving the number its digits spell); a float cell takes a
// decimal number. Throws ConversionError when the cell is no number or lies outside the type,
// or the type is a field's only.
std::string WideBytes(const WideType& type, std::string_view token, std::string_view cell);

// The bits of its byte that a bit field takes.
unsigned BitMask(const WideType& type);

// A field's value in units as the type's bytes, the scale and offset undone and rounded to the
// nearest count; a bit field's byte holds its bits, the others clear. Throws ConversionError,
// naming the field, when the value lies outside the type.
std::string FieldBytes(const WideType& type, std::string_view name, double units);

// A field's value read from its bytes (`size` of them, or the one byte of its bits), in units,
// with its shortest exact decimal text: "21.5" for 215 at `*0.1`.
struct FieldValue {
    double value = 0;
    std::string text;
};
FieldValue ReadField(const WideType& type, std::string_view bytes);

}  // namespace brantel
