#include "log/line_search.h"

#include <algorithm>
#include <functional>

namespace brantel {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = Lower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Bytes written as hex tokens of one or two digits between `separators`; nullopt otherwise.
std::optional<std::string> HexBytes(std::string_view text, std::string_view separators,
                                    bool exactlyTwoDigits) {
    std::string bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (separators.find(text[at]) != std::string_view::npos) {
            ++at;
            continue;
        }
        std::size_t end = at;
        int value = 0;
        while (end < text.size() && separators.find(text[end]) == std::string_view::npos) {
            const int digit = HexDigit(text[end]);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + digit;
            ++end;
        }
        const std::size_t digits = end - at;
        if (digits > 2 || (exactlyTwoDigits && digits != 2)) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(value));
        at = end;
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

// Whether every character could stand in a hex line ("0A FF ").
bool HexLineCharacters(std::string_view lower) {
    return std::all_of(lower.begin(), lower.end(),
                       [](char c) { return c == ' ' || HexDigit(c) >= 0; });
}

}  // namespace

std::optional<LineQuery> LineQuery::Text(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    LineQuery query(LowerCase(text), false);
    // "0a ff" in a hex line is the bytes 0A FF: aligned pairs separated by single blanks.
    const bool single = text.find("  ") == std::string_view::npos && text.front() != ' ';
    if (single) {
        query.asBytes_ = HexBytes(text, " ", true);
    }
    return query;
}

std::optional<LineQuery> LineQuery::Hex(std::string_view text) {
    std::optional<std::string> bytes = HexBytes(text, " ,\t", false);
    if (!bytes) {
        return std::nullopt;
    }
    return LineQuery(std::move(*bytes), true);
}

std::vector<TextSpan> LineQuery::MatchesIn(const StoredLine& line) const {
    if (line.form != LineForm::kHex) {
        return hex_ ? std::vector<TextSpan>{} : TextMatches(line.bytes);
    }
    if (hex_) {
        return ByteMatches(line.bytes, needle_);
    }
    if (asBytes_) {
        std::vector<TextSpan> spans = ByteMatches(line.bytes, *asBytes_);
        // A trailing blank in the text covers the blank after the last pair.
        if (needle_.back() == ' ') {
            for (TextSpan& span : spans) {
                ++span.length;
            }
        }
        return spans;
    }
    return HexLineCharacters(needle_) ? TextMatches(ShownText(line)) : std::vector<TextSpan>{};
}

std::vector<TextSpan> LineQuery::ByteMatches(const std::string& bytes, const std::string& needle) {
    std::vector<TextSpan> spans;
    auto at = bytes.begin();
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    while (true) {
        const auto [first, last] = searcher(at, bytes.end());
        if (first == bytes.end()) {
            break;
        }
        const auto index = static_cast<std::size_t>(first - bytes.begin());
        spans.push_back({3 * index, 3 * needle.size() - 1});
        at = last;
    }
    return spans;
}

std::vector<TextSpan> LineQuery::TextMatches(const std::string& shown) const {
    std::vector<TextSpan> spans;
    const std::string lower = LowerCase(shown);
    for (std::size_t at = lower.find(needle_); at != std::string::npos;
         at = lower.find(needle_, at + needle_.size())) {
        spans.push_back({at, needle_.size()});
    }
    return spans;
}

std::optional<LineMatch> FindMatch(const LineStore& store, const LineQuery& query,
                                   const std::optional<LineMatch>& from, bool forward) {
    const std::size_t count = store.Size();
    if (count == 0) {
        return std::nullopt;
    }
    const std::size_t start = from ? std::min(from->line, count - 1) : (forward ? 0 : count - 1);
    // The start line is looked at twice: after `from` first, and before it once around.
    for (std::size_t step = 0; step <= count; ++step) {
        const std::size_t line =
            forward ? (start + step) % count : (start + count - step % count) % count;
        const std::vector<TextSpan> spans = query.MatchesIn(store.At(line));
        const bool first = step == 0 && from.has_value();
        const bool last = step == count;
        if (forward) {
            for (const TextSpan& span : spans) {
                if ((!first || span.start > from->span.start) &&
                    (!last || !from || span.start <= from->span.start)) {
                    return LineMatch{line, span};
                }
            }
        } else {
            for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
                if ((!first || it->start < from->span.start) &&
                    (!last || !from || it->start >= from->span.start)) {
                    return LineMatch{line, *it};
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace brantel
