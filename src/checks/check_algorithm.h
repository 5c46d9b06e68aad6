#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "checks/crc_engine.h"

namespace brantel {

enum class CheckFamily { Crc, Sum8, Sum16, Xor8, Lrc8, Fletcher16, Adler32 };

// A check a frame can carry: a CRC (of the catalogue or given by its parameters) or one of the
// sums.
struct CheckAlgorithm {
    std::string name;  // as a template names it: "CRC-16/MODBUS", "CRC-16(1021,FFFF,0,0,0)"
    CheckFamily family = CheckFamily::Crc;
    CrcModel crc;  // for a CRC

    int Width() const;  // in bits
    std::size_t Size() const { return (static_cast<std::size_t>(Width()) + 7) / 8; }
    // The byte order when the token forces none: a reflected CRC goes least significant first.
    bool LeastFirstByDefault() const { return family == CheckFamily::Crc && crc.refout; }
    std::uint64_t Compute(std::string_view bytes) const;
    // A value as upper-case hex digits, as many as the width takes: "4B37", "0A".
    std::string Digits(std::uint64_t value) const;
    // The parameters in words, for explanations and the list of checks.
    std::string Description() const;
};

// The sums, XOR, LRC, Fletcher and Adler, in the order a search tries them.
std::span<const CheckAlgorithm> OtherChecks();

// Every check by name: the catalogue's CRCs in its order, then the other checks.
std::span<const CheckAlgorithm> AllChecks();

// The check a name gives: a catalogue name or accepted alias, a sum's name, or the generic
// form "CRC-<width>(<poly>,<init>,<refin>,<refout>,<xorout>)" with hexadecimal values and 0 or 1
// for the reflections. nullopt for anything else, lower case included.
std::optional<CheckAlgorithm> FindCheckAlgorithm(std::string_view name);

// Of every name a template can give a check by (catalogue names, aliases, the other checks),
// the one closest to a mistyped name, case and punctuation aside.
std::string_view ClosestCheckName(std::string_view text);

}  // namespace brantel
