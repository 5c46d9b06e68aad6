#include "frames/named_params.h"

#include <algorithm>

#include "text/integers.h"
#include "text/words.h"

namespace brantel {

namespace {

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// A value that starts with a digit must be an integer; "$" and more is hexadecimal; anything
// else is kept as text.
std::variant<std::int32_t, std::string> ParseValue(std::string_view value) {
    if (IsDecimalDigit(value.front())) {
        return ParseInteger(value);
    }
    if (value.front() == '$' && value.size() > 1) {
        return HexToInteger(value.substr(1));
    }
    return std::string(value);
}

}  // namespace

void NamedParamTable::Parse(std::string_view text) {
    const DelimiterSet colon(":");
    int count = 0;
    for (std::string_view pair : Words(text, DelimiterSet(" "))) {
        if (count == kMaxNamedParams) {
            break;
        }
        std::string name = GetWord(1, pair, colon);
        const std::string value = GetWord(2, pair, colon);
        if (name.empty() || value.empty()) {
            continue;
        }
        NamedParam& entry = entries_[count];
        entry.name = std::move(name);
        // On a conversion error the entry keeps its new name and old value, and the count
        // stays that of the last completed pass.
        entry.value = ParseValue(value);
        ++count;
    }
    count_ = count;
}

const NamedParam* NamedParamTable::LookupNamedParam(std::string_view token) const {
    const auto current = entries_.begin() + count_;
    const auto found = std::find_if(entries_.begin(), current, [token](const NamedParam& entry) {
        return entry.name == token;
    });
    return found == current ? nullptr : &*found;
}

}  // namespace brantel
