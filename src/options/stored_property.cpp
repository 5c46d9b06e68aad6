#include "options/stored_property.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace brantel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Moves `at` past a run of digits; the number of digits skipped.
std::size_t SkipDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at - start;
}

bool IsDecimalNumber(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    std::size_t digits = SkipDigits(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        digits += SkipDigits(text, at);
    }
    if (digits == 0) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        if (SkipDigits(text, at) == 0) {
            return false;
        }
    }
    return at == text.size();
}

}  // namespace

TextProperty::TextProperty(std::function<std::string()> get,
                           std::function<void(const std::string&)> set)
    : get_(std::move(get)), set_(std::move(set)) {}

std::string TextProperty::Text() const {
    return get_();
}

bool TextProperty::Assign(const std::string& text) {
    set_(text);
    return true;
}

WholeNumberProperty::WholeNumberProperty(std::function<int()> get, std::function<void(int)> set)
    : get_(std::move(get)), set_(std::move(set)) {}

std::string WholeNumberProperty::Text() const {
    return std::to_string(get_());
}

bool WholeNumberProperty::Assign(const std::string& text) {
    const std::optional<double> number = ParseStoredNumber(text);
    const std::optional<int> whole = number ? RoundHalfToEven(*number) : std::nullopt;
    if (!whole) {
        return false;
    }
    set_(*whole);
    return true;
}

std::optional<double> ParseStoredNumber(std::string_view text) {
    if (!IsDecimalNumber(text)) {
        return std::nullopt;
    }
    // from_chars takes no "+" sign.
    const std::string_view unsigned_text = text.front() == '+' ? text.substr(1) : text;
    double value = 0;
    const auto [end, error] =
        std::from_chars(unsigned_text.data(), unsigned_text.data() + unsigned_text.size(), value);
    if (error != std::errc() || end != unsigned_text.data() + unsigned_text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    double whole = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        whole = below + 1;
    }
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(whole);
}

}  // namespace brantel
