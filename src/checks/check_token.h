#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "checks/check_algorithm.h"

namespace brantel {

// A check's token: the algorithm, the bytes it covers and how its value is written.
//   NAME[(FIRST..LAST)][:BE|:LE][:HEX]
// FIRST counts from 1 (default 1); LAST is a byte from 1, or counted back from the check when
// negative (default -1, the byte just before it). ":HEX" writes upper-case hex digits.
struct CheckToken {
    enum class Order { Default, BigEndian, LittleEndian };

    CheckAlgorithm algorithm;
    int first = 1;
    int last = -1;
    Order order = Order::Default;
    bool hex = false;

    // The bytes the check takes in a frame.
    std::size_t Size() const { return algorithm.Size() * (hex ? 2 : 1); }
    bool LeastFirst() const;
    // The value as the frame carries it.
    std::string Bytes(std::uint64_t value) const;
    // The token as written, in the canonical spelling (no range or suffix when the default).
    std::string Text() const;
};

// The bytes a check covers, from index `begin` (from 0) up to `end` (excluded).
struct CoveredBytes {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The check's token, or nullopt when the text is none (a variable or a parameter instead).
std::optional<CheckToken> ParseCheckToken(std::string_view text);

// The bytes a check at index `at` (from 0) covers; throws ConversionError naming the token
// when its range lies outside the bytes before the check or holds none.
CoveredBytes CoveredBy(const CheckToken& check, std::size_t at);

// Whether the text starts like a check's name (any case), so a failed reading deserves a
// warning.
bool LooksLikeCheck(std::string_view text);

}  // namespace brantel
