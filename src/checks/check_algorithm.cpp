#include "checks/check_algorithm.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include <cctype>
#include "checks/crc_catalogue.h"
#include "text/words.h"

namespace brantel {

namespace {

const auto kOtherChecks = std::to_array<CheckAlgorithm>({
    {"SUM-8", CheckFamily::Sum8, {}},
    {"SUM-16", CheckFamily::Sum16, {}},
    {"XOR-8", CheckFamily::Xor8, {}},
    {"LRC-8", CheckFamily::Lrc8, {}},
    {"FLETCHER-16", CheckFamily::Fletcher16, {}},
    {"ADLER-32", CheckFamily::Adler32, {}},
});

constexpr std::string_view kGenericPrefix = "CRC-";

std::uint64_t Mask(int width) {
    return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

std::string Hex(std::uint64_t value) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::optional<std::uint64_t> ParseHex(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> ParseFlag(std::string_view text) {
    if (text == "0" || text == "1") {
        return text == "1";
    }
    return std::nullopt;
}

// "CRC-<width>(<poly>,<init>,<refin>,<refout>,<xorout>)", every value inside the width.
std::optional<CheckAlgorithm> GenericCrc(std::string_view name) {
    const std::size_t open = name.find('(');
    if (!name.starts_with(kGenericPrefix) || open == std::string_view::npos ||
        !name.ends_with(')')) {
        return std::nullopt;
    }
    const std::string_view widthText = name.substr(kGenericPrefix.size(), open - 4);
    int width = 0;
    const auto [end, error] =
        std::from_chars(widthText.data(), widthText.data() + widthText.size(), width);
    const std::string_view inside = name.substr(open + 1, name.size() - open - 2);
    const std::vector<std::string_view> fields = Words(inside, DelimiterSet(","));
    if (widthText.empty() || error != std::errc() || end != widthText.data() + widthText.size() ||
        width < 1 || width > 64 || fields.size() != 5 ||
        std::count(inside.begin(), inside.end(), ',') != 4) {
        return std::nullopt;
    }
    const auto poly = ParseHex(fields[0]);
    const auto init = ParseHex(fields[1]);
    const auto refin = ParseFlag(fields[2]);
    const auto refout = ParseFlag(fields[3]);
    const auto xorout = ParseHex(fields[4]);
    const std::uint64_t mask = Mask(width);
    if (!poly || !init || !refin || !refout || !xorout || *poly == 0 || *poly > mask ||
        *init > mask || *xorout > mask) {
        return std::nullopt;
    }
    CheckAlgorithm crc;
    crc.crc = {width, *poly, *init, *refin, *refout, *xorout};
    crc.name = std::string(kGenericPrefix) + std::to_string(width) + "(" + Hex(*poly) + "," +
               Hex(*init) + "," + (*refin ? "1" : "0") + "," + (*refout ? "1" : "0") + "," +
               Hex(*xorout) + ")";
    return crc;
}

std::uint64_t Sum(std::string_view bytes) {
    std::uint64_t sum = 0;
    for (const char byte : bytes) {
        sum += static_cast<unsigned char>(byte);
    }
    return sum;
}

// Two running sums modulo `modulus`, the first starting at `first`: Fletcher's and Adler's.
std::uint64_t RunningSums(std::string_view bytes, std::uint64_t first, std::uint64_t modulus,
                          int shift) {
    std::uint64_t a = first;
    std::uint64_t b = 0;
    for (const char byte : bytes) {
        a = (a + static_cast<unsigned char>(byte)) % modulus;
        b = (b + a) % modulus;
    }
    return (b << shift) | a;
}

std::string Padded(std::uint64_t value, int width) {
    const std::string hex = Hex(value);
    const auto digits = static_cast<std::size_t>((width + 3) / 4);
    return std::string(digits > hex.size() ? digits - hex.size() : 0, '0') + hex;
}

// The letters and digits of a name in upper case: "crc16" and "CRC-16" are the same name.
std::string Letters(std::string_view text) {
    std::string letters;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            letters += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return letters;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

CheckAlgorithm OfCatalogue(const CatalogueCrc& crc) {
    return {std::string(crc.name), CheckFamily::Crc, crc.model};
}

std::vector<CheckAlgorithm> EveryCheck() {
    std::vector<CheckAlgorithm> checks;
    for (const CatalogueCrc& crc : CrcCatalogue()) {
        checks.push_back(OfCatalogue(crc));
    }
    checks.insert(checks.end(), kOtherChecks.begin(), kOtherChecks.end());
    return checks;
}

std::vector<std::string_view> AllNames() {
    std::vector<std::string_view> names;
    for (const CatalogueCrc& crc : CrcCatalogue()) {
        names.push_back(crc.name);
        for (const std::string_view alias : Words(crc.aliases, DelimiterSet(" "))) {
            names.push_back(alias);
        }
    }
    for (const CheckAlgorithm& check : kOtherChecks) {
        names.push_back(check.name);
    }
    return names;
}

}  // namespace

int CheckAlgorithm::Width() const {
    switch (family) {
        case CheckFamily::Crc:
            return crc.width;
        case CheckFamily::Sum8:
        case CheckFamily::Xor8:
        case CheckFamily::Lrc8:
            return 8;
        case CheckFamily::Sum16:
        case CheckFamily::Fletcher16:
            return 16;
        case CheckFamily::Adler32:
            return 32;
    }
    return 0;
}

std::uint64_t CheckAlgorithm::Compute(std::string_view bytes) const {
    switch (family) {
        case CheckFamily::Crc:
            return ComputeCrc(crc, bytes);
        case CheckFamily::Sum8:
            return Sum(bytes) & 0xFF;
        case CheckFamily::Sum16:
            return Sum(bytes) & 0xFFFF;
        case CheckFamily::Xor8: {
            unsigned char x = 0;
            for (const char byte : bytes) {
                x ^= static_cast<unsigned char>(byte);
            }
            return x;
        }
        case CheckFamily::Lrc8:
            return (0x100 - (Sum(bytes) & 0xFF)) & 0xFF;
        case CheckFamily::Fletcher16:
            return RunningSums(bytes, 0, 255, 8);
        case CheckFamily::Adler32:
            return RunningSums(bytes, 1, 65521, 16);
    }
    return 0;
}

std::string CheckAlgorithm::Digits(std::uint64_t value) const {
    return Padded(value, Width());
}

std::string CheckAlgorithm::Description() const {
    switch (family) {
        case CheckFamily::Crc:
            return "width " + std::to_string(crc.width) + ", poly " + Padded(crc.poly, crc.width) +
                   ", init " + Padded(crc.init, crc.width) + ", refin " +
                   (crc.refin ? "true" : "false") + ", refout " + (crc.refout ? "true" : "false") +
                   ", xorout " + Padded(crc.xorout, crc.width);
        case CheckFamily::Sum8:
            return "the sum of the bytes, modulo 256";
        case CheckFamily::Sum16:
            return "the sum of the bytes, modulo 65536";
        case CheckFamily::Xor8:
            return "the bytes XORed together";
        case CheckFamily::Lrc8:
            return "the two's complement of the 8-bit sum: all bytes with it sum to 0";
        case CheckFamily::Fletcher16:
            return "Fletcher's two sums modulo 255, the second in the high byte";
        case CheckFamily::Adler32:
            return "Adler's two sums modulo 65521, the second in the high half";
    }
    return {};
}

std::span<const CheckAlgorithm> OtherChecks() {
    return kOtherChecks;
}

std::span<const CheckAlgorithm> AllChecks() {
    static const std::vector<CheckAlgorithm> checks = EveryCheck();
    return checks;
}

std::optional<CheckAlgorithm> FindCheckAlgorithm(std::string_view name) {
    if (const CatalogueCrc* crc = FindCatalogueCrc(name)) {
        return OfCatalogue(*crc);
    }
    for (const CheckAlgorithm& check : kOtherChecks) {
        if (check.name == name) {
            return check;
        }
    }
    return GenericCrc(name);
}

std::string_view ClosestCheckName(std::string_view text) {
    static const std::vector<std::string_view> names = AllNames();
    const std::string letters = Letters(text);
    std::string_view closest;
    std::size_t best = 0;
    for (const std::string_view name : names) {
        const std::size_t distance = EditDistance(letters, Letters(name));
        if (closest.empty() || distance < best) {
            closest = name;
            best = distance;
        }
    }
    return closest;
}

}  // namespace brantel
