// Input: the first line is a delimiter set and a search text, the rest is the text under test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "text/integers.h"
#include "text/strings.h"
#include "text/words.h"

namespace brantel {
namespace {

using fuzz::Check;

bool IsDigitOf(char c, bool hex) {
    return (c >= '0' && c <= '9') || (hex && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')));
}

// The integer grammar read a second way, by comparing texts instead of computing: the value of
// a valid text as HexText (for the hexadecimal forms) or IntegerText would write it, or nothing.
std::optional<std::string> ValueTextOf(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    const bool hex = text.starts_with('$') || text.starts_with('x') || text.starts_with('X') ||
                     text.starts_with("0x") || text.starts_with("0X");
    const bool negative = !hex && text.starts_with('-');
    const std::size_t lead =
        hex ? (text.starts_with('0') ? 2 : 1) : (negative || text.starts_with('+') ? 1 : 0);
    std::string digits(text.substr(lead));
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [hex](char c) { return IsDigitOf(c, hex); })) {
        return std::nullopt;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (hex) {
        std::transform(digits.begin(), digits.end(), digits.begin(),
                       [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
        return digits.size() <= 8 ? std::optional(digits) : std::nullopt;
    }
    const std::string_view largest = negative ? "2147483648" : "2147483647";
    if (digits.size() > largest.size() || (digits.size() == largest.size() && digits > largest)) {
        return std::nullopt;
    }
    return negative && digits != "0" ? "-" + digits : digits;
}

// A text is valid exactly when ParseIntegerOr returns neither of two different fallbacks.
void CheckIntegerParsing(std::string_view text) {
    const std::int32_t orZero = ParseIntegerOr(text, 0);
    const bool valid = orZero == ParseIntegerOr(text, 1);
    const std::optional<std::string> valueText = ValueTextOf(text);
    Check(valid == valueText.has_value(), "exactly the texts of the integer grammar are valid");
    if (valid) {
        const bool hex = text.find_first_of("$xX") != std::string_view::npos;
        Check((hex ? HexText(orZero, 1) : IntegerText(orZero)) == *valueText,
              "the value is the one its digits say");
    }
    try {
        const std::int32_t value = ParseInteger(text);
        Check(valid, "ParseInteger accepts only what ParseIntegerOr accepts");
        Check(value == orZero, "ParseInteger and ParseIntegerOr give the same value");
        Check(ParseInteger(IntegerText(value)) == value, "IntegerText reads back");
        Check(ParseInteger("$" + HexText(value, 8)) == value, "HexText reads back after $");
    } catch (const ConversionError& error) {
        Check(!valid, "ParseInteger throws only on text that ParseIntegerOr rejects");
        const std::string expected = "'" + std::string(text) + "' is not a valid integer value";
        Check(error.what() == fuzz::ShownMessage(expected), "the conversion error quotes the text");
    }
}

void CheckHexToInteger(std::string_view text) {
    try {
        const std::int32_t value = HexToInteger(text);
        for (int digits = 0; digits <= 9; ++digits) {
            Check(HexToInteger(HexText(value, digits)) == value, "HexToInteger reads HexText");
        }
        Check(HexToInteger(" " + HexText(value, 1)) == 0, "a leading space is invalid hex");
    } catch (...) {
        Check(false, "HexToInteger never throws");
    }
}

bool Within(std::string_view part, std::string_view whole) {
    const auto first = reinterpret_cast<std::uintptr_t>(part.data());
    const auto begin = reinterpret_cast<std::uintptr_t>(whole.data());
    return first >= begin && first + part.size() <= begin + whole.size();
}

// The word numbers worth asking for: all of them for short lists, the ends of long ones (each
// lookup walks the text from its start).
std::vector<int> SampledWordNumbers(int count) {
    std::vector<int> numbers;
    for (int n = 1; n <= count; ++n) {
        if (count <= 64 || n <= 16 || n > count - 16) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

void CheckWords(std::string_view delimiterChars, std::string_view text) {
    const DelimiterSet delimiters(delimiterChars);
    const std::vector<std::string_view> words = Words(text, delimiters);
    const int count = CountWords(text, delimiters);
    Check(count == static_cast<int>(words.size()), "CountWords counts what Words lists");

    std::string joined;
    for (std::string_view word : words) {
        Check(!word.empty(), "a word is never empty");
        Check(Within(word, text), "a word lies within the text");
        Check(
            std::none_of(word.begin(), word.end(), [&](char c) { return delimiters.Contains(c); }),
            "a word holds no delimiter");
        const std::size_t start = static_cast<std::size_t>(word.data() - text.data());
        const std::size_t end = start + word.size();
        Check(start == 0 || delimiters.Contains(text[start - 1]),
              "a word starts after a delimiter");
        Check(end == text.size() || delimiters.Contains(text[end]), "a word ends at a delimiter");
        joined.append(word);
    }
    std::string nonDelimiters(text);
    for (char c : delimiterChars) {
        nonDelimiters = RemoveChar(nonDelimiters, c);
    }
    Check(joined == nonDelimiters, "the words are the text without its delimiters");

    for (int n : SampledWordNumbers(count)) {
        const std::string_view word = words[static_cast<std::size_t>(n - 1)];
        Check(WordStart(n, text, delimiters) == word.data() - text.data() + 1,
              "WordStart gives the position of word n");
        Check(GetWord(n, text, delimiters) == word, "GetWord gives word n from WordStart on");
    }
    for (int n : {0, -1, count + 1}) {
        Check(WordStart(n, text, delimiters) == 0, "WordStart is 0 without word n");
        Check(GetWord(n, text, delimiters).empty(), "GetWord is empty without word n");
    }
}

void CheckFindNth(std::string_view substring, std::string_view text) {
    Check(FindNth(substring, text, 0) == 0 && FindNth(substring, text, -1) == 0,
          "FindNth is 0 for n below 1");
    int previous = 0;
    for (int n = 1; n <= 64; ++n) {
        const int at = FindNth(substring, text, n);
        if (substring.empty()) {
            Check(at == 0, "an empty substring is never found");
            return;
        }
        // Each search resumes one character after the start of the previous occurrence.
        const std::size_t expected = text.find(substring, static_cast<std::size_t>(previous));
        if (at == 0) {
            Check(expected == std::string_view::npos, "FindNth finds every occurrence");
            Check(FindNth(substring, text, n + 1) == 0, "no later occurrence after a missing one");
            return;
        }
        Check(static_cast<std::size_t>(at) == expected + 1, "FindNth counts overlapping finds");
        previous = at;
    }
}

// A byte that occurs in neither text, or nothing when every byte does.
std::string AbsentByte(std::string_view a, std::string_view b) {
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        if (a.find(c) == std::string_view::npos && b.find(c) == std::string_view::npos) {
            return std::string(1, c);
        }
    }
    return {};
}

void CheckReplaceAll(std::string_view text, std::string_view search, std::string_view replacement) {
    Check(ReplaceAll(text, "", replacement) == text, "an empty search leaves the text unchanged");
    Check(ReplaceAll(text, search, search) == text, "replacing a text by itself changes nothing");
    const std::string marker = AbsentByte(text, search);
    if (search.empty() || marker.empty()) {
        return;
    }
    // Marking each replaced occurrence with a byte found nowhere else shows where they were.
    const std::string marked = ReplaceAll(text, search, marker);
    Check(ReplaceAll(marked, marker, search) == text, "marked occurrences restore the text");
    const auto replaced =
        static_cast<std::size_t>(std::count(marked.begin(), marked.end(), marker[0]));
    const std::string result = ReplaceAll(text, search, replacement);
    Check(result.size() == text.size() - replaced * search.size() + replaced * replacement.size(),
          "ReplaceAll replaces each occurrence once");
    Check(ReplaceAll(marked, marker, replacement) == result,
          "replacements go where the occurrences were");
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    const std::string_view input = fuzz::AsText(data, size);
    const auto [firstLine, text] = fuzz::SplitFirstLine(input);

    CheckIntegerParsing(firstLine);
    CheckIntegerParsing(text);
    CheckHexToInteger(firstLine);
    CheckHexToInteger(text);
    CheckWords(firstLine, text);
    const std::vector<std::string_view> words = Words(text, DelimiterSet(firstLine));
    for (std::size_t i = 0; i < words.size() && i < 16; ++i) {
        CheckIntegerParsing(words[i]);
        CheckHexToInteger(words[i]);
    }
    CheckFindNth(firstLine, text);
    CheckReplaceAll(text, firstLine, words.empty() ? std::string_view() : words[0]);
    return 0;
}
